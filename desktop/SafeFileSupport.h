#pragma once
// Helpers of CSafeFileWriter: writes that survive a file-size limit, link resolution,
// the names of temporary files and their clean-up.
#include <csignal>
#include <cstddef>
#include <string>
#include <sys/types.h>
#include <vector>

// Holds SIGXFSZ back on this thread while it lives. Over a file-size limit a write then
// fails with EFBIG instead of the signal killing the process; a signal raised meanwhile
// is taken off the queue, since it only repeats what the failed call reports.
class CFileSizeSignalGuard {
public:
    CFileSizeSignalGuard();
    ~CFileSizeSignalGuard();
    CFileSizeSignalGuard(const CFileSizeSignalGuard&) = delete;
    CFileSizeSignalGuard& operator=(const CFileSizeSignalGuard&) = delete;

private:
    sigset_t m_old {};
    bool m_bBlocked = false;
};

// Writes every byte at the file position (nOffset < 0) or at nOffset; 0 or errno.
int SafeWriteAll(int fd, const void* pData, std::size_t nCount, off_t nOffset = -1);
// Shortens or lengthens the file; 0 or errno.
int SafeTruncate(int fd, off_t nLength);
// fsync, where the file system supports it; 0 or errno.
int SafeSync(int fd);
// Syncs a folder so that a new or renamed entry in it lasts.
void SafeSyncFolder(const std::string& dir);

// Follows symbolic links from path to the name of a file or of nothing yet; 0 or errno
// (ELOOP for a loop or a chain too long).
int SafeResolveLinks(const std::string& path, std::string& target);

// The folder part and the file part of a path ("." for a bare name).
std::string SafeFolderOf(const std::string& path);
std::string SafeLeafOf(const std::string& path);

// The longest name the folder allows.
std::size_t SafeNameMax(const std::string& dir);

// Folders where a copy of a file's old content may be kept when its own folder cannot
// take it: $XDG_STATE_HOME/fretly, then $XDG_CACHE_HOME/fretly (with the usual defaults).
std::vector<std::string> SafeCopyFolders();
// The prefix of such copies of the file target in one of those folders.
std::string SafeCopyPrefix(const std::string& target, std::size_t nNameMax);

// Creates "<dir>/<prefix>XXXXXX", locked; returns the descriptor (path set) or -errno.
int SafeCreateLocked(const std::string& dir, const std::string& prefix, std::string& path);

// Removes files "<dir>/<prefix>" plus six characters that this user owns and that no
// process holds locked (left by a save that was killed), except keep.
void SafeRemoveStale(const std::string& dir, const std::string& prefix, const std::string& keep = {});
