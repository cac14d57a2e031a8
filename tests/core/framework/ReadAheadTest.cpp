// A file read ahead on a worker thread at start-up: the document opened from it must end
// up exactly as a plain open would leave it, a file that changed in between is read
// afresh, and only a regular file is ever read ahead.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <future>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "core/document/TabTestSupport.h"
#include "framework/ReadAhead.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestFiles.h"

namespace {

// Counts what went through the read-ahead path, and lets a test wait for the worker.
class CAheadDoc : public CFretlyDoc {
public:
    bool LoadAhead(CArchive& ar) override
    {
        const bool bLoaded = CFretlyDoc::LoadAhead(ar);
        if (m_pRead != nullptr)
            m_pRead->set_value();
        return bLoaded;
    }
    void AdoptAhead(CDocument& ahead) override
    {
        ++m_nAdopted;
        CFretlyDoc::AdoptAhead(ahead);
    }
    int m_nAdopted = 0;
    std::promise<void>* m_pRead = nullptr;
};

std::string Staff(char fret)
{
    std::string block;
    for (int r = 0; r < STRING_ROWS; ++r)
        block += "-" + std::string(1, fret) + std::string(74, '-') + "||\r\n";
    return block + "Am" + std::string(76, ' ') + "\r\n\r\n";
}

std::string ManyStaffs(int nStaffs)
{
    std::string bytes = Lines(Banner()) + "Title: Long\r\n\r\n";
    for (int s = 0; s < nStaffs; ++s)
        bytes += Staff(static_cast<char>('0' + s % 10));
    return bytes;
}

struct COpened {
    std::string saved;
    std::string title;
    bool bRejected = false;
    bool bModified = false;
    int nStaffs = 0;
    std::vector<std::string> messages;
    int nUpdates = 0;
    int nAdopted = 0;
};

// Opens path into a started document, first reading it ahead when bAhead.
COpened Open(const std::string& path, bool bAhead)
{
    ScriptedUserInterface ui;
    if (bAhead)
        AfxGetReadAhead().Start(path, [] { return std::make_unique<CAheadDoc>(); });
    CAheadDoc doc;
    doc.OnNewDocument();
    CCountingView view;
    doc.AddView(&view);
    const bool bOpened = doc.OnOpenDocument(path);
    EXPECT_TRUE(bOpened) << path;
    EXPECT_FALSE(AfxGetReadAhead().IsActive()) << "the open ends the read-ahead";
    COpened opened{SaveTab(doc), doc.GetTitle(), doc.IsLoadRejected(), doc.IsModified(), doc.m_nStaffs, {},
                   view.m_nUpdates, doc.m_nAdopted};
    for (const auto& message : ui.messages)
        opened.messages.push_back(message.text);
    doc.RemoveView(&view);
    return opened;
}

} // namespace

TEST(ReadAhead, OpenedDocumentIsTheOneAPlainOpenMakes)
{
    CScratchDir dir;
    ASSERT_TRUE(dir.IsValid());
    const struct {
        const char* name;
        std::string bytes;
    } files[] = {
        {"header and comments",
         Lines(Banner()) + "Author/Artist: Someone\r\nTitle: Song\r\nA comment\r\n\r\n" + Staff('3') + Staff('5')},
        {"not a Fretly file", "just some words\r\n" + Staff('7')},
        {"staff cut short", Lines(Banner()) + Staff('1') + "-----\r\n----"},
        {"bare CR line ends", "#-- File created with Fretly --#\rTitle: CR\r\r-9--\r-\r-\r-\r-\r-\rtext\r\r"},
        {"many staffs", ManyStaffs(20000)},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        const std::string path = (dir.path / "song.tab").string();
        WriteFileBytes(path, file.bytes);
        const COpened plain = Open(path, false);
        const COpened ahead = Open(path, true);
        EXPECT_EQ(plain.nAdopted, 0);
        EXPECT_EQ(ahead.nAdopted, 1) << "the read-ahead was not taken";
        EXPECT_TRUE(ahead.saved == plain.saved);
        EXPECT_EQ(ahead.title, plain.title);
        EXPECT_EQ(ahead.bRejected, plain.bRejected);
        EXPECT_EQ(ahead.bModified, plain.bModified);
        EXPECT_EQ(ahead.nStaffs, plain.nStaffs);
        EXPECT_EQ(ahead.messages, plain.messages);
        EXPECT_EQ(ahead.nUpdates, plain.nUpdates);
    }
}

TEST(ReadAhead, FileChangedAfterItWasReadIsReadAfresh)
{
    CScratchDir dir;
    ASSERT_TRUE(dir.IsValid());
    const std::string path = (dir.path / "song.tab").string();
    // Same length, so only the content and the modification time tell them apart.
    const std::string before = Lines(Banner()) + Staff('1');
    const std::string after = Lines(Banner()) + Staff('2');
    ASSERT_EQ(before.size(), after.size());

    for (bool bReplaceFile : {false, true}) {
        SCOPED_TRACE(bReplaceFile ? "replaced by another file" : "written in place");
        WriteFileBytes(path, before);
        std::promise<void> read;
        AfxGetReadAhead().Start(path, [&read] {
            auto pDoc = std::make_unique<CAheadDoc>();
            pDoc->m_pRead = &read;
            return pDoc;
        });
        read.get_future().wait();
        if (bReplaceFile) {
            WriteFileBytes(path + ".new", after);
            ASSERT_EQ(::rename((path + ".new").c_str(), path.c_str()), 0);
        } else {
            WriteFileBytes(path, after);
            // A later time than the read saw, even on a file system with coarse times.
            const timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) + 10, 0}};
            ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        }
        ScriptedUserInterface ui;
        CAheadDoc doc;
        doc.OnNewDocument();
        ASSERT_TRUE(doc.OnOpenDocument(path));
        EXPECT_EQ(doc.m_nAdopted, 0);
        EXPECT_EQ(Row(doc, 0, 0)[1], '2');
    }
}

