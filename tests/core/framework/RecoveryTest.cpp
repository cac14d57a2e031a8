// Recovery copies of unsaved work: their names, when they are written and removed, a
// failed write, and offering copies of ended runs back.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <set>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/document/TabFixture.h"
#include "core/document/TabTestSupport.h"
#include "document/TabSnapshot.h"
#include "framework/Recovery.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;

namespace {

class CFakeTimer : public CRecoveryTimer {
public:
    void Start(int nMilliseconds) override
    {
        bRunning = true;
        nLastStart = nMilliseconds;
        ++nStarts;
    }
    void Stop() override { bRunning = false; }
    // The timer expires, as the event loop would make it.
    void Fire(CRecoveryCopy& copy)
    {
        bRunning = false;
        copy.OnTimer();
        copy.WaitIdle();
    }
    bool bRunning = false;
    int nLastStart = 0;
    int nStarts = 0;
};

int CountFiles(const fs::path& dir)
{
    std::error_code ec;
    int n = 0;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        ++n;
    return n;
}

// The pid of a process that has ended and been reaped.
long DeadPid()
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return pid;
}

std::string OwnBootId()
{
    std::string s = ReadFileBytes("/proc/sys/kernel/random/boot_id");
    while (!s.empty() && s.back() == '\n')
        s.pop_back();
    return s;
}

class Recovery : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scratch.IsValid());
        folder = scratch.path / "state" / "fretly";
        doc.SetPathName((scratch.path / "song.tab").string());
    }

    std::string CopyText(const fs::path& copyPath, CRecoveryInfo* pInfo = nullptr)
    {
        CRecoveryInfo info;
        std::string text;
        EXPECT_TRUE(AfxParseRecoveryCopy(ReadFileBytes(copyPath), info, text)) << copyPath;
        if (pInfo != nullptr)
            *pInfo = info;
        return text;
    }

    // A copy as an earlier run would have left it.
    fs::path PlantCopy(const std::string& name, const std::string& docPath, long nPid, const std::string& text,
                       const std::string& bootId = OwnBootId())
    {
        CRecoveryInfo info{docPath, nPid, bootId};
        const fs::path p = folder / name;
        WriteFileBytes(p, AfxFormatRecoveryCopy(info, text));
        return p;
    }

    void Type(const std::string& notes)
    {
        Put(doc, 0, 0, 1, notes);
        doc.SetModifiedFlag(true);
    }

    CScratchDir scratch{"fretly-recovery"};
    fs::path folder;
    ScriptedUserInterface ui;
    CStartedDoc doc;
    CFakeTimer timer;
};

} // namespace

TEST(RecoveryNames, StaySafeShortAndDistinctForAnyPath)
{
    const std::string longLeaf(300, 'x');
    const std::string deep = "/" + std::string(3000, 'd') + "/" + longLeaf + ".tab";
    const struct {
        std::string path;
    } cases[] = {{"/home/ann/song.tab"}, {"/home/ann/with space/\xC3\xA9t\xC3\xA9 #1.tab"}, {"/tmp/new\nline.tab"},
                 {"/tmp/.hidden.tab"}, {"/tmp/../../etc/passwd"}, {deep}, {"/tmp/\x01\x7F\xFF.tab"}};
    std::set<std::string> names;
    for (const auto& c : cases) {
        const std::string name = AfxRecoveryFileName(c.path, "123-abc");
        EXPECT_LE(name.size(), 200u) << c.path;
        EXPECT_NE(name[0], '.') << name;
        EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._-"),
                  std::string::npos)
            << name;
        EXPECT_TRUE(name.ends_with(".123-abc.tab")) << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), std::size(cases));
    // Same file name in two folders: two copies.
    EXPECT_NE(AfxRecoveryFileName("/a/song.tab", "1-1"), AfxRecoveryFileName("/b/song.tab", "1-1"));
    // Two runs on one file: two copies.
    EXPECT_NE(AfxRecoveryFileName("/a/song.tab", "1-1"), AfxRecoveryFileName("/a/song.tab", "2-1"));
    EXPECT_EQ(AfxRecoveryFileName("", "7-9"), "Untitled.7-9.tab");
}

