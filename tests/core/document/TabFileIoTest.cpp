// Opening and saving documents on disk through the framework, including its failures.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TabTestSupport.h"
#include "framework/DocTemplate.h"
#include "framework/MemFile.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;

namespace {

int CountEntries(const fs::path& dir)
{
    int n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir))
        ++n;
    return n;
}

// Gives up after nGood bytes with the error a failing disk reports.
class CFailingFile : public CMemFile {
public:
    CFailingFile(std::string data, std::size_t nGood, std::string path)
        : CMemFile(data), m_nGood(nGood), m_strName(std::move(path))
    {
    }
    std::size_t Read(void* pBuf, std::size_t nCount) override
    {
        if (m_nRead >= m_nGood)
            CFileException::ThrowOsError(EIO, m_strName);
        std::size_t n = CMemFile::Read(pBuf, std::min(nCount, m_nGood - m_nRead));
        m_nRead += n;
        return n;
    }

private:
    std::size_t m_nGood;
    std::size_t m_nRead = 0;
    std::string m_strName;
};

// A document whose file breaks down part-way through reading.
class CBadDiskDoc : public CStartedDoc {
public:
    std::unique_ptr<CFile> GetFile(const std::string& path, unsigned nOpenFlags) override
    {
        std::unique_ptr<CFile> real = CFretlyDoc::GetFile(path, nOpenFlags);   // it must exist
        std::string bytes = ReadFileBytes(path);
        return std::make_unique<CFailingFile>(bytes, bytes.size() / 2, path);
    }
};

class TabFileIo : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scratch.IsValid()); }

    // A document with something in each part, for saving.
    static void Fill(CFretlyDoc& d, int nStaffs = 2)
    {
        d.m_strSongTitle = "Saved Song";
        d.m_strComments = "a note";
        while (d.m_nStaffs < nStaffs)
            d.InsertStaff(d.m_nStaffs - 1);
        d.m_ppStaffs[0]->m_rows[2][7] = '5';
    }

    CScratchDir scratch{"fretly-io"};
    const fs::path dir = scratch.path;
    ScriptedUserInterface ui;
};

} // namespace

TEST_F(TabFileIo, SaveAndOpenRoundTripTakesThePathAndClearsTheFlag)
{
    CStartedDoc doc;
    Fill(doc, 3);
    const fs::path path = dir / "song.tab";
    ASSERT_TRUE(doc.OnSaveDocument(path.string()));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(CountEntries(dir), 1);   // no temporary file left behind
    EXPECT_EQ(ReadFileBytes(path), SaveTab(doc));

    CStartedDoc other;
    ui.dialogScripts.push_back([](CDialog&, MapDialogControls&) { return IDOK; });
    ASSERT_TRUE(other.OnOpenDocument(path.string()));
    EXPECT_EQ(other.GetPathName(), path.string());
    EXPECT_EQ(other.GetTitle(), "song.tab");
    EXPECT_FALSE(other.IsModified());   // even though the dialog was confirmed
    EXPECT_EQ(other.m_nStaffs, 3);
    EXPECT_EQ(other.m_strSongTitle, "Saved Song");
    EXPECT_EQ(Row(other, 0, 2), Row(doc, 0, 2));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TabFileIo, SavingKeepsTheModeOfTheFileItReplaces)
{
    CStartedDoc doc;
    const fs::path path = dir / "mode.tab";
    WriteFileBytes(path, "old");
    fs::permissions(path, fs::perms(0640));
    ASSERT_TRUE(doc.OnSaveDocument(path.string()));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::mask, fs::perms(0640));
}

TEST_F(TabFileIo, SavingThroughALinkUpdatesTheLinkedFile)
{
    CStartedDoc doc;
    Fill(doc);
    const fs::path real = dir / "real.tab";
    const fs::path link = dir / "link.tab";
    WriteFileBytes(real, "old");
    fs::create_symlink(real, link);
    ASSERT_TRUE(doc.OnSaveDocument(link.string()));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(real), SaveTab(doc));
}

TEST_F(TabFileIo, EmptyFileIsNotReadButTakesTheName)
{
    CStartedDoc doc;
    Fill(doc);
    const fs::path path = dir / "empty.tab";
    WriteFileBytes(path, "");
    ASSERT_TRUE(doc.OnOpenDocument(path.string()));
    EXPECT_EQ(doc.m_nStaffs, 2);
    EXPECT_EQ(doc.m_strSongTitle, "Saved Song");
    EXPECT_EQ(doc.GetTitle(), "empty.tab");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.dialogs.empty());
}

