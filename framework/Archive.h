#pragma once
// A line-oriented archive over a file, storing or loading.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CFile;

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    CArchive(CFile* pFile, Mode nMode);
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;
    ~CArchive();

    bool IsStoring() const { return m_nMode == store; }
    bool IsLoading() const { return m_nMode == load; }
    CFile* GetFile() const { return m_pFile; }

    // Storing: writes the bytes exactly as given (no line end is added).
    void WriteString(std::string_view text);

    // Loading: reads one line of at most nMax characters into str, without its line
    // end. A line ends at LF, or at CR (a CR directly followed by LF takes the LF
    // with it). A longer physical line is delivered in pieces of nMax; when a piece
    // fills nMax exactly, the line end that follows comes back as an empty line.
    // Returns false at end of file when nothing was read.
    bool ReadString(std::string& str, std::size_t nMax);
    // The same as ReadString, without the copy where it can be avoided: line views the
    // archive's own bytes and stays valid until the next read from the archive.
    bool ReadString(std::string_view& line, std::size_t nMax);

    // Loading: the next n bytes where they are already buffered, without reading them,
    // else nullptr; for a reader that takes a record of known layout straight from the
    // buffer. SkipBuffered then passes over n of them.
    const char* PeekBuffered(std::size_t n) const { return m_nEnd - m_nPos >= n ? m_buffer.data() + m_nPos : nullptr; }
    void SkipBuffered(std::size_t n) { m_nPos += n; }

    // Storing: writes out what is buffered.
    void Flush();
    // Flushes (when storing) and detaches from the file.
    void Close();

private:
    bool FillBuffer();
    bool SlowReadString(std::string_view& line, std::size_t nMax);
    int PeekByte();
    int GetByte();

    CFile* m_pFile;
    Mode m_nMode;
    std::vector<char> m_buffer;
    std::size_t m_nPos = 0;
    std::size_t m_nEnd = 0;
    bool m_bEof = false;
    std::string m_strLine;   // a line that crossed a buffer refill, for the view form
};
