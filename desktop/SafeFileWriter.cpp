#include "desktop/SafeFileWriter.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "desktop/SafeFileSupport.h"

namespace {

constexpr std::size_t kCopyChunk = 256 * 1024;

mode_t CurrentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

bool MayWrite(const std::string& path, const struct stat& st)
{
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    // The permission check lets root write anything; the mode bits still say whether
    // somebody meant the file to be written.
    if (st.st_uid == ::geteuid())
        return (st.st_mode & S_IWUSR) != 0;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// Copies the first nSize bytes of one descriptor to another; 0 or errno.
int CopyBytes(int from, int to, off_t nSize)
{
    std::vector<char> buf(kCopyChunk);
    for (off_t pos = 0; pos < nSize;) {
        const ssize_t n = ::pread(from, buf.data(), buf.size(), pos);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            break;   // the file became shorter meanwhile: what is there is the content
        if (int err = SafeWriteAll(to, buf.data(), static_cast<std::size_t>(n), pos))
            return err;
        pos += n;
    }
    return 0;
}

// Creates the folder and any missing parents, for the user alone (copies of their files
// are kept there).
void MakePrivateFolders(const std::string& dir)
{
    for (std::size_t pos = dir.find('/', 1);; pos = dir.find('/', pos + 1)) {
        ::mkdir(dir.substr(0, pos).c_str(), 0700);
        if (pos == std::string::npos)
            break;
    }
}

std::string RealPath(const std::string& path)
{
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr)
        return path;
    std::string result(real);
    std::free(real);
    return result;
}

} // namespace

bool AfxIsFileReadOnly(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !MayWrite(path, st);
}

CSafeFileWriter::CSafeFileWriter(std::string path, mode_t newMode) : m_strPath(std::move(path)), m_newMode(newMode) {}

CSafeFileWriter::~CSafeFileWriter() { Abort(); }