// The refused file must not become the document's file: a plain Save would replace it
// by an empty tablature.
TEST_F(TabFileIo, FileWithoutBannerOpensAsANewUntitledDocument)
{
    CStartedDoc doc;
    CSingleDocTemplate tmpl(IDR_MAINFRAME);
    tmpl.SetDocument(&doc);
    const fs::path path = dir / "plain.txt";
    WriteFileBytes(path, "Title: x\r\n---1---\r\n");
    EXPECT_EQ(tmpl.OpenDocumentFile(path.string()), &doc);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.substr(0, 32), "This is not a valid Fretly file!");
    EXPECT_EQ(doc.m_nStaffs, 1);
    EXPECT_TRUE(doc.m_strSongTitle.empty());
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    EXPECT_TRUE(doc.GetPathName().empty());
    EXPECT_TRUE(doc.IsLoadRejected());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(ReadFileBytes(path), "Title: x\r\n---1---\r\n");

    // A good file afterwards takes its name as usual.
    const fs::path good = dir / "good.tab";
    ASSERT_TRUE(doc.OnSaveDocument(good.string()));
    EXPECT_EQ(tmpl.OpenDocumentFile(good.string()), &doc);
    EXPECT_FALSE(doc.IsLoadRejected());
    EXPECT_EQ(doc.GetTitle(), "good.tab");
}

// At start-up the document is read from the file without any File New before it; an
// empty file, /dev/null or an empty pipe is not read at all, and the document must
// still have its staff.
TEST_F(TabFileIo, EmptySourcesAtStartUpGiveOneEmptyStaff)
{
    const fs::path empty = dir / "empty.tab";
    const fs::path pipe = dir / "pipe.tab";
    WriteFileBytes(empty, "");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    for (const fs::path& path : {empty, fs::path("/dev/null"), pipe}) {
        SCOPED_TRACE(path.string());
        CFretlyDoc doc;   // as at start-up: no File New before the file
        CSingleDocTemplate tmpl(IDR_MAINFRAME);
        tmpl.SetDocument(&doc);
        ASSERT_EQ(tmpl.OpenDocumentFile(path.string()), &doc);
        ASSERT_EQ(doc.m_nStaffs, 1);
        ASSERT_EQ(doc.m_ppStaffs.size(), 1u);
        EXPECT_EQ(doc.m_ppStaffs[0]->GetLastUsedColumn(), 0);
        EXPECT_EQ(doc.GetTitle(), path.filename().string());
        CStartedDoc fresh;
        EXPECT_EQ(SaveTab(doc), SaveTab(fresh));   // saves as a new document would
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TabFileIo, MissingFileIsReportedAndTheDocumentStaysAsItWas)
{
    CStartedDoc doc;
    Fill(doc);
    doc.SetModifiedFlag(true);
    CSingleDocTemplate tmpl(IDR_MAINFRAME);
    tmpl.SetDocument(&doc);
    const fs::path path = dir / "nowhere.tab";
    ui.messageAnswers = {IDNO};   // "Save changes to Untitled?" comes first
    EXPECT_EQ(tmpl.OpenDocumentFile(path.string()), nullptr);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, path.string() + " was not found.");
    EXPECT_EQ(ui.messages[1].nType, MB_ICONEXCLAMATION);
    EXPECT_EQ(doc.m_nStaffs, 2);
    EXPECT_EQ(doc.m_strSongTitle, "Saved Song");
    EXPECT_TRUE(doc.IsModified());

    // A folder cannot be opened as a document either.
    ui.messages.clear();
    ui.messageAnswers = {IDNO};
    EXPECT_EQ(tmpl.OpenDocumentFile(dir.string()), nullptr);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "Access to " + dir.string() + " was denied.");
    EXPECT_EQ(doc.m_nStaffs, 2);
}

TEST_F(TabFileIo, ReadErrorPartWayLeavesAnEmptyNewDocument)
{
    CBadDiskDoc doc;
    Fill(doc, 3);
    const fs::path path = dir / "bad.tab";
    {
        CStartedDoc source;
        Fill(source, 40);
        ASSERT_TRUE(source.OnSaveDocument(path.string()));
    }
    CSingleDocTemplate tmpl(IDR_MAINFRAME);
    tmpl.SetDocument(&doc);
    if (doc.IsModified())
        ui.messageAnswers = {IDNO};   // the save prompt comes first
    const std::size_t nBefore = doc.IsModified() ? 1 : 0;
    EXPECT_EQ(tmpl.OpenDocumentFile(path.string()), nullptr);
    ASSERT_EQ(ui.messages.size(), nBefore + 1);
    EXPECT_EQ(ui.messages[nBefore].text,
              "A hardware I/O error was reported while accessing " + path.string() + ".");
    EXPECT_EQ(doc.m_nStaffs, 1);
    EXPECT_EQ(doc.m_ppStaffs[0]->GetLastUsedColumn(), 0);
    EXPECT_TRUE(doc.m_strSongTitle.empty());
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    EXPECT_TRUE(doc.GetPathName().empty());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(ui.dialogs, std::vector<UINT>{IDD_FILEINFO});   // the new document's header dialog
}

