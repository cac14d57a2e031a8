#pragma once
// The document base: modified flag, path and title, attached views, and the new,
// open and save sequences with the framework's error messages.
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "framework/CmdTarget.h"

class CArchive;
class CFile;
class CView;

// Told whenever a document's modified flag is set, also when it was set already: every
// change ends that way (the recovery copy listens).
class CDocumentObserver {
public:
    virtual ~CDocumentObserver() = default;
    virtual void OnDocumentModified(bool bModified) = 0;
};

class CDocument : public CCmdTarget {
public:
    CDocument() = default;
    ~CDocument() override;

    bool IsModified() const { return m_bModified; }
    virtual void SetModifiedFlag(bool bModified = true)
    {
        m_bModified = bModified;
        if (m_pObserver != nullptr)
            m_pObserver->OnDocumentModified(bModified);
    }
    // One observer at most; nullptr: none.
    void SetObserver(CDocumentObserver* pObserver) { m_pObserver = pObserver; }

    const std::string& GetPathName() const { return m_strPathName; }
    // Takes the path (made absolute) and the title from its file name.
    virtual void SetPathName(const std::string& path);
    const std::string& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const std::string& title) { m_strTitle = title; }

    void AddView(CView* pView);
    void RemoveView(CView* pView);
    const std::vector<CView*>& GetViews() const { return m_viewList; }
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);

    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const std::string& path);
    virtual bool OnSaveDocument(const std::string& path);
    virtual void DeleteContents() {}
    // Called by Serialize when it refuses the file it reads (the user has been told and
    // the document started afresh): the document then keeps no name, so a Save asks
    // for one instead of overwriting the refused file, and the file is not remembered.
    void SetLoadRejected() { m_bLoadRejected = true; }
    bool IsLoadRejected() const { return m_bLoadRejected; }
    // Opens the file a document is read from; throws CFileException when it cannot.
    virtual std::unique_ptr<CFile> GetFile(const std::string& path, unsigned nOpenFlags);
    virtual void Serialize(CArchive& ar);
    // Reading on a worker thread (see ReadAhead.h): LoadAhead reads ar into this
    // document, which has no views, touching no window and asking nothing, and returns
    // false when the document cannot be read that way. AdoptAhead, on the document being
    // opened, takes over what ahead read and does whatever Serialize would still do
    // (update the views, tell the user of a refused file).
    virtual bool LoadAhead(CArchive& ar);
    virtual void AdoptAhead(CDocument& ahead);
    // While the file being opened is still read ahead, the opening thread calls
    // HelpLoadAhead for as long as it returns true, for small pieces of work that spare
    // the reader some (such as faulting in memory it will fill), then EndHelpLoadAhead.
    virtual bool HelpLoadAhead();
    virtual void EndHelpLoadAhead();

    // The file commands (Save, Save As) and the save prompt; see DocFileCommands.cpp.
    // Asks "Save changes to %1?" for a modified document; false when the user cancels.
    virtual bool SaveModified();
    // Saves to path, or asks for a name (Save As) when path is empty; bReplace: the
    // document takes the new name.
    virtual bool DoSave(const std::string& path, bool bReplace = true);
    // Save: to the document's file, or Save As when it has none (or it is gone/read-only).
    virtual bool DoFileSave();
    void OnFileSave();
    void OnFileSaveAs();

    // Tells the user why an open or save failed, choosing the framework's message for
    // the error in flight (pass std::current_exception() from a catch block).
    virtual void ReportSaveLoadException(const std::string& path, std::exception_ptr error, bool bSaving,
                                         UINT nIDPDefault);

    DECLARE_MESSAGE_MAP()

protected:
    std::string m_strPathName;
    std::string m_strTitle;
    bool m_bModified = false;
    bool m_bLoadRejected = false;
    std::vector<CView*> m_viewList;
    CDocumentObserver* m_pObserver = nullptr;
};

// The name Save As proposes for an untitled document: the title cut at its first
// blank, '#', '%', ';', '/' or backslash, plus the extension.
std::string AfxProposeSaveName(const std::string& title, const std::string& ext);

// The message the framework shows for an open or save error (exposed for tests).
std::string AfxSaveLoadErrorText(const std::string& fullPath, std::exception_ptr error, UINT nIDPDefault);
