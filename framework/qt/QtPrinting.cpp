#include "framework/qt/QtPrinting.h"

#include <QAction>
#include <QFileInfo>
#include <QKeySequence>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QShortcut>
#include <QToolBar>

#include "framework/PrintInfo.h"
#include "framework/UserInterface.h"
#include "framework/qt/QtDC.h"
#include "framework/qt/TextCodec.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

namespace {

// The status-bar part and the tool-tip part of a command prompt.
QString PromptPart(UINT nID, int nPart)
{
    const QString text = QString::fromStdString(AfxLoadString(nID));
    return text.section(QLatin1Char('\n'), nPart, nPart);
}

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
    }

    CDC* GetDC() override { return &m_dc; }

    bool StartDoc(const std::string& docName) override
    {
        m_pPrinter->setDocName(BytesToQString(docName));
        if (!m_painter.begin(m_pPrinter))
            return false;
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
        return m_painter.end();
    }
    void AbortDoc() override
    {
        m_dc.SetPainter(nullptr, QRect());
        m_pPrinter->abort();
        if (m_painter.isActive())
            m_painter.end();
    }

    bool RunPreview(CPrintInfo& info, const std::function<void(UINT)>& drawPage) override
    {
        QPrintPreviewDialog dlg(m_pPrinter, m_pOwner);
        dlg.setWindowTitle(QString::fromStdString(AfxLoadString(AFX_IDS_APP_TITLE)));
        QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg, [&](QPrinter* pPrinter) {
            QPainter painter;
            if (!painter.begin(pPrinter))
                return;
            m_dc.SetPainter(&painter, PageRect());
            const UINT nFirst = info.GetMinPage();
            for (UINT nPage = nFirst; nPage <= info.GetMaxPage(); ++nPage) {
                if (nPage != nFirst)
                    pPrinter->newPage();
                drawPage(nPage);
            }
            m_dc.SetPainter(nullptr, QRect());
            painter.end();
        });

        auto* pPreview = dlg.findChild<QPrintPreviewWidget*>();
        const int nShown = info.m_nNumPreviewPages == 2 ? 2 : 1;
        if (pPreview != nullptr) {
            pPreview->setViewMode(nShown == 2 ? QPrintPreviewWidget::FacingPagesView
                                              : QPrintPreviewWidget::SinglePageView);
            // The preview's keys: Page Down next page, Page Up previous (Escape closes).
            // The window's own page buttons keep its page field and buttons up to date.
            QAction* pNextAction = nullptr;
            QAction* pPrevAction = nullptr;
            for (QAction* pAction : dlg.findChildren<QAction*>()) {
                if (pAction->text() == QLatin1String("Next page"))
                    pNextAction = pAction;
                else if (pAction->text() == QLatin1String("Previous page"))
                    pPrevAction = pAction;
            }
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

    std::unique_ptr<QPrinter> m_pOwned;
    QPrinter* m_pPrinter;
    QWidget* m_pOwner;
    QPainter m_painter;
    CQtDC m_dc;
    bool m_bFirstPage = true;
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
