// Printing on Qt: PDF jobs named as printers, the printer context's page and resolution,
// jobs that cannot be had, and the preview window's keys and page choice.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QShortcut>
#include <QToolBar>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/DC.h"
#include "framework/PrintInfo.h"
#include "framework/qt/QtPrinting.h"
#include "gui/GuiTestSupport.h"
#include "support/ScriptedUserInterface.h"

namespace fs = std::filesystem;

namespace {

struct QtPrinting : ::testing::Test {
    QtPrinting() { GuiApp(); }
    ~QtPrinting() override
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    fs::path dir = fs::temp_directory_path() / ("fretly-qtprint-" + std::to_string(::getpid()));
    ScriptedUserInterface ui;
    CQtPrintingSystem printing{[] { return nullptr; }};
};

TEST_F(QtPrinting, PdfNamedAsPrinterGetsThePagesAtPrinterResolution)
{
    fs::create_directories(dir);
    CPrintInfo info;
    info.m_bDirect = true;
    info.m_strPrinterName = (dir / "out.PDF").string();
    auto pJob = printing.OpenJob(info);
    ASSERT_NE(pJob, nullptr);
    CDC* pDC = pJob->GetDC();
    EXPECT_TRUE(pDC->IsPrinting());
    EXPECT_EQ(pDC->GetDeviceCaps(LOGPIXELSY), 1200);
    // The printable area of an A4 or Letter page, in printer pixels.
    EXPECT_GT(pDC->GetDeviceCaps(HORZRES), 7 * 1200);
    EXPECT_GT(pDC->GetDeviceCaps(VERTRES), 10 * 1200);

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(100, "Courier New", pDC));
    pDC->SelectObject(&font);
    const CSize cell = pDC->GetTextExtent("A");
    // 10 points at 1200 dpi: about 167 pixels high, a fixed-pitch cell about 100 wide.
    EXPECT_NEAR(cell.cy, 190, 30);
    EXPECT_NEAR(cell.cx, 100, 5);
    EXPECT_EQ(pDC->GetTextExtent("ABCDEFGHIJ").cx, 10 * cell.cx);

