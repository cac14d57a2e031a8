// Modeless dialogs: one window per dialog object, placed from the owner's client corner
// and kept on the screen, activated rather than duplicated, destroyed (never just hidden).
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>

#include <memory>

#include "GuiTestSupport.h"
#include "framework/qt/QtDialogWindow.h"
#include "framework/qt/QtUserInterface.h"
#include "resources/Resource.h"

namespace {

class CHintsLike : public CDialog {
public:
    CHintsLike() : CDialog(IDD_TABHINTS) {}
    void OnClose() override
    {
        ++m_nCloses;
        CDialog::OnClose();
    }
    int m_nCloses = 0;
};

class QtModelessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiApp();
        m_pMain = std::make_unique<QMainWindow>();
        m_pMain->menuBar()->addMenu(QStringLiteral("&File"));
        m_pMain->setCentralWidget(new QWidget);
        m_pMain->setGeometry(20, 30, 400, 300);
        m_pMain->show();
        QCoreApplication::processEvents();
        m_ui.SetMainWindow(m_pMain.get());
    }
    void TearDown() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    CQtUserInterface m_ui;
    std::unique_ptr<QMainWindow> m_pMain;
};

} // namespace

TEST_F(QtModelessTest, CreateShowsAToolWindowAtItsTemplatePlace)
{
    CHintsLike dlg;
    ASSERT_TRUE(dlg.Create(IDD_TABHINTS));
    EXPECT_TRUE(dlg.HasWindow());
    CQtDialogWindow* pWnd = m_ui.GetModelessWindow(dlg);
    ASSERT_NE(pWnd, nullptr);
    EXPECT_TRUE(pWnd->isVisible());
    EXPECT_EQ(pWnd->windowType(), Qt::Tool);
    EXPECT_EQ(pWnd->parentWidget(), m_pMain.get());
    EXPECT_EQ(pWnd->windowTitle(), QStringLiteral("Tablature Hints"));

    // x = 600, y = 5 dialog units from the client corner (below the menu bar), but never
    // past the right edge of the work area.
    const CDialogBaseUnits& units = pWnd->GetBaseUnits();
    const QPoint corner = m_pMain->mapToGlobal(QPoint(0, m_pMain->menuBar()->height()));
    const QRect avail = m_pMain->screen()->availableGeometry();
    const int xWanted = corner.x() + units.ToPixelsX(600);
    const int xExpected = std::min(xWanted, avail.right() + 1 - pWnd->frameGeometry().width());
    EXPECT_EQ(pWnd->frameGeometry().x(), xExpected);
    EXPECT_EQ(pWnd->y(), corner.y() + units.ToPixelsY(5));
    EXPECT_LE(pWnd->frameGeometry().right(), avail.right());
}

TEST_F(QtModelessTest, TabsInStaticTextsAreKeptForTwoColumns)
{
    CHintsLike dlg;
    ASSERT_TRUE(dlg.Create(IDD_TABHINTS));
    CQtDialogWindow* pWnd = m_ui.GetModelessWindow(dlg);
    ASSERT_NE(pWnd, nullptr);
    QStringList texts;
    QLabel* pHammer = nullptr;
    for (QLabel* pLabel : pWnd->findChildren<QLabel*>()) {
        texts << pLabel->text();
        if (pLabel->text() == QStringLiteral("h\tHammer On"))
            pHammer = pLabel;
    }
    EXPECT_EQ(texts.size(), 18);
    ASSERT_NE(pHammer, nullptr);
    // The second column starts at the first tab stop, eight average character widths in,
    // with nothing painted between the symbol and it.
    const QImage shot = pHammer->grab().toImage();
    const QColor bg = shot.pixelColor(shot.width() - 1, 0);
    auto inkInColumn = [&](int x) {
        for (int y = 0; y < shot.height(); ++y)
            if (shot.pixelColor(x, y) != bg)
                return true;
        return false;
    };
    const int tabStop = 8 * pWnd->GetBaseUnits().CxAvgChar();
    // The first ink after a run of blank columns that follows the symbol.
    const int nMinGap = static_cast<int>(2 * shot.devicePixelRatio());
    int xSecond = -1;
    bool bSymbol = false;
    int nBlank = 0;
    for (int x = 0; x < shot.width() && xSecond < 0; ++x) {
        const bool bInk = inkInColumn(x);
        if (bInk && bSymbol && nBlank >= nMinGap)
            xSecond = x;
        bSymbol = bSymbol || bInk;
        nBlank = bInk ? 0 : nBlank + 1;
    }
    // The grab is in device pixels; the tab stop in logical ones.
    const double xLogical = xSecond / shot.devicePixelRatio();
    EXPECT_GE(xLogical, tabStop - 1);
    EXPECT_LE(xLogical, tabStop + 4);
}

