// Print preview in the running editor: the view's pages on the printer's grid, the
// screen state back when the preview closes, and the page choice kept for next time.
#include <gtest/gtest.h>

#include <QAction>
#include <QPrintPreviewWidget>

#include "gui/AppFixture.h"
#include "resources/Resource.h"

using namespace apptest;

TEST(AppPrint, PreviewShowsThePagesAndGivesTheScreenBack)
{
    AppFixture f;
    ASSERT_TRUE(f.Start());
    CFretlyDoc* pDoc = f.Doc();
    ASSERT_NE(pDoc, nullptr);
    for (int i = 1; i < 20; ++i)
        pDoc->InsertStaff(i - 1);
    CFretlyView* pView = f.View();
    const int cxScreen = pView->m_cxChar;
    const CFont* pScreenFont = pView->m_pFont.get();

    int nPages = 0;
    int nStaffsPerPage = 0;
    WhenModal([&](QWidget* pModal) {
        auto* pPreview = pModal->findChild<QPrintPreviewWidget*>();
        ASSERT_NE(pPreview, nullptr);
        nPages = pPreview->pageCount();
        nStaffsPerPage = pView->m_nStaffsPerPage;   // the job's layout, while it lasts
        pPreview->setViewMode(QPrintPreviewWidget::FacingPagesView);
        QMetaObject::invokeMethod(pModal, "reject", Qt::QueuedConnection);
    });
    f.Frame()->GetCommandAction(ID_FILE_PRINT_PREVIEW)->trigger();

    // 20 staffs of 8 lines of 10-point text: more than one page, fewer than 20.
    EXPECT_GT(nPages, 1);
    EXPECT_LT(nPages, 20);
    EXPECT_GE(nStaffsPerPage, 5);
    EXPECT_EQ(pView->m_cxChar, cxScreen);
    EXPECT_EQ(pView->m_pFont.get(), pScreenFont);
    EXPECT_EQ(pView->m_xMargin, 8);
    EXPECT_EQ(pView->m_pSavedFont, nullptr);
    EXPECT_EQ(f.app.m_nNumPreviewPages, 2);
}