TEST(RecoveryNames, TheDocumentPathComesBackFromTheCopyWhateverItsBytes)
{
    std::string everyByte;
    for (int c = 1; c < 256; ++c)
        everyByte += static_cast<char>(c);
    for (const std::string& path : {std::string("/home/ann/song.tab"), std::string("/a/100%25/b c.tab"),
                                    "/x/" + everyByte, std::string()}) {
        CRecoveryInfo info{path, 42, "boot"};
        const std::string copy = AfxFormatRecoveryCopy(info, "text\r\nmore\r\n");
        CRecoveryInfo back;
        std::string text;
        ASSERT_TRUE(AfxParseRecoveryCopy(copy, back, text));
        EXPECT_EQ(back.docPath, path);
        EXPECT_EQ(back.nPid, 42);
        EXPECT_EQ(back.bootId, "boot");
        EXPECT_EQ(text, "text\r\nmore\r\n");
    }
}

TEST(RecoveryNames, DamagedCopiesAreNotTakenForCopies)
{
    const std::string good = AfxFormatRecoveryCopy({"/a.tab", 5, "b"}, "x");
    CRecoveryInfo info;
    std::string text;
    for (const std::string& bad : {std::string(), good.substr(0, 20), good.substr(0, good.find("#Writer")),
                                   std::string("just some text\n"), std::string(good).replace(good.find("5 b"), 1, "z")}) {
        EXPECT_FALSE(AfxParseRecoveryCopy(bad, info, text)) << bad;
    }
}

TEST_F(Recovery, ACopyFollowsAPauseAfterChangesAndNeverTouchesTheFile)
{
    WriteFileBytes(doc.GetPathName(), "the user's own file");
    CRecoveryCopy copy(folder.string(), "1-a", &timer);
    copy.Attach(&doc);
    EXPECT_FALSE(timer.bRunning);

    Type("757");
    EXPECT_TRUE(timer.bRunning);
    EXPECT_EQ(timer.nLastStart, CRecoveryCopy::kQuietMilliseconds);
    Type("5");
    Type("7");
    // Each keystroke only notes the change: one timer for the whole burst, no file yet.
    EXPECT_EQ(timer.nStarts, 1);
    EXPECT_FALSE(fs::exists(folder));

    // The burst ended inside the first quiet period: one more period must pass.
    timer.Fire(copy);
    EXPECT_TRUE(timer.bRunning);
    EXPECT_FALSE(fs::exists(folder));
    timer.Fire(copy);
    ASSERT_FALSE(copy.GetCopyPath().empty());
    CRecoveryInfo info;
    EXPECT_EQ(CopyText(copy.GetCopyPath(), &info), SaveTab(doc));
    EXPECT_EQ(info.docPath, doc.GetPathName());
    EXPECT_EQ(info.nPid, static_cast<long>(::getpid()));
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(ReadFileBytes(doc.GetPathName()), "the user's own file");
    EXPECT_EQ(CountFiles(scratch.path), 2);   // the user's file and the state folder
}

TEST_F(Recovery, ChangesThatNeverPauseStillGetACopy)
{
    CRecoveryCopy copy(folder.string(), "1-a", &timer);
    copy.Attach(&doc);
    Type("3");
    int nPeriods = 0;
    // A keystroke in every quiet period.
    while (copy.GetCopyPath().empty() && nPeriods < 100) {
        Type("3");
        timer.Fire(copy);
        ++nPeriods;
    }
    EXPECT_EQ(nPeriods, CRecoveryCopy::kMaxQuietPeriods);
}

TEST_F(Recovery, SavingOrDiscardingRemovesTheCopy)
{
    for (bool bSave : {true, false}) {
        CRecoveryCopy copy(folder.string(), "1-a", &timer);
        copy.Attach(&doc);
        Type("757");
        timer.Fire(copy);
        const std::string path = copy.GetCopyPath();
        ASSERT_TRUE(fs::exists(path));
        if (bSave) {
            ASSERT_TRUE(doc.OnSaveDocument(doc.GetPathName()));
        } else {
            // "No" to the save prompt: the program ends without the work.
            copy.Attach(nullptr);
            copy.Discard();
        }
        copy.WaitIdle();
        EXPECT_FALSE(fs::exists(path)) << (bSave ? "saved" : "discarded");
        EXPECT_TRUE(copy.GetCopyPath().empty());
        // A pending write is dropped with it.
        EXPECT_FALSE(timer.bRunning);
    }
}

