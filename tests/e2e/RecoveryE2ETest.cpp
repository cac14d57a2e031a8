// Unsaved work survives the program being killed: the built program, started on a file,
// types notes (through its test script), is killed, and on the next start offers the
// work back. The script and the state folder come from the environment.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/TestFiles.h"

namespace fs = std::filesystem;

namespace {

// Generous: the machine may be busy; nothing here measures time.
constexpr auto kPatience = std::chrono::seconds(60);

// The program running with a script; its stderr read line by line.
class CRun {
public:
    CRun(const std::vector<std::string>& args, const std::vector<std::string>& env)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(fds[1], 2);
            ::close(fds[0]);
            ::close(fds[1]);
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

    // Reads stderr until a line starts with prefix; returns that line ("" on end or timeout).
    std::string WaitForLine(const std::string& prefix)
    {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        for (;;) {
            std::size_t nl;
            while ((nl = m_buffer.find('\n')) != std::string::npos) {
                std::string line = m_buffer.substr(0, nl);
                m_buffer.erase(0, nl + 1);
                m_lines.push_back(line);
                if (line.starts_with(prefix))
                    return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return {};
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return {};
            char buf[4096];
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n <= 0)
                return {};
            m_buffer.append(buf, static_cast<std::size_t>(n));
        }
    }

    void Signal(int nSignal) { ::kill(m_pid, nSignal); }
    int Wait()
    {
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_bReaped = true;
        return status;
    }
    const std::vector<std::string>& Lines() const { return m_lines; }

private:
    pid_t m_pid = -1;
    int m_fd = -1;
    bool m_bReaped = false;
    std::string m_buffer;
    std::vector<std::string> m_lines;
};

class RecoveryE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* p = std::getenv("FRETLY_EXE");
        ASSERT_NE(p, nullptr);
        exe = p;
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

    // Waits until a copy holds the typed notes (the copy follows a pause in typing).
    bool WaitForCopyWith(const std::string& notes) const
    {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < deadline) {
            for (const fs::path& p : Copies()) {
                if (ReadFileBytes(p).find(notes) != std::string::npos)
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    // The next start offers the work back: Yes opens it, modified, under the file's name.
    void ExpectRecoveredOnNextStart()
    {
        CRun run({exe, song.string()}, Env("FRETLY_TEST_ANSWERS=yes"));
        const std::string question = run.WaitForLine("fretly-test: message:");
        EXPECT_EQ(question, "fretly-test: message: Fretly was closed before the changes to " + song.string() +
                                " were saved. Recover them? -> Yes");
        // Asked before the file information dialog.
        EXPECT_EQ(run.WaitForLine("fretly-test: dialog"), "fretly-test: dialog 132 -> Cancel");
        EXPECT_EQ(run.WaitForLine("fretly-test: ready"), "fretly-test: ready title=song.tab - Fretly modified=1");
        // Ending again keeps the work: one copy, this run's, with the notes and the path.
        run.Signal(SIGTERM);
        const int status = run.Wait();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
        const std::vector<fs::path> copies = Copies();
        ASSERT_EQ(copies.size(), 1u);
        const std::string copy = ReadFileBytes(copies[0]);
        EXPECT_NE(copy.find("\n-757---"), std::string::npos);
        EXPECT_NE(copy.find("#Document: " + song.string() + "\n"), std::string::npos);
        EXPECT_EQ(ReadFileBytes(song), original);

        // "No" throws the work away for good.
        CRun refuse({exe, song.string()}, Env("FRETLY_TEST_ANSWERS=no"));
        EXPECT_NE(refuse.WaitForLine("fretly-test: message:"), "");
        EXPECT_EQ(refuse.WaitForLine("fretly-test: ready"), "fretly-test: ready title=song.tab - Fretly modified=0");
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
        ASSERT_EQ(run.WaitForLine("fretly-test: typed"), "fretly-test: typed 3 modified=1");
        ASSERT_TRUE(WaitForCopyWith("\n-757---"));
        run.Signal(SIGKILL);
        run.Wait();
    }
    ExpectRecoveredOnNextStart();
}

TEST_F(RecoveryE2E, SigtermWritesTheCopyOnTheWayOut)
{
    {
        CRun run({exe, song.string()}, Env("FRETLY_TEST_KEYS=757"));
        ASSERT_EQ(run.WaitForLine("fretly-test: typed"), "fretly-test: typed 3 modified=1");
        // At once: the quiet period after the typing has not passed.
        run.Signal(SIGTERM);
        const int status = run.Wait();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    }
    ASSERT_EQ(Copies().size(), 1u);
    ExpectRecoveredOnNextStart();
}

TEST_F(RecoveryE2E, CommandLinePrintingMakesNoCopy)
{
    CRun run({exe, "/pt", song.string(), (scratch.path / "out.pdf").string()}, Env("FRETLY_TEST_KEYS="));
    run.Wait();
    EXPECT_TRUE(fs::exists(scratch.path / "out.pdf"));
    EXPECT_FALSE(fs::exists(state));
}

TEST_F(RecoveryE2E, LosingTheDisplayKeepsTheWork)
{
    // Qt on X11 warns "The X11 connection broke" and calls exit(); the program writes the
    // copy then. Needs an X server of its own to take away.
    if (::access("/usr/bin/Xvfb", X_OK) != 0)
        GTEST_SKIP() << "no Xvfb here";
    const std::string display = ":" + std::to_string(200 + ::getpid() % 500);
    CRun server({"/usr/bin/Xvfb", display, "-nolisten", "tcp"}, {"XDG_STATE_HOME=/nonexistent"});
    std::vector<std::string> env = Env("FRETLY_TEST_KEYS=757");
    env[0] = "QT_QPA_PLATFORM=xcb";
    env.push_back("DISPLAY=" + display);
    // The server takes a moment to listen; the program fails to start until it does.
    std::string typed;
    for (int nTry = 0; nTry < 50 && typed.empty(); ++nTry) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        CRun probe({exe, song.string()}, env);
        typed = probe.WaitForLine("fretly-test: typed");
        if (typed.empty())
            continue;
        server.Signal(SIGKILL);
        server.Wait();
        const int status = probe.Wait();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    }
    ASSERT_EQ(typed, "fretly-test: typed 3 modified=1");
    ASSERT_EQ(Copies().size(), 1u);
    EXPECT_NE(ReadFileBytes(Copies()[0]).find("\n-757---"), std::string::npos);
    ExpectRecoveredOnNextStart();
}
