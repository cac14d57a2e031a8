#include "framework/qt/QtPrinting.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QKeySequence>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QPushButton>
#include <QShortcut>
#include <QToolBar>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/PrintInfo.h"
#include "framework/UserInterface.h"
#include "framework/qt/QtDC.h"
#include "framework/qt/QtPreviewPages.h"
#include "framework/qt/TextCodec.h"
#include "framework/FrameworkResource.h"
#include "framework/StringTable.h"

namespace {

// The status-bar part and the tool-tip part of a command prompt.
QString PromptPart(UINT nID, int nPart)
{
    const QString text = QString::fromStdString(AfxLoadString(nID));
    return text.section(QLatin1Char('\n'), nPart, nPart);
}

// The preview window's own action with this text, if it has one.
QAction* PreviewAction(const QDialog& dlg, const char* text)
{
    for (QAction* pAction : dlg.findChildren<QAction*>()) {
        if (pAction->text() == QLatin1String(text))
            return pAction;
    }
    return nullptr;
}

// A new empty file beside path for a PDF to be written into, made as a plain create
// would make it (permissions from the umask). Empty when the folder takes no file.
QString MakeTempBeside(const QString& path)
{
    const QFileInfo target(path);
    QByteArray name = QFile::encodeName(target.absolutePath() + QLatin1String("/.") + target.fileName() +
                                        QLatin1String(".XXXXXX"));
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return {};
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    return QFile::decodeName(name);
}

// The printing-status window: a small modal window over the main window that shows the
// job's document, its printer and the page going out, with a Cancel button. It is shown,
// never run: the print loop lets events through between pages.
class CQtPrintStatus : public CPrintStatus {
public:
    CQtPrintStatus(QWidget* pOwner, const QString& document, const QString& printer)
        : m_dlg(pOwner != nullptr && pOwner->isVisible() ? pOwner : nullptr)
    {
        m_dlg.setObjectName(QStringLiteral("printStatus"));
        m_dlg.setWindowTitle(QString::fromStdString(AfxLoadString(IDS_PRINT_STATUS_CAPTION)));
        m_dlg.setWindowModality(Qt::ApplicationModal);
        auto* pLayout = new QVBoxLayout(&m_dlg);
        auto addLabel = [&](const char* objectName, const QString& text) {
            auto* pLabel = new QLabel(text, &m_dlg);
            pLabel->setObjectName(QLatin1String(objectName));
            pLabel->setAlignment(Qt::AlignHCenter);
            pLabel->setTextFormat(Qt::PlainText);
            pLayout->addWidget(pLabel);
            return pLabel;
        };
        addLabel("printStatusDocument", document);
        addLabel("printStatusPrinter", QString::fromStdString(AfxFormatString1(IDS_PRINT_STATUS_ON,
                                                                               printer.toStdString())));
        m_pPage = addLabel("printStatusPage", QString());
        auto* pCancel = new QPushButton(QString::fromStdString(AfxLoadString(IDS_PRINT_STATUS_CANCEL)), &m_dlg);
        pCancel->setObjectName(QStringLiteral("printStatusCancel"));
        auto* pRow = new QHBoxLayout;
        pRow->addStretch();
        pRow->addWidget(pCancel);
        pRow->addStretch();
        pLayout->addLayout(pRow);
        // Cancel, Escape and the close box all stop the job.
        QObject::connect(pCancel, &QPushButton::clicked, &m_dlg, &QDialog::reject);
        QObject::connect(&m_dlg, &QDialog::rejected, &m_dlg, [this] { m_bAborted = true; });
        m_dlg.setMinimumWidth(m_dlg.fontMetrics().averageCharWidth() * 36);
        m_dlg.show();
    }

    bool OnPage(UINT nPage, UINT nPages) override
    {
        // A Cancel pressed while the last page went out stops the job before this one.
        QCoreApplication::processEvents();
        if (m_bAborted)
            return false;
        const std::string number = std::to_string(nPage);
        m_pPage->setText(QString::fromStdString(
            nPages != 0 ? AfxFormatString2(IDS_PRINT_STATUS_PAGE_OF, number, std::to_string(nPages))
                        : AfxFormatString1(IDS_PRINT_STATUS_PAGE, number)));
        QCoreApplication::processEvents();
        return true;
    }

private:
    QDialog m_dlg;
    QLabel* m_pPage = nullptr;
    bool m_bAborted = false;
};

class CQtPrintJob : public CPrintJob {
public:
    // pOwned is the job's own printer (command line), else pPrinter is the shared one.
    CQtPrintJob(QPrinter* pPrinter, std::unique_ptr<QPrinter> pOwned, QWidget* pOwner)
        : m_pOwned(std::move(pOwned)), m_pPrinter(pPrinter), m_pOwner(pOwner), m_dc(pPrinter)
    {
        m_dc.SetPrinting(true);
        // Paper is white already; no cell backgrounds in the output.
        m_dc.SetBkMode(TRANSPARENT);
    }
    ~CQtPrintJob() override
    {
        if (m_painter.isActive())
            m_painter.end();
        DropTempFile();
    }