TEST_F(Recovery, FlushWritesAtOnceWhatTheTimerHasNotYet)
{
    CRecoveryCopy copy(folder.string(), "1-a", &timer);
    copy.Attach(&doc);
    EXPECT_TRUE(copy.FlushNow());   // nothing unsaved: nothing written
    EXPECT_FALSE(fs::exists(folder));
    Type("12");
    EXPECT_TRUE(copy.FlushNow());
    EXPECT_FALSE(timer.bRunning);
    EXPECT_NE(CopyText(copy.GetCopyPath()).find("-12-"), std::string::npos);
}

TEST_F(Recovery, AFailedWriteKeepsThePreviousCopy)
{
    CRecoveryCopy copy(folder.string(), "1-a", &timer);
    copy.Attach(&doc);
    Type("757");
    ASSERT_TRUE(copy.FlushNow());
    const std::string previous = ReadFileBytes(copy.GetCopyPath());

    while (doc.m_nStaffs < 400)   // about 250 KB of text
        doc.InsertStaff(doc.m_nStaffs - 1);
    bool bFlushed = true;
    {
        CFileSizeLimit limit(16 * 1024);
        ASSERT_TRUE(limit.IsSet());
        bFlushed = copy.FlushNow();
    }

    EXPECT_FALSE(bFlushed);
    EXPECT_TRUE(copy.LastWriteFailed());
    EXPECT_EQ(ReadFileBytes(copy.GetCopyPath()), previous);
    EXPECT_EQ(CountFiles(folder), 1);   // no temporary file left behind
    // With room again the next attempt catches up.
    EXPECT_TRUE(copy.FlushNow());
    EXPECT_EQ(CopyText(copy.GetCopyPath()), SaveTab(doc));
}

TEST_F(Recovery, CopiesOfEndedRunsAreOfferedNewestFirstAndLiveOnesLeftAlone)
{
    const long dead = DeadPid();
    const fs::path older = PlantCopy("old.tab", "/music/old.tab", dead, "o");
    const fs::path newer = PlantCopy("new.tab", "/music/new.tab", dead, "n");
    const fs::path rebooted = PlantCopy("boot.tab", "/music/boot.tab", static_cast<long>(::getpid()), "b", "other-boot");
    const fs::path live = PlantCopy("live.tab", "/music/live.tab", static_cast<long>(::getpid()), "l");
    const auto now = fs::file_time_type::clock::now();
    fs::last_write_time(older, now - std::chrono::hours(2));
    fs::last_write_time(rebooted, now - std::chrono::hours(1));
    fs::last_write_time(newer, now);

    CRecoveryCopy copy(folder.string(), "1-a", &timer);
    const std::vector<std::string> orphans = copy.FindOrphans();
    EXPECT_EQ(orphans, (std::vector<std::string>{newer.string(), rebooted.string(), older.string()}));
    EXPECT_TRUE(fs::exists(live));
}