    ASSERT_TRUE(pJob->StartDoc("song"));
    ASSERT_TRUE(pJob->StartPage());
    pDC->TextOut(100, 100, "|--3--|");
    ASSERT_TRUE(pJob->EndPage());
    ASSERT_TRUE(pJob->StartPage());
    ASSERT_TRUE(pJob->EndPage());
    ASSERT_TRUE(pJob->EndDoc());
    pDC->SelectObject(nullptr);
    pJob.reset();
    ASSERT_TRUE(fs::exists(dir / "out.PDF"));
    EXPECT_GT(fs::file_size(dir / "out.PDF"), 500U);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(QtPrinting, PdfThatCannotBeWrittenFailsToStart)
{
    CPrintInfo info;
    info.m_strPrinterName = (dir / "missing-folder" / "out.pdf").string();
    auto pJob = printing.OpenJob(info);
    ASSERT_NE(pJob, nullptr);
    EXPECT_FALSE(pJob->StartDoc("song"));
    EXPECT_FALSE(fs::exists(dir / "missing-folder" / "out.pdf"));
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(QtPrinting, PdfTakesItsNameOnlyWhenComplete)
{
    fs::create_directories(dir);
    const fs::path pdf = dir / "song.pdf";
    std::ofstream(pdf.string()) << "yesterday's PDF";
    CPrintInfo info;
    info.m_bDirect = true;
    info.m_strPrinterName = pdf.string();

    // Aborted part-way: the file of that name is left as it was, and nothing beside it.
    auto pJob = printing.OpenJob(info);
    ASSERT_TRUE(pJob->StartDoc("song"));
    ASSERT_TRUE(pJob->StartPage());
    pJob->GetDC()->TextOut(100, 100, "|--3--|");
    pJob->EndPage();
    EXPECT_EQ(ReadFile(pdf), "yesterday's PDF");   // the pages go elsewhere until the end
    pJob->AbortDoc();
    pJob.reset();
    EXPECT_EQ(ReadFile(pdf), "yesterday's PDF");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    // Completed: the new PDF replaces it, with the permissions a new file gets.
    pJob = printing.OpenJob(info);
    ASSERT_TRUE(pJob->StartDoc("song"));
    ASSERT_TRUE(pJob->StartPage());
    ASSERT_TRUE(pJob->EndPage());
    ASSERT_TRUE(pJob->EndDoc());
    pJob.reset();
    EXPECT_EQ(ReadFile(pdf).substr(0, 5), "%PDF-");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(static_cast<unsigned>(fs::status(pdf).permissions()), 0666U & ~mask);
}

TEST_F(QtPrinting, StatusWindowOnlyWhereSomeoneCanSeeIt)
{
    fs::create_directories(dir);
    CPrintInfo info;
    info.m_strPrinterName = (dir / "out.pdf").string();
    info.m_strDocName = "song.tab";
    auto pJob = printing.OpenJob(info);
    ASSERT_NE(pJob, nullptr);
    // Here (offscreen) a command-line print shows none; a print from the menu does, and
    // it never waits: it only reports the page and whether Cancel was pressed.
    info.m_bDirect = true;
    EXPECT_EQ(pJob->OpenStatus(info), nullptr);
    info.m_bDirect = false;
    auto pStatus = pJob->OpenStatus(info);
    ASSERT_NE(pStatus, nullptr);
    EXPECT_TRUE(pStatus->OnPage(1, 0));
    QWidget* pWindow = nullptr;
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (pWidget->objectName() == "printStatus" && pWidget->isVisible())
            pWindow = pWidget;
    ASSERT_NE(pWindow, nullptr);
    EXPECT_EQ(pWindow->windowTitle(), "Printing");
    EXPECT_EQ(pWindow->findChild<QLabel*>("printStatusPage")->text(), "Page 1");   // total unknown
    EXPECT_EQ(pWindow->findChild<QLabel*>("printStatusPrinter")->text(), "on the file out.pdf");
    // Escape (the window's reject) is a Cancel as well.
    QMetaObject::invokeMethod(pWindow, "reject");
    EXPECT_FALSE(pStatus->OnPage(2, 0));
}

TEST_F(QtPrinting, MissingPrintersAreToldNotIgnored)
{
    CPrintInfo named;
    named.m_strPrinterName = "No Such Printer 42";
    EXPECT_EQ(printing.OpenJob(named), nullptr);
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, "The printer No Such Printer 42 was not found, so nothing was printed.");

    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "a default printer is installed here";
    CPrintInfo direct;
    direct.m_bDirect = true;
    EXPECT_EQ(printing.OpenJob(direct), nullptr);
    ASSERT_EQ(ui.messages.size(), 2U);
    EXPECT_EQ(ui.messages[1].text.substr(0, 40), "There is no default printer, so nothing ");
}

TEST_F(QtPrinting, PreviewDrawsEveryPageAndKeepsThePageChoice)
{
    CPrintInfo info;
    info.m_bPreview = true;
    info.SetMaxPage(3);
    auto pJob = printing.OpenJob(info);
    ASSERT_NE(pJob, nullptr);

    std::vector<UINT> drawn;
    int nCurrentAfterKeys = 0;
    QString closeTip;
    WhenModal([&](QWidget* pModal) {
        auto* pPreview = pModal->findChild<QPrintPreviewWidget*>();
        ASSERT_NE(pPreview, nullptr);
        EXPECT_EQ(pPreview->viewMode(), QPrintPreviewWidget::SinglePageView);
        for (QShortcut* pShortcut : pModal->findChildren<QShortcut*>()) {
            if (pShortcut->key() == QKeySequence(Qt::Key_PageDown)) {
                emit pShortcut->activated();
                emit pShortcut->activated();
                emit pShortcut->activated();   // stays on the last page
            }
            if (pShortcut->key() == QKeySequence(Qt::Key_PageUp))
                emit pShortcut->activated();
        }
        nCurrentAfterKeys = pPreview->currentPage();
        for (QAction* pAction : pModal->findChild<QToolBar*>()->actions()) {
            if (pAction->objectName() == "previewClose")
                closeTip = pAction->toolTip();
        }
        pPreview->setViewMode(QPrintPreviewWidget::FacingPagesView);
        QMetaObject::invokeMethod(pModal, "reject", Qt::QueuedConnection);
    });
    EXPECT_TRUE(pJob->RunPreview(info, [] {}, [&](UINT nPage) {
        drawn.push_back(nPage);
        pJob->GetDC()->TextOut(0, 0, "page");
    }));
    ASSERT_GE(drawn.size(), 3U);
    EXPECT_EQ(std::vector<UINT>(drawn.begin(), drawn.begin() + 3), (std::vector<UINT>{1, 2, 3}));
    EXPECT_EQ(nCurrentAfterKeys, 2);
    EXPECT_EQ(closeTip, "Cancel Preview");
    EXPECT_EQ(info.m_nNumPreviewPages, 2U);

    // Opened again in two-page mode and closed unchanged: nothing new to remember.
    WhenModal([&](QWidget* pModal) {
        EXPECT_EQ(pModal->findChild<QPrintPreviewWidget*>()->viewMode(), QPrintPreviewWidget::FacingPagesView);
        QMetaObject::invokeMethod(pModal, "reject", Qt::QueuedConnection);
    });
    info.m_nNumPreviewPages = 2;
    pJob->RunPreview(info, [] {}, [](UINT) {});
    EXPECT_EQ(info.m_nNumPreviewPages, 2U);
}

} // namespace
