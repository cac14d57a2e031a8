#include "framework/Profile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>
#include <unistd.h>

#include "desktop/AtomicFile.h"
#include "desktop/Text.h"

namespace {

// Section and key names compare without regard to ASCII case, as profile files do;
// the indexes are keyed by the lower-case form.
std::string Folded(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool BreaksLines(const std::string& s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos; }

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

void CProfile::Section::Reindex()
{
    index.clear();
    for (std::size_t i = 0; i < entries.size(); ++i)
        index.emplace(Folded(entries[i].first), i);
}

void CProfile::ReindexSections()
{
    m_sectionIndex.clear();
    for (std::size_t i = 0; i < m_sections.size(); ++i)
        m_sectionIndex.emplace(Folded(m_sections[i].name), i);
}

CProfile::Section* CProfile::Find(const std::string& section)
{
    auto it = m_sectionIndex.find(Folded(section));
    return it == m_sectionIndex.end() ? nullptr : &m_sections[it->second];
}

const CProfile::Section* CProfile::Find(const std::string& section) const
{
    return const_cast<CProfile*>(this)->Find(section);
}

CProfile::Section& CProfile::FindOrAdd(const std::string& section)
{
    auto [it, bAdded] = m_sectionIndex.emplace(Folded(section), m_sections.size());
    if (bAdded)
        m_sections.push_back({section, {}, {}});
    return m_sections[it->second];
}

void CProfile::FromText(const std::string& text)
{
    m_sections.clear();
    m_sectionIndex.clear();
    const std::string_view all(text);
    // One bucket per line at most: no rehashing however the lines fall into sections.
    const auto nLines = static_cast<std::size_t>(std::count(all.begin(), all.end(), '\n')) + 1;
    m_sectionIndex.reserve(std::min<std::size_t>(nLines, 1U << 20));
    Section* cur = nullptr;
    for (std::size_t pos = 0; pos < all.size();) {
        auto nl = all.find('\n', pos);
        if (nl == std::string_view::npos)
            nl = all.size();
        const std::string_view t = AfxTrim(all.substr(pos, nl - pos));
        pos = nl + 1;
        if (t.empty() || t[0] == ';')
            continue;
        if (t.front() == '[' && t.back() == ']') {
            cur = &FindOrAdd(std::string(t.substr(1, t.size() - 2)));
            continue;
        }
        const auto eq = t.find('=');
        if (cur == nullptr || eq == std::string_view::npos)
            continue;
        // The first of several equal keys counts, as lookups would find it.
        const std::string_view key = AfxTrim(t.substr(0, eq));
        if (cur->index.emplace(Folded(key), cur->entries.size()).second)
            cur->entries.emplace_back(std::string(key), std::string(AfxTrim(t.substr(eq + 1))));
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
    m_sectionIndex.clear();
    std::ifstream in(m_strPath, std::ios::binary);
    if (!in)
        return;
    std::ostringstream buf;
    buf << in.rdbuf();
    FromText(buf.str());
}

bool CProfile::IsReadOnly() const
{
    struct stat st {};
    if (m_strPath.empty() || ::stat(m_strPath.c_str(), &st) != 0)
        return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(m_strPath.c_str(), W_OK) != 0;
}

bool CProfile::Save() const
{
    // The user made the file read-only to keep it as it is; replacing it would undo that.
    if (m_strPath.empty() || IsReadOnly())
        return false;
    return AfxWriteFileAtomically(m_strPath, ToText());
}

std::string CProfile::GetString(const std::string& section, const std::string& key, const std::string& def) const
{
    const Section* s = Find(section);
    if (s == nullptr)
        return def;
    auto it = s->index.find(Folded(key));
    return it == s->index.end() ? def : s->entries[it->second].second;
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

bool CProfile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    if (BreaksLines(section) || BreaksLines(key) || BreaksLines(value))
        return false;
    Section& s = FindOrAdd(section);
    auto [it, bAdded] = s.index.emplace(Folded(key), s.entries.size());
    if (bAdded)
        s.entries.emplace_back(key, value);
    else
        s.entries[it->second].second = value;
    return true;
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
    const std::string folded = Folded(key);
    std::erase_if(s->entries, [&](const auto& e) { return Folded(e.first) == folded; });
    s->Reindex();
}

void CProfile::RemoveSection(const std::string& section)
{
    const std::string folded = Folded(section);
    std::erase_if(m_sections, [&](const Section& s) { return Folded(s.name) == folded; });
    ReindexSections();
}
