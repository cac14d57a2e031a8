#include "resources/StringTable.h"

#include <iterator>

#include "framework/UserInterface.h"
#include "resources/DialogTemplates.h"
#include "resources/Resource.h"
#include "resources/Version.h"

namespace {

// Fretly's own texts, and its texts for framework IDs (the title, the prompts of the
// framework's commands); the framework's own texts are in its table. A list, not a map
// literal, so that two texts given the same ID are found.
const CStringEntry kStrings[] = {
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
        {IDS_VERSION, FRETLY_VERSION},
        {IDS_SHELL_GENERIC_NAME, "Tablature Editor"},
        {IDS_SHELL_COMMENT, "Edit guitar tablature in plain ASCII form"},
        {IDS_SHELL_PRINT, "Print"},
        {IDS_PROGRAM_INCOMPLETE, "The program is incomplete and cannot start: %1"},
        {IDS_EXPORT_USAGE, "Usage: fretly --export SONG.tab OUT.musicxml|OUT.mid|OUT.txt"},
        {IDS_EXPORT_UNKNOWN_FORMAT,
         "The name %1 does not say which format to write: it must end in .musicxml (or .xml), .mid (or .midi) or .txt.\n"
         "Nothing was exported."},
        {IDS_EXPORT_NOT_EXPORTED, "%1\nNothing was exported."},
        {IDS_EXPORT_SAME_FILE, "%1 is the song being exported; name another file to write.\nNothing was exported."},
        {IDS_EXPORT_SETTING_UNREAD, "The comment line \"%1\" was not understood as a setting, so its default is used."},
        {IDS_EXPORT_SONG_NOT_REGULAR,
         "%1 is not a regular file (it is a pipe, a device or a folder), so it cannot be read as a song.\n"
         "Nothing was exported."},
        {IDS_EXPORT_NOT_REGULAR,
         "%1 is not a regular file (it is a pipe, a device or a folder), so it was left as it is.\nNothing was exported."},
        {IDS_RECOVER_QUESTION, "Fretly was closed before the changes to %1 were saved.\nRecover them?"},
        {IDS_IMPORT_USAGE, "--import needs the file to import: fretly --import FILE [OUT.tab]"},
        {IDS_IMPORT_CANNOT_READ, "%1 could not be read (%2), so nothing was imported."},
        {IDS_IMPORT_NO_TABLATURE, "%1 holds no tablature, so nothing was imported."},
        {IDS_IMPORT_CANNOT_WRITE, "%1 could not be written (%2); nothing was written."},
        {IDS_IMPORT_WIDE_SYSTEM,
         "lines %1 hold a system of %2 strings, more than a staff's six; they were kept in the comments."},
        // fretly --help: one line per form of the command line
        {IDS_HELP_FORMS,
         "fretly [FILE.tab]                         open FILE in the editor (a new document without it)\n"
         "fretly /p FILE.tab                        print FILE on the default printer and end\n"
         "fretly /pt FILE.tab PRINTER [DRIVER PORT] print FILE on PRINTER (a name ending in .pdf writes that PDF) and end\n"
         "fretly --version                          print the version and end\n"
         "fretly --help                             print these forms and end\n"
         "fretly --import FILE [OUT.tab]            plain-text tablature into a new document, or written to OUT.tab\n"
         "fretly --export SONG.tab OUT.musicxml|OUT.mid|OUT.txt  SONG written in the format OUT's extension names\n"
         "fretly --play SONG.tab [--to OUT.wav] [--tempo BPM] [--from STAFF]  SONG played, or rendered to OUT.wav"},
        {IDS_SHELL_IMPORT, "Import into Fretly"},
        {IDS_IMPORT_NOT_REGULAR, "it is not a regular file"},

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
};

// The program's icons by resource ID, as the toolkit half finds them.
const CIconEntry kIcons[] = {
    {IDR_MAINFRAME, "fretly"},
    {IDI_DOCUMENT, "document"},
};

} // namespace

bool AfxUseProgramResources()
{
    AfxSetProgramStrings(kStrings, std::size(kStrings));
    AfxSetProgramDialogTemplates(AfxFindProgramDialogTemplate);
    AfxSetProgramIcons(kIcons, std::size(kIcons));
    return true;
}
