// The preview draws pages as they come into sight: a long document opens without drawing
// its pages, each sheet shows its own page, a page turned to is drawn, only a few drawn
// pages are kept, and new paper throws away what was drawn for the old.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPrintPreviewWidget>
#include <QShortcut>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "framework/DC.h"
#include "framework/PrintInfo.h"
#include "framework/qt/QtPreviewPages.h"
#include "framework/qt/QtPrinting.h"
#include "gui/GuiTestSupport.h"
#include "support/ScriptedUserInterface.h"

namespace {

struct QtPreviewPages : ::testing::Test {
    QtPreviewPages()
    {
        GuiApp();
        printing.SharedPrinter().setPageOrientation(QPageLayout::Portrait);
    }
    ~QtPreviewPages() override { printing.SharedPrinter().setPageOrientation(QPageLayout::Portrait); }

    std::unique_ptr<CPrintJob> Open(UINT nPages)
    {
        info.m_bPreview = true;
        info.SetMaxPage(nPages);
        return printing.OpenJob(info);
    }

    ScriptedUserInterface ui;
    CQtPrintingSystem printing{[] { return nullptr; }};
    CPrintInfo info;
};

void Press(QWidget* pModal, Qt::Key key, int nTimes = 1)
{
    for (QShortcut* pShortcut : pModal->findChildren<QShortcut*>()) {
        if (pShortcut->key() == QKeySequence(key)) {
            for (int i = 0; i < nTimes; ++i)
                emit pShortcut->activated();
        }
    }
}

QAction* ActionNamed(QWidget* pWindow, const char* text)
{
    for (QAction* pAction : pWindow->findChildren<QAction*>())
        if (pAction->text() == QLatin1String(text))
            return pAction;
    return nullptr;
}

// The share of dark pixels in the middle of the preview's page area.
double DarkInMiddle(QPrintPreviewWidget* pPreview)
{
    QApplication::processEvents();
    const QImage image = pPreview->grab().toImage();
    const QRect middle(image.width() / 2 - 20, image.height() / 2 - 20, 40, 40);
    int nDark = 0;
    for (int y = middle.top(); y <= middle.bottom(); ++y)
        for (int x = middle.left(); x <= middle.right(); ++x)
            nDark += qGray(image.pixel(x, y)) < 80 ? 1 : 0;
    return nDark / double(middle.width() * middle.height());
}

TEST_F(QtPreviewPages, ALongDocumentOpensWithOnlyThePagesInSightDrawnAndKeepsFew)
{
    auto pJob = Open(3000);
    ASSERT_NE(pJob, nullptr);
    std::vector<UINT> drawn;
    int nPageCount = 0;
    std::size_t nDrawnAtOpen = 0;
    int nKept = 0;
    int nCurrent = 0;
    WhenModal([&](QWidget* pModal) {
        auto* pPreview = pModal->findChild<QPrintPreviewWidget*>();
        ASSERT_NE(pPreview, nullptr);
        nPageCount = pPreview->pageCount();
        pPreview->grab();
        nDrawnAtOpen = drawn.size();
        Press(pModal, Qt::Key_PageDown, 40);
        Press(pModal, Qt::Key_PageUp, 5);
        nCurrent = pPreview->currentPage();
        pPreview->grab();
        nKept = pModal->findChild<CQtPreviewPages*>()->KeptCount();
        QMetaObject::invokeMethod(pModal, "reject", Qt::QueuedConnection);
    });
    EXPECT_TRUE(pJob->RunPreview(info, [] {}, [&](UINT nPage) { drawn.push_back(nPage); }));

    EXPECT_EQ(nPageCount, 3000);
    EXPECT_GE(nDrawnAtOpen, 1U);
    EXPECT_LE(nDrawnAtOpen, 2U);
    EXPECT_EQ(drawn.front(), 1U);
    EXPECT_EQ(nCurrent, 36);
    // Every page turned to was drawn, and none far from them.
    const std::set<UINT> pages(drawn.begin(), drawn.end());
    for (UINT n = 1; n <= 41; ++n)
        EXPECT_TRUE(pages.count(n)) << "page " << n << " never drawn";
    EXPECT_LE(*pages.rbegin(), 42U);
    EXPECT_LE(nKept, CQtPreviewPages::kKept);
    // Pages 36-40 were drawn on the way down and are still kept: back up costs nothing.
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), 36U), 1);
}

TEST_F(QtPreviewPages, EachSheetShowsItsOwnPage)
{
    auto pJob = Open(4);
    ASSERT_NE(pJob, nullptr);
    CDC* pDC = pJob->GetDC();
    std::vector<double> dark;
    WhenModal([&](QWidget* pModal) {
        auto* pPreview = pModal->findChild<QPrintPreviewWidget*>();
        dark.push_back(DarkInMiddle(pPreview));
        Press(pModal, Qt::Key_PageDown);
        dark.push_back(DarkInMiddle(pPreview));
        Press(pModal, Qt::Key_PageDown);
        dark.push_back(DarkInMiddle(pPreview));
        QMetaObject::invokeMethod(pModal, "reject", Qt::QueuedConnection);
    });
    // Page 2 is black all over; the others are blank.
    pJob->RunPreview(info, [] {}, [&](UINT nPage) {
        if (nPage != 2)
            return;
        pDC->SetBkMode(OPAQUE);
        pDC->SetBkColor(RGB(0, 0, 0));
        const std::string blanks(200, ' ');
        const int cy = std::max(1, pDC->GetTextExtent(blanks).cy);
        for (int y = 0; y < pDC->GetDeviceCaps(VERTRES); y += cy)
            pDC->TextOut(0, y, blanks);
    });
    ASSERT_EQ(dark.size(), 3U);
    EXPECT_LT(dark[0], 0.1);
    EXPECT_GT(dark[1], 0.9);
    EXPECT_LT(dark[2], 0.1);
}

TEST_F(QtPreviewPages, NewPaperDrawsTheShownPageAgainOnTheNewLayout)
{
    auto pJob = Open(5);
    ASSERT_NE(pJob, nullptr);
    int nLayouts = 0;
    std::vector<std::pair<int, UINT>> drawn;   // (layout, page)
    WhenModal([&](QWidget* pModal) {
        auto* pPreview = pModal->findChild<QPrintPreviewWidget*>();
        Press(pModal, Qt::Key_PageDown);
        pPreview->grab();
        ActionNamed(pModal, "Landscape")->trigger();
        pPreview->grab();
        QMetaObject::invokeMethod(pModal, "reject", Qt::QueuedConnection);
    });
    pJob->RunPreview(info, [&] { ++nLayouts; }, [&](UINT nPage) { drawn.emplace_back(nLayouts, nPage); });
    EXPECT_EQ(nLayouts, 2);
    const auto after = std::find_if(drawn.begin(), drawn.end(), [](const auto& d) { return d.first == 2; });
    ASSERT_NE(after, drawn.end()) << "nothing drawn on the landscape sheets";
    // The page shown when the paper turned is drawn again for the new paper.
    EXPECT_TRUE(std::count(after, drawn.end(), std::make_pair(2, 2U)) == 1);
}

} // namespace
