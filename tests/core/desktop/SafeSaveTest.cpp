// Saving a document over what is already on disk: whatever the target is, the save
// either replaces its content whole or leaves it as it was, and says why.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include "core/document/TabTestSupport.h"
#include "desktop/SafeFileWriter.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

std::vector<std::string> Entries(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Sets an environment variable for the length of a test.
class CEnvSetting {
public:
    CEnvSetting(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old, m_bHad = true;
        ::setenv(name, value.c_str(), 1);
    }
    ~CEnvSetting() { m_bHad ? ::setenv(m_name, m_old.c_str(), 1) : ::unsetenv(m_name); }

private:
    const char* m_name;
    std::string m_old;
    bool m_bHad = false;
};

// Runs f as the unprivileged user when the test runs as root (root passes every
// permission check), as the current user otherwise.
template <typename F>
auto AsOrdinaryUser(F f)
{
    const bool bRoot = ::geteuid() == 0;
    if (bRoot && ::seteuid(kNobody) != 0)
        ADD_FAILURE() << "cannot take an unprivileged identity";
    auto result = f();
    if (bRoot && ::seteuid(0) != 0)
        std::abort();
    return result;
}

class SafeSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scratch.IsValid());
        fs::permissions(dir, fs::perms(0777));   // the unprivileged user saves here too
        doc.m_strSongTitle = "New Song";
        doc.InsertStaff(0);
        doc.m_ppStaffs[1]->m_rows[2][7] = '5';
    }

    std::string NewBytes() { return SaveTab(doc); }
    std::string Message(std::size_t i = 0) const { return i < ui.messages.size() ? ui.messages[i].text : ""; }

    CScratchDir scratch{"fretly-safe"};
    const fs::path dir = scratch.path;
    ScriptedUserInterface ui;
    CStartedDoc doc;
};

struct SizeLimitCase {
    const char* name;
    bool bHardLinked;   // saved in place rather than through a renamed temporary
};

class SafeSaveUnderSizeLimit : public SafeSave, public ::testing::WithParamInterface<SizeLimitCase> {};

} // namespace

// Over a file-size limit the write fails like a full disk, with the signal left at its
// default (which kills the process), and nothing is lost or left behind.
TEST_P(SafeSaveUnderSizeLimit, FailsLikeAFullDiskWithoutBeingKilled)
{
    const fs::path path = dir / "song.tab";
    WriteFileBytes(path, "previous contents");
    if (GetParam().bHardLinked)
        fs::create_hard_link(path, dir / "other-name.tab");
    const auto before = Entries(dir);
    while (doc.m_nStaffs < 400)
        doc.InsertStaff(0);   // about 250 KB

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const CFileSizeLimit limit(16 * 1024);   // the signal's default kills the process
        const bool bSaved = doc.OnSaveDocument(path.string());
        const bool bTold = Message() == "Disk full while accessing " + path.string() + "." && ui.messages.size() == 1;
        ::_exit(bSaved ? 2 : bTold ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_FALSE(WIFSIGNALED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "2: reported as saved, 3: not the disk-full message";
    EXPECT_EQ(ReadFileBytes(path), "previous contents");
    EXPECT_EQ(Entries(dir), before);
}

INSTANTIATE_TEST_SUITE_P(Ways, SafeSaveUnderSizeLimit,
                         ::testing::Values(SizeLimitCase{"ThroughATemporary", false}, SizeLimitCase{"InPlace", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SafeSave, ReadOnlyFileIsRefusedForEveryUserRootIncluded)
{
    const fs::path path = dir / "locked.tab";
    WriteFileBytes(path, "previous contents");
    fs::permissions(path, fs::perms(0444));
    EXPECT_FALSE(doc.OnSaveDocument(path.string()));   // as whoever runs the tests
    EXPECT_EQ(Message(), "Access to " + path.string() + " was denied.");
    EXPECT_EQ(ReadFileBytes(path), "previous contents");
    EXPECT_TRUE(AfxIsFileReadOnly(path.string()));

    // A file its owner can write is not read-only to root either.
    fs::permissions(path, fs::perms(0644));
    EXPECT_FALSE(AfxIsFileReadOnly(path.string()));
}

TEST_F(SafeSave, KeepsModeOwnerAndGroup)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    // Root saves a user's file: it stays theirs.
    const fs::path path = dir / "theirs.tab";
    WriteFileBytes(path, "old");
    ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(doc.OnSaveDocument(path.string()));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, kNobody);
    EXPECT_EQ(st.st_gid, kNobody);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFileBytes(path), NewBytes());

    // A user saves root's file that everybody may write: a new file would be theirs, so
    // the save goes in place and root keeps it.
    const fs::path shared = dir / "shared.tab";
    WriteFileBytes(shared, "old");
    ASSERT_EQ(::chmod(shared.c_str(), 0666), 0);
    ASSERT_TRUE(AsOrdinaryUser([&] { return doc.OnSaveDocument(shared.string()); })) << Message();
    ASSERT_EQ(::stat(shared.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 0u);
    EXPECT_EQ(st.st_mode & 07777, 0666u);
    EXPECT_EQ(ReadFileBytes(shared), NewBytes());
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"shared.tab", "theirs.tab"}));
}

