#include "desktop/SafeFileSupport.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kTag[] = ".fretly-";
constexpr std::size_t kRandom = 6;   // the XXXXXX of mkstemp
constexpr int kMaxLinks = 40;        // as the kernel's own limit

std::uint64_t HashOf(const std::string& text)
{
    std::uint64_t h = 14695981039346656037ull;   // FNV-1a
    for (unsigned char ch : text) {
        h ^= ch;
        h *= 1099511628211ull;
    }
    return h;
}

std::string Hex(std::uint64_t value, int nDigits)
{
    char buf[17];
    std::snprintf(buf, sizeof buf, "%0*llx", nDigits, static_cast<unsigned long long>(value));
    return std::string(buf, static_cast<std::size_t>(nDigits));
}

// The first nMax bytes of text, not cutting a UTF-8 character in two.
std::string Shortened(const std::string& text, std::size_t nMax)
{
    if (text.size() <= nMax)
        return text;
    std::size_t n = nMax;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    return text.substr(0, n);
}

// lead + name + tag, or, where that leaves too little room for the random part, lead +
// the start of the name + "~" + a hash of key + tag, so the name still fits.
std::string FittingPrefix(const std::string& lead, const std::string& name, const std::string& key,
                          std::size_t nNameMax, bool bAlwaysHash)
{
    const std::size_t fixed = lead.size() + (sizeof kTag - 1) + kRandom;
    if (!bAlwaysHash && fixed + name.size() <= nNameMax)
        return lead + name + kTag;
    const std::string hash = "~" + Hex(HashOf(key), 16);
    const std::size_t room = nNameMax > fixed + hash.size() ? nNameMax - fixed - hash.size() : 0;
    return lead + Shortened(name, room) + hash + kTag;
}

} // namespace

std::string AfxSafeSaveTempPrefix(const std::string& leaf, std::size_t nNameMax)
{
    return FittingPrefix(".", leaf, leaf, nNameMax, false);
}

std::string SafeCopyPrefix(const std::string& target, std::size_t nNameMax)
{
    // The whole path goes into the hash: files of the same name in other folders keep
    // their copies apart.
    return FittingPrefix("", SafeLeafOf(target), target, nNameMax, true);
}

CFileSizeSignalGuard::CFileSizeSignalGuard()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGXFSZ);
    m_bBlocked = ::pthread_sigmask(SIG_BLOCK, &set, &m_old) == 0 && !sigismember(&m_old, SIGXFSZ);
}

CFileSizeSignalGuard::~CFileSizeSignalGuard()
{
    if (!m_bBlocked)
        return;
    sigset_t pending;
    sigemptyset(&pending);
    if (::sigpending(&pending) == 0 && sigismember(&pending, SIGXFSZ)) {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGXFSZ);
        const timespec now {};
        while (::sigtimedwait(&set, nullptr, &now) == SIGXFSZ) {
        }
    }
    ::pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
}

int SafeWriteAll(int fd, const void* pData, std::size_t nCount, off_t nOffset)
{
    CFileSizeSignalGuard guard;
    const char* p = static_cast<const char*>(pData);
    while (nCount > 0) {
        const ssize_t n = nOffset < 0 ? ::write(fd, p, nCount) : ::pwrite(fd, p, nCount, nOffset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return ENOSPC;
        p += n;
        nCount -= static_cast<std::size_t>(n);
        if (nOffset >= 0)
            nOffset += n;
    }
    return 0;
}

int SafeTruncate(int fd, off_t nLength)
{
    CFileSizeSignalGuard guard;
    while (::ftruncate(fd, nLength) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

int SafeSync(int fd)
{
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        return errno;
    return 0;
}

void SafeSyncFolder(const std::string& dir)
{
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

std::string SafeFolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string SafeLeafOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int SafeResolveLinks(const std::string& path, std::string& target)
{
    std::string p = path;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0) {
            if (errno != ENOENT)
                return errno;
            target = p;   // nothing there yet: the file to create
            return 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            target = p;
            return 0;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(p.c_str(), link.data(), link.size());
        if (n < 0)
            return errno;
        link.resize(static_cast<std::size_t>(n));
        if (link.empty())
            return ENOENT;
        p = link[0] == '/' ? link : SafeFolderOf(p) + "/" + link;
    }
    return ELOOP;
}

std::size_t SafeNameMax(const std::string& dir)
{
    const long n = ::pathconf(dir.c_str(), _PC_NAME_MAX);
    return n > 0 ? static_cast<std::size_t>(n) : NAME_MAX;
}

std::vector<std::string> SafeCopyFolders()
{
    std::vector<std::string> dirs;
    const char* home = std::getenv("HOME");
    auto add = [&](const char* var, const char* fallback) {
        const char* value = std::getenv(var);
        if (value != nullptr && value[0] == '/')
            dirs.push_back(std::string(value) + "/fretly");
        else if (home != nullptr && home[0] == '/')
            dirs.push_back(std::string(home) + fallback + "/fretly");
    };
    add("XDG_STATE_HOME", "/.local/state");
    add("XDG_CACHE_HOME", "/.cache");
    return dirs;
}

int SafeCreateLocked(const std::string& dir, const std::string& prefix, std::string& path)
{
    std::string name = dir + "/" + prefix + std::string(kRandom, 'X');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return -errno;
    // The lock tells a later save that this file is still in use.
    ::flock(fd, LOCK_EX);
    path = name;
    return fd;
}

void SafeRemoveStale(const std::string& dir, const std::string& prefix, const std::string& keep)
{
    DIR* pDir = ::opendir(dir.c_str());
    if (pDir == nullptr)
        return;
    const int dfd = ::dirfd(pDir);
    const std::string keepLeaf = keep.empty() ? std::string() : SafeLeafOf(keep);
    while (const dirent* pEntry = ::readdir(pDir)) {
        const std::string name = pEntry->d_name;
        if (name.size() != prefix.size() + kRandom || name.compare(0, prefix.size(), prefix) != 0 || name == keepLeaf)
            continue;
        const int fd = ::openat(dfd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dfd, name.c_str(), 0);
        ::close(fd);
    }
    ::closedir(pDir);
}