    CDC* GetDC() override { return &m_dc; }

    bool StartDoc(const std::string& docName) override
    {
        m_pPrinter->setDocName(BytesToQString(docName));
        // A PDF is written beside its name and takes the name only when complete, so a
        // cancelled or failed job leaves no half-written file there.
        if (m_pPrinter->outputFormat() == QPrinter::PdfFormat && !m_pPrinter->outputFileName().isEmpty()) {
            m_finalName = m_pPrinter->outputFileName();
            m_tempName = MakeTempBeside(m_finalName);
            if (m_tempName.isEmpty()) {
                m_finalName.clear();
                return false;
            }
            m_pPrinter->setOutputFileName(m_tempName);
        }
        if (!m_painter.begin(m_pPrinter)) {
            DropTempFile();
            return false;
        }
        m_dc.SetPainter(&m_painter, PageRect());
        m_bFirstPage = true;
        return true;
    }
    bool StartPage() override
    {
        if (m_bFirstPage) {
            m_bFirstPage = false;
            return true;
        }
        return m_pPrinter->newPage();
    }
    bool EndPage() override { return m_painter.isActive(); }
    bool EndDoc() override
    {
        m_dc.SetPainter(nullptr, QRect());
        bool bOk = m_painter.end();
        if (!m_tempName.isEmpty()) {
            bOk = bOk && ::rename(QFile::encodeName(m_tempName).constData(),
                                  QFile::encodeName(m_finalName).constData()) == 0;
            if (bOk)
                m_tempName.clear();
            DropTempFile();
        }
        return bOk;
    }
    void AbortDoc() override
    {
        m_dc.SetPainter(nullptr, QRect());
        m_pPrinter->abort();
        if (m_painter.isActive())
            m_painter.end();
        DropTempFile();
    }

    std::unique_ptr<CPrintStatus> OpenStatus(const CPrintInfo& info) override
    {
        // A command-line print on a machine without a display has no one to show it to.
        if (info.m_bDirect && !CQtPrintingSystem::HasDisplay())
            return nullptr;
        const QString fileName = m_finalName.isEmpty() ? m_pPrinter->outputFileName() : m_finalName;
        const QString printer =
            m_pPrinter->outputFormat() == QPrinter::PdfFormat
                ? QString::fromStdString(AfxFormatString1(IDS_PRINT_TO_FILE, QFileInfo(fileName).fileName().toStdString()))
                : m_pPrinter->printerName();
        return std::make_unique<CQtPrintStatus>(m_pOwner, BytesToQString(info.m_strDocName), printer);
    }

    bool RunPreview(CPrintInfo& info, const std::function<void()>& layOut,
                    const std::function<void(UINT)>& drawPage) override
    {
        QPrintPreviewDialog dlg(m_pPrinter, m_pOwner);
        dlg.setWindowTitle(QString::fromStdString(AfxLoadString(AFX_IDS_APP_TITLE)));
        auto* pPreview = dlg.findChild<QPrintPreviewWidget*>();
        // Pages are drawn when they come into sight, not all before the window opens.
        CQtPreviewPages* pPages = nullptr;
        if (pPreview != nullptr) {
            pPages = new CQtPreviewPages(pPreview, m_pPrinter, [this, &drawPage](int nPage, QPainter& painter) {
                m_dc.SetPainter(&painter, PageRect());
                drawPage(static_cast<UINT>(nPage));
                m_dc.SetPainter(nullptr, QRect());
            });
            if (!pPages->IsActive()) {
                delete pPages;
                pPages = nullptr;
            }
        }
        QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg, [&](QPrinter* pPrinter) {
            // Asked again after every change of paper, orientation or printer.
            layOut();
            QPainter painter;
            if (!painter.begin(pPrinter))
                return;
            const UINT nFirst = info.GetMinPage();
            if (pPages != nullptr) {
                // One empty sheet per page for the window to lay out and count; the
                // pages on them are drawn as they are shown.
                pPages->Restart();
                for (UINT nPage = nFirst + 1; nPage <= info.GetMaxPage(); ++nPage)
                    pPrinter->newPage();
                painter.end();
                pPages->ShowCurrent(static_cast<int>(info.GetMaxPage() - nFirst + 1));
                return;
            }
            m_dc.SetPainter(&painter, PageRect());
            for (UINT nPage = nFirst; nPage <= info.GetMaxPage(); ++nPage) {
                if (nPage != nFirst)
                    pPrinter->newPage();
                drawPage(nPage);
            }
            m_dc.SetPainter(nullptr, QRect());
            painter.end();
        });