// Every name of a file with several hard links sees the new content: the save goes into
// the file itself, after a copy of the old content was made.
TEST_F(SafeSave, HardLinksStayOneFile)
{
    const fs::path path = dir / "song.tab";
    const fs::path link = dir / "link.tab";
    WriteFileBytes(path, "old");
    fs::create_hard_link(path, link);
    ASSERT_TRUE(doc.OnSaveDocument(link.string()));
    EXPECT_EQ(fs::hard_link_count(path), 2u);
    EXPECT_TRUE(fs::equivalent(path, link));
    EXPECT_EQ(ReadFileBytes(path), NewBytes());
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"link.tab", "song.tab"}));
}

TEST_F(SafeSave, NonRegularTargetsAreRefusedAndLeftAsTheyAre)
{
    struct Target {
        const char* name;
        std::function<bool(const fs::path&)> make;
        std::function<bool(const fs::path&)> still;
    };
    const Target targets[] = {
        {"pipe.tab", [](const fs::path& p) { return ::mkfifo(p.c_str(), 0666) == 0; },
         [](const fs::path& p) { return fs::is_fifo(p); }},
        {"null.tab", [](const fs::path& p) { return ::mknod(p.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; },
         [](const fs::path& p) { return fs::is_character_file(p); }},
        {"folder.tab", [](const fs::path& p) { return fs::create_directory(p); },
         [](const fs::path& p) { return fs::is_directory(p); }},
    };
    for (const Target& t : targets) {
        SCOPED_TRACE(t.name);
        const fs::path path = dir / t.name;
        if (!t.make(path))
            continue;   // no device nodes without the privilege to make them
        const auto before = Entries(dir);
        ui.messages.clear();
        EXPECT_FALSE(doc.OnSaveDocument(path.string()));
        EXPECT_EQ(Message(), path.string() +
                                 " is not a regular file (it is a pipe, a device or a folder), so it was left as it is.\n"
                                 "Use Save As to save the document to a file.");
        EXPECT_TRUE(t.still(path));
        EXPECT_EQ(Entries(dir), before);
    }
}

TEST_F(SafeSave, LinkToNothingCreatesTheFileItNamesAndALoopIsRefused)
{
    const fs::path link = dir / "link.tab";
    fs::create_symlink("sub/real.tab", link);
    fs::create_directory(dir / "sub");
    ASSERT_TRUE(doc.OnSaveDocument(link.string())) << Message();
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(dir / "sub" / "real.tab"), NewBytes());

    const fs::path a = dir / "a.tab";
    const fs::path b = dir / "b.tab";
    fs::create_symlink(b, a);
    fs::create_symlink(a, b);
    EXPECT_FALSE(doc.OnSaveDocument(a.string()));
    EXPECT_EQ(Message(), a.string() + " is a symbolic link that leads round in a loop, so it names no file.");
    EXPECT_TRUE(fs::is_symlink(a));
    EXPECT_TRUE(fs::is_symlink(b));
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"a.tab", "b.tab", "link.tab", "sub"}));
}

