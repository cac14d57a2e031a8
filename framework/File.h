#pragma once
// A file on disk, opened for reading or writing, over POSIX descriptors.
// Errors are thrown as CFileException with the cause taken from errno.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/FileException.h"

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
    ~CFile();

    // Opens the file; throws CFileException on failure.
    void Open(const std::string& path, unsigned flags);
    // Takes over an already open descriptor (for example a temporary file).
    void Attach(int fd, const std::string& path);
    // Reads up to nCount bytes; returns the number read, 0 at end of file.
    std::size_t Read(void* pBuf, std::size_t nCount);
    // Writes all bytes or throws.
    void Write(const void* pBuf, std::size_t nCount);
    // Flushes the data to the storage device (fsync).
    void Flush();
    std::uint64_t GetLength() const;
    // Closes; throws when the close reports an error (data may not have reached disk).
    void Close();
    // Closes without reporting errors.
    void Abort();

    bool IsOpen() const { return m_fd >= 0; }
    const std::string& GetFilePath() const { return m_strPath; }

private:
    int m_fd = -1;
    std::string m_strPath;
};