        // Print closes the preview; the framework then prints as a job of its own, laid out
        // for the printer it goes to, not the preview's pages.
        if (QAction* pPrint = PreviewAction(dlg, "Print")) {
            QObject::disconnect(pPrint, &QAction::triggered, nullptr, nullptr);
            QObject::connect(pPrint, &QAction::triggered, &dlg, [&dlg, &info] {
                info.m_bPrintFromPreview = true;
                dlg.accept();
            });
        }

        const int nShown = info.m_nNumPreviewPages == 2 ? 2 : 1;
        if (pPreview != nullptr) {
            // Through the window's own buttons, so that the one marked is the mode shown.
            QAction* pMode = PreviewAction(dlg, nShown == 2 ? "Show facing pages" : "Show single page");
            if (pMode != nullptr && !pMode->isChecked())
                pMode->trigger();
            else if (pMode == nullptr)
                pPreview->setViewMode(nShown == 2 ? QPrintPreviewWidget::FacingPagesView
                                                  : QPrintPreviewWidget::SinglePageView);
            // The preview's keys: Page Down next page, Page Up previous (Escape closes).
            // The window's own page buttons keep its page field and buttons up to date.
            QAction* pNextAction = PreviewAction(dlg, "Next page");
            QAction* pPrevAction = PreviewAction(dlg, "Previous page");
            auto step = [pPreview, pNextAction, pPrevAction](int nBy) {
                QAction* pAction = nBy > 0 ? pNextAction : pPrevAction;
                if (pAction != nullptr) {
                    if (pAction->isEnabled())
                        pAction->trigger();
                    return;
                }
                pPreview->setCurrentPage(std::clamp(pPreview->currentPage() + nBy, 1, pPreview->pageCount()));
            };
            auto* pNext = new QShortcut(QKeySequence(Qt::Key_PageDown), &dlg);
            QObject::connect(pNext, &QShortcut::activated, &dlg, [step] { step(1); });
            auto* pPrev = new QShortcut(QKeySequence(Qt::Key_PageUp), &dlg);
            QObject::connect(pPrev, &QShortcut::activated, &dlg, [step] { step(-1); });
            if (pPages != nullptr) {
                // A page turned to is drawn as it turns, whichever button or key turned it.
                for (const char* name : {"Next page", "Previous page", "First page", "Last page"}) {
                    if (QAction* pAction = PreviewAction(dlg, name))
                        QObject::connect(pAction, &QAction::triggered, pPages,
                                         [pPages, pPreview] { pPages->ShowCurrent(pPreview->pageCount()); });
                }
            }
        }
        if (auto* pToolBar = dlg.findChild<QToolBar*>()) {
            pToolBar->addSeparator();
            QAction* pClose = pToolBar->addAction(QObject::tr("&Close"));
            pClose->setObjectName(QStringLiteral("previewClose"));
            pClose->setToolTip(PromptPart(AFX_IDS_PREVIEW_CLOSE, 1));
            pClose->setStatusTip(PromptPart(AFX_IDS_PREVIEW_CLOSE, 0));
            QObject::connect(pClose, &QAction::triggered, &dlg, &QDialog::reject);
        }
        dlg.exec();

        if (pPreview != nullptr) {
            const QPrintPreviewWidget::ViewMode mode = pPreview->viewMode();
            const int nChosen = mode == QPrintPreviewWidget::FacingPagesView  ? 2
                                : mode == QPrintPreviewWidget::SinglePageView ? 1
                                                                              : nShown;
            // Kept only once the user has switched.
            if (nChosen != nShown)
                info.m_nNumPreviewPages = static_cast<UINT>(nChosen);
        }
        return true;
    }

private:
    QRect PageRect() const { return QRect(0, 0, m_pPrinter->width(), m_pPrinter->height()); }

