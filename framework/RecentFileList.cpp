#include "framework/RecentFileList.h"

#include <algorithm>
#include <filesystem>

#include "framework/File.h"
#include "framework/Profile.h"

namespace {

bool HasControlBytes(const std::string& name)
{
    return std::any_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

} // namespace

std::string AfxAbbreviateName(const std::string& path, int nMaxLen, bool bAtLeastName)
{
    const auto max = static_cast<std::size_t>(nMaxLen);
    if (path.size() <= max)
        return path;

    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (slash == std::string::npos || name.size() + 4 > max)
        return bAtLeastName ? name : std::string();

    // Keep the first folder as the "volume" when it fits, then the trailing folders.
    std::string head = "/";
    std::string rest = path.substr(1);
    const auto firstEnd = rest.find('/');
    if (firstEnd != std::string::npos && firstEnd + 1 < rest.size())
        head = "/" + rest.substr(0, firstEnd + 1);

    std::vector<std::string::size_type> cuts;   // positions of every '/' but the root
    for (auto p = path.find('/', 1); p != std::string::npos; p = path.find('/', p + 1))
        cuts.push_back(p);
    for (const std::string& h : {head, std::string("/")}) {
        for (auto cut : cuts) {
            if (cut <= h.size() - 1)   // at least one folder must be left out
                continue;
            std::string candidate = h + "..." + path.substr(cut);
            if (candidate.size() <= max)
                return candidate;
        }
    }
    return bAtLeastName ? name : std::string();
}

void CRecentFileList::Add(const std::string& path)
{
    const std::string full = AfxFullPath(path);
    if (full.empty() || HasControlBytes(full))
        return;
    std::erase(m_arrNames, full);
    m_arrNames.insert(m_arrNames.begin(), full);
    if (m_arrNames.size() > static_cast<std::size_t>(m_nSize))
        m_arrNames.resize(static_cast<std::size_t>(m_nSize));
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex >= 0 && nIndex < GetCount())
        m_arrNames.erase(m_arrNames.begin() + nIndex);
}

std::string CRecentFileList::GetDisplayName(int nIndex, const std::string& curDir) const
{
    const std::string& full = m_arrNames[static_cast<std::size_t>(nIndex)];
    std::filesystem::path p(full);
    if (!curDir.empty() && std::filesystem::path(curDir).lexically_normal() == p.parent_path())
        return p.filename().string();
    return AfxAbbreviateName(full, m_nMaxDisplayLength, true);
}

std::string CRecentFileList::GetMenuText(int nIndex, const std::string& curDir) const
{
    std::string name;
    for (char c : GetDisplayName(nIndex, curDir)) {
        name += c;
        if (c == '&')
            name += '&';
    }
    return "&" + std::to_string(nIndex + 1) + " " + name;
}

std::string CRecentFileList::KeyName(int nIndex) const
{
    std::string key = m_strEntryFormat;
    const auto at = key.find("%d");
    if (at != std::string::npos)
        key.replace(at, 2, std::to_string(nIndex + 1));
    return key;
}

void CRecentFileList::ReadList(const CProfile& profile)
{
    m_arrNames.clear();
    for (int i = 0; i < m_nSize; ++i) {
        std::string name = profile.GetString(m_strSectionName, KeyName(i));
        if (!name.empty() && !HasControlBytes(name) && std::find(m_arrNames.begin(), m_arrNames.end(), name) == m_arrNames.end())
            m_arrNames.push_back(name);
    }
}

void CRecentFileList::WriteList(CProfile& profile) const
{
    // The section is rewritten whole, so entries that left the list leave the file.
    profile.RemoveSection(m_strSectionName);
    for (int i = 0; i < GetCount(); ++i)
        profile.WriteString(m_strSectionName, KeyName(i), m_arrNames[static_cast<std::size_t>(i)]);
}
