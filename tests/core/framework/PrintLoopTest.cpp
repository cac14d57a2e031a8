// The framework's print and preview loops: the hooks in their order, the page range,
// direct printing, and every way a job can fail to reach the printer.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/PrintInfo.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "support/FakePrinter.h"
#include "support/ScriptedUserInterface.h"

namespace {

class CHookView : public CView {
public:
    void OnDraw(CDC*) override { log.push_back("draw"); }
    bool OnPreparePrinting(CPrintInfo* pInfo) override
    {
        log.push_back("prepare");
        return CView::OnPreparePrinting(pInfo);
    }
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override
    {
        log.push_back("begin");
        EXPECT_TRUE(pDC->IsPrinting());
        if (nPagesOfHeight != 0)
            pInfo->SetMaxPage(static_cast<UINT>(nPagesOfHeight / pDC->GetDeviceCaps(VERTRES)));
        else if (nPages != 0)
            pInfo->SetMaxPage(nPages);
    }
    void OnPrepareDC(CDC* pDC) override { log.push_back("dc" + std::to_string(pDC->GetViewportOrg().x)); }
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override
    {
        log.push_back("print " + std::to_string(pInfo->m_nCurPage));
        EXPECT_EQ(pInfo->m_rectDraw, CRect(0, 0, pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES)));
        pDC->TextOut(0, 0, "page " + std::to_string(pInfo->m_nCurPage));
        if (pInfo->m_nCurPage == nStopAfter)
            pInfo->m_bContinuePrinting = false;
    }
    void OnEndPrinting(CDC*, CPrintInfo*) override { log.push_back("end"); }

    UINT nPages = 3;
    int nPagesOfHeight = 0;   // lay out this much height over the page's (0: nPages)
    UINT nStopAfter = 0;
    std::vector<std::string> log;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHookView, CView)
