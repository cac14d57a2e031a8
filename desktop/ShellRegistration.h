#pragma once
// Registers the document type with a freedesktop desktop, per user: a desktop entry with
// open and print actions, a shared-mime-info package for the extension, the icons in the
// hicolor theme and, when nobody else owns the extension, the default application.
// Files are rewritten only when their content changes, each one atomically.
#include <functional>
#include <map>
#include <string>
#include <vector>

struct CShellFileType {
    std::string appId;              // "fretly": names the desktop entry, icon and package
    std::string exePath;            // absolute path of the program
    std::string appName;            // "Fretly"
    std::string genericName;
    std::string comment;
    std::string printActionName;    // empty: no print action
    std::string importName;         // empty: no entry that imports plain text
    std::string filterExt;          // ".TAB"
    std::string regFileTypeId;      // "Fretly.Document"
    std::string regFileTypeName;    // "Fretly Document"
    std::map<int, std::string> appIcons;   // PNG bytes by pixel size
    std::map<int, std::string> docIcons;
};

class CShellRegistration {
public:
    enum Ownership { None, Ours, Other };

    // Takes the directories from XDG_DATA_HOME, XDG_CONFIG_HOME, XDG_DATA_DIRS,
    // XDG_CONFIG_DIRS and XDG_CURRENT_DESKTOP.
    explicit CShellRegistration(CShellFileType type);

    // Writes everything (only the default application when a package installed the
    // rest system-wide); false when a file could not be written, which ends the
    // registration at that file.
    bool Register();

    // "application/x-fretly-document" for "Fretly.Document".
    std::string MimeType() const;
    std::string DesktopId() const { return m_type.appId + ".desktop"; }
    std::string DesktopEntryText() const;
    // The entry that offers "--import" for plain text in Open With lists: hidden from
    // menus, and never made the default for text/plain.
    std::string ImportDesktopId() const { return m_type.appId + "-import.desktop"; }
    std::string ImportEntryText() const;
    std::string MimePackageText(bool bWithGlob) const;

    // Whether another MIME type claims the extension and some program handles it.
    bool ExtensionOwnedByOther() const;
    // The system data folder (from XDG_DATA_DIRS) where a package installed our desktop
    // entry, starting this program, and our MIME package; empty when there is none.
    std::string SystemInstallDir() const;
    // Who is the default application of our MIME type in the mimeapps.list files.
    Ownership DefaultOwner() const;

    std::string m_strDataHome;
    std::string m_strConfigHome;
    std::vector<std::string> m_dataDirs;
    std::vector<std::string> m_configDirs;
    std::vector<std::string> m_desktops;   // lower-case names from XDG_CURRENT_DESKTOP
    // Starts a cache tool (argv[0] is its absolute path) without waiting for it.
    std::function<void(const std::vector<std::string>&)> m_pfnRunTool;

private:
    std::vector<std::string> MimeAppsFiles() const;
    bool WriteIcons(bool& bChanged) const;
    void RunTool(const std::string& name, const std::string& dir) const;

    CShellFileType m_type;
};

// Adds "<mimeType>=<desktopId>;" to the [Default Applications] group of a mimeapps.list
// text, keeping every other line as it was.
std::string AfxAddDefaultApplication(const std::string& text, const std::string& mimeType,
                                     const std::string& desktopId);
// Writes a file through a temporary file and rename, only when its content differs.
// bChanged tells whether it was written; false when it could not be.
bool AfxWriteFileIfChanged(const std::string& path, const std::string& data, bool& bChanged);
// Runs a program in a grandchild process, detached, with standard streams on /dev/null.
void AfxSpawnDetached(const std::vector<std::string>& argv);
// The absolute path of a program found on PATH, or empty.
std::string AfxFindProgram(const std::string& name);
