#pragma once
// The single-document template: one document reused for every File New and Open.
#include <string>

#include "framework/CmdTarget.h"

class CDocument;

class CSingleDocTemplate : public CCmdTarget {
public:
    enum DocStringIndex {
        windowTitle = 0,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName,
    };

    explicit CSingleDocTemplate(UINT nIDResource) : m_nIDResource(nIDResource) {}
    ~CSingleDocTemplate() override = default;

    void SetDocument(CDocument* pDoc) { m_pOnlyDoc = pDoc; }
    CDocument* GetDocument() const { return m_pOnlyDoc; }
    UINT GetResourceID() const { return m_nIDResource; }

    // One field of the document template string.
    std::string GetDocString(DocStringIndex index) const;

    // Empty path: a new document. Otherwise opens the file; when the open fails after
    // the document was touched, the document becomes a new, untitled one.
    // Returns the document, or nullptr when nothing was opened.
    virtual CDocument* OpenDocumentFile(const std::string& path, bool bMakeVisible = true);
    void SetDefaultTitle(CDocument* pDoc) const;

protected:
    // Shows the frame and gives the views their initial update (the application's part).
    virtual void InitialUpdateFrame(CDocument* pDoc, bool bMakeVisible);

private:
    UINT m_nIDResource;
    CDocument* m_pOnlyDoc = nullptr;
};
