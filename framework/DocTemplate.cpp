#include "framework/DocTemplate.h"

#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/UserInterface.h"
#include "framework/WinApp.h"
#include "framework/View.h"
#include "framework/FrameworkResource.h"
#include "framework/StringTable.h"

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource) : m_nIDResource(nIDResource) {}

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, DocFactory docFactory, FrameFactory frameFactory,
                                       ViewFactory viewFactory)
    : m_nIDResource(nIDResource), m_docFactory(std::move(docFactory)), m_frameFactory(std::move(frameFactory)),
      m_viewFactory(std::move(viewFactory))
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && m_pFrame && pApp->m_pMainWnd == m_pFrame.get())
        pApp->m_pMainWnd = nullptr;
    if (m_pView && m_pDoc)
        m_pDoc->RemoveView(m_pView.get());
    m_pFrame.reset();
    m_pView.reset();
    m_pDoc.reset();
}

bool CSingleDocTemplate::CreateDocFrameView()
{
    if (!m_docFactory || !m_frameFactory || !m_viewFactory)
        return false;
    m_pDoc = m_docFactory();
    m_pView = m_viewFactory();
    m_pDoc->AddView(m_pView.get());
    m_pFrame = m_frameFactory();
    if (!m_pFrame || !m_pFrame->LoadFrame(m_nIDResource, m_pDoc.get(), m_pView.get())) {
        m_pFrame.reset();
        m_pDoc->RemoveView(m_pView.get());
        m_pView.reset();
        m_pDoc.reset();
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
        return false;
    }
    m_pOnlyDoc = m_pDoc.get();
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd == nullptr)
        pApp->m_pMainWnd = m_pFrame.get();
    return true;
}

std::string CSingleDocTemplate::GetDocString(DocStringIndex index) const
{
    const std::string& all = AfxLoadString(m_nIDResource);
    std::string::size_type start = 0;
    for (int i = 0; i < index; ++i) {
        start = all.find('\n', start);
        if (start == std::string::npos)
            return {};
        ++start;
    }
    std::string::size_type end = all.find('\n', start);
    return all.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDoc) const
{
    std::string title = GetDocString(docName);
    pDoc->SetTitle(title.empty() ? AfxLoadString(AFX_IDS_UNTITLED) : title);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const std::string& path, bool bMakeVisible)
{
    if (m_pOnlyDoc == nullptr && !CreateDocFrameView())
        return nullptr;
    CDocument* pDoc = m_pOnlyDoc;
    if (pDoc == nullptr)
        return nullptr;
    if (!pDoc->SaveModified())
        return nullptr;

    if (path.empty()) {
        SetDefaultTitle(pDoc);
        if (!pDoc->OnNewDocument())
            return nullptr;
    } else {
        bool bWasModified = pDoc->IsModified();
        pDoc->SetModifiedFlag(false);
        if (!pDoc->OnOpenDocument(path)) {
            if (!pDoc->IsModified()) {
                // The file could not be opened at all: the document is as it was.
                pDoc->SetModifiedFlag(bWasModified);
            } else {
                // Reading failed part-way: start over with an empty document.
                SetDefaultTitle(pDoc);
                pDoc->OnNewDocument();
                InitialUpdateFrame(pDoc, bMakeVisible);
            }
            return nullptr;
        }
        if (!pDoc->IsLoadRejected())
            pDoc->SetPathName(path);
    }
    InitialUpdateFrame(pDoc, bMakeVisible);
    return pDoc;
}

void CSingleDocTemplate::InitialUpdateFrame(CDocument* pDoc, bool bMakeVisible)
{
    if (m_pFrame) {
        m_pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
        return;
    }
    for (CView* pView : pDoc->GetViews())
        pView->OnInitialUpdate();
}
