#pragma once
// For end-to-end tests of sessions: the programs they start beside Fretly (a compositor, an
// X server, a window manager, a print server), started with their own environment and log,
// waited for with a limit and ended by their process id, so no test hangs or leaves one
// running; a shell runner; and a .tab file as the editor writes it.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/TestFiles.h"

extern char** environ;

namespace e2e {

using Env = std::map<std::string, std::string>;

// The current environment with the given names set ("" keeps a name unset).
inline std::vector<std::string> MergedEnv(const Env& overrides)
{
    std::vector<std::string> out;
    for (char** p = environ; *p != nullptr; ++p) {
        const std::string entry = *p;
        const std::string name = entry.substr(0, entry.find('='));
        if (overrides.count(name) == 0)
            out.push_back(entry);
    }
    for (const auto& [name, value] : overrides)
        if (!value.empty())
            out.push_back(name + "=" + value);
    return out;
}

// The strings as the null-terminated array that exec and spawn take; the strings must
// outlive it.
inline std::vector<char*> CStringArray(const std::vector<std::string>& strings)
{
    std::vector<char*> out;
    for (const std::string& s : strings)
        out.push_back(const_cast<char*>(s.c_str()));
    out.push_back(nullptr);
    return out;
}

// Whether a program is on PATH (or is an executable path).
inline bool HaveProgram(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return ::access(name.c_str(), X_OK) == 0;
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (!dir.empty() && ::access((dir + "/" + name).c_str(), X_OK) == 0)
            return true;
    return false;
}

// Waits up to the limit for the child pid to end, woken by its end rather than by a
// clock; its wait status, or -1 when it is still running at the limit.
inline int WaitForExit(pid_t pid, std::chrono::milliseconds limit)
{
    int status = 0;
    const auto end = std::chrono::steady_clock::now() + limit;
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    for (;;) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid)
            break;
        if (r < 0 && errno != EINTR) {   // not our child, or gone already
            status = -1;
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            status = -1;
            break;
        }
        // Without pidfd (an old kernel) a short poll stands in for the event.
        pollfd p{pidfd, POLLIN, 0};
        ::poll(pidfd >= 0 ? &p : nullptr, pidfd >= 0 ? 1 : 0,
               pidfd >= 0 ? static_cast<int>(left.count()) : std::min<int>(50, static_cast<int>(left.count())));
    }
    if (pidfd >= 0)
        ::close(pidfd);
    return status;
}

// Waits up to the limit for condition to hold over the files of folder (which may not
// exist yet), looking again whenever something in it, or in its parent, changes.
inline bool WaitForFolder(const std::filesystem::path& folder, const std::function<bool()>& condition,
                          std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    const uint32_t mask = IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE | IN_DELETE;
    bool bWatching = false;
    for (;;) {
        // The folder is watched once it is there; until then its parent, for its creation.
        if (fd >= 0 && !bWatching) {
            bWatching = ::inotify_add_watch(fd, folder.c_str(), mask) >= 0;
            if (!bWatching)
                ::inotify_add_watch(fd, folder.parent_path().c_str(), IN_CREATE | IN_MOVED_TO);
        }
        if (condition())
            break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            if (fd >= 0)
                ::close(fd);
            return false;
        }
        // A second at most between looks, in case an event is missed (a watch added late).
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, fd >= 0 ? 1 : 0, static_cast<int>(std::min<long long>(left.count(), 1000)));
        char buf[4096];
        while (fd >= 0 && ::read(fd, buf, sizeof buf) > 0) {
        }
    }
    if (fd >= 0)
        ::close(fd);
    return true;
}

class CChild {
public:
    CChild() = default;
    CChild(const CChild&) = delete;
    CChild& operator=(const CChild&) = delete;
    ~CChild() { Stop(); }

