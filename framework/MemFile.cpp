#include "framework/MemFile.h"

#include <algorithm>
#include <cstring>

void CMemFile::Open(const std::string&, unsigned flags)
{
    // Opening for writing with create starts an empty file; reading starts at the beginning.
    if (flags & modeCreate) {
        m_data.clear();
        m_bBorrowed = false;
    }
    m_nPos = 0;
}

std::size_t CMemFile::Read(void* pBuf, std::size_t nCount)
{
    std::string_view data = View();
    if (m_nPos >= data.size())
        return 0;
    std::size_t n = std::min(nCount, data.size() - m_nPos);
    std::memcpy(pBuf, data.data() + m_nPos, n);
    m_nPos += n;
    return n;
}

void CMemFile::Write(const void* pBuf, std::size_t nCount)
{
    if (m_bBorrowed) {
        // Writing needs a buffer of our own.
        m_data.assign(m_borrowed);
        m_bBorrowed = false;
    }
    m_data.append(static_cast<const char*>(pBuf), nCount);
}

std::string CMemFile::Detach()
{
    std::string out = m_bBorrowed ? std::string(m_borrowed) : std::move(m_data);
    m_data.clear();
    m_borrowed = {};
    m_bBorrowed = false;
    m_nPos = 0;
    return out;
}
