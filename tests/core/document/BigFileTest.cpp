// Big and degenerate files: every byte kept, and the memory of a big document given back
// when it is replaced (a new document, or the new document left by a rejected file).
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <malloc.h>
#include <string>

#include "TabTestSupport.h"
#include "support/ScriptedUserInterface.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Bytes held by the heap, small blocks and mapped ones alike.
std::size_t HeapInUse()
{
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Resident bytes of the process (the staffs' slabs are mapped outside the heap).
std::size_t Resident()
{
    std::ifstream statm("/proc/self/statm");
    std::size_t nPages = 0, nResident = 0;
    statm >> nPages >> nResident;
    return nResident * 4096;
}

constexpr std::size_t kMiB = 1024 * 1024;

std::string CommentBlock(std::size_t nBytes)
{
    const std::string line = "A comment line of a long block, seventy bytes or so, to be kept.\r\n";
    std::string block;
    block.reserve(nBytes + line.size());
    while (block.size() < nBytes)
        block += line;
    return block;
}

// Megabytes are not worth a diff: the size and the first differing offset say enough.
void ExpectSameBytes(const std::string& actual, const std::string& expected)
{
    const auto mismatch = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    EXPECT_TRUE(actual == expected) << "sizes " << actual.size() << " and " << expected.size() << ", first difference at "
                                    << (mismatch.first - actual.begin()) << ": \""
                                    << actual.substr(mismatch.first - actual.begin(), 40) << "\"";
}

std::string FretlyBanner() { return "#-- File created with Fretly --#\r\n"; }

std::string StaffBlock()
{
    std::string block;
    for (int r = 0; r < STRING_ROWS; ++r)
        block += std::string(76, '-') + "||\r\n";
    block += std::string(78, ' ') + "\r\n\r\n";
    return block;
}

} // namespace

TEST(BigFile, HugeCommentBlockRoundTripsByteForByte)
{
    ScriptedUserInterface ui;
    CFretlyDoc doc;
    doc.OnNewDocument();
    const std::string comments = CommentBlock(8 * kMiB);
    LoadTab(doc, FretlyBanner() + comments + "\r\n" + StaffBlock());
    ExpectSameBytes(doc.m_strComments, comments);
    const std::string saved = SaveTab(doc);
    CFretlyDoc again;
    again.OnNewDocument();
    LoadTab(again, saved);
    ExpectSameBytes(again.m_strComments, comments);
    ExpectSameBytes(SaveTab(again), saved);
}

// What a big file took is back once the document is replaced: after File New, and after
// the "not valid" message, which leaves a new document.
TEST(BigFile, ReplacingTheDocumentGivesItsMemoryBack)
{
    if (kSanitized)
        GTEST_SKIP() << "the sanitizer's allocator keeps its own books";
    std::string manyStaffs = FretlyBanner();
    for (int s = 0; s < 20000; ++s)
        manyStaffs += StaffBlock();
    const struct {
        const char* name;
        std::string bytes;
        bool bStaffs;
    } files[] = {
        {"comments", FretlyBanner() + CommentBlock(24 * kMiB), false},
        {"not valid", CommentBlock(24 * kMiB), false},
        {"staffs", manyStaffs, true},
    };
    for (const auto& file : files) {
        ScriptedUserInterface ui;
        CFretlyDoc doc;
        doc.OnNewDocument();
        ::malloc_trim(0);
        const std::size_t nHeapBefore = HeapInUse();
        const std::size_t nResidentBefore = Resident();
        LoadTab(doc, file.bytes);
        const std::size_t nResidentLoaded = Resident();
        doc.OnNewDocument();
        ::malloc_trim(0);
        EXPECT_LT(HeapInUse(), nHeapBefore + 2 * kMiB) << file.name;
        // The staffs' memory: of the 11 MB the staffs took, at most a slab stays.
        if (file.bStaffs && nResidentLoaded > nResidentBefore + 8 * kMiB) {
            EXPECT_LT(Resident(), nResidentBefore + 4 * kMiB) << file.name;
        }
        EXPECT_EQ(doc.m_nStaffs, 1) << file.name;
    }
}

// The header dialog gets the comments and keeps no copy of them once it has closed.
TEST(BigFile, HeaderDialogKeepsNoCopyOfTheComments)
{
    ScriptedUserInterface ui;
    CFretlyDoc doc;
    doc.OnNewDocument();
    const std::string comments = CommentBlock(kMiB);
    LoadTab(doc, FretlyBanner() + comments + "\r\n" + StaffBlock());
    ExpectSameBytes(doc.m_strComments, comments);
    doc.OnViewHeaders();
    ExpectSameBytes(doc.m_strComments, comments);
    EXPECT_EQ(doc.m_dlgFileInfo.m_strComments.size(), 0u);
    EXPECT_LT(doc.m_dlgFileInfo.m_strComments.capacity(), 1000u);
}
