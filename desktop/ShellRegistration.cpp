#include "desktop/ShellRegistration.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <utility>

#include "desktop/Text.h"

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::vector<std::string> Split(const std::string& s, char sep)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(s);
    while (std::getline(in, part, sep))
        if (!part.empty())
            parts.push_back(part);
    return parts;
}

// An absolute directory from the environment, or the fallback; relative values are
// ignored, as the base directory rules ask.
std::string EnvDir(const char* name, const char* homeRelative)
{
    const char* v = std::getenv(name);
    if (v != nullptr && v[0] == '/')
        return v;
    const char* home = std::getenv("HOME");
    return (fs::path(home != nullptr && home[0] != '\0' ? home : ".") / homeRelative).string();
}

std::vector<std::string> EnvDirs(const char* name, const char* def)
{
    const char* v = std::getenv(name);
    std::vector<std::string> dirs;
    for (const std::string& d : Split(v != nullptr && v[0] != '\0' ? v : def, ':'))
        if (d[0] == '/')
            dirs.push_back(d);
    return dirs;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buf;
    if (in)
        buf << in.rdbuf();
    return buf.str();
}

// The values of key in one group of a desktop-style key file ("a.desktop;b.desktop;").
std::vector<std::string> GroupValues(const std::string& text, const std::string& group, const std::string& key)
{
    std::istringstream in(text);
    bool bInGroup = false;
    for (std::string line; std::getline(in, line);) {
        line = std::string(AfxTrim(line));
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            bInGroup = line == "[" + group + "]";
            continue;
        }
        const auto eq = line.find('=');
        if (bInGroup && eq != std::string::npos && AfxTrim(std::string_view(line).substr(0, eq)) == key)
            return Split(std::string(AfxTrim(std::string_view(line).substr(eq + 1))), ';');
    }
    return {};
}

bool ValidUtf8WithoutControls(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7f)
            return false;
        int extra = c < 0x80 ? 0 : (c & 0xe0) == 0xc0 ? 1 : (c & 0xf0) == 0xe0 ? 2 : (c & 0xf8) == 0xf0 ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size())
            return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xc0) != 0x80)
                return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

