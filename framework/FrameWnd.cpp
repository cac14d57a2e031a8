#include "framework/FrameWnd.h"

#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "framework/FrameworkResource.h"
#include "framework/StringTable.h"

bool CFrameWnd::LoadFrame(UINT nIDResource, CDocument* pDoc, CView* pView)
{
    m_nIDHelp = nIDResource;
    m_pActiveDoc = pDoc;
    m_pActiveView = pView;
    if (m_strTitle.empty()) {
        const std::string& all = AfxLoadString(nIDResource);
        m_strTitle = all.substr(0, all.find('\n'));
    }
    return OnCreate() != -1;
}

int CFrameWnd::OnCreate() { return 0; }

CDocument* CFrameWnd::GetActiveDocument() const
{
    if (m_pActiveView != nullptr && m_pActiveView->GetDocument() != nullptr)
        return m_pActiveView->GetDocument();
    return m_pActiveDoc;
}

bool CFrameWnd::OnCmdMsg(UINT nID)
{
    bool bHandled = false;
    CDocument* pDoc = GetActiveDocument();
    CWinApp* pApp = AfxGetApp();
    CSingleDocTemplate* pTemplate = pApp != nullptr ? pApp->GetDocTemplate() : nullptr;
    if (m_pActiveView != nullptr && m_pActiveView->OnCmdMsg(nID))
        bHandled = true;
    else if (pDoc != nullptr && pDoc->OnCmdMsg(nID))
        bHandled = true;
    else if (pTemplate != nullptr && pTemplate->OnCmdMsg(nID))
        bHandled = true;
    else if (CCmdTarget::OnCmdMsg(nID))
        bHandled = true;
    else if (pApp != nullptr && pApp->OnCmdMsg(nID))
        bHandled = true;
    // A command may have renamed or replaced the document.
    if (bHandled)
        OnUpdateFrameTitle();
    return bHandled;
}

bool CFrameWnd::IsCommandRouted(UINT nID) const
{
    CDocument* pDoc = GetActiveDocument();
    CWinApp* pApp = AfxGetApp();
    CSingleDocTemplate* pTemplate = pApp != nullptr ? pApp->GetDocTemplate() : nullptr;
    return (m_pActiveView != nullptr && m_pActiveView->HasCmdHandler(nID)) ||
           (pDoc != nullptr && pDoc->HasCmdHandler(nID)) ||
           (pTemplate != nullptr && pTemplate->HasCmdHandler(nID)) || HasCmdHandler(nID) ||
           (pApp != nullptr && pApp->IsCommandHandled(nID));
}

std::string CFrameWnd::GetTitleText() const
{
    CDocument* pDoc = GetActiveDocument();
    if (!m_bAddToTitle || pDoc == nullptr)
        return m_strTitle;
    return pDoc->GetTitle() + " - " + m_strTitle;
}

void CFrameWnd::OnUpdateFrameTitle() { SetWindowText(GetTitleText()); }

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, bool bMakeVisible)
{
    if (pDoc != nullptr) {
        for (CView* pView : pDoc->GetViews())
            pView->OnInitialUpdate();
    }
    OnUpdateFrameTitle();
    if (bMakeVisible) {
        ShowWindow(true);
        ActivateFrame();
    }
}

bool CFrameWnd::CanCloseFrame()
{
    CDocument* pDoc = GetActiveDocument();
    return pDoc == nullptr || pDoc->SaveModified();
}

void CFrameWnd::OnClose()
{
    if (CanCloseFrame())
        DestroyWindow();
}

void CFrameWnd::OnDropFiles(const std::vector<std::string>& paths)
{
    ActivateFrame();
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return;
    for (const std::string& path : paths)
        pApp->OpenDocumentFile(path);
    OnUpdateFrameTitle();
}

std::string CFrameWnd::GetMessageString(UINT nID)
{
    if (nID == ID_SEPARATOR)
        return AfxLoadString(AFX_IDS_IDLEMESSAGE);
    if (nID >= ID_FILE_MRU_FILE1 && nID <= ID_FILE_MRU_LAST)
        nID = ID_FILE_MRU_FILE1;
    return AfxCommandPrompt(nID);
}