ON_COMMAND_BASE(ID_FILE_PRINT, CView::OnFilePrint)
ON_COMMAND_BASE(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
ON_COMMAND_BASE(ID_FILE_PRINT_PREVIEW, CView::OnFilePrintPreview)
END_MESSAGE_MAP()

using Log = std::vector<std::string>;

struct PrintLoop : ::testing::Test {
    ScriptedUserInterface ui;
    FakePrinter printer{CSize(10, 20), 600, 900};
    CHookView view;
};

TEST_F(PrintLoop, HooksRunInOrderForEveryPage)
{
    EXPECT_TRUE(view.OnCmdMsg(ID_FILE_PRINT));
    EXPECT_EQ(view.log, (Log{"prepare", "begin", "dc0", "print 1", "dc0", "print 2", "dc0", "print 3", "end"}));
    EXPECT_EQ(printer.log, (Log{"open dialog", "StartDoc Fretly", "StartPage", "EndPage", "StartPage", "EndPage",
                                "StartPage", "EndPage", "EndDoc", "close"}));
    ASSERT_EQ(printer.pages.size(), 3U);
    EXPECT_EQ(FakePrinter::Texts(printer.pages[2]), (std::vector<std::string>{"page 3"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PrintLoop, ViewThatDoesNotCountItsPagesPrintsOne)
{
    view.nPages = 0;
    view.OnCmdMsg(ID_FILE_PRINT);
    EXPECT_EQ(view.log, (Log{"prepare", "begin", "dc0", "print 1", "end"}));
    printer.previewShows = {1};
    view.OnCmdMsg(ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(printer.previewMaxPage, 1U);
}

TEST_F(PrintLoop, CancelledDialogEndsTheJobBeforeAnythingElse)
{
    printer.bCancel = true;
    view.OnCmdMsg(ID_FILE_PRINT);
    EXPECT_EQ(view.log, (Log{"prepare"}));
    EXPECT_TRUE(printer.pages.empty());
    EXPECT_TRUE(ui.messages.empty());   // a cancel is the user's own choice
}

TEST_F(PrintLoop, RangeIsClampedToThePagesTheViewHas)
{
    printer.nDialogFrom = 2;
    printer.nDialogTo = 9;
    view.OnCmdMsg(ID_FILE_PRINT);
    EXPECT_EQ(view.log, (Log{"prepare", "begin", "dc0", "print 2", "dc0", "print 3", "end"}));

    // A range wholly past the end prints nothing but still ends the job cleanly.
    view.log.clear();
    printer.pages.clear();
    printer.nDialogFrom = 5;
    view.OnCmdMsg(ID_FILE_PRINT);
    EXPECT_EQ(view.log, (Log{"prepare", "begin", "end"}));
    EXPECT_TRUE(printer.pages.empty());
}

TEST_F(PrintLoop, ViewCanStopTheJobEarly)
{
    view.nStopAfter = 1;
    view.OnCmdMsg(ID_FILE_PRINT);
    EXPECT_EQ(view.log, (Log{"prepare", "begin", "dc0", "print 1", "end"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PrintLoop, JobThatCannotStartStillEndsPrintingAndSaysSo)
{
    printer.bFailStartDoc = true;
    view.OnCmdMsg(ID_FILE_PRINT);
    EXPECT_EQ(view.log, (Log{"prepare", "begin", "end"}));
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, "Could not start print job.");
}

TEST_F(PrintLoop, FailuresDuringTheJobAbortAndAreReported)
{
    printer.nFailStartPage = 2;
    view.OnCmdMsg(ID_FILE_PRINT);
    EXPECT_EQ(view.log, (Log{"prepare", "begin", "dc0", "print 1", "end"}));
    EXPECT_EQ(printer.log.back(), "close");
    EXPECT_EQ(printer.log[printer.log.size() - 2], "AbortDoc");
    ASSERT_EQ(ui.messages.size(), 1U);

    ui.messages.clear();
    printer.nFailStartPage = 0;
    printer.bFailEndDoc = true;   // for instance the PDF file could not be written
    view.OnCmdMsg(ID_FILE_PRINT);
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, "Could not start print job.");
}

TEST_F(PrintLoop, DirectPrintHasNoDialogAndTakesThePrinterFromTheCommandLine)
{
    CWinApp app;
    CCommandLineInfo cmd;
    cmd.m_nShellCommand = CCommandLineInfo::FilePrintTo;
    cmd.m_strPrinterName = "Office";
    app.m_pCmdInfo = &cmd;
    view.OnCmdMsg(ID_FILE_PRINT_DIRECT);
    EXPECT_EQ(printer.log.front(), "open direct");
    EXPECT_EQ(printer.printerName, "Office");
    EXPECT_EQ(printer.pages.size(), 3U);
    EXPECT_TRUE(app.m_bPrintJobDone);
    printer.bFailEndDoc = true;
    view.OnCmdMsg(ID_FILE_PRINT_DIRECT);
    EXPECT_FALSE(app.m_bPrintJobDone);
    printer.bFailEndDoc = false;

    // The Print command after it is a dialog print again.
    printer.log.clear();
    app.m_pCmdInfo = nullptr;
    view.OnCmdMsg(ID_FILE_PRINT);
    EXPECT_EQ(printer.log.front(), "open dialog");
    EXPECT_EQ(printer.printerName, "");
}

TEST_F(PrintLoop, PreviewIsOneJobAndRemembersThePageChoice)
{
    CWinApp app;
    app.m_nNumPreviewPages = 2;
    printer.previewShows = {1, 2, 1, 3};
    printer.nPreviewChoice = 1;
    view.OnCmdMsg(ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(view.log, (Log{"prepare", "begin", "dc0", "print 1", "dc0", "print 2", "dc0", "print 1", "dc0",
                             "print 3", "end"}));
    EXPECT_EQ(printer.previewPagesOffered, 2U);
    EXPECT_EQ(printer.previewMaxPage, 3U);
    EXPECT_EQ(app.m_nNumPreviewPages, 1);
    EXPECT_EQ(printer.log.front(), "open preview");

    // A preview closed without choosing leaves the setting alone.
    printer.nPreviewChoice = 0;
    view.OnCmdMsg(ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(app.m_nNumPreviewPages, 1);
}

TEST_F(PrintLoop, CancelStopsAfterTheShownPageAndGivesTheViewBackOnce)
{
    CWinApp app;
    view.nPages = 5;
    printer.bStatusWindow = true;
    printer.nCancelAfterPage = 2;
    view.OnCmdMsg(ID_FILE_PRINT);
    EXPECT_EQ(view.log, (Log{"prepare", "begin", "dc0", "print 1", "dc0", "print 2", "end"}));
    EXPECT_EQ(printer.log, (Log{"open dialog", "StartDoc Fretly", "status open", "status 1/5", "StartPage", "EndPage",
                                "status 2/5", "StartPage", "EndPage", "status closed", "AbortDoc", "close"}));
    EXPECT_EQ(printer.pages.size(), 2U);
    EXPECT_TRUE(ui.messages.empty());   // the user's own choice, not a failure
    EXPECT_FALSE(app.m_bPrintJobDone);  // a command-line print that was cancelled did not print
}

TEST_F(PrintLoop, StatusWindowCountsThePagesThatGoOut)
{
    struct Case {
        UINT nViewPages;   // 0: the view does not count its pages
        UINT nFrom, nTo;
        Log status;
    };
    const Case cases[] = {
        {3, 0, 0, {"status 1/3", "status 2/3", "status 3/3"}},
        {3, 2, 3, {"status 2/3", "status 3/3"}},   // a range still counts the document's pages
        {0, 0, 0, {"status 1/0"}},                 // unknown total
        {3, 5, 6, {}},                             // nothing in range: nothing to tell
    };
    for (const Case& c : cases) {
        printer.log.clear();
        view.nPages = c.nViewPages;
        printer.nDialogFrom = c.nFrom;
        printer.nDialogTo = c.nTo;
        printer.bStatusWindow = true;
        view.OnCmdMsg(ID_FILE_PRINT);
        Log status;
        for (const std::string& entry : printer.log)
            if (entry.rfind("status ", 0) == 0 && entry != "status open" && entry != "status closed")
                status.push_back(entry);
        EXPECT_EQ(status, c.status) << c.nViewPages << " " << c.nFrom;
        EXPECT_EQ(printer.log[printer.log.size() - 3], "status closed");
        EXPECT_EQ(printer.log[printer.log.size() - 2], "EndDoc");
    }
}

TEST_F(PrintLoop, PreviewLaysOutAgainWhenThePaperChanges)
{
    view.nPagesOfHeight = 2700;
    printer.previewShows = {1, 2, 3, 1, 2};
    printer.nTurnPaperAt = 3;           // 900 high, then 1350: 3 pages, then 2
    printer.nTurnedHorzRes = 900;
    printer.nTurnedVertRes = 1350;
    view.OnCmdMsg(ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(printer.previewMaxPage, 3U);
    EXPECT_EQ(printer.previewMaxPageTurned, 2U);
    const Log expected{"prepare", "begin", "dc0", "print 1", "dc0", "print 2", "dc0", "print 3", "end", "begin",
                       "dc0", "print 1", "dc0", "print 2", "end"};
    EXPECT_EQ(view.log, expected);

    // Drawing the pages again on the same paper lays nothing out again.
    view.log.clear();
    printer.nTurnPaperAt = 0;
    view.OnCmdMsg(ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(std::count(view.log.begin(), view.log.end(), "begin"), 1);
    EXPECT_EQ(std::count(view.log.begin(), view.log.end(), "end"), 1);
}

TEST_F(PrintLoop, PrintFromThePreviewIsANewJobAfterThePreviewCloses)
{
    printer.previewShows = {1};
    printer.bPrintFromPreview = true;
    view.OnCmdMsg(ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(view.log, (Log{"prepare", "begin", "dc0", "print 1", "end", "prepare", "begin", "dc0", "print 1",
                             "dc0", "print 2", "dc0", "print 3", "end"}));
    // The preview's job is closed before the Print dialog opens.
    EXPECT_EQ(std::vector<std::string>(printer.log.begin(), printer.log.begin() + 4),
              (Log{"open preview", "preview", "close", "open dialog"}));
    EXPECT_EQ(printer.pages.size(), 4U);   // the preview's page, then the three printed
}

TEST(PrintWithoutPrinting, NoPrintingSystemIsReportedNotIgnored)
{
    ScriptedUserInterface ui;
    CHookView view;
    view.OnCmdMsg(ID_FILE_PRINT);
    EXPECT_EQ(view.log, (Log{"prepare"}));
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, "Could not start print job.");
}

TEST(PrintSetup, GoesToThePrintingSystem)
{
    ScriptedUserInterface ui;
    CWinApp app;
    {
        FakePrinter printer(CSize(10, 20), 600, 900);
        app.OnFilePrintSetup();
        EXPECT_EQ(printer.log, (Log{"setup"}));
    }
    app.OnFilePrintSetup();
    ASSERT_EQ(ui.messages.size(), 1U);   // nothing to set up is said, not ignored
}

} // namespace
