#include "framework/Document.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/Archive.h"
#include "framework/File.h"
#include "framework/UserInterface.h"
#include "framework/View.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

namespace {

std::string FullPath(const std::string& path)
{
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

// Writes into a temporary file beside the target and renames it over the target only
// when every byte reached the disk, so a failed save never harms the previous file.
class CSafeSaveFile {
public:
    explicit CSafeSaveFile(const std::string& target) : m_target(target)
    {
        // Saving through a symbolic link updates the file it points to; renaming over
        // the link itself would leave that file stale and turn the link into a copy.
        std::error_code ec;
        if (std::filesystem::is_symlink(target, ec)) {
            std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ec);
            if (!ec)
                m_target = resolved.string();
        }
        // A file its owner made read-only is not replaced behind their back.
        if (::faccessat(AT_FDCWD, m_target.c_str(), F_OK, AT_EACCESS) == 0 &&
            ::faccessat(AT_FDCWD, m_target.c_str(), W_OK, AT_EACCESS) != 0)
            CFileException::ThrowOsError(EACCES, target);
        std::filesystem::path t(m_target);
        std::filesystem::path dir = t.parent_path();
        if (dir.empty())
            dir = ".";
        m_dir = dir.string();
        // A hidden name beside the target (built by appending: g++ 12 -O3 warns falsely
        // about "." + name).
        std::string leaf(".");
        leaf += t.filename().string();
        leaf += ".XXXXXX";
        std::string tmpl = (dir / leaf).string();
        std::vector<char> name(tmpl.begin(), tmpl.end());
        name.push_back('\0');
        int fd = ::mkstemp(name.data());
        if (fd < 0)
            CFileException::ThrowOsError(errno, target);
        m_temp = name.data();
        // Keep the permissions of the file being replaced; a new file gets the usual ones.
        struct stat st {};
        mode_t mode = 0666;
        if (::stat(m_target.c_str(), &st) == 0) {
            mode = st.st_mode & 07777;
        } else {
            mode_t mask = ::umask(0);
            ::umask(mask);
            mode &= ~mask;
        }
        ::fchmod(fd, mode);
        m_file.Attach(fd, target);
    }

    ~CSafeSaveFile()
    {
        if (!m_bCommitted) {
            m_file.Abort();
            ::unlink(m_temp.c_str());
        }
    }

    CFile& File() { return m_file; }

    void Commit()
    {
        m_file.Flush();
        m_file.Close();
        if (::rename(m_temp.c_str(), m_target.c_str()) != 0)
            CFileException::ThrowOsError(errno, m_target);
        m_bCommitted = true;
        int dfd = ::open(m_dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dfd >= 0) {
            ::fsync(dfd);
            ::close(dfd);
        }
    }

private:
    std::string m_target;
    std::string m_dir;
    std::string m_temp;
    CFile m_file;
    bool m_bCommitted = false;
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
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const std::string& path)
{
    std::unique_ptr<CFile> pFile;
    try {
        pFile = GetFile(path, CFile::modeRead);
    } catch (...) {
        ReportSaveLoadException(path, std::current_exception(), false, AFX_IDP_FAILED_TO_OPEN_DOC);
        return false;
    }

    DeleteContents();
    SetModifiedFlag(true);   // dirty while loading: a failure part-way leaves a new document
    try {
        if (pFile->GetLength() != 0) {
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
    SetPathName(path);
    return true;
}

bool CDocument::OnSaveDocument(const std::string& path)
{
    try {
        CSafeSaveFile safe(path);
        CArchive ar(&safe.File(), CArchive::store);
        Serialize(ar);
        ar.Close();
        safe.Commit();
    } catch (...) {
        ReportSaveLoadException(path, std::current_exception(), true, AFX_IDP_FAILED_TO_SAVE_DOC);
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
