#include "audio/DesktopNotice.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "interop/XmlText.h"

extern char** environ;

namespace {

bool HasEnv(const char* pszName)
{
    const char* value = std::getenv(pszName);
    return value != nullptr && *value != '\0';
}

} // namespace

bool AfxShouldNotifyDesktop()
{
    if (::isatty(STDERR_FILENO))
        return false;
    if (!HasEnv("DISPLAY") && !HasEnv("WAYLAND_DISPLAY"))
        return false;
    if (HasEnv("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    return runtime != nullptr && ::stat((std::string(runtime) + "/bus").c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

bool AfxNotifyDesktop(const std::string& summary, const std::string& body)
{
    // The body is markup to some notification servers, and D-Bus carries only UTF-8: a
    // file name's ampersand shows as itself, and its Latin-1 bytes as their letters.
    std::string escaped;
    AfxAppendXmlText(escaped, body);
    std::vector<std::string> args = {"notify-send", "--app-name=Fretly", "--icon=fretly", "--urgency=normal",
                                     "--", summary, escaped};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    // Its own complaints (no notification service) would follow ours on standard error.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, "notify-send", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return false;
    // A bus that never answers must not keep the program from ending.
    for (int i = 0; i < 500; ++i) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (r < 0 && errno != EINTR)
            return false;
        struct timespec ts {0, 10'000'000};
        ::nanosleep(&ts, nullptr);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return false;
}
