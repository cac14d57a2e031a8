#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Archive.h"
#include "framework/MemFile.h"

namespace {

// Hands out at most one byte per read, so every line end straddles a buffer refill.
class CTrickleFile : public CMemFile {
public:
    using CMemFile::CMemFile;
    std::size_t Read(void* pBuf, std::size_t nCount) override { return CMemFile::Read(pBuf, nCount ? 1 : 0); }
};

template <class File = CMemFile>
std::vector<std::string> ReadAll(const std::string& bytes, std::size_t nMax = 80)
{
    File file(bytes);
    CArchive ar(&file, CArchive::load);
    std::vector<std::string> lines;
    std::string line;
    while (ar.ReadString(line, nMax))
        lines.push_back(line);
    return lines;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(ArchiveReadString, LineEnds)
{
    EXPECT_EQ(ReadAll("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(ReadAll("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(ReadAll("\n\r\n\r"), (Lines{"", "", ""}));
    EXPECT_EQ(ReadAll(""), Lines{});
    // A lone CR ends its line and leaves the next character to the next line.
    EXPECT_EQ(ReadAll("ab\rcd\r\n"), (Lines{"ab", "cd"}));
    // CR CR LF: a line, then an empty one.
    EXPECT_EQ(ReadAll("ab\r\r\ncd\r\r\n"), (Lines{"ab", "", "cd", ""}));
    // LF CR: two line ends.
    EXPECT_EQ(ReadAll("ab\n\rcd"), (Lines{"ab", "", "cd"}));
}

TEST(ArchiveReadString, LineEndsAcrossBufferRefills)
{
    EXPECT_EQ(ReadAll<CTrickleFile>("a\r\nb\rc\r\r\nd\n"), (Lines{"a", "b", "c", "", "d"}));
}

TEST(ArchiveReadString, LongLinesComeInPiecesOfTheMaximum)
{
    const std::string a80(80, 'a'), b80(80, 'b');
    EXPECT_EQ(ReadAll(std::string(79, 'x') + "\r\nnext"), (Lines{std::string(79, 'x'), "next"}));
    // Exactly the maximum: its line end comes back as an empty line.
    EXPECT_EQ(ReadAll(a80 + "\r\nnext"), (Lines{a80, "", "next"}));
    EXPECT_EQ(ReadAll(a80 + "\nnext"), (Lines{a80, "", "next"}));
    EXPECT_EQ(ReadAll(a80 + "\rnext"), (Lines{a80, "", "next"}));
    EXPECT_EQ(ReadAll(a80 + b80 + "tail\r\n"), (Lines{a80, b80, "tail"}));
    EXPECT_EQ(ReadAll(a80 + b80 + "\r\n"), (Lines{a80, b80, ""}));
    // At the end of the file there is no line end to return.
    EXPECT_EQ(ReadAll(a80), (Lines{a80}));
    EXPECT_EQ(ReadAll<CTrickleFile>(a80 + "\r\n"), (Lines{a80, ""}));
}

TEST(ArchiveReadString, EveryByteButLineEndsIsKept)
{
    std::string bytes;
    for (int c = 0; c < 256; ++c) {
        if (c != '\r' && c != '\n')
            bytes.push_back(static_cast<char>(c));
    }
    Lines lines = ReadAll(bytes + "\n", 1000);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], bytes);
}

TEST(ArchiveWriteString, WritesBytesAsGivenAcrossTheBuffer)
{
    CMemFile file;
    std::string big(200000, 'z');
    big[12345] = '\0';
    {
        CArchive ar(&file, CArchive::store);
        ar.WriteString("abc");
        ar.WriteString(std::string_view("\0\r\n", 3));
        ar.WriteString(big);
        for (int i = 0; i < 30000; ++i)
            ar.WriteString("xy");
        ar.Close();
    }
    std::string expected = "abc" + std::string("\0\r\n", 3) + big;
    for (int i = 0; i < 30000; ++i)
        expected += "xy";
    EXPECT_EQ(file.View(), expected);
}

namespace {

// Hands out reads of a fixed size, so line ends fall at every offset of a refill.
class CChunkFile : public CMemFile {
public:
    CChunkFile(const std::string& bytes, std::size_t nChunk) : CMemFile(bytes), m_nChunk(nChunk) {}
    std::size_t Read(void* pBuf, std::size_t nCount) override { return CMemFile::Read(pBuf, std::min(nCount, m_nChunk)); }

private:
    std::size_t m_nChunk;
};

Lines ReadAllViews(const std::string& bytes, std::size_t nChunk, std::size_t nMax = 80)
{
    CChunkFile file(bytes, nChunk);
    CArchive ar(&file, CArchive::load);
    Lines lines;
    std::string_view line;
    while (ar.ReadString(line, nMax))
        lines.emplace_back(line);
    return lines;
}

} // namespace

// The view form must cut lines exactly as the copying form, wherever reads end.
TEST(ArchiveReadString, ViewFormCutsLinesAsTheCopyingForm)
{
    const std::string a80(80, 'a');
    const std::vector<std::string> inputs = {
        "",
        "a\r\nb\nc\rd",
        "ab\r\r\ncd\r\r\n",
        "ab\n\rcd",
        "\n\r\n\r",
        a80 + "\r\nnext",
        a80 + "\rnext\r",
        std::string(200, 'z') + "\r\n" + std::string(79, 'y'),
        std::string("no line end at all"),
    };
    for (const std::string& bytes : inputs) {
        const Lines expected = ReadAll(bytes);
        for (std::size_t nChunk : {1u, 2u, 3u, 7u, 80u, 81u, 1u << 20}) {
            EXPECT_EQ(ReadAllViews(bytes, nChunk), expected) << "chunk " << nChunk << " of \"" << bytes << "\"";
        }
    }
}

TEST(ArchiveReadString, ViewFormAcrossTheArchiveBuffer)
{
    // CR LF pairs and CRs straddling the 64 KiB internal buffer at every offset nearby.
    std::string bytes;
    for (int i = 0; bytes.size() < 3 * 65536; ++i) {
        bytes += std::string(static_cast<std::size_t>(i % 83), static_cast<char>('a' + i % 26));
        bytes += (i % 3 == 0) ? "\r" : (i % 3 == 1) ? "\r\n" : "\n";
    }
    EXPECT_EQ(ReadAllViews(bytes, 1u << 20), ReadAll(bytes));
    EXPECT_EQ(ReadAllViews(bytes, 65535), ReadAll(bytes));
}
