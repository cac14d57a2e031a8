#include "framework/File.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

CFile::~CFile() { Abort(); }

void CFile::Open(const std::string& path, unsigned flags)
{
    Abort();
    // Non-blocking only while opening: a FIFO would otherwise wait for a writer forever.
    int oflags = O_CLOEXEC | O_NONBLOCK;
    if (flags & modeWrite)
        oflags |= O_WRONLY;
    else
        oflags |= O_RDONLY;
    if (flags & modeCreate)
        oflags |= O_CREAT | O_TRUNC;
    int fd;
    do {
        fd = ::open(path.c_str(), oflags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        CFileException::ThrowOsError(errno, path);
    // A directory opens for reading on Linux but cannot be read as a file.
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        CFileException::ThrowOsError(EACCES, path);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_fd = fd;
    m_strPath = path;
}

void CFile::Attach(int fd, const std::string& path)
{
    Abort();
    m_fd = fd;
    m_strPath = path;
}

std::size_t CFile::Read(void* pBuf, std::size_t nCount)
{
    for (;;) {
        ssize_t n = ::read(m_fd, pBuf, nCount);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            CFileException::ThrowOsError(errno, m_strPath);
    }
}

void CFile::Write(const void* pBuf, std::size_t nCount)
{
    const char* p = static_cast<const char*>(pBuf);
    while (nCount > 0) {
        ssize_t n = ::write(m_fd, p, nCount);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            CFileException::ThrowOsError(errno, m_strPath);
        }
        if (n == 0)
            CFileException::ThrowOsError(ENOSPC, m_strPath);
        p += n;
        nCount -= static_cast<std::size_t>(n);
    }
}

void CFile::Flush()
{
    if (::fsync(m_fd) != 0 && errno != EINVAL && errno != EROFS)
        CFileException::ThrowOsError(errno, m_strPath);
}

std::uint64_t CFile::GetLength() const
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        CFileException::ThrowOsError(errno, m_strPath);
    return static_cast<std::uint64_t>(st.st_size);
}

bool CFile::GetIdentity(CFileIdentity& identity) const
{
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return false;
    auto nanoseconds = [](const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; };
    identity = CFileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                             static_cast<std::uint64_t>(st.st_size), nanoseconds(st.st_mtim),
                             nanoseconds(st.st_ctim), S_ISREG(st.st_mode)};
    return true;
}

void CFile::Close()
{
    if (m_fd < 0)
        return;
    int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        CFileException::ThrowOsError(errno, m_strPath);
}

void CFile::Abort()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

std::string AfxFullPath(const std::string& path)
{
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}
