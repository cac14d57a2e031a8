// Unsaved work survives the program being killed: the built program, started on a file,
// types notes (through its test script), is killed, and on the next start offers the
// work back. The script and the state folder come from the environment.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "e2e/E2eSupport.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;

namespace {

// Generous: the machine may be busy; nothing here measures time.
constexpr auto kPatience = std::chrono::seconds(60);

// The program running with a script; its stderr read line by line.
class CRun {
public:
    CRun(const std::vector<std::string>& args, const std::vector<std::string>& env) : m_strName(args.at(0))
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(fds[1], 2);
            for (const std::string& e : env)
                ::putenv(const_cast<char*>(e.c_str()));
            std::vector<char*> argv;
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(fds[1]);
        m_fd = fds[0];
    }
    ~CRun()
    {
        if (m_pid > 0 && !m_bReaped) {
            ::kill(m_pid, SIGKILL);
            Wait();
        }
        if (m_fd >= 0)
            ::close(m_fd);
    }

    // Reads stderr until a line starts with prefix; returns that line ("" on end or
    // timeout, with Why() saying what was waited for and what came instead).
    std::string WaitForLine(const std::string& prefix)
    {
        return WaitForLineWhere("a line starting with \"" + prefix + "\"",
                                [&](const std::string& line) { return line.starts_with(prefix); });
    }
    std::string WaitForLineWhere(const std::string& what, const std::function<bool(const std::string&)>& wanted)
    {
        const auto start = std::chrono::steady_clock::now();
        const auto deadline = start + kPatience;
        const std::size_t nSeenBefore = m_lines.size();
        for (;;) {
            std::size_t nl;
            while ((nl = m_buffer.find('\n')) != std::string::npos) {
                std::string line = m_buffer.substr(0, nl);
                m_buffer.erase(0, nl + 1);
                m_lines.push_back(line);
                if (wanted(line))
                    return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            std::string end;
            pollfd p{m_fd, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(std::max<long long>(left.count(), 0))) <= 0) {
                end = "nothing more within " + std::to_string(kPatience.count()) + " s";
            } else {
                char buf[4096];
                const ssize_t n = ::read(m_fd, buf, sizeof buf);
                if (n > 0) {
                    m_buffer.append(buf, static_cast<std::size_t>(n));
                    continue;
                }
                end = "the program closed its stderr (ended)";
            }
            m_strWhy = m_strName + ": waited for " + what + "; " + end + "; lines since the last wait:";
            for (std::size_t i = nSeenBefore; i < m_lines.size(); ++i)
                m_strWhy += "\n  " + m_lines[i];
            if (m_lines.size() == nSeenBefore)
                m_strWhy += " none";
            return {};
        }
    }

    void Signal(int nSignal) { ::kill(m_pid, nSignal); }
    // The wait status once the program ends; -1 (and Why() says so) when it did not end
    // within the patience, in which case it is killed.
    int Wait()
    {
        if (m_bReaped)
            return m_nStatus;
        m_nStatus = e2e::WaitForExit(m_pid, kPatience);
        if (m_nStatus == -1) {
            m_strWhy = m_strName + ": did not end within " + std::to_string(kPatience.count()) + " s; killed";
            ::kill(m_pid, SIGKILL);
            e2e::WaitForExit(m_pid, kPatience);
        }
        m_bReaped = true;
        return m_nStatus;
    }
    const std::vector<std::string>& Lines() const { return m_lines; }
    const std::string& Why() const { return m_strWhy; }

private:
    std::string m_strName;
    pid_t m_pid = -1;
    int m_fd = -1;
    bool m_bReaped = false;
    int m_nStatus = -1;
    std::string m_buffer;
    std::vector<std::string> m_lines;
    std::string m_strWhy;
};

