#include "framework/Archive.h"

#include "framework/File.h"

#include <algorithm>

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
}

CArchive::CArchive(CFile* pFile, Mode nMode) : m_pFile(pFile), m_nMode(nMode)
{
    m_buffer.reserve(kBufferSize);
}

CArchive::~CArchive() = default;

void CArchive::WriteString(std::string_view text)
{
    if (text.size() >= kBufferSize) {
        Flush();
        m_pFile->Write(text.data(), text.size());
        return;
    }
    if (m_buffer.size() + text.size() > kBufferSize)
        Flush();
    m_buffer.insert(m_buffer.end(), text.begin(), text.end());
}

void CArchive::Flush()
{
    if (m_nMode != store || m_pFile == nullptr || m_buffer.empty())
        return;
    m_pFile->Write(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
}

void CArchive::Close()
{
    Flush();
    m_pFile = nullptr;
}

bool CArchive::FillBuffer()
{
    if (m_bEof || m_pFile == nullptr)
        return false;
    m_buffer.resize(kBufferSize);
    m_nEnd = m_pFile->Read(m_buffer.data(), kBufferSize);
    m_nPos = 0;
    if (m_nEnd == 0) {
        m_bEof = true;
        return false;
    }
    return true;
}

int CArchive::PeekByte()
{
    if (m_nPos >= m_nEnd && !FillBuffer())
        return -1;
    return static_cast<unsigned char>(m_buffer[m_nPos]);
}

int CArchive::GetByte()
{
    int ch = PeekByte();
    if (ch >= 0)
        ++m_nPos;
    return ch;
}

bool CArchive::ReadString(std::string& str, std::size_t nMax)
{
    str.clear();
    if (PeekByte() < 0)
        return false;
    while (str.size() < nMax) {
        if (m_nPos >= m_nEnd && !FillBuffer())
            break;
        // Take the run of ordinary characters up to a line end in one piece.
        const char* pBegin = m_buffer.data() + m_nPos;
        const char* pEnd = pBegin + std::min(m_nEnd - m_nPos, nMax - str.size());
        const char* p = pBegin;
        while (p < pEnd && *p != '\n' && *p != '\r')
            ++p;
        str.append(pBegin, p);
        m_nPos += static_cast<std::size_t>(p - pBegin);
        if (p == pEnd)
            continue;
        const char chEnd = *p;
        ++m_nPos;
        // Only a following LF belongs to this line end: a lone CR (an old system's line
        // end) must not swallow the next line's first character.
        if (chEnd == '\r' && PeekByte() == '\n')
            ++m_nPos;
        break;
    }
    return true;
}
