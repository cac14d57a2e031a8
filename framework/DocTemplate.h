#pragma once
// The single-document template: one document reused for every File New and Open.
#include <functional>
#include <memory>
#include <string>

#include "framework/CmdTarget.h"

class CDocument;
class CFrameWnd;
class CView;

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

    using DocFactory = std::function<std::unique_ptr<CDocument>()>;
    using FrameFactory = std::function<std::unique_ptr<CFrameWnd>()>;
    using ViewFactory = std::function<std::unique_ptr<CView>()>;

    explicit CSingleDocTemplate(UINT nIDResource);
    // The template makes (and owns) the document, the frame and the view on first use.
    CSingleDocTemplate(UINT nIDResource, DocFactory docFactory, FrameFactory frameFactory,
                       ViewFactory viewFactory);
    ~CSingleDocTemplate() override;

    // Makes the document, the frame (LoadFrame) and the view; false when the frame
    // cannot be created, after telling the user.
    bool CreateDocFrameView();
    CFrameWnd* GetFrame() const { return m_pFrame.get(); }

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
    DocFactory m_docFactory;
    FrameFactory m_frameFactory;
    ViewFactory m_viewFactory;
    // Destroyed frame first, then view, then document.
    std::unique_ptr<CDocument> m_pDoc;
    std::unique_ptr<CView> m_pView;
    std::unique_ptr<CFrameWnd> m_pFrame;
};
