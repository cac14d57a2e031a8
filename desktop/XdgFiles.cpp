// File and process helpers of the desktop registration: atomic writes, the
// mimeapps.list edit and detached cache tools.
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "desktop/AtomicFile.h"
#include "desktop/ShellRegistration.h"
#include "desktop/Text.h"

namespace {

bool ReadFile(const std::string& path, std::string& data)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buf;
    buf << in.rdbuf();
    data = buf.str();
    return !in.bad();
}

} // namespace

bool AfxWriteFileIfChanged(const std::string& path, const std::string& data, bool& bChanged)
{
    bChanged = false;
    std::string old;
    if (ReadFile(path, old) && old == data)
        return true;

    if (!AfxWriteFileAtomically(path, data))
        return false;
    bChanged = true;
    return true;
}

std::string AfxAddDefaultApplication(const std::string& text, const std::string& mimeType,
                                     const std::string& desktopId)
{
    const std::string entry = mimeType + "=" + desktopId + ";\n";
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);

    std::size_t group = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (AfxTrim(lines[i]) == "[Default Applications]") {
            group = i;
            break;
        }

    std::string out;
    if (group == lines.size()) {
        out = text;
        if (!out.empty() && out.back() != '\n')
            out += '\n';
        if (!out.empty())
            out += '\n';
        return out + "[Default Applications]\n" + entry;
    }

    // After the last non-blank line of the group, so blank separators stay where they are.
    std::size_t end = group + 1;
    while (end < lines.size() && AfxTrim(lines[end]).rfind('[', 0) != 0)
        ++end;
    std::size_t insertAt = end;
    while (insertAt > group + 1 && AfxTrim(lines[insertAt - 1]).empty())
        --insertAt;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == insertAt)
            out += entry;
        out += lines[i] + "\n";
    }
    if (insertAt == lines.size())
        out += entry;
    return out;
}

std::string AfxFindProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr && path[0] != '\0' ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t colon = dirs.find(':', start);
        if (colon == std::string::npos)
            colon = dirs.size();
        std::string dir = dirs.substr(start, colon - start);
        start = colon + 1;
        if (dir.empty() || dir[0] != '/')
            continue;
        std::string candidate = dir + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

void AfxSpawnDetached(const std::vector<std::string>& argv)
{
    if (argv.empty())
        return;
    // Everything the child needs is made before fork: after it, only calls that are safe
    // in the child of a threaded process.
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    pid_t pid = ::fork();
    if (pid == 0) {
        // The grandchild is adopted by init, so nobody has to wait for it.
        if (::fork() == 0) {
            int fd = ::open("/dev/null", O_RDWR);
            if (fd >= 0) {
                ::dup2(fd, 0);
                ::dup2(fd, 1);
                ::dup2(fd, 2);
            }
            ::close_range(3, ~0U, 0);   // the tool gets none of the program's files
            ::setsid();
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        ::_exit(0);
    }
    if (pid > 0)
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
}