class RecoveryE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        exe = e2e::FretlyExe();
        ASSERT_FALSE(exe.empty()) << "FRETLY_EXE is not set";
        ASSERT_TRUE(scratch.IsValid());
        song = scratch.path / "song.tab";
        const std::string rule = "#" + std::string(77, '-') + "#";
        std::string text = rule + "\r\n#-- File created with Fretly --#\r\n" + rule + "\r\n\r\nTitle: Night Blues\r\n\r\n";
        for (int r = 0; r < 6; ++r)
            text += std::string(78, '-') + "\r\n";
        text += std::string(78, ' ') + "\r\n\r\n";
        WriteFileBytes(song, text);
        original = text;
        state = scratch.path / "state";
        // The desktop registration finds its data folder unwritable: nothing outlives the test.
        WriteFileBytes(scratch.path / "data", "not a folder");
    }

    std::vector<std::string> Env(const std::string& script) const
    {
        return {"QT_QPA_PLATFORM=offscreen", "XDG_STATE_HOME=" + state.string(),
                "XDG_CONFIG_HOME=" + (scratch.path / "config").string(),
                "XDG_DATA_HOME=" + (scratch.path / "data").string(), script};
    }

    std::vector<fs::path> Copies() const
    {
        std::vector<fs::path> found;
        std::error_code ec;
        for (fs::directory_iterator it(state / "fretly", ec), end; !ec && it != end; it.increment(ec))
            found.push_back(it->path());
        return found;
    }

    // Waits until a finished copy holds the typed notes (the copy follows a pause in
    // typing). Finished: under the name the next start looks for, not the hidden file it
    // is written to first; a program killed before that file is renamed leaves no copy.
    bool WaitForCopyWith(const std::string& notes) const
    {
        return e2e::WaitForFolder(state / "fretly", [&] { return HasFinishedCopyWith(notes); }, kPatience);
    }
    bool HasFinishedCopyWith(const std::string& notes) const
    {
        for (const fs::path& p : Copies()) {
            const std::string name = p.filename().string();
            if (!name.starts_with(".") && name.ends_with(".tab") && ReadFileBytes(p).find(notes) != std::string::npos)
                return true;
        }
        return false;
    }

    // The next start offers the work back: Yes opens it, modified, under the file's name.
    void ExpectRecoveredOnNextStart()
    {
        CRun run({exe, song.string()}, Env("FRETLY_TEST_ANSWERS=yes"));
        const std::string question = run.WaitForLine("fretly-test: message:");
        EXPECT_EQ(question, "fretly-test: message: Fretly was closed before the changes to " + song.string() +
                                " were saved. Recover them? -> Yes") << run.Why();
        // Asked before the file information dialog.
        EXPECT_EQ(run.WaitForLine("fretly-test: dialog"), "fretly-test: dialog 132 -> Cancel") << run.Why();
        EXPECT_EQ(run.WaitForLine("fretly-test: ready"), "fretly-test: ready title=song.tab - Fretly modified=1")
            << run.Why();
        // Ending again keeps the work: one copy, this run's, with the notes and the path.
        run.Signal(SIGTERM);
        const int status = run.Wait();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status << " " << run.Why();
        const std::vector<fs::path> copies = Copies();
        ASSERT_EQ(copies.size(), 1u);
        const std::string copy = ReadFileBytes(copies[0]);
        EXPECT_NE(copy.find("\n-757---"), std::string::npos);
        EXPECT_NE(copy.find("#Document: " + song.string() + "\n"), std::string::npos);
        EXPECT_EQ(ReadFileBytes(song), original);

        // "No" throws the work away for good.
        CRun refuse({exe, song.string()}, Env("FRETLY_TEST_ANSWERS=no"));
        EXPECT_NE(refuse.WaitForLine("fretly-test: message:"), "") << refuse.Why();
        EXPECT_EQ(refuse.WaitForLine("fretly-test: ready"), "fretly-test: ready title=song.tab - Fretly modified=0")
            << refuse.Why();
        refuse.Signal(SIGTERM);
        refuse.Wait();
        EXPECT_TRUE(Copies().empty());
        EXPECT_EQ(ReadFileBytes(song), original);
    }

    CScratchDir scratch{"fretly-e2e-recovery"};
    std::string exe;
    fs::path song;
    fs::path state;
    std::string original;
};

} // namespace

TEST_F(RecoveryE2E, WorkTypedBeforeAKillComesBack)
{
    {
        CRun run({exe, song.string()}, Env("FRETLY_TEST_KEYS=757"));
        ASSERT_EQ(run.WaitForLine("fretly-test: typed"), "fretly-test: typed 3 modified=1") << run.Why();
        ASSERT_TRUE(WaitForCopyWith("\n-757---")) << "no finished copy with the notes within "
                                                   << kPatience.count() << " s";
        run.Signal(SIGKILL);
        run.Wait();
    }
    ExpectRecoveredOnNextStart();
}