TEST_F(Recovery, NoRemovesACopyAndYesOpensItModifiedUnderItsOwnName)
{
    CStartedDoc lost;
    Put(lost, 0, 0, 1, "757");
    const std::string lostText = SaveTab(lost);
    const long dead = DeadPid();
    const fs::path first = PlantCopy("a.tab", "/music/first.tab", dead, lostText);
    const fs::path second = PlantCopy("b.tab", "/music/second.tab", dead, lostText);
    const fs::path third = PlantCopy("c.tab", "", dead, lostText);
    const auto now = fs::file_time_type::clock::now();
    fs::last_write_time(first, now);
    fs::last_write_time(second, now - std::chrono::hours(1));
    fs::last_write_time(third, now - std::chrono::hours(2));

    CRecoveryCopy copy(folder.string(), "1-a", &timer);
    ui.messageAnswers = {IDNO, IDYES};
    ASSERT_TRUE(copy.OfferOrphans(doc, AfxLoadRecoveredText));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text,
              "Fretly was closed before the changes to /music/first.tab were saved.\nRecover them?");
    EXPECT_EQ(ui.messages[0].nType, MB_YESNO | MB_ICONQUESTION);
    EXPECT_FALSE(fs::exists(first));
    EXPECT_EQ(doc.GetPathName(), "/music/second.tab");
    EXPECT_EQ(doc.GetTitle(), "second.tab");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(WholeRow(doc, 0, 0), Padded("-757", '-'));
    // The window holds one document: the untitled one waits for the next start.
    EXPECT_TRUE(fs::exists(third));

    // The recovered copy stays until this run's own copy of the work is on disk.
    EXPECT_TRUE(fs::exists(second));
    copy.Attach(&doc);
    ASSERT_TRUE(copy.FlushNow());
    EXPECT_FALSE(fs::exists(second));
    EXPECT_EQ(CopyText(copy.GetCopyPath()), SaveTab(doc));

    // Next start: the untitled copy comes back untitled.
    CStartedDoc next;
    next.SetPathName("/music/opened.tab");
    CRecoveryCopy later(folder.string(), "2-b", &timer);
    ui.messageAnswers = {IDYES};
    ui.messages.clear();
    ASSERT_TRUE(later.OfferOrphans(next, AfxLoadRecoveredText));
    // The copy the first run keeps belongs to a live run (this process): not offered.
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("changes to Untitled were"), std::string::npos);
    EXPECT_EQ(next.GetPathName(), "");
    EXPECT_EQ(next.GetTitle(), "Untitled");
    EXPECT_TRUE(next.IsModified());
}

TEST_F(Recovery, AnUnreadableCopyIsSetAsideAndTheUserTold)
{
    const fs::path junk = folder / "junk.tab";
    WriteFileBytes(junk, "not a recovery copy at all");
    const fs::path refused = PlantCopy("refused.tab", "/music/x.tab", DeadPid(), "text the loader refuses");
    fs::last_write_time(refused, fs::file_time_type::clock::now() - std::chrono::hours(1));

    CRecoveryCopy copy(folder.string(), "1-a", &timer);
    ui.messageAnswers = {IDOK, IDYES, IDOK};
    const auto refuse = [](CDocument&, const std::string&, const std::string&) { return false; };
    EXPECT_FALSE(copy.OfferOrphans(doc, refuse));
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, "A recovery copy could not be read. It was kept as\n" + junk.string() + ".unreadable");
    EXPECT_EQ(ReadFileBytes(junk.string() + ".unreadable"), "not a recovery copy at all");
    EXPECT_TRUE(fs::exists(refused.string() + ".unreadable"));
    EXPECT_FALSE(doc.IsModified());
    // Set aside for good: not offered again.
    ui.messages.clear();
    EXPECT_FALSE(copy.OfferOrphans(doc, refuse));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Recovery, ASnapshotWritesTheDocumentAsItWasWhenTaken)
{
    CRecoveryCopy copy(folder.string(), "1-a", &timer);
    copy.SetSnapshot(AfxSnapshotTab);
    copy.Attach(&doc);
    doc.m_strSongTitle = "Night Blues";
    doc.m_strComments = "play it slow";
    doc.InsertStaff(0);
    Put(doc, 1, 6, 1, "Am");
    Type("757");
    const std::string expected = SaveTab(doc);
    const auto makeText = AfxSnapshotTab(doc);
    // Editing goes on before the writer thread gets to the text.
    Put(doc, 0, 0, 1, "999");
    doc.DeleteStaff(1);
    std::string text;
    ASSERT_TRUE(makeText(text));
    EXPECT_EQ(text, expected);

    Put(doc, 0, 0, 1, "555");
    doc.SetModifiedFlag(true);
    ASSERT_TRUE(copy.FlushNow());
    EXPECT_EQ(CopyText(copy.GetCopyPath()), SaveTab(doc));
}
