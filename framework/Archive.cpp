#include "framework/Archive.h"

#include "framework/File.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;

// Offset of the first CR or LF among the n bytes at p; n when there is none. Lines are
// short (a reader asks for 80 characters at most), so one pass for both bytes beats a
// library search for each.
std::size_t FindLineEnd(const char* p, std::size_t n)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= n; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const int nMask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf)));
        if (nMask != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(nMask)));
    }
#endif
    for (; i < n; ++i) {
        if (p[i] == '\r' || p[i] == '\n')
            return i;
    }
    return n;
}
} // namespace

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

bool CArchive::ReadString(std::string_view& line, std::size_t nMax)
{
    // Most lines lie whole in the buffer: hand out a view of them. A line that runs into
    // the end of the buffer (or a CR that is its last byte, whose LF may follow in the
    // next read) goes through the copying form, which refills as it goes.
    const std::size_t nAvail = m_nEnd - m_nPos;
    const std::size_t nWindow = std::min(nAvail, nMax);
    if (nWindow > 0) {
        const char* pBegin = m_buffer.data() + m_nPos;
        const std::size_t nLen = FindLineEnd(pBegin, nWindow);
        if (nLen < nWindow) {
            std::size_t nTake = nLen + 1;
            if (pBegin[nLen] == '\r') {
                if (nLen + 1 >= nAvail)
                    return SlowReadString(line, nMax);
                if (pBegin[nLen + 1] == '\n')
                    ++nTake;
            }
            line = std::string_view(pBegin, nLen);
            m_nPos += nTake;
            return true;
        }
        if (nWindow == nMax) {
            // A full piece: the line end that follows stays for the next call.
            line = std::string_view(pBegin, nMax);
            m_nPos += nMax;
            return true;
        }
    }
    return SlowReadString(line, nMax);
}

bool CArchive::SlowReadString(std::string_view& line, std::size_t nMax)
{
    const bool bRead = ReadString(m_strLine, nMax);
    line = m_strLine;
    return bRead;
}