// A run killed after writing its copy but before renaming it into place leaves only the
// hidden file it wrote to. The next start has nothing to offer then, so a test that took
// that file for the copy waited in vain for the recovery question.
TEST_F(RecoveryE2E, ACopyCutOffBeforeItsRenameIsNotTakenForOne)
{
    std::string text = original;
    text.replace(text.find("\r\n---") + 2, 4, "-757");
    const std::string copy = "#Fretly recovery copy of unsaved work, format 1\n#Document: " + song.string() +
                             "\n#Writer: 2147483646 no-such-boot\n" + text;
    fs::create_directories(state / "fretly");
    WriteFileBytes(state / "fretly" / ".song.tab.0123456789abcdef.1-1.tabQx7Lp2", copy);
    EXPECT_FALSE(HasFinishedCopyWith("\n-757---"));

    CRun run({exe, song.string()}, Env("FRETLY_TEST_ANSWERS=yes"));
    EXPECT_EQ(run.WaitForLine("fretly-test: ready"), "fretly-test: ready title=song.tab - Fretly modified=0")
        << run.Why();
    for (const std::string& line : run.Lines())
        EXPECT_FALSE(line.starts_with("fretly-test: message:")) << line;
    run.Signal(SIGTERM);
    EXPECT_NE(run.Wait(), -1) << run.Why();

    // The same bytes under a copy's own name are offered.
    fs::rename(state / "fretly" / ".song.tab.0123456789abcdef.1-1.tabQx7Lp2",
               state / "fretly" / "song.tab.0123456789abcdef.1-1.tab");
    EXPECT_TRUE(HasFinishedCopyWith("\n-757---"));
    ExpectRecoveredOnNextStart();
}

TEST_F(RecoveryE2E, SigtermWritesTheCopyOnTheWayOut)
{
    {
        CRun run({exe, song.string()}, Env("FRETLY_TEST_KEYS=757"));
        ASSERT_EQ(run.WaitForLine("fretly-test: typed"), "fretly-test: typed 3 modified=1") << run.Why();
        // At once: the quiet period after the typing has not passed.
        run.Signal(SIGTERM);
        const int status = run.Wait();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status << " " << run.Why();
    }
    ASSERT_EQ(Copies().size(), 1u);
    ExpectRecoveredOnNextStart();
}

TEST_F(RecoveryE2E, CommandLinePrintingMakesNoCopy)
{
    CRun run({exe, "/pt", song.string(), (scratch.path / "out.pdf").string()}, Env("FRETLY_TEST_KEYS="));
    EXPECT_NE(run.Wait(), -1) << run.Why();
    EXPECT_TRUE(fs::exists(scratch.path / "out.pdf"));
    EXPECT_FALSE(fs::exists(state));
}

TEST_F(RecoveryE2E, LosingTheDisplayKeepsTheWork)
{
    // Qt on X11 warns "The X11 connection broke" and calls exit(); the program writes the
    // copy then. Needs an X server of its own to take away.
    if (::access("/usr/bin/Xvfb", X_OK) != 0)
        GTEST_SKIP() << "no Xvfb here";
    // The server says its display number once it listens (-displayfd), choosing a free one.
    CRun server({"/usr/bin/Xvfb", "-displayfd", "2", "-nolisten", "tcp"}, {"XDG_STATE_HOME=/nonexistent"});
    const std::string number = server.WaitForLineWhere("the display number", [](const std::string& line) {
        return !line.empty() && line.find_first_not_of("0123456789") == std::string::npos;
    });
    if (number.empty())
        GTEST_SKIP() << "Xvfb did not start: " << server.Why();
    std::vector<std::string> env = Env("FRETLY_TEST_KEYS=757");
    env[0] = "QT_QPA_PLATFORM=xcb";
    env.push_back("DISPLAY=:" + number);
    CRun probe({exe, song.string()}, env);
    const std::string typed = probe.WaitForLine("fretly-test: typed");
    if (!typed.empty()) {
        server.Signal(SIGKILL);
        server.Wait();
        const int status = probe.Wait();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status << " " << probe.Why();
    }
    ASSERT_EQ(typed, "fretly-test: typed 3 modified=1") << probe.Why();
    ASSERT_EQ(Copies().size(), 1u);
    EXPECT_NE(ReadFileBytes(Copies()[0]).find("\n-757---"), std::string::npos);
    ExpectRecoveredOnNextStart();
}