TEST_F(QtModelessTest, ActivateBringsBackTheSameWindowAtItsCurrentPlace)
{
    CHintsLike dlg;
    ASSERT_TRUE(dlg.Create(IDD_TABHINTS));
    CQtDialogWindow* pWnd = m_ui.GetModelessWindow(dlg);
    pWnd->move(5, 7);
    m_ui.ActivateModeless(dlg);
    EXPECT_EQ(m_ui.GetModelessWindow(dlg), pWnd);
    EXPECT_EQ(pWnd->pos(), QPoint(5, 7));
    // A second Create while the window exists makes no second window.
    EXPECT_TRUE(dlg.Create(IDD_TABHINTS));
    EXPECT_EQ(m_ui.GetModelessWindow(dlg), pWnd);
    EXPECT_EQ(m_pMain->findChildren<CQtDialogWindow*>().size(), 1);
}

TEST_F(QtModelessTest, CloseBoxRunsOnCloseAndLeavesNoWindow)
{
    CHintsLike dlg;
    ASSERT_TRUE(dlg.Create(IDD_TABHINTS));
    QPointer<CQtDialogWindow> pWnd = m_ui.GetModelessWindow(dlg);
    pWnd->move(3, 3);
    pWnd->close();
    EXPECT_EQ(dlg.m_nCloses, 1);
    EXPECT_FALSE(dlg.HasWindow());
    EXPECT_EQ(m_ui.GetModelessWindow(dlg), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(pWnd.isNull());

    // Reopened at the template place, not where the old one was.
    ASSERT_TRUE(dlg.Create(IDD_TABHINTS));
    CQtDialogWindow* pNew = m_ui.GetModelessWindow(dlg);
    const QPoint corner = m_pMain->mapToGlobal(QPoint(0, m_pMain->menuBar()->height()));
    EXPECT_EQ(pNew->y(), corner.y() + pNew->GetBaseUnits().ToPixelsY(5));
}

TEST_F(QtModelessTest, EscapeNeverLeavesAHiddenWindowBehind)
{
    CHintsLike dlg;
    ASSERT_TRUE(dlg.Create(IDD_TABHINTS));
    CQtDialogWindow* pWnd = m_ui.GetModelessWindow(dlg);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(pWnd, &esc);
    // Either still shown or gone; never existing and hidden.
    EXPECT_FALSE(dlg.HasWindow() && !m_ui.GetModelessWindow(dlg)->isVisible());
    EXPECT_FALSE(dlg.HasWindow());
    ASSERT_TRUE(dlg.Create(IDD_TABHINTS));
    EXPECT_TRUE(m_ui.GetModelessWindow(dlg)->isVisible());
}

TEST_F(QtModelessTest, DestroyAndOwnerDestructionDetachTheDialog)
{
    CHintsLike dlg;
    ASSERT_TRUE(dlg.Create(IDD_TABHINTS));
    dlg.DestroyWindow();
    EXPECT_FALSE(dlg.HasWindow());
    EXPECT_EQ(dlg.GetControls(), nullptr);

    ASSERT_TRUE(dlg.Create(IDD_TABHINTS));
    m_pMain.reset();   // the owner goes, and its Hints window with it
    EXPECT_FALSE(dlg.HasWindow());
    EXPECT_EQ(dlg.GetControls(), nullptr);
    EXPECT_EQ(m_ui.GetModelessWindow(dlg), nullptr);
}

TEST_F(QtModelessTest, DialogObjectGoingFirstTakesItsWindow)
{
    QPointer<CQtDialogWindow> pWnd;
    {
        CHintsLike dlg;
        ASSERT_TRUE(dlg.Create(IDD_TABHINTS));
        pWnd = m_ui.GetModelessWindow(dlg);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(pWnd.isNull());
}