// The folder takes no new file, but the file itself may be written: it is written in
// place, with a copy of the old content kept in the user's state folder meanwhile.
TEST_F(SafeSave, WritableFileInAFolderThatTakesNoNewFile)
{
    const fs::path folder = dir / "closed";
    const fs::path state = dir / "state";
    const fs::path path = folder / "song.tab";
    WriteFileBytes(path, "previous contents");
    fs::permissions(path, fs::perms(0666));
    fs::create_directory(state);
    fs::permissions(state, fs::perms(0777));
    fs::permissions(folder, fs::perms(0555));
    CEnvSetting stateHome("XDG_STATE_HOME", state.string());
    CEnvSetting cacheHome("XDG_CACHE_HOME", state.string());

    EXPECT_TRUE(AsOrdinaryUser([&] { return doc.OnSaveDocument(path.string()); })) << Message();
    EXPECT_EQ(ReadFileBytes(path), NewBytes());
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"song.tab"});
    ASSERT_TRUE(fs::is_directory(state / "fretly"));
    EXPECT_TRUE(Entries(state / "fretly").empty());   // the copy is gone once the save is synced

    // With nowhere to keep a copy the save is refused, as before.
    fs::permissions(state, fs::perms(0555));
    fs::remove_all(state / "fretly");
    WriteFileBytes(path, "previous contents");
    ui.messages.clear();
    EXPECT_FALSE(AsOrdinaryUser([&] { return doc.OnSaveDocument(path.string()); }));
    EXPECT_EQ(Message(), "Access to " + path.string() + " was denied.");
    EXPECT_EQ(ReadFileBytes(path), "previous contents");
    fs::permissions(folder, fs::perms(0755));
    fs::permissions(state, fs::perms(0755));
}

TEST_F(SafeSave, NamesUpToTheFileSystemLimitSave)
{
    for (std::size_t len : {247u, 248u, 251u, 255u}) {
        SCOPED_TRACE(len);
        const std::string name = std::string(len - 4, 'n') + ".tab";
        const fs::path path = dir / name;
        WriteFileBytes(path, "old");
        ui.messages.clear();
        EXPECT_TRUE(doc.OnSaveDocument(path.string())) << Message();
        EXPECT_EQ(ReadFileBytes(path), NewBytes());
        EXPECT_EQ(Entries(dir), std::vector<std::string>{name});
        fs::remove(path);
        EXPECT_TRUE(doc.OnSaveDocument(path.string())) << Message();   // a new file too
        fs::remove(path);
    }
}

// A save killed part-way leaves its hidden temporary file; the next save of that file
// removes it, but not one that another save still holds, nor files not of our making.
TEST_F(SafeSave, NextSaveRemovesTemporariesOfKilledSaves)
{
    const fs::path path = dir / "song.tab";
    WriteFileBytes(path, "old");
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        CSafeFileWriter writer(path.string());
        if (writer.Begin() == 0 && writer.Write("half a song", 11) == 0)
            ::raise(SIGKILL);
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status));
    const auto left = Entries(dir);
    ASSERT_EQ(left.size(), 2u);
    const std::string stale = left[0];
    EXPECT_EQ(stale.rfind(".song.tab.fretly-", 0), 0u) << stale;
    EXPECT_EQ(ReadFileBytes(path), "old");

    // Another save of the same file, still running, holds its temporary locked.
    const std::string live = ".song.tab.fretly-L1ve00";
    const int fd = ::open((dir / live).c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    WriteFileBytes(dir / ".song.tab.swp", "someone else's");
    WriteFileBytes(dir / ".other.tab.fretly-abcdef", "another file's");

    ASSERT_TRUE(doc.OnSaveDocument(path.string()));
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{".other.tab.fretly-abcdef", ".song.tab.fretly-L1ve00",
                                                      ".song.tab.swp", "song.tab"}));
    ::close(fd);
}

TEST(SafeSaveNames, TemporaryNamesFitTheLimitAndStayApart)
{
    const std::string longA = std::string(250, 'a') + "1.tab";
    const std::string longB = std::string(250, 'a') + "2.tab";
    EXPECT_EQ(AfxSafeSaveTempPrefix("song.tab", 255), ".song.tab.fretly-");
    for (const std::string& name : {longA, longB, std::string(255, 'x')})
        EXPECT_LE(AfxSafeSaveTempPrefix(name, 255).size() + 6, 255u);
    EXPECT_NE(AfxSafeSaveTempPrefix(longA, 255), AfxSafeSaveTempPrefix(longB, 255));
    // A multi-byte character is not cut in two.
    std::string accented(222, 'a');
    for (int i = 0; i < 12; ++i)
        accented += "\xC3\xA9";
    accented += ".tab";
    const std::string prefix = AfxSafeSaveTempPrefix(accented, 255);
    const std::size_t cut = prefix.find('~');
    ASSERT_NE(cut, std::string::npos);
    EXPECT_EQ(prefix.substr(0, cut), "." + std::string(222, 'a'));
}
