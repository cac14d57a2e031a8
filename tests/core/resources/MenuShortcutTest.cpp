// A menu item's shortcut text and the accelerator table are typed in two places: they
// must say the same thing, or the menu promises a key that does something else.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "resources/MenuTables.h"
#include "resources/Resource.h"

namespace {

// Command -> the shortcut text its menu item shows ("" when it shows none).
std::map<UINT, std::string> MenuShortcuts()
{
    std::map<UINT, std::string> shown;
    for (const MenuPopupDef& popup : AfxMainMenu()) {
        for (const MenuItemDef& item : popup.items) {
            if (item.nFlags & MF_SEPARATOR)
                continue;
            const std::size_t tab = item.text.find('\t');
            shown[item.nID] = tab == std::string::npos ? std::string() : item.text.substr(tab + 1);
        }
    }
    return shown;
}

} // namespace

TEST(MenuShortcuts, EveryShortcutShownIsTheAcceleratorOfItsCommand)
{
    const std::vector<AccelDef>& accels = AfxAcceleratorTable(IDR_MAINFRAME);
    int nShown = 0;
    for (const auto& [nID, text] : MenuShortcuts()) {
        if (text.empty())
            continue;
        ++nShown;
        bool bFound = false;
        for (const AccelDef& accel : accels) {
            if (AfxAccelKeyName(accel) != text)
                continue;
            bFound = true;
            EXPECT_EQ(accel.nCmd, nID) << text << " is shown for command " << nID << " but runs " << accel.nCmd;
        }
        EXPECT_TRUE(bFound) << text << " is shown for command " << nID << " but no accelerator has that key";
    }
    EXPECT_GT(nShown, 0);
}

TEST(MenuShortcuts, EveryAcceleratorOfAMenuCommandIsShownInItsItem)
{
    const std::map<UINT, std::string> shown = MenuShortcuts();
    for (const AccelDef& accel : AfxAcceleratorTable(IDR_MAINFRAME)) {
        const auto it = shown.find(accel.nCmd);
        if (it == shown.end())
            continue;   // a command without a menu item (Copy, Undo, the next pane)
        EXPECT_EQ(it->second, AfxAccelKeyName(accel)) << "the menu item of command " << accel.nCmd;
    }
}

TEST(MenuShortcuts, NoKeyRunsTwoCommands)
{
    for (UINT nTable : {IDR_MAINFRAME, IDR_PREVIEW_ACCEL}) {
        std::set<std::pair<UINT, UINT>> keys;
        for (const AccelDef& accel : AfxAcceleratorTable(nTable))
            EXPECT_TRUE(keys.insert({accel.fVirt & ~FNOINVERT, accel.nKey}).second)
                << AfxAccelKeyName(accel) << " twice in table " << nTable;
    }
}