    // Starts argv with the environment changes; stdout and stderr go to logPath.
    bool Start(const std::vector<std::string>& argv, const Env& env, const std::filesystem::path& logPath)
    {
        m_log = logPath;
        std::vector<std::string> envs = MergedEnv(env);
        std::vector<char*> cargv = CStringArray(argv), cenv = CStringArray(envs);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        const int rc = ::posix_spawnp(&m_pid, cargv[0], &actions, nullptr, cargv.data(), cenv.data());
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0)
            m_pid = -1;
        return m_pid > 0;
    }

    bool Running()
    {
        if (m_pid <= 0)
            return false;
        int status = 0;
        const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid) {
            m_status = status;
            m_pid = -1;
            return false;
        }
        return r == 0;
    }

    // Waits up to the limit for the program to end; its wait status, or -1 when still running.
    int Wait(std::chrono::milliseconds limit)
    {
        if (!Running())
            return m_status;
        const int status = WaitForExit(m_pid, limit);
        if (status == -1)
            return -1;
        m_status = status;
        m_pid = -1;
        return m_status;
    }

    // Ends the program: SIGTERM, then SIGKILL if it does not go.
    void Stop()
    {
        if (!Running())
            return;
        ::kill(m_pid, SIGTERM);
        if (Wait(std::chrono::seconds(5)) == -1 && m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            Wait(std::chrono::seconds(5));
        }
    }

    std::string Log() const
    {
        std::ifstream in(m_log, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    // The last lines of the log, for a skip or failure message.
    std::string LogTail(std::size_t nChars = 1500) const
    {
        const std::string log = Log();
        return log.size() > nChars ? log.substr(log.size() - nChars) : log;
    }
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    int m_status = -1;
    std::filesystem::path m_log;
};

// Polls until the condition holds or the limit passes.
inline bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

// The exit code of a wait status that is a normal exit, else -1.
inline int ExitCode(int status) { return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

inline std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs a shell command with a time limit; its output (stdout and stderr), the exit code in
// *pCode (-1 when it did not exit normally, 124 when the limit ended it).
inline std::string Shell(const std::string& command, int* pCode = nullptr, int nLimitSeconds = 60)
{
    const std::string full =
        "timeout -k 5 " + std::to_string(nLimitSeconds) + " sh -c " + Quote(command) + " 2>&1";
    FILE* pipe = ::popen(full.c_str(), "r");
    std::string out;
    if (pipe == nullptr)
        return out;
    char buf[512];
    while (std::fgets(buf, sizeof buf, pipe) != nullptr)
        out += buf;
    const int status = ::pclose(pipe);
    if (pCode != nullptr)
        *pCode = ExitCode(status);
    return out;
}

// A .tab file as the editor writes it, with nStaffs staffs: 14 need two printed pages.
inline void WriteSongTab(const std::filesystem::path& path, int nStaffs, const std::string& title)
{
    const std::string rule = "#" + std::string(77, '-') + "#";
    std::string bytes = rule + "\r\n#-- File created with Fretly --#\r\n" + rule + "\r\n\r\n";
    bytes += "Title: " + title + "\r\n\r\n";
    for (int s = 0; s < nStaffs; ++s) {
        for (int r = 0; r < 6; ++r)
            bytes += "--" + std::to_string(s % 10) + std::string(74, '-') + "|\r\n";
        const std::string text = "Bar " + std::to_string(s * 4 + 1);
        bytes += text + std::string(78 - text.size(), ' ') + "\r\n\r\n";
    }
    WriteFileBytes(path, bytes);
}

// The page count pdfinfo reads from a PDF file; -1 where it cannot.
inline int PdfPageCount(const std::filesystem::path& pdf)
{
    const std::string info = Shell("pdfinfo " + Quote(pdf.string()));
    const std::size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

// Starts a virtual X server on a display it finds free itself; its name (":N"), or "" with
// the log in *pFailure.
inline std::string StartXvfb(CChild& xvfb, const std::filesystem::path& log, const std::string& size,
                             std::string* pFailure)
{
    if (!xvfb.Start({"Xvfb", "-displayfd", "1", "-screen", "0", size, "-nolisten", "tcp"}, {}, log))
        return *pFailure = "Xvfb could not be started", "";
    std::string display;
    WaitUntil([&] {
        // The display number is a line of its own (stderr shares the log).
        std::stringstream out(xvfb.Log());
        for (std::string line; display.empty() && std::getline(out, line);)
            if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos && !out.eof())
                display = ":" + line;
        return !display.empty() || !xvfb.Running();
    }, std::chrono::seconds(20));
    if (display.empty())
        *pFailure = "Xvfb did not start: " + xvfb.LogTail();
    return display;
}

inline std::string FretlyExe()
{
    const char* exe = std::getenv("FRETLY_EXE");
    return exe != nullptr ? exe : "";
}

} // namespace e2e
