#include "resources/MenuTables.h"

#include "framework/VirtualKeys.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

namespace {


constexpr UINT VK_CTRL = FVIRTKEY | FNOINVERT | FCONTROL;

MenuItemDef Sep() { return {0, {}, MF_SEPARATOR}; }

} // namespace

const std::vector<MenuPopupDef>& AfxMainMenu()
{
    static const std::vector<MenuPopupDef> menu = {
        {"&File",
         {
             {ID_FILE_NEW, "&New\tCtrl+N", MF_STRING},
             {ID_FILE_OPEN, "&Open...\tCtrl+O", MF_STRING},
             {ID_FILE_SAVE, "&Save\tCtrl+S", MF_STRING},
             {ID_FILE_SAVE_AS, "Save &As...", MF_STRING},
             Sep(),
             {ID_VIEW_HEADERS, "View Headers...", MF_STRING},
             Sep(),
             {ID_FILE_PRINT, "&Print...\tCtrl+P", MF_STRING},
             {ID_FILE_PRINT_PREVIEW, "Print Pre&view", MF_STRING},
             {ID_FILE_PRINT_SETUP, "P&rint Setup...", MF_STRING},
             Sep(),
             {ID_FILE_MRU_FILE1, "Recent File", MF_GRAYED},
             Sep(),
             {ID_APP_EXIT, "E&xit", MF_STRING},
         }},
        {"&Edit",
         {
             {ID_EDIT_INSERTCOLUMN, "Insert Column\tCtrl+I", MF_STRING},
             {ID_EDIT_DELETECOLUMN, "Delete Column\tCtrl+D", MF_STRING},
             {ID_EDIT_MOVEDOWN, "Move Down", MF_STRING},
             {ID_EDIT_MERGEUP, "Merge Up", MF_STRING},
             Sep(),
             {ID_EDIT_INSERTSTAFF, "Insert Staff\tCtrl+A", MF_STRING},
             {ID_EDIT_DELETESTAFF, "Delete Staff", MF_STRING},
         }},
        {"&Help",
         {
             {ID_HELP_TABHINTS, "Tab Hints", MF_STRING},
             {ID_APP_ABOUT, "&About fretly...", MF_STRING},
         }},
    };
    return menu;
}

const std::vector<UINT>& AfxToolbarButtons()
{
    static const std::vector<UINT> buttons = {
        ID_FILE_NEW,          ID_FILE_OPEN,         ID_FILE_SAVE,     ID_SEPARATOR,
        ID_VIEW_HEADERS,      ID_EDIT_INSERTSTAFF,  ID_EDIT_VERTICALBAR, ID_EDIT_DELETESTAFF,
        ID_SEPARATOR,         ID_EDIT_INSERTCOLUMN, ID_EDIT_DELETECOLUMN, ID_EDIT_MOVEDOWN,
        ID_EDIT_MERGEUP,      ID_SEPARATOR,         ID_FILE_PRINT,    ID_APP_ABOUT,
    };
    return buttons;
}

const std::vector<AccelDef>& AfxAcceleratorTable(UINT nID)
{
    static const std::vector<AccelDef> mainframe = {
        {VK_CTRL, 'A', ID_EDIT_INSERTSTAFF},
        {VK_CTRL, 'C', ID_EDIT_COPY},
        {VK_CTRL, 'D', ID_EDIT_DELETECOLUMN},
        {VK_CTRL, 'I', ID_EDIT_INSERTCOLUMN},
        {VK_CTRL, 'N', ID_FILE_NEW},
        {VK_CTRL, 'O', ID_FILE_OPEN},
        {VK_CTRL, 'P', ID_FILE_PRINT},
        {VK_CTRL, 'S', ID_FILE_SAVE},
        {VK_CTRL, 'V', ID_EDIT_PASTE},
        {FVIRTKEY | FNOINVERT | FALT, VK_BACK, ID_EDIT_UNDO},
        {FVIRTKEY | FNOINVERT | FSHIFT, VK_DELETE, ID_EDIT_CUT},
        {FVIRTKEY | FNOINVERT, VK_F6, ID_NEXT_PANE},
        {FVIRTKEY | FNOINVERT | FSHIFT, VK_F6, ID_PREV_PANE},
        {VK_CTRL, VK_INSERT, ID_EDIT_COPY},
        {FVIRTKEY | FNOINVERT | FSHIFT, VK_INSERT, ID_EDIT_PASTE},
        {VK_CTRL, 'X', ID_EDIT_CUT},
        {VK_CTRL, 'Z', ID_EDIT_UNDO},
    };
    static const std::vector<AccelDef> preview = {
        {FVIRTKEY | FNOINVERT, VK_NEXT, AFX_ID_PREVIEW_NEXT},
        {FVIRTKEY | FNOINVERT, VK_PRIOR, AFX_ID_PREVIEW_PREV},
        {FVIRTKEY | FNOINVERT, VK_ESCAPE, AFX_ID_PREVIEW_CLOSE},
    };
    static const std::vector<AccelDef> none;
    if (nID == IDR_MAINFRAME)
        return mainframe;
    if (nID == IDR_PREVIEW_ACCEL)
        return preview;
    return none;
}

const std::vector<UINT>& AfxStatusIndicators()
{
    static const std::vector<UINT> indicators = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                                 ID_INDICATOR_SCRL};
    return indicators;
}

std::string AfxAccelKeyName(const AccelDef& accel)
{
    std::string name;
    if (accel.fVirt & FCONTROL)
        name += "Ctrl+";
    if (accel.fVirt & FALT)
        name += "Alt+";
    if (accel.fVirt & FSHIFT)
        name += "Shift+";
    switch (accel.nKey) {
    case VK_BACK: return name + "Backspace";
    case VK_ESCAPE: return name + "Esc";
    case VK_PRIOR: return name + "PgUp";
    case VK_NEXT: return name + "PgDown";
    case VK_INSERT: return name + "Ins";
    case VK_DELETE: return name + "Del";
    default: break;
    }
    if (accel.nKey >= 112 && accel.nKey <= 123)
        return name + "F" + std::to_string(accel.nKey - 111);
    return name + static_cast<char>(accel.nKey);
}
