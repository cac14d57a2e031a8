#pragma once
// The menu, toolbar, accelerator and status-bar tables of resource 128 as data, from
// which the main frame builds its widgets.
#include <string>
#include <vector>

#include "framework/StringTable.h"   // AfxCommandPrompt, AfxCommandToolTip
#include "framework/Types.h"

// Menu item flags
constexpr UINT MF_STRING = 0x0;
constexpr UINT MF_GRAYED = 0x1;
constexpr UINT MF_SEPARATOR = 0x800;

struct MenuItemDef {
    UINT nID;          // 0 with MF_SEPARATOR
    std::string text;  // '&' marks the mnemonic, '\t' precedes the shortcut text
    UINT nFlags;
};

struct MenuPopupDef {
    std::string text;
    std::vector<MenuItemDef> items;
};

// Accelerator flags (virtual-key entries; FNOINVERT: the menu bar does not flash)
constexpr UINT FVIRTKEY = 0x01;
constexpr UINT FNOINVERT = 0x02;
constexpr UINT FSHIFT = 0x04;
constexpr UINT FCONTROL = 0x08;
constexpr UINT FALT = 0x10;

struct AccelDef {
    UINT fVirt;
    UINT nKey;   // virtual-key code
    UINT nCmd;
};

// Menu resource 128.
const std::vector<MenuPopupDef>& AfxMainMenu();
// Toolbar resource 128: command IDs from the left, ID_SEPARATOR for a separator.
// Button i (separators not counted) shows image i of the strip.
const std::vector<UINT>& AfxToolbarButtons();
constexpr int TOOLBAR_IMAGE_CX = 16;
constexpr int TOOLBAR_IMAGE_CY = 15;
constexpr int TOOLBAR_BUTTON_CX = 23;
constexpr int TOOLBAR_BUTTON_CY = 22;
constexpr int TOOLBAR_IMAGE_COUNT = 13;
// Accelerator table 128 (main frame) or 30997 (print preview), in stored order.
const std::vector<AccelDef>& AfxAcceleratorTable(UINT nID);
// Status-bar panes: the message pane (ID_SEPARATOR), then CAP, NUM and SCRL.
const std::vector<UINT>& AfxStatusIndicators();

// "Ctrl+A", "Shift+Delete", "Alt+Backspace", "F6" ...
std::string AfxAccelKeyName(const AccelDef& accel);
