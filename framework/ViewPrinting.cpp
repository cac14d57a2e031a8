// The print and preview loops of the view: the four hooks in their order, over a job
// that the installed printing system opens.
#include <string>

#include "framework/Document.h"
#include "framework/PrintInfo.h"
#include "framework/Printing.h"
#include "framework/UserInterface.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "resources/Resource.h"

namespace {

CRect PageRect(CDC* pDC) { return CRect(0, 0, pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES)); }

// A view that does not count its pages prints and previews one, not 65535.
void ClosePageCount(CPrintInfo& info)
{
    if (info.GetMaxPage() == CPrintInfo::kOpenMaxPage)
        info.SetMaxPage(info.GetMinPage());
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

    OnBeginPrinting(pDC, &info);
    ClosePageCount(info);
    if (!job.StartDoc(info.m_strDocName)) {
        OnEndPrinting(pDC, &info);
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT, MB_ICONEXCLAMATION);
        return;
    }

    bool bFailed = false;
    const UINT nLast = info.GetLastPrintedPage();
    for (UINT nPage = info.GetFirstPrintedPage(); nPage <= nLast && info.m_bContinuePrinting; ++nPage) {
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

    if (bFailed)
        job.AbortDoc();
    else
        bFailed = !job.EndDoc();
    OnEndPrinting(pDC, &info);
    // A job that broke off is reported; the pages are not on paper or in the file.
    if (bFailed)
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT, MB_ICONEXCLAMATION);
    else if (pApp != nullptr)
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
    CPrintJob& job = *info.m_pJob;
    CDC* pDC = job.GetDC();

    // One job from opening the preview to closing it.
    OnBeginPrinting(pDC, &info);
    ClosePageCount(info);
    const bool bShown = job.RunPreview(info, [&](UINT nPage) {
        info.m_nCurPage = nPage;
        info.m_rectDraw = PageRect(pDC);
        OnPrepareDC(pDC);
        OnPrint(pDC, &info);
    });
    OnEndPrinting(pDC, &info);
    if (!bShown) {
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT, MB_ICONEXCLAMATION);
        return;
    }
    if (pApp != nullptr && info.m_nNumPreviewPages != 0)
        pApp->m_nNumPreviewPages = static_cast<int>(info.m_nNumPreviewPages);
}
