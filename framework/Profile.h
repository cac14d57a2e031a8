#pragma once
// The private profile (INI) file: sections of key=value lines, kept in order. Only the
// keys the program writes change; anything else in the file is kept as it was.
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CProfile {
public:
    // An empty profile bound to no file.
    CProfile() = default;
    explicit CProfile(std::string path) : m_strPath(std::move(path)) {}

    // "<$XDG_CONFIG_HOME or ~/.config>/<base name of the executable>.INI".
    static std::string DefaultPath(const std::string& exeBaseName);
    // The running executable's base name (from /proc/self/exe), "fretly" if unknown.
    static std::string ExecutableBaseName();

    const std::string& GetPath() const { return m_strPath; }

    // Reads the file; a missing or unreadable file leaves the profile empty.
    void Load();
    // Writes the whole file atomically (temporary file and rename); false on failure.
    // A file the user made read-only is left as it is (false).
    bool Save() const;
    // The file exists and may not be written: no write permission bit set (which root
    // would otherwise ignore), or no write access for this user.
    bool IsReadOnly() const;

    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def = {}) const;
    int GetInt(const std::string& section, const std::string& key, int def) const;
    // A section, key or value holding a line break or NUL would change the file's
    // structure when read back; such a write is refused (false).
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInt(const std::string& section, const std::string& key, int value);
    void RemoveKey(const std::string& section, const std::string& key);
    void RemoveSection(const std::string& section);

    std::string ToText() const;
    void FromText(const std::string& text);

private:
    // Entries keep their order; the indexes (lower-case name to position) keep loading
    // and lookups linear in the size of the file, however hostile its contents.
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
        std::unordered_map<std::string, std::size_t> index;
        void Reindex();
    };
    Section* Find(const std::string& section);
    const Section* Find(const std::string& section) const;
    Section& FindOrAdd(const std::string& section);
    void ReindexSections();

    std::string m_strPath;
    std::vector<Section> m_sections;
    std::unordered_map<std::string, std::size_t> m_sectionIndex;
};
