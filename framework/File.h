#pragma once
// A file on disk, opened for reading or writing, over POSIX descriptors.
// Errors are thrown as CFileException with the cause taken from errno.
// The operations are virtual so that an archive can also work over memory (CMemFile).
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/FileException.h"

// Which file an open descriptor reads, and its state: equal identities taken at two
// moments mean the same file, not written to in between.
struct CFileIdentity {
    std::uint64_t nDevice = 0;
    std::uint64_t nInode = 0;
    std::uint64_t nSize = 0;
    std::int64_t nModified = 0;   // nanoseconds
    std::int64_t nChanged = 0;    // nanoseconds, status change
    bool bRegular = false;
    bool operator==(const CFileIdentity&) const = default;
};

// path made absolute (from the working folder) and normal, without following links; as
// it stands when that fails.
std::string AfxFullPath(const std::string& path);

class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0,
        modeWrite = 0x1,
        modeCreate = 0x1000,   // create, truncating an existing file
    };

    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile();

    // Opens the file; throws CFileException on failure.
    virtual void Open(const std::string& path, unsigned flags);
    // Takes over an already open descriptor (for example a temporary file).
    void Attach(int fd, const std::string& path);
    // Reads up to nCount bytes; returns the number read, 0 at end of file.
    virtual std::size_t Read(void* pBuf, std::size_t nCount);
    // Writes all bytes or throws.
    virtual void Write(const void* pBuf, std::size_t nCount);
    // Flushes the data to the storage device (fsync).
    virtual void Flush();
    virtual std::uint64_t GetLength() const;
    // Closes; throws when the close reports an error (data may not have reached disk).
    virtual void Close();
    // Closes without reporting errors.
    virtual void Abort();

    // False when there is no open descriptor or it cannot be queried.
    bool GetIdentity(CFileIdentity& identity) const;

    bool IsOpen() const { return m_fd >= 0; }
    const std::string& GetFilePath() const { return m_strPath; }

private:
    int m_fd = -1;
    std::string m_strPath;
};
