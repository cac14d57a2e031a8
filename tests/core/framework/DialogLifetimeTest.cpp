// A modeless dialog object outlives its windows: each Create starts afresh, the close box
// destroys the window, and an object that goes first takes its window with it.
#include <gtest/gtest.h>

#include <vector>

#include "framework/Dialog.h"
#include "framework/UserInterface.h"

namespace {

class CWindowCountingUI : public CUserInterface {
public:
    CWindowCountingUI() { AfxSetUserInterface(this); }
    ~CWindowCountingUI() override { AfxSetUserInterface(nullptr); }
    int MessageBox(const std::string&, const std::string&, UINT nType) override { return AfxDefaultButton(nType); }
    int RunModal(CDialog&) override { return IDCANCEL; }
    void Beep() override {}
    bool CreateModeless(CDialog& dlg) override
    {
        ++m_nCreated;
        dlg.SetHasWindow(true);
        return true;
    }
    void DestroyModeless(CDialog& dlg) override
    {
        ++m_nDestroyed;
        dlg.SetHasWindow(false);
    }
    int m_nCreated = 0;
    int m_nDestroyed = 0;
};

} // namespace

TEST(DialogLifetime, CloseDestroysTheWindowAndCreateStartsAfresh)
{
    CWindowCountingUI ui;
    CDialog dlg(131);
    ASSERT_TRUE(dlg.Create(131));
    dlg.OnCancel();   // Escape in the window ends the dialog...
    EXPECT_TRUE(dlg.IsEnded());
    dlg.OnClose();    // ...and the close box destroys it
    EXPECT_FALSE(dlg.HasWindow());
    EXPECT_EQ(ui.m_nDestroyed, 1);
    ASSERT_TRUE(dlg.Create(131));
    EXPECT_FALSE(dlg.IsEnded());   // the new window is not born ended
    EXPECT_EQ(ui.m_nCreated, 2);
}

TEST(DialogLifetime, ObjectGoingFirstDestroysItsWindow)
{
    CWindowCountingUI ui;
    {
        CDialog dlg(131);
        ASSERT_TRUE(dlg.Create(131));
    }
    EXPECT_EQ(ui.m_nDestroyed, 1);
    {
        CDialog dlg(131);   // never created: nothing to destroy
    }
    EXPECT_EQ(ui.m_nDestroyed, 1);
}
