// The print and preview loops of the view: the four hooks in their order, over a job
// that the installed printing system opens.
#include <string>

#include "framework/Document.h"
#include "framework/PrintInfo.h"
#include "framework/Printing.h"
#include "framework/UserInterface.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "framework/FrameworkResource.h"

namespace {

CRect PageRect(CDC* pDC) { return CRect(0, 0, pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES)); }

// A view that does not count its pages prints and previews one, not 65535.
void ClosePageCount(CPrintInfo& info)
{
    if (info.GetMaxPage() == CPrintInfo::kOpenMaxPage)
        info.SetMaxPage(info.GetMinPage());
}

// While a job holds the view's font and cell, the window must not paint with them.
class CScreenFreeze {
public:
    explicit CScreenFreeze(CViewHost* pHost) : m_pHost(pHost)
    {
        if (m_pHost != nullptr)
            m_pHost->FreezeForPrinting(true);
    }
    ~CScreenFreeze()
    {
        if (m_pHost != nullptr)
            m_pHost->FreezeForPrinting(false);
    }
    CScreenFreeze(const CScreenFreeze&) = delete;
    CScreenFreeze& operator=(const CScreenFreeze&) = delete;

private:
    CViewHost* m_pHost;
};

// What a layout depends on: the page's size and resolution.
struct CPageMetrics {
    int cx, cy, dpiX, dpiY;
    bool operator==(const CPageMetrics&) const = default;
};

CPageMetrics Metrics(CDC* pDC)
{
    return {pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES), pDC->GetDeviceCaps(LOGPIXELSX),
            pDC->GetDeviceCaps(LOGPIXELSY)};
}

std::string JobName(const CDocument* pDoc)
{
    return pDoc != nullptr && !pDoc->GetTitle().empty() ? pDoc->GetTitle() : std::string("Fretly");
}

} // namespace

bool CView::OnPreparePrinting(CPrintInfo* pInfo) { return DoPreparePrinting(pInfo); }

void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}

void CView::OnPrint(CDC* pDC, CPrintInfo*) { OnDraw(pDC); }

void CView::OnEndPrinting(CDC*, CPrintInfo*) {}

bool CView::DoPreparePrinting(CPrintInfo* pInfo)
{
    CPrintingSystem* pSystem = AfxGetPrintingSystem();
    if (pSystem == nullptr) {
        // Nothing could print here; never let the command look as if it had.
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT, MB_ICONEXCLAMATION);
        return false;
    }
    pInfo->m_pJob = pSystem->OpenJob(*pInfo);
    return pInfo->m_pJob != nullptr;
}

void CView::OnFilePrint()
{
    CPrintInfo info;
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr)
        pApp->m_bPrintJobDone = false;
    info.m_bDirect = m_nCmdRunning == ID_FILE_PRINT_DIRECT;
    if (info.m_bDirect) {
        // A printer named on the command line ("/pt file printer driver port").
        if (pApp != nullptr && pApp->m_pCmdInfo != nullptr &&
            pApp->m_pCmdInfo->m_nShellCommand == CCommandLineInfo::FilePrintTo) {
            info.m_strPrinterName = pApp->m_pCmdInfo->m_strPrinterName;
            info.m_strDriverName = pApp->m_pCmdInfo->m_strDriverName;
            info.m_strPortName = pApp->m_pCmdInfo->m_strPortName;
        }
    }
    info.m_strDocName = JobName(GetDocument());

    if (!OnPreparePrinting(&info) || info.m_pJob == nullptr)
        return;
    CPrintJob& job = *info.m_pJob;
    CDC* pDC = job.GetDC();
    CScreenFreeze freeze(GetHost());

    OnBeginPrinting(pDC, &info);
    const bool bCounted = info.GetMaxPage() != CPrintInfo::kOpenMaxPage;
    ClosePageCount(info);
    if (!job.StartDoc(info.m_strDocName)) {
        OnEndPrinting(pDC, &info);
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT, MB_ICONEXCLAMATION);
        return;
    }

    std::unique_ptr<CPrintStatus> pStatus = job.OpenStatus(info);
    bool bFailed = false;
    const UINT nLast = info.GetLastPrintedPage();
    for (UINT nPage = info.GetFirstPrintedPage(); nPage <= nLast && info.m_bContinuePrinting; ++nPage) {
        // Cancel stops the job between pages, after the one the window last showed.
        if (pStatus != nullptr && !pStatus->OnPage(nPage, bCounted ? info.GetMaxPage() : 0)) {
            info.m_bUserAbort = true;
            break;
        }
        info.m_nCurPage = nPage;
        if (!job.StartPage()) {
            bFailed = true;
            break;
        }
        info.m_rectDraw = PageRect(pDC);
        OnPrepareDC(pDC);
        if (!info.m_bContinuePrinting) {
            job.EndPage();
            break;
        }
        OnPrint(pDC, &info);
        if (!job.EndPage()) {
            bFailed = true;
            break;
        }
    }
    pStatus.reset();

    // An aborted job leaves nothing behind under the job's name (a PDF file is dropped).
    if (bFailed || info.m_bUserAbort)
        job.AbortDoc();
    else
        bFailed = !job.EndDoc();
    OnEndPrinting(pDC, &info);
    // A job that broke off is reported; the pages are not on paper or in the file. A
    // cancel is the user's own doing and needs no message.
    if (bFailed)
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT, MB_ICONEXCLAMATION);
    else if (pApp != nullptr && !info.m_bUserAbort)
        pApp->m_bPrintJobDone = true;
}

void CView::OnFilePrintPreview()
{
    CPrintInfo info;
    info.m_bPreview = true;
    info.m_strDocName = JobName(GetDocument());
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr)
        info.m_nNumPreviewPages = static_cast<UINT>(pApp->m_nNumPreviewPages);

    if (!OnPreparePrinting(&info) || info.m_pJob == nullptr)
        return;
    bool bShown = false;
    {
        CPrintJob& job = *info.m_pJob;
        CDC* pDC = job.GetDC();
        CScreenFreeze freeze(GetHost());

        // One job from opening the preview to closing it, laid out again whenever the
        // paper, orientation or printer changes in the preview window.
        OnBeginPrinting(pDC, &info);
        ClosePageCount(info);
        CPageMetrics laidOut = Metrics(pDC);
        auto layOut = [&] {
            if (Metrics(pDC) == laidOut)
                return;
            OnEndPrinting(pDC, &info);
            info.SetMaxPage(CPrintInfo::kOpenMaxPage);
            OnBeginPrinting(pDC, &info);
            ClosePageCount(info);
            laidOut = Metrics(pDC);
        };
        bShown = job.RunPreview(info, layOut, [&](UINT nPage) {
            info.m_nCurPage = nPage;
            info.m_rectDraw = PageRect(pDC);
            OnPrepareDC(pDC);
            OnPrint(pDC, &info);
        });
        OnEndPrinting(pDC, &info);
    }
    info.m_pJob.reset();
    if (!bShown) {
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT, MB_ICONEXCLAMATION);
        return;
    }
    if (pApp != nullptr && info.m_nNumPreviewPages != 0)
        pApp->m_nNumPreviewPages = static_cast<int>(info.m_nNumPreviewPages);
    // Print from the preview: a job of its own, laid out for the printer it goes to.
    if (info.m_bPrintFromPreview)
        OnCmdMsg(ID_FILE_PRINT);
}