    // Removes the unfinished PDF and gives the printer its chosen file name back.
    void DropTempFile()
    {
        if (!m_tempName.isEmpty())
            QFile::remove(m_tempName);
        m_tempName.clear();
        if (!m_finalName.isEmpty() && !m_painter.isActive())
            m_pPrinter->setOutputFileName(m_finalName);
        m_finalName.clear();
    }

    std::unique_ptr<QPrinter> m_pOwned;
    QPrinter* m_pPrinter;
    QWidget* m_pOwner;
    QPainter m_painter;
    CQtDC m_dc;
    bool m_bFirstPage = true;
    QString m_finalName;   // the PDF file the user named, while a temporary takes the pages
    QString m_tempName;
};

} // namespace

CQtPrintingSystem::CQtPrintingSystem(std::function<QWidget*()> owner) : m_owner(std::move(owner))
{
    AfxSetPrintingSystem(this);
}

CQtPrintingSystem::~CQtPrintingSystem()
{
    if (AfxGetPrintingSystem() == this)
        AfxSetPrintingSystem(nullptr);
}

QPrinter& CQtPrintingSystem::SharedPrinter()
{
    if (!m_pPrinter)
        m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_pPrinter;
}

bool CQtPrintingSystem::HasDisplay()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

bool CQtPrintingSystem::IsPdfFileName(const std::string& name)
{
    return name.size() > 4 && BytesToQString(name).endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
}

std::unique_ptr<CPrintJob> CQtPrintingSystem::OpenJob(CPrintInfo& info)
{
    if (info.m_bPreview)
        return std::make_unique<CQtPrintJob>(&SharedPrinter(), nullptr, Owner());

    if (!info.m_strPrinterName.empty()) {
        // A printer named on the command line, or a PDF file named instead of one.
        auto pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (IsPdfFileName(info.m_strPrinterName)) {
            pPrinter->setOutputFormat(QPrinter::PdfFormat);
            pPrinter->setOutputFileName(QFileInfo(BytesToQString(info.m_strPrinterName)).absoluteFilePath());
        } else {
            const QPrinterInfo printer = QPrinterInfo::printerInfo(BytesToQString(info.m_strPrinterName));
            if (printer.isNull()) {
                AfxMessageBox(AfxFormatString1(IDS_PRINTER_NOT_FOUND, info.m_strPrinterName), MB_ICONEXCLAMATION);
                return nullptr;
            }
            pPrinter->setPrinterName(printer.printerName());
        }
        QPrinter* pRaw = pPrinter.get();
        return std::make_unique<CQtPrintJob>(pRaw, std::move(pPrinter), Owner());
    }

    if (info.m_bDirect) {
        const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
        if (printer.isNull()) {
            AfxMessageBox(IDS_NO_DEFAULT_PRINTER, MB_ICONEXCLAMATION);
            return nullptr;
        }
        auto pPrinter = std::make_unique<QPrinter>(printer, QPrinter::HighResolution);
        QPrinter* pRaw = pPrinter.get();
        return std::make_unique<CQtPrintJob>(pRaw, std::move(pPrinter), Owner());
    }

    QPrinter& printer = SharedPrinter();
    // Every job starts afresh: all pages, no file name from an earlier job. The printer
    // and paper chosen in Print Setup (or in the preview) stay.
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        printer.setOutputFileName(QString());   // (which also falls back to the native format)
        printer.setOutputFormat(QPrinter::PdfFormat);
    }
    // The dialog names a PDF file after the job ("song.pdf" for song.tab).
    printer.setDocName(QFileInfo(BytesToQString(info.m_strDocName)).completeBaseName());
    QPrintDialog dlg(&printer, Owner());
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dlg.setMinMax(static_cast<int>(info.GetMinPage()), static_cast<int>(info.GetMaxPage()));
    if (dlg.exec() != QDialog::Accepted)
        return nullptr;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        info.SetFromPage(static_cast<UINT>(printer.fromPage()));
        info.SetToPage(static_cast<UINT>(std::max(printer.fromPage(), printer.toPage())));
    }
    return std::make_unique<CQtPrintJob>(&printer, nullptr, Owner());
}

void CQtPrintingSystem::PrintSetup()
{
    QPageSetupDialog dlg(&SharedPrinter(), Owner());
    dlg.setWindowTitle(PromptPart(ID_FILE_PRINT_SETUP, 1));
    dlg.exec();
}
