#include "framework/Document.h"

#include <algorithm>
#include <filesystem>

#include "desktop/SafeFileWriter.h"
#include "framework/Archive.h"
#include "framework/File.h"
#include "framework/ReadAhead.h"
#include "framework/UserInterface.h"
#include "framework/View.h"
#include "framework/FrameworkResource.h"
#include "framework/StringTable.h"

namespace {

std::string FullPath(const std::string& path)
{
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

// The document's side of a safe save: the archive writes through CFile, the bytes go
// to a CSafeFileWriter, and its errors become the framework's file errors.
class CSafeSaveFile : public CFile {
public:
    explicit CSafeSaveFile(const std::string& path) : m_writer(path), m_strPath(path)
    {
        if (int err = m_writer.Begin())
            CFileException::ThrowOsError(err, path);
    }

    void Write(const void* pBuf, std::size_t nCount) override
    {
        if (int err = m_writer.Write(pBuf, nCount))
            CFileException::ThrowOsError(err, m_strPath);
    }
    void Flush() override {}
    std::uint64_t GetLength() const override { return m_writer.GetWritten(); }
    void Close() override {}
    void Abort() override { m_writer.Abort(); }

    void Commit()
    {
        if (int err = m_writer.Commit())
            CFileException::ThrowOsError(err, m_strPath);
    }
    const std::string& GetKeptCopy() const { return m_writer.GetKeptCopy(); }

private:
    CSafeFileWriter m_writer;
    std::string m_strPath;
};

} // namespace

CDocument::~CDocument()
{
    for (CView* pView : m_viewList)
        pView->m_pDocument = nullptr;
}

void CDocument::SetPathName(const std::string& path)
{
    m_strPathName = FullPath(path);
    m_strTitle = std::filesystem::path(m_strPathName).filename().string();
}

void CDocument::AddView(CView* pView)
{
    if (std::find(m_viewList.begin(), m_viewList.end(), pView) != m_viewList.end())
        return;
    m_viewList.push_back(pView);
    pView->m_pDocument = this;
}

void CDocument::RemoveView(CView* pView)
{
    auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
    if (it != m_viewList.end()) {
        m_viewList.erase(it);
        pView->m_pDocument = nullptr;
    }
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    for (CView* pView : m_viewList) {
        if (pView != pSender)
            pView->OnUpdate(pSender, lHint, pHint);
    }
}

void CDocument::Serialize(CArchive&) {}

std::unique_ptr<CFile> CDocument::GetFile(const std::string& path, unsigned nOpenFlags)
{
    auto pFile = std::make_unique<CFile>();
    pFile->Open(path, nOpenFlags);
    return pFile;
}

bool CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.clear();
    m_strTitle = AfxLoadString(AFX_IDS_UNTITLED);
    m_bLoadRejected = false;
    SetModifiedFlag(false);
    return true;
}

bool CDocument::LoadAhead(CArchive&) { return false; }

void CDocument::AdoptAhead(CDocument&) {}

bool CDocument::HelpLoadAhead() { return false; }

void CDocument::EndHelpLoadAhead() {}

bool CDocument::OnOpenDocument(const std::string& path)
{
    std::unique_ptr<CFile> pFile;
    try {
        pFile = GetFile(path, CFile::modeRead);
    } catch (...) {
        AfxGetReadAhead().Cancel();
        ReportSaveLoadException(path, std::current_exception(), false, AFX_IDP_FAILED_TO_OPEN_DOC);
        return false;
    }

    // The file may have been read at start-up already, on a worker thread.
    std::unique_ptr<CDocument> pAhead = AfxGetReadAhead().Take(*pFile, [this] { return HelpLoadAhead(); });
    EndHelpLoadAhead();
    DeleteContents();
    m_bLoadRejected = false;
    SetModifiedFlag(true);   // dirty while loading: a failure part-way leaves a new document
    try {
        if (pAhead != nullptr) {
            AdoptAhead(*pAhead);
        } else if (pFile->GetLength() != 0) {
            CArchive ar(pFile.get(), CArchive::load);
            Serialize(ar);
            ar.Close();
        }
        pFile->Close();
    } catch (...) {
        pFile->Abort();
        DeleteContents();
        ReportSaveLoadException(path, std::current_exception(), false, AFX_IDP_FAILED_TO_OPEN_DOC);
        return false;
    }
    SetModifiedFlag(false);
    if (!m_bLoadRejected)
        SetPathName(path);
    return true;
}

bool CDocument::OnSaveDocument(const std::string& path)
{
    std::unique_ptr<CSafeSaveFile> pFile;
    try {
        pFile = std::make_unique<CSafeSaveFile>(path);
        CArchive ar(pFile.get(), CArchive::store);
        Serialize(ar);
        ar.Close();
        pFile->Commit();
    } catch (...) {
        std::string kept;
        if (pFile) {
            pFile->Abort();
            kept = pFile->GetKeptCopy();
        }
        ReportSaveLoadException(path, std::current_exception(), true, AFX_IDP_FAILED_TO_SAVE_DOC);
        if (!kept.empty())
            AfxMessageBox(AfxFormatString2(IDS_FILE_COPY_KEPT, FullPath(path), kept), MB_ICONEXCLAMATION);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

std::string AfxSaveLoadErrorText(const std::string& fullPath, std::exception_ptr error, UINT nIDPDefault)
{
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const CUserException&) {
        return {};
    } catch (const CFileException& e) {
        if (e.m_cause == CFileException::notRegularFile)
            return AfxFormatString1(IDS_FILE_NOT_REGULAR, fullPath);
        if (e.m_cause == CFileException::linkLoop)
            return AfxFormatString1(IDS_FILE_LINK_LOOP, fullPath);
        if (e.m_cause != CFileException::none)
            return AfxFormatString1(AFX_IDP_FILE_NONE + static_cast<UINT>(e.m_cause), fullPath);
    } catch (const CArchiveException& e) {
        switch (e.m_cause) {
        case CArchiveException::endOfFile:
        case CArchiveException::badIndex:
        case CArchiveException::badClass:
        case CArchiveException::badSchema:
            return AfxLoadString(AFX_IDP_FAILED_INVALID_FORMAT);
        default:
            break;
        }
    } catch (...) {
    }
    return AfxLoadString(nIDPDefault);
}

void CDocument::ReportSaveLoadException(const std::string& path, std::exception_ptr error, bool, UINT nIDPDefault)
{
    std::string text = AfxSaveLoadErrorText(FullPath(path), error, nIDPDefault);
    if (!text.empty())
        AfxMessageBox(text, MB_ICONEXCLAMATION);
}
