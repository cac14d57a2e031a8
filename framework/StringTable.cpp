#include "framework/StringTable.h"

#include <iterator>
#include <unordered_map>

#include "framework/FrameworkResource.h"

namespace {

// A list, not a map literal, so that two texts given the same ID are found (a map
// would keep one of them without a word).
const CStringEntry kFrameworkStrings[] = {
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
        {IDS_PRINT_NO_FILE, "No file was named to print, so nothing was printed."},
        {IDS_NO_DISPLAY,
         "There is no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
         "To print from a script use /p or /pt, which need no display."},
        // Written to standard error where nobody can answer: the box's answer, the dialog's title
        {IDS_UNATTENDED_ANSWER, "(answered %1: nobody is there to choose)"},
        {IDS_UNATTENDED_DIALOG, "%1: not shown, as nobody is there to answer it; cancelled."},
        {IDS_RECOVER_UNREADABLE, "A recovery copy could not be read. It was kept as\n%1"},

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

using CTable = std::unordered_map<UINT, std::string>;

CTable MakeTable(const CStringEntry* pEntries, std::size_t nCount)
{
    CTable table;
    for (std::size_t i = 0; i < nCount; ++i)
        table.emplace(pEntries[i].nID, pEntries[i].pszText);
    return table;
}

const CTable& FrameworkTable()
{
    static const CTable table = MakeTable(kFrameworkStrings, std::size(kFrameworkStrings));
    return table;
}

struct CProgramTable {
    const CStringEntry* pEntries = nullptr;
    std::size_t nCount = 0;
    CTable table;
};

CProgramTable& ProgramTable()
{
    static CProgramTable program;
    return program;
}

std::string Substitute(std::string text, const std::string& key, const std::string& value)
{
    const std::string::size_type at = text.find(key);
    if (at != std::string::npos)
        text.replace(at, key.size(), value);
    return text;
}

} // namespace

void AfxSetProgramStrings(const CStringEntry* pEntries, std::size_t nCount)
{
    CProgramTable& program = ProgramTable();
    if (program.pEntries == pEntries && program.nCount == nCount)
        return;
    program.pEntries = pEntries;
    program.nCount = nCount;
    program.table = MakeTable(pEntries, nCount);
}

const std::string& AfxLoadString(UINT nID)
{
    static const std::string empty;
    const CTable& program = ProgramTable().table;
    if (auto it = program.find(nID); it != program.end())
        return it->second;
    const CTable& framework = FrameworkTable();
    auto it = framework.find(nID);
    return it == framework.end() ? empty : it->second;
}

bool AfxHasString(UINT nID) { return ProgramTable().table.count(nID) != 0 || FrameworkTable().count(nID) != 0; }

std::size_t AfxCountDuplicateStringIds()
{
    const CProgramTable& program = ProgramTable();
    std::size_t nRepeats = std::size(kFrameworkStrings) - FrameworkTable().size() + program.nCount - program.table.size();
    for (const auto& entry : program.table)
        nRepeats += FrameworkTable().count(entry.first);
    return nRepeats;
}

std::string AfxFormatString1(UINT nIDFormat, const std::string& s1)
{
    return Substitute(AfxLoadString(nIDFormat), "%1", s1);
}

std::string AfxFormatString2(UINT nIDFormat, const std::string& s1, const std::string& s2)
{
    return Substitute(Substitute(AfxLoadString(nIDFormat), "%1", s1), "%2", s2);
}

std::string AfxCommandPrompt(UINT nID)
{
    const std::string& s = AfxLoadString(nID);
    return s.substr(0, s.find('\n'));
}

std::string AfxCommandToolTip(UINT nID)
{
    const std::string& s = AfxLoadString(nID);
    const auto nl = s.find('\n');
    return nl == std::string::npos ? std::string() : s.substr(nl + 1);
}
