#pragma once
// Files for tests: whole-file bytes, and a scratch folder removed when the test ends.
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <system_error>

inline std::string ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Writes the bytes exactly, creating missing folders.
inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes)
{
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A new, empty folder under the system's temporary folder, readable by other users
// (tests that drop privileges read it), removed with everything in it at the end.
class CScratchDir {
public:
    explicit CScratchDir(const std::string& prefix = "fretly-test")
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (::mkdtemp(tmpl.data()) != nullptr) {
            path = tmpl;
            std::filesystem::permissions(path, std::filesystem::perms(0755));
        }
    }
    CScratchDir(const CScratchDir&) = delete;
    CScratchDir& operator=(const CScratchDir&) = delete;
    ~CScratchDir()
    {
        std::error_code ec;
        if (!path.empty())
            std::filesystem::remove_all(path, ec);
    }
    bool IsValid() const { return !path.empty(); }

    std::filesystem::path path;
};

// Lowers this process's file-size limit while it lives, with SIGXFSZ at its default
// disposition, as a quota or `ulimit -f` meets the program: a write that lets the signal
// through ends the process instead of failing quietly.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t nBytes)
    {
        m_bSet = ::getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        rlimit limit = m_old;
        limit.rlim_cur = nBytes;
        m_bSet = m_bSet && ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        m_oldHandler = std::signal(SIGXFSZ, SIG_DFL);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;
    ~CFileSizeLimit()
    {
        if (m_bSet)
            ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool IsSet() const { return m_bSet; }

private:
    rlimit m_old {};
    bool m_bSet = false;
    void (*m_oldHandler)(int) = SIG_DFL;
};
