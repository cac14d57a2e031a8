#include "framework/DocTemplate.h"

#include "framework/Document.h"
#include "framework/View.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

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
        pDoc->SetPathName(path);
    }
    InitialUpdateFrame(pDoc, bMakeVisible);
    return pDoc;
}

void CSingleDocTemplate::InitialUpdateFrame(CDocument* pDoc, bool)
{
    for (CView* pView : pDoc->GetViews())
        pView->OnInitialUpdate();
}
