// Print jobs in the running editor: the preview laid out again when the paper turns and
// printing from it as a job of its own, a fresh Print dialog for every job, the preview's
// marked page mode, and the printing-status window with its page counter and Cancel.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <array>
#include <fstream>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "framework/Printing.h"
#include "framework/qt/QtPrinting.h"
#include "gui/AppFixture.h"
#include "resources/Resource.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

using namespace apptest;
namespace fs = std::filesystem;

namespace {

std::string Shell(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        std::array<char, 512> buf{};
        while (std::fgets(buf.data(), static_cast<int>(buf.size()), pipe) != nullptr)
            out += buf.data();
        ::pclose(pipe);
    }
    return out;
}

int PdfPages(const fs::path& pdf)
{
    const std::string info = Shell("pdfinfo '" + pdf.string() + "' 2>/dev/null");
    const auto at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

std::string PdfText(const fs::path& pdf) { return Shell("pdftotext -layout '" + pdf.string() + "' - 2>/dev/null"); }

QPrinter& SharedPrinter() { return dynamic_cast<CQtPrintingSystem*>(AfxGetPrintingSystem())->SharedPrinter(); }

// n staffs, staff s carrying "Staff s" on its text row, so a PDF shows which came out.
void FillStaffs(CFretlyDoc* pDoc, int n)
{
    while (pDoc->m_nStaffs < n)
        pDoc->InsertStaff(pDoc->m_nStaffs - 1);
    for (int s = 0; s < n; ++s) {
        const std::string text = "Staff " + std::to_string(s);
        std::memcpy(pDoc->m_ppStaffs[s]->m_rows[6] + 1, text.data(), text.size());
    }
}

QAction* ActionNamed(QWidget* pWindow, const char* text)
{
    for (QAction* pAction : pWindow->findChildren<QAction*>())
        if (pAction->text() == QLatin1String(text))
            return pAction;
    return nullptr;
}

// Answers the Print dialog: print to the PDF file pdf, optionally pages from-to only.
void AnswerPrintDialog(QWidget* pModal, const fs::path& pdf, int nFrom = 0, int nTo = 0)
{
    ASSERT_NE(qobject_cast<QPrintDialog*>(pModal), nullptr) << pModal->metaObject()->className();
    auto* pPrinters = pModal->findChild<QComboBox*>(QStringLiteral("printers"));
    ASSERT_NE(pPrinters, nullptr);
    pPrinters->setCurrentIndex(pPrinters->findText(QStringLiteral("Print to File (PDF)")));
    pModal->findChild<QLineEdit*>(QStringLiteral("filename"))->setText(QString::fromStdString(pdf.string()));
    if (nFrom != 0) {
        pModal->findChild<QAbstractButton*>(QStringLiteral("printRange"))->setChecked(true);
        pModal->findChild<QSpinBox*>(QStringLiteral("to"))->setValue(nTo);
        pModal->findChild<QSpinBox*>(QStringLiteral("from"))->setValue(nFrom);
    }
    QMetaObject::invokeMethod(pModal, "accept", Qt::QueuedConnection);
}

// Watches for the printing-status window on every turn of the event loop and records
// the page line each time it changes.
struct StatusWatch {
    StatusWatch()
    {
        timer.setInterval(0);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            for (QWidget* pWidget : QApplication::topLevelWidgets()) {
                if (pWidget->objectName() != QLatin1String("printStatus") || !pWidget->isVisible())
                    continue;
                bSeen = true;
                document = pWidget->findChild<QLabel*>(QStringLiteral("printStatusDocument"))->text();
                printer = pWidget->findChild<QLabel*>(QStringLiteral("printStatusPrinter"))->text();
                const QString page = pWidget->findChild<QLabel*>(QStringLiteral("printStatusPage"))->text();
                if (!page.isEmpty() && (pages.empty() || pages.back() != page)) {
                    pages.push_back(page);
                    if (onPage)
                        onPage(pWidget, page);
                }
            }
        });
        timer.start();
    }
    QTimer timer;
    bool bSeen = false;
    QString document;
    QString printer;
    std::vector<QString> pages;
    std::function<void(QWidget*, const QString&)> onPage;
};

