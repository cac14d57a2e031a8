#include "framework/Profile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "desktop/AtomicFile.h"

namespace {

std::string Trim(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// Section and key names compare without regard to ASCII case, as profile files do.
bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::string CProfile::ExecutableBaseName()
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || exe.stem().empty())
        return "fretly";
    return exe.stem().string();
}

std::string CProfile::DefaultPath(const std::string& exeBaseName)
{
    std::filesystem::path dir;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        dir = xdg;
    } else {
        const char* home = std::getenv("HOME");
        dir = std::filesystem::path(home != nullptr && home[0] != '\0' ? home : ".") / ".config";
    }
    return (dir / (exeBaseName + ".INI")).string();
}

CProfile::Section* CProfile::Find(const std::string& section)
{
    for (Section& s : m_sections)
        if (SameName(s.name, section))
            return &s;
    return nullptr;
}

const CProfile::Section* CProfile::Find(const std::string& section) const
{
    return const_cast<CProfile*>(this)->Find(section);
}

void CProfile::FromText(const std::string& text)
{
    m_sections.clear();
    std::istringstream in(text);
    std::string line;
    Section* cur = nullptr;
    while (std::getline(in, line)) {
        std::string t = Trim(line);
        if (t.empty() || t[0] == ';')
            continue;
        if (t.front() == '[' && t.back() == ']') {
            std::string name = t.substr(1, t.size() - 2);
            cur = Find(name);
            if (cur == nullptr) {
                m_sections.push_back({name, {}});
                cur = &m_sections.back();
            }
            continue;
        }
        const auto eq = t.find('=');
        if (cur == nullptr || eq == std::string::npos)
            continue;
        std::string key = Trim(t.substr(0, eq));
        std::string value = Trim(t.substr(eq + 1));
        auto it = std::find_if(cur->entries.begin(), cur->entries.end(),
                               [&](const auto& e) { return SameName(e.first, key); });
        if (it == cur->entries.end())
            cur->entries.emplace_back(key, value);
    }
}

std::string CProfile::ToText() const
{
    std::string out;
    for (const Section& s : m_sections) {
        if (s.entries.empty())
            continue;
        if (!out.empty())
            out += "\n";
        out += "[" + s.name + "]\n";
        for (const auto& [key, value] : s.entries)
            out += key + "=" + value + "\n";
    }
    return out;
}

void CProfile::Load()
{
    m_sections.clear();
    std::ifstream in(m_strPath, std::ios::binary);
    if (!in)
        return;
    std::ostringstream buf;
    buf << in.rdbuf();
    FromText(buf.str());
}

bool CProfile::Save() const
{
    return !m_strPath.empty() && AfxWriteFileAtomically(m_strPath, ToText());
}

std::string CProfile::GetString(const std::string& section, const std::string& key, const std::string& def) const
{
    const Section* s = Find(section);
    if (s == nullptr)
        return def;
    for (const auto& [k, v] : s->entries)
        if (SameName(k, key))
            return v;
    return def;
}

int CProfile::GetInt(const std::string& section, const std::string& key, int def) const
{
    std::string v = GetString(section, key);
    if (v.empty())
        return def;
    char* end = nullptr;
    long n = std::strtol(v.c_str(), &end, 10);
    return end == v.c_str() ? def : static_cast<int>(n);
}

void CProfile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    Section* s = Find(section);
    if (s == nullptr) {
        m_sections.push_back({section, {}});
        s = &m_sections.back();
    }
    for (auto& e : s->entries) {
        if (SameName(e.first, key)) {
            e.second = value;
            return;
        }
    }
    s->entries.emplace_back(key, value);
}

void CProfile::WriteInt(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void CProfile::RemoveKey(const std::string& section, const std::string& key)
{
    Section* s = Find(section);
    if (s == nullptr)
        return;
    std::erase_if(s->entries, [&](const auto& e) { return SameName(e.first, key); });
}

void CProfile::RemoveSection(const std::string& section)
{
    std::erase_if(m_sections, [&](const Section& s) { return SameName(s.name, section); });
}
