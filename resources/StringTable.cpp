#include "resources/StringTable.h"

#include <iterator>
#include <unordered_map>

#include "resources/Resource.h"

namespace {

struct StringEntry {
    UINT nID;
    const char* text;
};

// A list, not a map literal, so that two texts given the same ID are found (a map
// would keep one of them without a word).
const StringEntry kStrings[] = {
        // Document template and application
        {IDR_MAINFRAME, "Fretly\n\nFretly\nFretly Files (*.tab)\n.TAB\nFretly.Document\nFretly Document"},
        {AFX_IDS_APP_TITLE, "Fretly"},
        {AFX_IDS_IDLEMESSAGE, "Ready"},

        // Fretly's own messages
        {IDS_INVALID_FILE,
         "This is not a valid Fretly file!\nMake sure you did not remove the\n\"Created with Fretly\" header line."},
        {IDS_CREATE_FONT_FAILED, "Create font failed"},
        {IDS_DELETE_STAFF_QUESTION, "Are you sure you want to delete this staff?"},
        {IDS_HOME_PAGE, "https://fretly.example.org/ascii-tab-editor/"},
        {IDS_VERSION, "1.0.0.1"},
        {IDS_TEXT_TOO_LONG_TO_EDIT,
         "[Only the first %1 bytes of %2 are shown. The text is too long to edit here and is kept unchanged.]"},
        {IDS_NO_DEFAULT_PRINTER,
         "There is no default printer, so nothing was printed.\nUse Print... to choose a printer or to print to a PDF file."},
        {IDS_PRINTER_NOT_FOUND, "The printer %1 was not found, so nothing was printed."},
        {IDS_FILE_NOT_REGULAR,
         "%1 is not a regular file (it is a pipe, a device or a folder), so it was left as it is.\n"
         "Use Save As to save the document to a file."},
        {IDS_FILE_LINK_LOOP, "%1 is a symbolic link that leads round in a loop, so it names no file."},
        {IDS_FILE_COPY_KEPT, "The previous content of %1 could not be put back.\nA copy of it is kept in %2."},
        {IDS_PRINT_STATUS_CAPTION, "Printing"},
        {IDS_PRINT_STATUS_ON, "on %1"},
        {IDS_PRINT_STATUS_PAGE, "Page %1"},
        {IDS_PRINT_STATUS_PAGE_OF, "Page %1 of %2"},
        {IDS_PRINT_STATUS_CANCEL, "Cancel"},
        {IDS_PRINT_TO_FILE, "the file %1"},
        {IDS_SHELL_GENERIC_NAME, "Tablature Editor"},
        {IDS_SHELL_COMMENT, "Edit guitar tablature in plain ASCII form"},
        {IDS_SHELL_PRINT, "Print"},
        {IDS_PRINT_NO_FILE, "No file was named to print, so nothing was printed."},
        {IDS_NO_DISPLAY,
         "There is no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
         "To print from a script use /p or /pt, which need no display."},
        // Written to standard error where nobody can answer: the box's answer, the dialog's title
        {IDS_UNATTENDED_ANSWER, "(answered %1: nobody is there to choose)"},
        {IDS_UNATTENDED_DIALOG, "%1: not shown, as nobody is there to answer it; cancelled."},
        {IDS_PROGRAM_INCOMPLETE, "The program is incomplete and cannot start: %1"},
        {IDS_EXPORT_USAGE, "Usage: fretly --export SONG.tab OUT.musicxml|OUT.mid|OUT.txt"},
        {IDS_EXPORT_UNKNOWN_FORMAT,
         "The name %1 does not say which format to write: it must end in .musicxml (or .xml), .mid (or .midi) or .txt.\n"
         "Nothing was exported."},
        {IDS_EXPORT_NOT_EXPORTED, "%1\nNothing was exported."},
        {IDS_EXPORT_SAME_FILE, "%1 is the song being exported; name another file to write.\nNothing was exported."},
        {IDS_EXPORT_SETTING_UNREAD, "The comment line \"%1\" was not understood as a setting, so its default is used."},
        {IDS_EXPORT_NOT_REGULAR,
         "%1 is not a regular file (it is a pipe, a device or a folder), so it was left as it is.\nNothing was exported."},
        {IDS_RECOVER_QUESTION, "Fretly was closed before the changes to %1 were saved.\nRecover them?"},
        {IDS_RECOVER_UNREADABLE, "A recovery copy could not be read. It was kept as\n%1"},

        // Playing a song: messages on standard error, and the progress line
        {IDS_PLAY_NO_SONG, "--play needs the .tab file to play: fretly --play SONG.tab [--to OUT.wav] [--tempo BPM] [--from STAFF]"},
        {IDS_PLAY_NO_VALUE, "%1 needs a value."},
        {IDS_PLAY_BAD_TEMPO, "The tempo %1 is not a whole number of beats per minute from 20 to 400, so nothing was played."},
        {IDS_PLAY_BAD_FROM, "The staff %1 is not a staff number (1 for the first staff), so nothing was played."},
        {IDS_PLAY_FROM_PAST_END, "There is no staff %1 to play from: the song's last staff is staff %2."},
        {IDS_PLAY_NO_SOUNDFONT,
         "No General MIDI soundfont was found, so nothing was played (looked for %1).\n"
         "Install one, for example with: apt install fluid-soundfont-gm"},
        {IDS_PLAY_SOUNDFONT_FAILED, "The soundfont %1 could not be loaded, so nothing was played: %2"},
        {IDS_PLAY_SYNTH_FAILED, "The synthesizer could not be started, so nothing was played: %1"},
        {IDS_PLAY_NO_DEVICE,
         "No sound device could be opened, so nothing was played (%1).\n"
         "To hear the song later, write it to a file with --to OUT.wav."},
        {IDS_PLAY_TOO_LONG_FOR_WAV,
         "The song lasts %1, longer than a WAV file can hold (%2), so nothing was written."},
        {IDS_PLAY_WRITE_FAILED, "%1 could not be written, so the sound was not saved: %2"},
        {IDS_PLAY_PROGRESS, "Staff %1 of %2, bar %3, %4 of %5"},
        {IDS_PLAY_REFUSED, "%1 was not played: %2"},
        {IDS_PLAY_MODULE_MISSING, "Playing needs the sound module of the program, which cannot be loaded: %1"},

        // Command prompts: status-bar line, then the tool tip after the newline
        {ID_FILE_NEW, "Create a new document\nNew"},
        {ID_FILE_OPEN, "Open an existing document\nOpen"},
        {ID_FILE_SAVE, "Save the active document\nSave"},
        {ID_FILE_SAVE_AS, "Save the active document with a new name\nSave As"},
        {ID_VIEW_HEADERS, "Edit File Header Information\nFile Info"},
        {ID_FILE_PRINT, "Print the active document\nPrint"},
        {ID_FILE_PRINT_PREVIEW, "Display full pages\nPrint Preview"},
        {ID_FILE_PRINT_SETUP, "Change the printer and printing options\nPrint Setup"},
        {ID_FILE_MRU_FILE1, "Open this document"},
        {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
        {ID_EDIT_INSERTCOLUMN, "Insert a new column at the cursor location\nInsert Column"},
        {ID_EDIT_DELETECOLUMN, "Delete the column at the cursor location\nDelete Column"},
        {ID_EDIT_MOVEDOWN, "Move contents of staff right of cursor down to next staff\nMove Down"},
        {ID_EDIT_MERGEUP_PROMPT, "Merge contents of staff below to the end of this staff\nMerge Up"},
        {ID_EDIT_MERGEUP, "Merge the contents of the staff below into empty space on this staff\nMerge Up"},
        {ID_EDIT_INSERTSTAFF, "Insert New Staff\nNew Staff"},
        {ID_EDIT_DELETESTAFF, "Delete the current staff\nDelete Staff"},
        {ID_EDIT_VERTICALBAR, "Insert Vertical Bar\nVertical Bar"},
        {ID_HELP_TABHINTS, "Display Tablature Hints Window"},
        {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},

        // Status-bar indicators
        {ID_INDICATOR_CAPS, "CAP"},
        {ID_INDICATOR_NUM, "NUM"},
        {ID_INDICATOR_SCRL, "SCRL"},

        // System menu prompts
        {61184, "Change the window size"},
        {61185, "Change the window position"},
        {61186, "Reduce the window to an icon"},
        {61187, "Enlarge the window to full size"},
        {61188, "Switch to the next document window"},
        {61189, "Switch to the previous document window"},
        {61190, "Close the active window and prompts to save the documents"},
        {61202, "Restore the window to normal size"},
        {61203, "Activate Task List"},
        {AFX_IDS_PREVIEW_CLOSE, "Close print preview mode\nCancel Preview"},

        // Framework messages
        {AFX_IDS_OPENFILE, "Open"},
        {AFX_IDS_SAVEFILE, "Save As"},
        {AFX_IDS_ALLFILTER, "All Files (*.*)"},
        {AFX_IDS_UNTITLED, "Untitled"},
        {AFX_IDP_INVALID_FILENAME, "Invalid filename."},
        {AFX_IDP_FAILED_TO_OPEN_DOC, "Failed to open document."},
        {AFX_IDP_FAILED_TO_SAVE_DOC, "Failed to save document."},
        {AFX_IDP_ASK_TO_SAVE, "Save changes to %1?"},
        {AFX_IDP_FAILED_TO_CREATE_DOC, "Failed to create empty document."},
        {AFX_IDP_FAILED_TO_START_PRINT, "Could not start print job."},
        {AFX_IDP_COMMAND_FAILURE, "Command failed."},
        {AFX_IDP_FAILED_MEMORY_ALLOC, "Insufficient memory to perform operation."},
        {AFX_IDP_FAILED_INVALID_FORMAT, "Unexpected file format."},
        {AFX_IDP_FILE_GENERIC, "An unknown error occurred while accessing %1."},
        {AFX_IDP_FILE_NOT_FOUND, "%1 was not found."},
        {AFX_IDP_FILE_BAD_PATH, "%1 contains an invalid path."},
        {AFX_IDP_FILE_TOO_MANY_OPEN, "%1 could not be opened because there are too many open files."},
        {AFX_IDP_FILE_ACCESS_DENIED, "Access to %1 was denied."},
        {AFX_IDP_FILE_INVALID_FILE, "An invalid file handle was associated with %1."},
        {AFX_IDP_FILE_REMOVE_CURRENT, "%1 could not be removed because it is the current directory."},
        {AFX_IDP_FILE_DIR_FULL, "%1 could not be created because the directory is full."},
        {AFX_IDP_FILE_BAD_SEEK, "Seek failed on %1"},
        {AFX_IDP_FILE_HARD_IO, "A hardware I/O error was reported while accessing %1."},
        {AFX_IDP_FILE_SHARING, "A sharing violation occurred while accessing %1."},
        {AFX_IDP_FILE_LOCKING, "A locking violation occurred while accessing %1."},
        {AFX_IDP_FILE_DISKFULL, "Disk full while accessing %1."},
        {AFX_IDP_FILE_EOF, "An attempt was made to access %1 past its end."},
};

const std::unordered_map<UINT, std::string>& Table()
{
    static const std::unordered_map<UINT, std::string> table = [] {
        std::unordered_map<UINT, std::string> t;
        for (const StringEntry& e : kStrings)
            t.emplace(e.nID, e.text);
        return t;
    }();
    return table;
}

std::string Substitute(std::string text, const std::string& key, const std::string& value)
{
    const std::string::size_type at = text.find(key);
    if (at != std::string::npos)
        text.replace(at, key.size(), value);
    return text;
}

} // namespace

const std::string& AfxLoadString(UINT nID)
{
    static const std::string empty;
    const auto& table = Table();
    auto it = table.find(nID);
    return it == table.end() ? empty : it->second;
}

bool AfxHasString(UINT nID) { return Table().count(nID) != 0; }

std::size_t AfxCountDuplicateStringIds() { return std::size(kStrings) - Table().size(); }

std::string AfxFormatString1(UINT nIDFormat, const std::string& s1)
{
    return Substitute(AfxLoadString(nIDFormat), "%1", s1);
}

std::string AfxFormatString2(UINT nIDFormat, const std::string& s1, const std::string& s2)
{
    return Substitute(Substitute(AfxLoadString(nIDFormat), "%1", s1), "%2", s2);
}