TEST(ReadAhead, OnlyARegularFileWithBytesIsReadAhead)
{
    CScratchDir dir;
    ASSERT_TRUE(dir.IsValid());
    const std::string fifo = (dir.path / "pipe.tab").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    WriteFileBytes(dir.path / "empty.tab", "");
    const std::string folder = (dir.path / "folder.tab").string();
    std::filesystem::create_directory(folder);
    const std::string missing = (dir.path / "missing.tab").string();
    const std::string song = (dir.path / "song.tab").string();
    WriteFileBytes(song, Lines(Banner()) + Staff('4'));

    const auto maker = [] { return std::make_unique<CAheadDoc>(); };
    for (const std::string& path : {fifo, (dir.path / "empty.tab").string(), folder, missing, std::string()}) {
        SCOPED_TRACE(path);
        // A FIFO would also hang a reader that opened it to wait for a writer.
        AfxGetReadAhead().Start(path, maker);
        EXPECT_FALSE(AfxGetReadAhead().IsActive());
    }

    // The command line as main sees it, before and after the toolkit takes its options.
    const struct {
        std::vector<std::string> args;
        bool bActive;
    } lines[] = {
        {{song}, true},
        {{"/p", song}, true},
        {{"/pt", song, "Printer", "", ""}, true},
        {{"-platform", "offscreen", song}, false},   // "offscreen" taken for the file name
        {{}, false},
        {{"/dde"}, false},
    };
    for (const auto& line : lines) {
        AfxStartReadAhead(line.args, maker);
        EXPECT_EQ(AfxGetReadAhead().IsActive(), line.bActive) << ::testing::PrintToString(line.args);
    }
    AfxStartReadAhead({song}, maker);
    AfxStartReadAhead({}, maker);
    EXPECT_FALSE(AfxGetReadAhead().IsActive()) << "a command line that opens nothing ends the read-ahead";
}

TEST(ReadAhead, AnotherFileOpenedLeavesTheReadAheadUnused)
{
    CScratchDir dir;
    ASSERT_TRUE(dir.IsValid());
    const std::string first = (dir.path / "first.tab").string();
    const std::string second = (dir.path / "second.tab").string();
    WriteFileBytes(first, ManyStaffs(5000));
    WriteFileBytes(second, Lines(Banner()) + Staff('8'));

    ScriptedUserInterface ui;
    AfxGetReadAhead().Start(first, [] { return std::make_unique<CAheadDoc>(); });
    CAheadDoc doc;
    doc.OnNewDocument();
    ASSERT_TRUE(doc.OnOpenDocument(second));
    EXPECT_EQ(doc.m_nAdopted, 0);
    EXPECT_EQ(doc.m_nStaffs, 1);
    EXPECT_EQ(Row(doc, 0, 0)[1], '8');
    EXPECT_FALSE(AfxGetReadAhead().IsActive());
}

// Slabs faulted in by one thread while another allocates: every staff keeps what was
// written into it, and the slabs prepared but not used go back.
TEST(ReadAhead, SlabsPreparedWhileStaffsAreMadeKeepEveryStaff)
{
    if (!CStaff::PrepareSlab(1))
        GTEST_SKIP() << "staffs come from the heap in this build";
    CStaff::ReleasePreparedSlabs();

    std::atomic<bool> bDone{false};
    std::thread helper([&bDone] {
        while (!bDone)
            if (!CStaff::PrepareSlab(2))
                std::this_thread::yield();
    });
    std::vector<std::unique_ptr<CStaff>> staffs;
    for (int i = 0; i < 30000; ++i) {
        staffs.push_back(std::make_unique<CStaff>());
        staffs.back()->m_rows[i % STAFF_ROWS][i % STAFF_COLUMNS] = static_cast<char>('a' + i % 26);
    }
    bDone = true;
    helper.join();
    for (int i = 0; i < 30000; ++i) {
        CStaff expected;
        expected.m_rows[i % STAFF_ROWS][i % STAFF_COLUMNS] = static_cast<char>('a' + i % 26);
        ASSERT_EQ(std::memcmp(staffs[i]->m_rows, expected.m_rows, sizeof expected.m_rows), 0) << "staff " << i;
    }
    CStaff::ReleasePreparedSlabs();
    EXPECT_TRUE(CStaff::PrepareSlab(2));
    EXPECT_TRUE(CStaff::PrepareSlab(2));
    EXPECT_FALSE(CStaff::PrepareSlab(2)) << "two slabs stand ready";
    CStaff::ReleasePreparedSlabs();
    EXPECT_TRUE(CStaff::PrepareSlab(1)) << "released slabs no longer count as ready";
    CStaff::ReleasePreparedSlabs();
}
