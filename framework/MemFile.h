#pragma once
// A file held in memory: an archive reads from a byte buffer or stores into one.
// Used where going through the disk would only get in the way (fuzzing, benchmarks).
#include <string>
#include <string_view>

#include "framework/File.h"

class CMemFile : public CFile {
public:
    // An empty file, for storing.
    CMemFile() = default;
    // A file holding data, for loading. With bCopy false the file reads the caller's
    // bytes in place, and the caller keeps them alive and unchanged meanwhile.
    explicit CMemFile(std::string_view data, bool bCopy = true)
        : m_data(bCopy ? std::string(data) : std::string()), m_borrowed(data), m_bBorrowed(!bCopy)
    {
    }

    void Open(const std::string& path, unsigned flags) override;
    std::size_t Read(void* pBuf, std::size_t nCount) override;
    void Write(const void* pBuf, std::size_t nCount) override;
    void Flush() override {}
    std::uint64_t GetLength() const override { return View().size(); }
    void Close() override {}
    void Abort() override {}

    // Everything the file holds.
    std::string_view View() const { return m_bBorrowed ? m_borrowed : std::string_view(m_data); }
    // Takes the bytes out, leaving the file empty.
    std::string Detach();

private:
    std::string m_data;
    std::string_view m_borrowed;
    bool m_bBorrowed = false;
    std::size_t m_nPos = 0;
};