struct AppPrintJob : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(f.Start());
        SharedPrinter().setOutputFormat(QPrinter::PdfFormat);
        SharedPrinter().setPageOrientation(QPageLayout::Portrait);
        SharedPrinter().setPageSize(QPageSize(QPageSize::A4));
    }
    void Print()
    {
        f.Frame()->GetCommandAction(ID_FILE_PRINT)->trigger();
        Settle();
    }
    AppFixture f;
};

TEST_F(AppPrintJob, PreviewTurnedToLandscapeLaysOutAgainAndPrintsEveryStaff)
{
    FillStaffs(f.Doc(), 40);
    const fs::path pdf = f.dir / "landscape.pdf";
    int nPortrait = 0;
    int nLandscape = 0;
    WhenModal([&](QWidget* pPreview) {
        auto* pWidget = pPreview->findChild<QPrintPreviewWidget*>();
        nPortrait = pWidget->pageCount();
        ActionNamed(pPreview, "Landscape")->trigger();
        nLandscape = pWidget->pageCount();
        WhenModal([&](QWidget* pModal) { AnswerPrintDialog(pModal, pdf); }, pPreview);
        ActionNamed(pPreview, "Print")->trigger();
    });
    f.Frame()->GetCommandAction(ID_FILE_PRINT_PREVIEW)->trigger();
    Settle();

    // A landscape page holds fewer staffs, so the same tab takes more pages.
    EXPECT_GT(nLandscape, nPortrait);
    ASSERT_TRUE(fs::exists(pdf));
    EXPECT_EQ(PdfPages(pdf), nLandscape);
    const std::string text = PdfText(pdf);
    for (int s = 0; s < 40; ++s)
        EXPECT_NE(text.find(" Staff " + std::to_string(s) + "\n"), std::string::npos) << "staff " << s << " lost";
    EXPECT_EQ(f.View()->m_pSavedFont, nullptr);
}

TEST_F(AppPrintJob, EveryPrintDialogOffersAllPagesAndNoEarlierFileName)
{
    FillStaffs(f.Doc(), 20);
    const fs::path first = f.dir / "first.pdf";
    WhenModal([&](QWidget* pModal) { AnswerPrintDialog(pModal, first, 2, 3); });
    Print();
    ASSERT_EQ(PdfPages(first), 2);

    const fs::path second = f.dir / "second.pdf";
    bool bAll = false;
    QString offeredName;
    WhenModal([&](QWidget* pModal) {
        bAll = pModal->findChild<QAbstractButton*>(QStringLiteral("printAll"))->isChecked();
        offeredName = pModal->findChild<QLineEdit*>(QStringLiteral("filename"))->text();
        AnswerPrintDialog(pModal, second);
    });
    Print();
    EXPECT_TRUE(bAll);
    EXPECT_FALSE(offeredName.endsWith(QLatin1String("first.pdf"))) << offeredName.toStdString();
    EXPECT_EQ(PdfPages(second), 3);   // 20 staffs on A4: the whole document
    // The paper stays as it was chosen.
    EXPECT_EQ(SharedPrinter().pageLayout().pageSize().id(), QPageSize::A4);
}

TEST_F(AppPrintJob, PreviewReopenedInTwoPageModeMarksTheTwoPageButton)
{
    f.app.m_nNumPreviewPages = 2;
    bool bFacingMarked = false;
    bool bSingleMarked = true;
    QPrintPreviewWidget::ViewMode mode = QPrintPreviewWidget::SinglePageView;
    WhenModal([&](QWidget* pPreview) {
        bFacingMarked = ActionNamed(pPreview, "Show facing pages")->isChecked();
        bSingleMarked = ActionNamed(pPreview, "Show single page")->isChecked();
        mode = pPreview->findChild<QPrintPreviewWidget*>()->viewMode();
        QMetaObject::invokeMethod(pPreview, "reject", Qt::QueuedConnection);
    });
    f.Frame()->GetCommandAction(ID_FILE_PRINT_PREVIEW)->trigger();
    EXPECT_EQ(mode, QPrintPreviewWidget::FacingPagesView);
    EXPECT_TRUE(bFacingMarked);
    EXPECT_FALSE(bSingleMarked);
    EXPECT_EQ(f.app.m_nNumPreviewPages, 2);
}

