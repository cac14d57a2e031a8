#pragma once
// Replacing the whole content of a file so that a failure, a full disk, a file-size
// limit or a crash part-way never harms what is there.
//
// Normally the new bytes go to a hidden temporary file beside the target, which is
// synced and renamed over it, carrying the target's mode, owner and group. Where that
// would change the file's identity (it has several hard links, or its owner or group
// cannot be given to a new file) or the folder cannot take a new file, the bytes are
// written into the file itself, but only after a synced copy of the old content exists
// (beside the file, or under $XDG_STATE_HOME/fretly); a failure puts the old content
// back, and the copy is removed once the new bytes are synced.
//
// Temporary files are named ".<name>.fretly-XXXXXX" (shortened with a hash of the name
// where the file system's name limit requires) and locked while in use; a successful
// save removes unlocked ones left by earlier saves of the same file that were killed.
//
// Errors are errno values, or one of the values below.
#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

// The target exists but is not a regular file (a FIFO, a device, a socket, a folder).
constexpr int kSafeSaveNotRegularFile = -1001;

// True when path exists and this process must not change it: its permissions refuse
// it, or it has no write permission bit that applies (so root does not rewrite a file
// that was made read-only either).
bool AfxIsFileReadOnly(const std::string& path);

class CSafeFileWriter {
public:
    // newMode: the permissions of a file that does not exist yet (the umask applies).
    explicit CSafeFileWriter(std::string path, mode_t newMode = 0666);
    CSafeFileWriter(const CSafeFileWriter&) = delete;
    CSafeFileWriter& operator=(const CSafeFileWriter&) = delete;
    // An unfinished save is abandoned: the old content stays.
    ~CSafeFileWriter();

    // Finds the file the path names (following symbolic links, also to a file that does
    // not exist yet) and gets ready to write; 0 or an error. A link is never replaced.
    int Begin();
    // Appends bytes to the new content; 0 or an error.
    int Write(const void* pData, std::size_t nCount);
    // Makes the bytes written the file's content, on disk; 0 or an error, in which case
    // the old content stays.
    int Commit();
    // Gives up: the old content stays and the temporary files go.
    void Abort();

    // The file being written (the end of any chain of links).
    const std::string& GetTarget() const { return m_strTarget; }
    bool IsInPlace() const { return m_nKind == inPlace; }
    std::uint64_t GetWritten() const { return m_nWritten; }
    // Set only when a failed in-place save could not put the old content back: the
    // copy of it that was kept.
    const std::string& GetKeptCopy() const { return m_strKept; }

private:
    enum Kind { notStarted, viaTemp, inPlace, finished };

    int BeginViaTemp();
    int BeginInPlace(int nTempError);
    int MakeCopyOfOld();
    bool PutOldContentBack();
    void DropCopy();
    void RemoveStaleFiles() const;

    std::string m_strPath;
    std::string m_strTarget;
    mode_t m_newMode;
    Kind m_nKind = notStarted;
    bool m_bExists = false;
    dev_t m_dev = 0;
    ino_t m_ino = 0;
    uid_t m_uid = 0;
    gid_t m_gid = 0;
    mode_t m_mode = 0;
    off_t m_nOldSize = 0;
    int m_fd = -1;              // the temporary file, or the target when in place
    std::string m_strTemp;      // the temporary file's path
    int m_nCopyFd = -1;         // the copy of the old content (in place)
    std::string m_strCopy;
    std::string m_strKept;
    bool m_bTouched = false;    // in place: the target's bytes have been changed
    std::uint64_t m_nWritten = 0;
    int m_nError = 0;
};

// Writes data as the whole content of path through CSafeFileWriter; 0 or an error.
int AfxSaveFileSafely(const std::string& path, const std::string& data, mode_t newMode = 0666);

// The prefix of the temporary files of the file leaf in its own folder, for a name
// limit of nNameMax bytes (exposed for tests).
std::string AfxSafeSaveTempPrefix(const std::string& leaf, std::size_t nNameMax);