// A plain value of a desktop entry: the key file escapes a backslash.
std::string KeyValue(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

// One argument of an Exec line: quoted when it holds a reserved character, '%' doubled;
// the backslashes then doubled once more for the key file's own escaping.
std::string ExecArgument(const std::string& arg)
{
    std::string out;
    const bool bQuote = arg.find_first_of(" \t\"'\\><~|&;$*?#()`") != std::string::npos;
    if (bQuote)
        out += '"';
    for (char c : arg) {
        if (bQuote && (c == '"' || c == '`' || c == '$' || c == '\\'))
            out += '\\';
        if (c == '%')
            out += '%';
        out += c;
    }
    if (bQuote)
        out += '"';
    return KeyValue(out);
}

std::string XmlText(const std::string& s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

CShellRegistration::CShellRegistration(CShellFileType type)
    : m_strDataHome(EnvDir("XDG_DATA_HOME", ".local/share")),
      m_strConfigHome(EnvDir("XDG_CONFIG_HOME", ".config")),
      m_dataDirs(EnvDirs("XDG_DATA_DIRS", "/usr/local/share:/usr/share")),
      m_configDirs(EnvDirs("XDG_CONFIG_DIRS", "/etc/xdg")),
      m_pfnRunTool(AfxSpawnDetached),
      m_type(std::move(type))
{
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    for (const std::string& d : Split(desktop != nullptr ? desktop : "", ':'))
        m_desktops.push_back(Lower(d));
}

std::string CShellRegistration::MimeType() const
{
    std::string sub;
    for (char c : Lower(m_type.regFileTypeId))
        sub += std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' ? c : '-';
    return "application/x-" + sub;
}

std::string CShellRegistration::DesktopEntryText() const
{
    const std::string exe = ExecArgument(m_type.exePath);
    std::string t = "[Desktop Entry]\n"
                    "Type=Application\n"
                    "Version=1.4\n";
    t += "Name=" + KeyValue(m_type.appName) + "\n";
    if (!m_type.genericName.empty())
        t += "GenericName=" + KeyValue(m_type.genericName) + "\n";
    if (!m_type.comment.empty())
        t += "Comment=" + KeyValue(m_type.comment) + "\n";
    t += "Icon=" + m_type.appId + "\n";
    t += "TryExec=" + KeyValue(m_type.exePath) + "\n";
    t += "Exec=" + exe + " %f\n";
    t += "Terminal=false\n"
         "Categories=AudioVideo;Audio;Music;Qt;\n";
    t += "MimeType=" + MimeType() + ";\n";
    if (!m_type.printActionName.empty()) {
        t += "Actions=print;\n"
             "\n"
             "[Desktop Action print]\n";
        t += "Name=" + KeyValue(m_type.printActionName) + "\n";
        t += "Exec=" + exe + " /p %f\n";
    }
    return t;
}

std::string CShellRegistration::ImportEntryText() const
{
    std::string t = "[Desktop Entry]\n"
                    "Type=Application\n"
                    "Version=1.4\n";
    t += "Name=" + KeyValue(m_type.importName) + "\n";
    t += "Icon=" + m_type.appId + "\n";
    t += "TryExec=" + KeyValue(m_type.exePath) + "\n";
    t += "Exec=" + ExecArgument(m_type.exePath) + " --import %f\n";
    t += "NoDisplay=true\n"
         "Terminal=false\n"
         "MimeType=text/plain;\n";
    return t;
}

std::string CShellRegistration::MimePackageText(bool bWithGlob) const
{
    const std::string mime = MimeType();
    std::string iconName = mime;
    std::replace(iconName.begin(), iconName.end(), '/', '-');
    // Without a document icon the type shows the program's own.
    if (m_type.docIcons.empty())
        iconName = m_type.appId;

    std::string t = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    t += "  <mime-type type=\"" + XmlText(mime) + "\">\n";
    t += "    <comment>" + XmlText(m_type.regFileTypeName) + "</comment>\n";
    t += "    <sub-class-of type=\"text/plain\"/>\n";
    t += "    <icon name=\"" + XmlText(iconName) + "\"/>\n";
    // Globs match without regard to case, so "*.tab" also takes "SONG.TAB".
    if (bWithGlob && !m_type.filterExt.empty())
        t += "    <glob pattern=\"*" + XmlText(Lower(m_type.filterExt)) + "\"/>\n";
    t += "  </mime-type>\n"
         "</mime-info>\n";
    return t;
}

std::vector<std::string> CShellRegistration::MimeAppsFiles() const
{
    // The lookup order of the association rules: user config, system config, then the
    // older places under the data directories; desktop-specific lists first in each.
    std::vector<std::string> dirs{m_strConfigHome};
    dirs.insert(dirs.end(), m_configDirs.begin(), m_configDirs.end());
    dirs.push_back(m_strDataHome + "/applications");
    for (const std::string& d : m_dataDirs)
        dirs.push_back(d + "/applications");
    std::vector<std::string> files;
    for (const std::string& dir : dirs) {
        for (const std::string& desktop : m_desktops)
            files.push_back(dir + "/" + desktop + "-mimeapps.list");
        files.push_back(dir + "/mimeapps.list");
    }
    return files;
}

bool CShellRegistration::ExtensionOwnedByOther() const
{
    if (m_type.filterExt.empty())
        return false;
    const std::string ourMime = MimeType();
    const std::string glob = "*" + Lower(m_type.filterExt);

    // Other types whose glob takes the extension, from the compiled glob lists
    // ("weight:type:glob[:flags]").
    std::vector<std::string> rivals;
    std::vector<std::string> mimeDirs{m_strDataHome};
    mimeDirs.insert(mimeDirs.end(), m_dataDirs.begin(), m_dataDirs.end());
    for (const std::string& dir : mimeDirs) {
        // The system list has a thousand lines; only those naming the glob are split.
        const std::string text = Lower(ReadText(dir + "/mime/globs2"));
        for (std::size_t pos = text.find(":" + glob); pos != std::string::npos; pos = text.find(":" + glob, pos + 1)) {
            const std::size_t begin = text.rfind('\n', pos) == std::string::npos ? 0 : text.rfind('\n', pos) + 1;
            const std::size_t end = std::min(text.find('\n', pos), text.size());
            const std::string line = text.substr(begin, end - begin);
            if (line.empty() || line[0] == '#')
                continue;
            std::vector<std::string> f;
            std::istringstream fields(line);
            for (std::string p; std::getline(fields, p, ':');)
                f.push_back(p);
            if (f.size() >= 3 && f[2] == glob && f[1] != ourMime)
                rivals.push_back(f[1]);
        }
    }
    if (rivals.empty())
        return false;

    // A rival type is only an owner when some program opens it.
    std::vector<std::pair<std::string, std::string>> lists;   // file, group
    for (const std::string& f : MimeAppsFiles()) {
        lists.emplace_back(f, "Default Applications");
        lists.emplace_back(f, "Added Associations");
    }
    lists.emplace_back(m_strDataHome + "/applications/mimeinfo.cache", "MIME Cache");
    for (const std::string& d : m_dataDirs)
        lists.emplace_back(d + "/applications/mimeinfo.cache", "MIME Cache");
    for (const auto& [file, group] : lists) {
        const std::string text = ReadText(file);
        if (text.empty())
            continue;
        for (const std::string& rival : rivals)
            for (const std::string& app : GroupValues(text, group, rival))
                if (app != DesktopId())
                    return true;
    }
    return false;
}

CShellRegistration::Ownership CShellRegistration::DefaultOwner() const
{
    // The first list that names a default decides; a user who removed our association
    // does not get it back on the next start.
    for (const std::string& f : MimeAppsFiles()) {
        const std::string text = ReadText(f);
        const std::vector<std::string> removed = GroupValues(text, "Removed Associations", MimeType());
        if (std::find(removed.begin(), removed.end(), DesktopId()) != removed.end())
            return Other;
        std::vector<std::string> apps = GroupValues(text, "Default Applications", MimeType());
        if (!apps.empty())
            return apps.front() == DesktopId() ? Ours : Other;
    }
    return None;
}

bool CShellRegistration::WriteIcons(bool& bChanged) const
{
    std::string docName = MimeType();
    std::replace(docName.begin(), docName.end(), '/', '-');
    const std::string hicolor = m_strDataHome + "/icons/hicolor";
    bChanged = false;
    const std::pair<const std::map<int, std::string>*, std::string> sets[] = {
        {&m_type.appIcons, "/apps/" + m_type.appId + ".png"},
        {&m_type.docIcons, "/mimetypes/" + docName + ".png"},
    };
    for (const auto& [icons, name] : sets) {
        for (const auto& [size, png] : *icons) {
            if (png.empty())
                continue;
            const std::string dim = std::to_string(size);
            bool bWritten = false;
            if (!AfxWriteFileIfChanged(hicolor + "/" + dim + "x" + dim + name, png, bWritten))
                return false;
            bChanged = bChanged || bWritten;
        }
    }
    // Icon caches compare their time with the theme folder's.
    if (bChanged)
        ::utimensat(AT_FDCWD, hicolor.c_str(), nullptr, 0);
    return true;
}

void CShellRegistration::RunTool(const std::string& name, const std::string& dir) const
{
    if (!m_pfnRunTool)
        return;
    const std::string path = AfxFindProgram(name);
    if (!path.empty())
        m_pfnRunTool({path, dir});
}

std::string CShellRegistration::SystemInstallDir() const
{
    std::error_code ec;
    for (const std::string& dir : m_dataDirs) {
        if (!fs::exists(dir + "/mime/packages/" + m_type.appId + ".xml", ec))
            continue;
        // The entry must start this very program: a package of another build, or another
        // program's entry of the same name, leaves the per-user registration to us.
        const std::vector<std::string> exec =
            GroupValues(ReadText(dir + "/applications/" + DesktopId()), "Desktop Entry", "Exec");
        if (exec.empty())
            continue;
        std::string program = exec.front();
        if (!program.empty() && program[0] == '"')
            program = program.substr(1, program.find('"', 1) - 1);
        else
            program = program.substr(0, program.find_first_of(" \t"));
        if (!program.empty() && program[0] != '/')
            program = AfxFindProgram(program);
        if (!program.empty() && fs::equivalent(program, m_type.exePath, ec))
            return dir;
    }
    return {};
}

bool CShellRegistration::Register()
{
    // A path the desktop entry cannot carry would give a broken entry.
    if (m_type.appId.empty() || m_type.exePath.empty() || m_type.exePath[0] != '/' ||
        !ValidUtf8WithoutControls(m_type.exePath))
        return false;

    // Installed by a package, the desktop already has our entry, type and icons; a second
    // copy per user would only shadow the system's and go stale on the next upgrade.
    const bool bSystem = !SystemInstallDir().empty();
    const bool bRival = ExtensionOwnedByOther();
    const std::string mimeDir = m_strDataHome + "/mime";
    const std::string appsDir = m_strDataHome + "/applications";
    bool bMimeChanged = false;
    bool bEntryChanged = false;
    if (!bSystem) {
        bool bIconsChanged = false;
        if (!WriteIcons(bIconsChanged))
            return false;
        if (!AfxWriteFileIfChanged(mimeDir + "/packages/" + m_type.appId + ".xml", MimePackageText(!bRival),
                                   bMimeChanged))
            return false;
        if (!AfxWriteFileIfChanged(appsDir + "/" + DesktopId(), DesktopEntryText(), bEntryChanged))
            return false;
        // Only offered for plain text: no default is ever set for it below.
        bool bImportChanged = false;
        if (!m_type.importName.empty() &&
            !AfxWriteFileIfChanged(appsDir + "/" + ImportDesktopId(), ImportEntryText(), bImportChanged))
            return false;
        bEntryChanged = bEntryChanged || bImportChanged;
    }

    if (!bRival && DefaultOwner() == None) {
        const std::string list = m_strConfigHome + "/mimeapps.list";
        bool bListChanged = false;
        if (!AfxWriteFileIfChanged(list, AfxAddDefaultApplication(ReadText(list), MimeType(), DesktopId()),
                                   bListChanged))
            return false;
    }

    // The caches are rebuilt when our files changed or a cache is missing (a tool that
    // did not finish last time).
    if (bSystem)
        return true;
    std::error_code ec;
    if (bMimeChanged || !fs::exists(mimeDir + "/" + MimeType() + ".xml", ec))
        RunTool("update-mime-database", mimeDir);
    if (bEntryChanged || !fs::exists(appsDir + "/mimeinfo.cache", ec))
        RunTool("update-desktop-database", appsDir);
    return true;
}