int CSafeFileWriter::Begin()
{
    if (m_nKind != notStarted)
        return m_nError != 0 ? m_nError : EINVAL;
    if (int err = SafeResolveLinks(m_strPath, m_strTarget))
        return m_nError = err;

    struct stat st {};
    if (::stat(m_strTarget.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return m_nError = kSafeSaveNotRegularFile;
        if (!MayWrite(m_strTarget, st))
            return m_nError = EACCES;
        m_bExists = true;
        m_dev = st.st_dev;
        m_ino = st.st_ino;
        m_uid = st.st_uid;
        m_gid = st.st_gid;
        m_mode = st.st_mode & 07777;
        m_nOldSize = st.st_size;
    } else if (errno != ENOENT) {
        return m_nError = errno;
    }

    // A file with other hard links is written in place so that every name sees the
    // new content; renaming a new file over one name would silently split them.
    int err = 0;
    if (!m_bExists || st.st_nlink <= 1) {
        err = BeginViaTemp();
        if (err == 0)
            return 0;
        if (!m_bExists || (err != EACCES && err != EPERM))
            return m_nError = err;
    }
    return m_nError = BeginInPlace(err);
}

int CSafeFileWriter::BeginViaTemp()
{
    const std::string dir = SafeFolderOf(m_strTarget);
    const int fd = SafeCreateLocked(dir, AfxSafeSaveTempPrefix(SafeLeafOf(m_strTarget), SafeNameMax(dir)), m_strTemp);
    if (fd < 0)
        return -fd;
    mode_t mode = m_newMode & ~CurrentUmask();
    if (m_bExists) {
        // The new file takes the old one's owner and group, or the save is made in
        // place, which keeps them; a root save must not hand a user's file to root.
        struct stat st {};
        const bool bSame = ::fstat(fd, &st) == 0 && st.st_uid == m_uid && st.st_gid == m_gid;
        if (!bSame && ::fchown(fd, m_uid, m_gid) != 0) {
            ::close(fd);
            ::unlink(m_strTemp.c_str());
            m_strTemp.clear();
            return EPERM;
        }
        mode = m_mode;   // after fchown, which may clear set-id bits
    }
    ::fchmod(fd, mode);
    m_fd = fd;
    m_nKind = viaTemp;
    return 0;
}

int CSafeFileWriter::BeginInPlace(int nTempError)
{
    // Not blocking on open: should a FIFO have taken the file's place meanwhile.
    const int fd = ::open(m_strTarget.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return kSafeSaveNotRegularFile;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_fd = fd;
    m_nOldSize = st.st_size;
    m_nKind = inPlace;
    if (int err = MakeCopyOfOld()) {
        ::close(m_fd);
        m_fd = -1;
        m_nKind = notStarted;
        // No folder would take the copy: the reason the folder refused the temporary
        // file says more than the last of those attempts.
        return (err == EACCES || err == EPERM || err == ENOENT || err == EROFS) && nTempError != 0 ? nTempError : err;
    }
    return 0;
}

int CSafeFileWriter::MakeCopyOfOld()
{
    // Beside the file where its folder allows (same disk, found again at once), else in
    // the user's own state or cache folder.
    std::vector<std::pair<std::string, std::string>> places;
    const std::string dir = SafeFolderOf(m_strTarget);
    places.emplace_back(dir, AfxSafeSaveTempPrefix(SafeLeafOf(m_strTarget), SafeNameMax(dir)));
    for (const std::string& copyDir : SafeCopyFolders())
        places.emplace_back(copyDir, std::string());

    int err = EACCES;
    for (auto& [copyDir, prefix] : places) {
        if (prefix.empty()) {
            MakePrivateFolders(copyDir);
            prefix = SafeCopyPrefix(RealPath(m_strTarget), SafeNameMax(copyDir));
        }
        const int fd = SafeCreateLocked(copyDir, prefix, m_strCopy);
        if (fd < 0) {
            err = -fd;
            continue;
        }
        err = CopyBytes(m_fd, fd, m_nOldSize);
        if (err == 0)
            err = SafeSync(fd);
        if (err == 0) {
            SafeSyncFolder(copyDir);
            m_nCopyFd = fd;
            return 0;
        }
        ::close(fd);
        ::unlink(m_strCopy.c_str());
        m_strCopy.clear();
        if (err != EACCES && err != EPERM && err != EROFS)
            return err;
    }
    return err;
}

int CSafeFileWriter::Write(const void* pData, std::size_t nCount)
{
    if (m_nError != 0)
        return m_nError;
    if (m_nKind != viaTemp && m_nKind != inPlace)
        return m_nError = EBADF;
    if (m_nKind == inPlace)
        m_bTouched = true;
    if (int err = SafeWriteAll(m_fd, pData, nCount)) {
        if (m_nKind == inPlace)
            PutOldContentBack();
        return m_nError = err;
    }
    m_nWritten += nCount;
    return 0;
}

int CSafeFileWriter::Commit()
{
    if (m_nError != 0)
        return m_nError;
    if (m_nKind == viaTemp) {
        int err = SafeSync(m_fd);
        // Renamed while still open and locked, so no clean-up of another save takes it.
        if (err == 0 && ::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0)
            err = errno;
        if (err != 0) {
            Abort();
            return m_nError = err;
        }
        ::close(m_fd);
        m_fd = -1;
        m_strTemp.clear();
        SafeSyncFolder(SafeFolderOf(m_strTarget));
    } else if (m_nKind == inPlace) {
        m_bTouched = true;
        int err = SafeTruncate(m_fd, static_cast<off_t>(m_nWritten));
        if (err == 0)
            err = SafeSync(m_fd);
        if (err != 0) {
            PutOldContentBack();
            ::close(m_fd);
            m_fd = -1;
            m_nKind = finished;
            return m_nError = err;
        }
        ::close(m_fd);
        m_fd = -1;
        DropCopy();
    } else {
        return m_nError = EBADF;
    }
    m_nKind = finished;
    RemoveStaleFiles();
    return 0;
}

void CSafeFileWriter::Abort()
{
    if (m_nKind == viaTemp) {
        ::close(m_fd);
        ::unlink(m_strTemp.c_str());
        m_strTemp.clear();
    } else if (m_nKind == inPlace) {
        PutOldContentBack();
        ::close(m_fd);
    }
    m_fd = -1;
    if (m_nKind != notStarted)
        m_nKind = finished;
}

bool CSafeFileWriter::PutOldContentBack()
{
    if (m_nCopyFd < 0)
        return m_strKept.empty();
    bool bOk = true;
    if (m_bTouched) {
        bOk = CopyBytes(m_nCopyFd, m_fd, m_nOldSize) == 0 && SafeTruncate(m_fd, m_nOldSize) == 0 &&
              SafeSync(m_fd) == 0;
    }
    if (bOk) {
        DropCopy();
        m_bTouched = false;
    } else {
        // The copy is all that is left of the old content: it stays.
        ::close(m_nCopyFd);
        m_nCopyFd = -1;
        m_strKept = m_strCopy;
        m_strCopy.clear();
    }
    return bOk;
}

void CSafeFileWriter::DropCopy()
{
    if (m_nCopyFd < 0)
        return;
    ::unlink(m_strCopy.c_str());
    ::close(m_nCopyFd);
    m_nCopyFd = -1;
    m_strCopy.clear();
}

void CSafeFileWriter::RemoveStaleFiles() const
{
    const std::string dir = SafeFolderOf(m_strTarget);
    SafeRemoveStale(dir, AfxSafeSaveTempPrefix(SafeLeafOf(m_strTarget), SafeNameMax(dir)));
    const std::string real = RealPath(m_strTarget);
    for (const std::string& copyDir : SafeCopyFolders())
        SafeRemoveStale(copyDir, SafeCopyPrefix(real, SafeNameMax(copyDir)));
}

int AfxSaveFileSafely(const std::string& path, const std::string& data, mode_t newMode)
{
    CSafeFileWriter writer(path, newMode);
    if (int err = writer.Begin())
        return err;
    if (int err = writer.Write(data.data(), data.size()))
        return err;
    return writer.Commit();
}
