// The main frame as the user meets it: menus, toolbar, prompts, accelerators, the view.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "framework/DocTemplate.h"
#include "gui/AppFixture.h"
#include "resources/Resource.h"

using namespace apptest;

namespace {

std::vector<QString> MenuTexts(QMenu* pMenu)
{
    std::vector<QString> texts;
    for (QAction* pAction : pMenu->actions()) {
        if (!pAction->isVisible())
            continue;
        texts.push_back(pAction->isSeparator() ? QStringLiteral("-") : pAction->text());
    }
    return texts;
}

std::string Rows(const CFretlyDoc* pDoc)
{
    std::string all;
    for (const auto& pStaff : pDoc->m_ppStaffs)
        for (const auto& row : pStaff->m_rows)
            all += std::string(row) + "\n";
    return all;
}

} // namespace

TEST(AppFrame, MenuBarInOrderWithMnemonicsShortcutTextAndGreyedPlaceholder)
{
    AppFixture f;
    ASSERT_TRUE(f.Start());
    QMenuBar* pBar = f.Frame()->menuBar();
    ASSERT_EQ(pBar->actions().size(), 3);
    EXPECT_EQ(pBar->actions()[0]->text(), "&File");
    EXPECT_EQ(pBar->actions()[1]->text(), "&Edit");
    EXPECT_EQ(pBar->actions()[2]->text(), "&Help");   // and no View menu

    QMenu* pFile = pBar->actions()[0]->menu();
    f.Frame()->UpdateMenus();
    EXPECT_EQ(MenuTexts(pFile),
              (std::vector<QString>{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Save\tCtrl+S", "Save &As...", "-",
                                    "View Headers...", "-", "&Print...\tCtrl+P", "Print Pre&view",
                                    "P&rint Setup...", "-", "Recent File", "-", "E&xit"}));
    EXPECT_EQ(MenuTexts(pBar->actions()[1]->menu()),
              (std::vector<QString>{"Insert Column\tCtrl+I", "Delete Column\tCtrl+D", "Move Down", "Merge Up", "-",
                                    "Insert Staff\tCtrl+A", "Delete Staff"}));
    EXPECT_EQ(MenuTexts(pBar->actions()[2]->menu()), (std::vector<QString>{"Tab Hints", "&About fretly..."}));

    // Everything enabled but the empty recent-file placeholder, also on a one-staff document.
    for (QAction* pAction : pFile->actions()) {
        if (!pAction->isSeparator()) {
            EXPECT_EQ(pAction->isEnabled(), pAction->text() != "Recent File") << pAction->text().toStdString();
        }
    }
    EXPECT_TRUE(f.Frame()->GetCommandAction(ID_EDIT_DELETESTAFF)->isEnabled());
    // Menu items give their commands no key of their own: the accelerators do that.
    EXPECT_TRUE(f.Frame()->GetCommandAction(ID_FILE_NEW)->shortcut().isEmpty());
}

TEST(AppFrame, ToolbarButtonsInOrderWithToolTipsAndFlyByPrompts)
{
    AppFixture f;
    ASSERT_TRUE(f.Start());
    QToolBar* pBar = f.Frame()->GetToolBar();
    EXPECT_FALSE(pBar->isMovable());
    EXPECT_FALSE(pBar->isFloatable());
    std::vector<QString> tips;
    for (QAction* pAction : pBar->actions())
        tips.push_back(pAction->isSeparator() ? QStringLiteral("-") : pAction->toolTip());
    EXPECT_EQ(tips, (std::vector<QString>{"New", "Open", "Save", "-", "File Info", "New Staff", "Vertical Bar",
                                          "Delete Staff", "-", "Insert Column", "Delete Column", "Move Down",
                                          "Merge Up", "-", "Print", "About"}));
    QAction* pNew = pBar->actions()[0];
    QWidget* pButton = pBar->widgetForAction(pNew);
    EXPECT_EQ(pButton->size(), QSize(23, 22));
    EXPECT_EQ(pBar->iconSize(), QSize(16, 15));
    EXPECT_FALSE(pNew->icon().isNull());

    EXPECT_EQ(f.Frame()->GetMessagePaneText(), "Ready");
    pNew->showStatusText(pButton);
    EXPECT_EQ(f.Frame()->GetMessagePaneText(), "Create a new document");
    f.Frame()->statusBar()->clearMessage();
    EXPECT_EQ(f.Frame()->GetMessagePaneText(), "Ready");
    EXPECT_EQ(f.Frame()->GetCommandAction(ID_EDIT_MERGEUP)->statusTip(),
              "Merge the contents of the staff below into empty space on this staff");

    // The three lock indicators follow the message pane.
    for (UINT nID : {ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL})
        ASSERT_NE(f.Frame()->GetIndicator(nID), nullptr);
}