TEST_F(AppPrintJob, StatusWindowCountsThePagesWhileTheScreenStaysAsItWas)
{
    FillStaffs(f.Doc(), 20);
    f.Doc()->SetTitle("song.tab");
    const QImage before = f.Host()->grab().toImage();
    const fs::path pdf = f.dir / "counted.pdf";
    StatusWatch watch;
    bool bModal = false;
    bool bScreenKept = false;
    watch.onPage = [&](QWidget* pStatus, const QString& page) {
        bModal = pStatus->isModal() && pStatus->parentWidget() == f.Frame();
        if (page.startsWith(QLatin1String("Page 2")))
            bScreenKept = f.Host()->grab().toImage() == before;   // a repaint mid-job
    };
    WhenModal([&](QWidget* pModal) { AnswerPrintDialog(pModal, pdf); });
    Print();

    EXPECT_EQ(watch.pages, (std::vector<QString>{"Page 1 of 3", "Page 2 of 3", "Page 3 of 3"}));
    EXPECT_EQ(watch.document, QStringLiteral("song.tab"));
    EXPECT_EQ(watch.printer, QStringLiteral("on the file counted.pdf"));
    EXPECT_TRUE(bModal);
    EXPECT_TRUE(bScreenKept);
    EXPECT_EQ(PdfPages(pdf), 3);
    EXPECT_TRUE(f.app.m_bPrintJobDone);
    Settle();
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        EXPECT_FALSE(pWidget->objectName() == QLatin1String("printStatus") && pWidget->isVisible());
}

TEST_F(AppPrintJob, CancelPartWayStopsAfterTheShownPageAndGivesTheScreenBack)
{
    FillStaffs(f.Doc(), 40);
    CFretlyView* pView = f.View();
    const CFont* pScreenFont = pView->m_pFont.get();
    const int cxScreen = pView->m_cxChar;
    const int cyScreen = pView->m_cyChar;
    const fs::path pdf = f.dir / "cancelled.pdf";
    std::ofstream(pdf.string()) << "an older PDF";   // must come through untouched
    StatusWatch watch;
    watch.onPage = [](QWidget* pStatus, const QString& page) {
        if (page.startsWith(QLatin1String("Page 2 ")))
            pStatus->findChild<QPushButton*>(QStringLiteral("printStatusCancel"))->click();
    };
    WhenModal([&](QWidget* pModal) { AnswerPrintDialog(pModal, pdf); });
    Print();

    ASSERT_GE(watch.pages.size(), 2U);
    EXPECT_EQ(watch.pages.back(), QStringLiteral("Page 2 of 6"));   // no page after the cancelled one
    // OnEndPrinting ran exactly once: the screen font is back (twice would leave none).
    EXPECT_EQ(pView->m_pFont.get(), pScreenFont);
    EXPECT_EQ(pView->m_pSavedFont, nullptr);
    EXPECT_EQ(pView->m_cxChar, cxScreen);
    EXPECT_EQ(pView->m_cyChar, cyScreen);
    EXPECT_EQ(pView->m_xMargin, 8);
    EXPECT_EQ(pView->m_yMargin, 8);
    EXPECT_FALSE(f.app.m_bPrintJobDone);
    // Nothing half-written under the chosen name, and no scraps beside it.
    std::ifstream in(pdf.string());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "an older PDF");
    for (const auto& entry : fs::directory_iterator(f.dir))
        EXPECT_EQ(entry.path().filename().string().find("cancelled.pdf."), std::string::npos) << entry.path();
}

TEST(AppPrintCommandLine, HeadlessPrintShowsNoStatusWindow)
{
    AppFixture f;
    const std::string rule = "#" + std::string(77, '-') + "#\r\n";
    const std::string tab = f.Write("song.tab", rule + "#-- File created with Fretly --#\r\n" + rule + "\r\n");
    const fs::path pdf = f.dir / "song.pdf";
    f.app.m_args = {"/pt", tab, pdf.string()};
    StatusWatch watch;
    EXPECT_FALSE(f.app.InitInstance());   // printed and done
    Settle();
    EXPECT_TRUE(fs::exists(pdf));
    EXPECT_FALSE(watch.bSeen);
    EXPECT_FALSE(CQtPrintingSystem::HasDisplay());
}

} // namespace
