#pragma once
// The recent-file list: full paths, most recent first, no duplicates, a fixed size;
// read from and written to the profile file.
#include <string>
#include <vector>

class CProfile;

class CRecentFileList {
public:
    CRecentFileList(std::string section, std::string entryFormat, int nSize, int nMaxDispLen = 30)
        : m_strSectionName(std::move(section)), m_strEntryFormat(std::move(entryFormat)), m_nSize(nSize),
          m_nMaxDisplayLength(nMaxDispLen)
    {
    }

    int GetSize() const { return m_nSize; }
    int GetCount() const { return static_cast<int>(m_arrNames.size()); }
    const std::string& operator[](int nIndex) const { return m_arrNames[static_cast<std::size_t>(nIndex)]; }

    // Puts path (made absolute) at the top, dropping an older copy and the oldest entry.
    // A name holding control bytes (a line break, ESC, ...) is not listed: written to the
    // profile it would break the file into lines of its own, and a menu could not show it.
    void Add(const std::string& path);
    void Remove(int nIndex);

    // The entry shortened for the menu: the name alone when the file lies in curDir,
    // otherwise at most the display length with the middle of the path elided.
    std::string GetDisplayName(int nIndex, const std::string& curDir) const;
    // "&1 name" ... with '&' in the name doubled so it is not taken as a mnemonic.
    std::string GetMenuText(int nIndex, const std::string& curDir) const;

    // Entries holding control bytes are skipped.
    void ReadList(const CProfile& profile);
    void WriteList(CProfile& profile) const;

private:
    std::string KeyName(int nIndex) const;

    std::string m_strSectionName;
    std::string m_strEntryFormat;
    int m_nSize;
    int m_nMaxDisplayLength;
    std::vector<std::string> m_arrNames;
};

// Shortens a full path to at most nMaxLen characters: the file name is always kept,
// then as many trailing folders as fit, with "..." for the folders left out.
std::string AfxAbbreviateName(const std::string& path, int nMaxLen, bool bAtLeastName = true);