TEST(AppFrame, EachCommandReachesTheHandlerOfItsClass)
{
    AppFixture f;
    ASSERT_TRUE(f.Start());
    // The first target in the routing order that has a handler.
    auto owner = [&](UINT nID) -> std::string {
        if (f.View()->HasCmdHandler(nID))
            return "view";
        if (f.Doc()->HasCmdHandler(nID))
            return "document";
        if (f.app.GetDocTemplate()->HasCmdHandler(nID))
            return "template";
        if (f.Frame()->HasCmdHandler(nID))
            return "frame";
        if (f.app.IsCommandHandled(nID))
            return "application";
        return "none";
    };
    for (UINT nID : {ID_EDIT_INSERTCOLUMN, ID_EDIT_DELETECOLUMN, ID_EDIT_MOVEDOWN, ID_EDIT_MERGEUP,
                     ID_EDIT_INSERTSTAFF, ID_EDIT_DELETESTAFF, ID_EDIT_VERTICALBAR, ID_FILE_PRINT,
                     ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_DIRECT})
        EXPECT_EQ(owner(nID), "view") << nID;
    for (UINT nID : {ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_VIEW_HEADERS})
        EXPECT_EQ(owner(nID), "document") << nID;
    for (UINT nID : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_PRINT_SETUP, ID_APP_EXIT, ID_APP_ABOUT, ID_HELP_TABHINTS})
        EXPECT_EQ(owner(nID), "application") << nID;
    for (UINT nID : {ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_UNDO, ID_NEXT_PANE, ID_PREV_PANE})
        EXPECT_EQ(owner(nID), "none") << nID;

    // Through the real widgets: the toolbar's New Staff button and the menus.
    f.Frame()->GetToolBar()->actions()[5]->trigger();
    EXPECT_EQ(f.Doc()->m_nStaffs, 2);
    f.modalTitles.clear();
    WhenModal([&](QWidget* pModal) {
        f.modalTitles.push_back(pModal->windowTitle());
        QMetaObject::invokeMethod(pModal, "reject", Qt::QueuedConnection);
    });
    f.Frame()->GetCommandAction(ID_VIEW_HEADERS)->trigger();
    WhenModal([&](QWidget* pModal) {
        f.modalTitles.push_back(pModal->windowTitle());
        QMetaObject::invokeMethod(pModal, "reject", Qt::QueuedConnection);
    });
    f.Frame()->GetCommandAction(ID_APP_ABOUT)->trigger();
    WhenModal([&](QWidget* pModal) {
        f.modalTitles.push_back(pModal->metaObject()->className());
        QMetaObject::invokeMethod(pModal, "reject", Qt::QueuedConnection);
    });
    f.Frame()->GetCommandAction(ID_FILE_PRINT)->trigger();
    EXPECT_EQ(f.modalTitles, (std::vector<QString>{"Fretly - File Information", "About fretly", "QPrintDialog"}));
}

TEST(AppFrame, AcceleratorsTakeTheirKeysBeforeTheView)
{
    AppFixture f;
    ASSERT_TRUE(f.Start());
    QWidget* pHost = f.Host();
    TypeText(pHost, "7");
    ASSERT_EQ(f.Doc()->m_ppStaffs[0]->m_rows[0][1], '7');
    const std::string before = Rows(f.Doc());
    const int nCol = f.View()->m_nCurCol;

    struct K { int key; Qt::KeyboardModifiers mods; QString text; };
    const K dead[] = {
        {Qt::Key_C, Qt::ControlModifier, QString(QChar(3))},  {Qt::Key_V, Qt::ControlModifier, QString(QChar(22))},
        {Qt::Key_X, Qt::ControlModifier, QString(QChar(24))}, {Qt::Key_Z, Qt::ControlModifier, QString(QChar(26))},
        {Qt::Key_Backspace, Qt::AltModifier, QString(QChar(8))}, {Qt::Key_Delete, Qt::ShiftModifier, {}},
        {Qt::Key_Insert, Qt::ControlModifier, {}},           {Qt::Key_Insert, Qt::ShiftModifier, {}},
        {Qt::Key_F6, Qt::NoModifier, {}},                    {Qt::Key_F6, Qt::ShiftModifier, {}},
    };
    for (const K& k : dead)
        SendKey(pHost, k.key, k.mods, k.text);
    EXPECT_EQ(Rows(f.Doc()), before);
    EXPECT_EQ(f.View()->m_nCurCol, nCol);

    // Delete without Shift still reaches the view.
    SendKey(pHost, Qt::Key_Left, Qt::NoModifier);
    SendKey(pHost, Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(f.Doc()->m_ppStaffs[0]->m_rows[0][1], '-');
    // Ctrl+A is Insert Staff, not select-all.
    SendKey(pHost, Qt::Key_A, Qt::ControlModifier, QString(QChar(1)));
    EXPECT_EQ(f.Doc()->m_nStaffs, 2);
}

TEST(AppFrame, TypingAndClickingIntoTheViewChangeTheDocument)
{
    AppFixture f;
    ASSERT_TRUE(f.Start());
    TypeText(f.Host(), "5h7");
    EXPECT_EQ(std::string(f.Doc()->m_ppStaffs[0]->m_rows[0] + 1, 3), "5h7");
    EXPECT_TRUE(f.Doc()->IsModified());

    CFretlyView* pView = f.View();
    const int col = 20, row = 3;
    const QPoint pt(pView->m_xMargin + col * pView->m_cxChar + pView->m_cxChar / 2,
                    pView->m_yMargin + row * pView->m_cyChar + pView->m_cyChar / 2);
    Click(f.Frame()->GetViewHost()->viewport(), pt);
    EXPECT_EQ(pView->m_nCurRow, row);
    EXPECT_EQ(pView->m_nCurCol, col);
    TypeText(f.Host(), "9");
    EXPECT_EQ(f.Doc()->m_ppStaffs[0]->m_rows[row][col], '9');
}