TEST_F(TabFileIo, MissingFolderOnSaveIsReported)
{
    CStartedDoc doc;
    const fs::path path = dir / "gone" / "song.tab";
    EXPECT_FALSE(doc.OnSaveDocument(path.string()));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, path.string() + " was not found.");
}

TEST_F(TabFileIo, FolderWithoutWritePermissionKeepsThePreviousFile)
{
    const fs::path ro = dir / "readonly";
    fs::create_directory(ro);
    const fs::path path = ro / "song.tab";
    WriteFileBytes(path, "previous contents");
    fs::permissions(ro, fs::perms(0555));

    // Nowhere to keep a copy of the old content either, so nothing can be written.
    const char* home = std::getenv("HOME");
    const std::string savedHome = home != nullptr ? home : "";
    ::setenv("HOME", (dir / "no-home").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (dir / "no-home").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (dir / "no-home").c_str(), 1);
    struct CRestoreEnv {
        std::string home;
        ~CRestoreEnv()
        {
            ::setenv("HOME", home.c_str(), 1);
            ::unsetenv("XDG_STATE_HOME");
            ::unsetenv("XDG_CACHE_HOME");
        }
    } restoreEnv{savedHome};
    fs::create_directory(dir / "no-home");
    fs::permissions(dir / "no-home", fs::perms(0555));

    // root writes anywhere; take an unprivileged identity for the attempt.
    const bool bRoot = ::geteuid() == 0;
    if (bRoot && ::seteuid(65534) != 0) {
        GTEST_SKIP() << "running as root and cannot switch to an unprivileged user to test permissions";
    }
    CStartedDoc doc;
    Fill(doc);
    doc.SetModifiedFlag(true);
    const bool bSaved = doc.OnSaveDocument(path.string());
    if (bRoot) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    fs::permissions(ro, fs::perms(0755));

    EXPECT_FALSE(bSaved);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Access to " + path.string() + " was denied.");
    EXPECT_EQ(ReadFileBytes(path), "previous contents");
    EXPECT_EQ(CountEntries(ro), 1);
}

TEST_F(TabFileIo, FullDiskKeepsThePreviousFile)
{
    const fs::path mnt = dir / "small";
    fs::create_directory(mnt);
    // A private mount namespace keeps the small file system to this process.
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                     << "); the file-size-limit test covers a full disk";
    }

    const fs::path path = mnt / "song.tab";
    CStartedDoc small;
    ASSERT_TRUE(small.OnSaveDocument(path.string()));
    const std::string previous = ReadFileBytes(path);

    CStartedDoc big;
    Fill(big, 400);   // about 250 KB of text
    big.SetModifiedFlag(true);
    EXPECT_FALSE(big.OnSaveDocument(path.string()));
    EXPECT_TRUE(big.IsModified());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Disk full while accessing " + path.string() + ".");
    EXPECT_EQ(ReadFileBytes(path), previous);
    EXPECT_EQ(CountEntries(mnt), 1);
    ::umount2(mnt.c_str(), MNT_DETACH);
}

TEST_F(TabFileIo, FileSizeLimitReportsADiskFullAndKeepsThePreviousFile)
{
    const fs::path path = dir / "song.tab";
    WriteFileBytes(path, "previous contents");
    CStartedDoc big;
    Fill(big, 400);

    bool bSaved = true;
    {
        CFileSizeLimit limit(16 * 1024);
        ASSERT_TRUE(limit.IsSet());
        bSaved = big.OnSaveDocument(path.string());
    }

    EXPECT_FALSE(bSaved);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Disk full while accessing " + path.string() + ".");
    EXPECT_EQ(ReadFileBytes(path), "previous contents");
    EXPECT_EQ(CountEntries(dir), 1);
}

TEST_F(TabFileIo, FifoOpensAtOnceAsAnEmptyFile)
{
    const fs::path path = dir / "pipe.tab";
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    CStartedDoc doc;
    Fill(doc);
    // Nobody writes to the pipe: opening must not wait for a writer.
    ASSERT_TRUE(doc.OnOpenDocument(path.string()));
    EXPECT_EQ(doc.m_nStaffs, 2);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TabFileIo, ReadOnlyFileIsNotReplaced)
{
    const fs::path path = dir / "locked.tab";
    WriteFileBytes(path, "previous contents");
    fs::permissions(path, fs::perms(0444));
    fs::permissions(dir, fs::perms(0777));   // the folder itself would allow the save
    const bool bRoot = ::geteuid() == 0;
    if (bRoot && ::seteuid(65534) != 0) {
        GTEST_SKIP() << "running as root and cannot switch to an unprivileged user to test permissions";
    }
    CStartedDoc doc;
    const bool bSaved = doc.OnSaveDocument(path.string());
    if (bRoot) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    EXPECT_FALSE(bSaved);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Access to " + path.string() + " was denied.");
    EXPECT_EQ(ReadFileBytes(path), "previous contents");
}
