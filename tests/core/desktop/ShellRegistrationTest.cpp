// Desktop registration under temporary XDG directories; the real home is never touched.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "framework/DocTemplate.h"
#include "desktop/ShellRegistration.h"
#include "framework/WinApp.h"
#include "resources/Resource.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;

namespace {

// Runs a program and returns its exit status and output.
int RunCommand(const std::string& command, std::string& out)
{
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return -1;
    char buf[256];
    while (std::fgets(buf, sizeof buf, pipe) != nullptr)
        out += buf;
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const char* const kEnv[] = {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS",
                            "XDG_CURRENT_DESKTOP", "PATH"};

class ShellRegistration : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("fretly-xdg-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root);
        for (const char* name : kEnv)
            if (const char* v = std::getenv(name))
                saved[name] = v;
        ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        ::setenv("XDG_DATA_DIRS", (root / "sys").c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (root / "etc").c_str(), 1);
        ::unsetenv("XDG_CURRENT_DESKTOP");
    }
    void TearDown() override
    {
        for (const char* name : kEnv) {
            if (saved.count(name))
                ::setenv(name, saved[name].c_str(), 1);
            else
                ::unsetenv(name);
        }
        fs::remove_all(root);
    }

    static CShellFileType Type(const std::string& exe = "/opt/fretly/bin/fretly")
    {
        CShellFileType t;
        t.appId = "fretly";
        t.exePath = exe;
        t.appName = "Fretly";
        t.genericName = "Tablature Editor";
        t.comment = "Edit guitar tablature in plain ASCII form";
        t.printActionName = "Print";
        t.filterExt = ".TAB";
        t.regFileTypeId = "Fretly.Document";
        t.regFileTypeName = "Fretly Document";
        t.appIcons = {{16, "app16"}, {32, "app32"}};
        t.docIcons = {{16, "doc16"}, {32, "doc32"}};
        return t;
    }

    // Registers with a stand-in for the cache tools that only leaves what they would make.
    bool Register(const CShellFileType& type = Type())
    {
        CShellRegistration reg(type);
        reg.m_pfnRunTool = [this](const std::vector<std::string>& argv) {
            tools.push_back(fs::path(argv[0]).filename().string());
            if (tools.back() == "update-mime-database")
                WriteFileBytes(fs::path(argv[1]) / "application/x-fretly-document.xml", "");
            else
                WriteFileBytes(fs::path(argv[1]) / "mimeinfo.cache", "");
        };
        return reg.Register();
    }

    fs::path Data(const std::string& rel) const { return root / "data" / rel; }
    fs::path MimeApps() const { return root / "config/mimeapps.list"; }

    fs::path root;
    std::map<std::string, std::string> saved;
    std::vector<std::string> tools;
};

const char* const kDesktopEntry = "[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Version=1.4\n"
                                  "Name=Fretly\n"
                                  "GenericName=Tablature Editor\n"
                                  "Comment=Edit guitar tablature in plain ASCII form\n"
                                  "Icon=fretly\n"
                                  "TryExec=/opt/fretly/bin/fretly\n"
                                  "Exec=/opt/fretly/bin/fretly %f\n"
                                  "Terminal=false\n"
                                  "Categories=AudioVideo;Audio;Music;Qt;\n"
                                  "MimeType=application/x-fretly-document;\n"
                                  "Actions=print;\n"
                                  "\n"
                                  "[Desktop Action print]\n"
                                  "Name=Print\n"
                                  "Exec=/opt/fretly/bin/fretly /p %f\n";

const char* const kPackageHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                                 "  <mime-type type=\"application/x-fretly-document\">\n"
                                 "    <comment>Fretly Document</comment>\n"
                                 "    <sub-class-of type=\"text/plain\"/>\n"
                                 "    <icon name=\"application-x-fretly-document\"/>\n";
const char* const kGlob = "    <glob pattern=\"*.tab\"/>\n";
const char* const kPackageTail = "  </mime-type>\n"
                                 "</mime-info>\n";

} // namespace

TEST_F(ShellRegistration, OnAnEmptySystemWritesEntryPackageIconsAndTheAssociation)
{
    ASSERT_TRUE(Register());
    EXPECT_EQ(ReadFileBytes(Data("applications/fretly.desktop")), kDesktopEntry);
    EXPECT_EQ(ReadFileBytes(Data("mime/packages/fretly.xml")), std::string(kPackageHead) + kGlob + kPackageTail);
    EXPECT_EQ(ReadFileBytes(Data("icons/hicolor/16x16/apps/fretly.png")), "app16");
    EXPECT_EQ(ReadFileBytes(Data("icons/hicolor/32x32/apps/fretly.png")), "app32");
    EXPECT_EQ(ReadFileBytes(Data("icons/hicolor/16x16/mimetypes/application-x-fretly-document.png")), "doc16");
    EXPECT_EQ(ReadFileBytes(Data("icons/hicolor/32x32/mimetypes/application-x-fretly-document.png")), "doc32");
    EXPECT_EQ(ReadFileBytes(MimeApps()), "[Default Applications]\napplication/x-fretly-document=fretly.desktop;\n");
    EXPECT_EQ(fs::status(Data("applications/fretly.desktop")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    if (!AfxFindProgram("update-mime-database").empty() && !AfxFindProgram("update-desktop-database").empty()) {
        EXPECT_EQ(tools, (std::vector<std::string>{"update-mime-database", "update-desktop-database"}));
    }
}

TEST_F(ShellRegistration, ASecondStartChangesNothingAndRerunsOnlyAMissingCache)
{
    ASSERT_TRUE(Register());
    std::map<fs::path, ino_t> inodes;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        struct stat st {};
        ::stat(e.path().c_str(), &st);
        inodes[e.path()] = st.st_ino;
    }
    tools.clear();
    ASSERT_TRUE(Register());
    EXPECT_TRUE(tools.empty());
    std::size_t count = 0;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        struct stat st {};
        ::stat(e.path().c_str(), &st);
        EXPECT_EQ(inodes[e.path()], st.st_ino) << e.path() << " was rewritten or is new";
        ++count;
    }
    EXPECT_EQ(count, inodes.size());

    if (AfxFindProgram("update-desktop-database").empty())
        GTEST_SKIP() << "update-desktop-database is not installed";
    fs::remove(Data("applications/mimeinfo.cache"));
    ASSERT_TRUE(Register());
    EXPECT_EQ(tools, std::vector<std::string>{"update-desktop-database"});
}

TEST_F(ShellRegistration, DesktopEntriesPassTheValidator)
{
    if (AfxFindProgram("desktop-file-validate").empty())
        GTEST_SKIP() << "desktop-file-validate is not installed (package desktop-file-utils)";
    // A plain path, and one that needs quoting and escaping in Exec.
    for (const std::string exe : {"/opt/fretly/bin/fretly", "/home/a b/50% $off/it's \"x\"\\y/fretly"}) {
        CShellRegistration reg(Type(exe));
        const fs::path file = root / "check" / "fretly.desktop";
        WriteFileBytes(file, reg.DesktopEntryText());
        std::string out;
        EXPECT_EQ(RunCommand("desktop-file-validate '" + file.string() + "'", out), 0) << exe << "\n" << out;
        EXPECT_EQ(out, "") << exe;
    }
    EXPECT_NE(CShellRegistration(Type("/home/a b/50%/fretly")).DesktopEntryText().find(
                  "Exec=\"/home/a b/50%%/fretly\" %f\n"),
              std::string::npos);
    EXPECT_NE(CShellRegistration(Type("/x/a\\b/fretly")).DesktopEntryText().find("Exec=\"/x/a\\\\\\\\b/fretly\" %f"),
              std::string::npos);
}

TEST_F(ShellRegistration, ThePackageCompilesToAGlobForTheExtension)
{
    const std::string tool = AfxFindProgram("update-mime-database");
    if (tool.empty())
        GTEST_SKIP() << "update-mime-database is not installed (package shared-mime-info)";
    ASSERT_TRUE(Register());
    std::string out;
    ASSERT_EQ(RunCommand(tool + " '" + Data("mime").string() + "'", out), 0) << out;
    EXPECT_NE(ReadFileBytes(Data("mime/globs2")).find(":application/x-fretly-document:*.tab"), std::string::npos);
    EXPECT_NE(ReadFileBytes(Data("mime/application/x-fretly-document.xml")).find("Fretly Document"), std::string::npos);
    EXPECT_NE(ReadFileBytes(Data("mime/icons")).find("application/x-fretly-document:application-x-fretly-document"),
              std::string::npos);
}

TEST_F(ShellRegistration, AnAssociationAlreadyOursIsLeftAsItIs)
{
    const std::string list = "# kept\n[Added Associations]\ntext/plain=vim.desktop;\n\n"
                             "[Default Applications]\napplication/x-fretly-document=fretly.desktop;\n";
    WriteFileBytes(MimeApps(), list);
    ASSERT_TRUE(Register());
    EXPECT_EQ(ReadFileBytes(MimeApps()), list);

    // Ours through the system list: no user list is made.
    fs::remove(MimeApps());
    WriteFileBytes(root / "etc/mimeapps.list", "[Default Applications]\napplication/x-fretly-document=fretly.desktop;\n");
    ASSERT_TRUE(Register());
    EXPECT_FALSE(fs::exists(MimeApps()));
}

TEST_F(ShellRegistration, AnotherProgramsAssociationIsNeverTakenOver)
{
    // The user gave Fretly documents to another program.
    const std::string list = "[Default Applications]\napplication/x-fretly-document=gedit.desktop;\n";
    WriteFileBytes(MimeApps(), list);
    ASSERT_TRUE(Register());
    EXPECT_EQ(ReadFileBytes(MimeApps()), list);
    EXPECT_NE(ReadFileBytes(Data("mime/packages/fretly.xml")).find(kGlob), std::string::npos);

    // The user removed Fretly from its own type.
    const std::string removed = "[Removed Associations]\napplication/x-fretly-document=fretly.desktop;\n";
    WriteFileBytes(MimeApps(), removed);
    ASSERT_TRUE(Register());
    EXPECT_EQ(ReadFileBytes(MimeApps()), removed);
    fs::remove(MimeApps());

    // Another type claims *.TAB and a program opens it: no association, and no glob
    // that would tie with theirs.
    WriteFileBytes(root / "sys/mime/globs2", "# comment\n50:text/x-tabulated:*.TAB\n50:text/plain:*.txt\n");
    WriteFileBytes(root / "sys/applications/mimeinfo.cache", "[MIME Cache]\ntext/x-tabulated=tabview.desktop;\n");
    ASSERT_TRUE(Register());
    EXPECT_FALSE(fs::exists(MimeApps()));
    EXPECT_EQ(ReadFileBytes(Data("mime/packages/fretly.xml")), std::string(kPackageHead) + kPackageTail);

    // The same through a desktop-specific user list.
    fs::remove(root / "sys/applications/mimeinfo.cache");
    ::setenv("XDG_CURRENT_DESKTOP", "X-Cinnamon:GNOME", 1);
    WriteFileBytes(root / "config/gnome-mimeapps.list", "[Added Associations]\ntext/x-tabulated=tabview.desktop;\n");
    ASSERT_TRUE(Register());
    EXPECT_FALSE(fs::exists(MimeApps()));

    // A rival type that nothing opens does not own the extension.
    fs::remove(root / "config/gnome-mimeapps.list");
    ASSERT_TRUE(Register());
    EXPECT_EQ(ReadFileBytes(MimeApps()), "[Default Applications]\napplication/x-fretly-document=fretly.desktop;\n");
    EXPECT_NE(ReadFileBytes(Data("mime/packages/fretly.xml")).find(kGlob), std::string::npos);
}

TEST(MimeAppsList, TheDefaultJoinsItsGroupAndEverythingElseStays)
{
    const std::string mime = "application/x-fretly-document";
    EXPECT_EQ(AfxAddDefaultApplication("", mime, "fretly.desktop"),
              "[Default Applications]\napplication/x-fretly-document=fretly.desktop;\n");
    EXPECT_EQ(AfxAddDefaultApplication("[Added Associations]\na/b=x.desktop;", mime, "fretly.desktop"),
              "[Added Associations]\na/b=x.desktop;\n\n"
              "[Default Applications]\napplication/x-fretly-document=fretly.desktop;\n");
    EXPECT_EQ(AfxAddDefaultApplication("#c\n[Default Applications]\na/b=x.desktop;\n\n[Added Associations]\n"
                                       "c/d=y.desktop;\n",
                                       mime, "fretly.desktop"),
              "#c\n[Default Applications]\na/b=x.desktop;\napplication/x-fretly-document=fretly.desktop;\n\n"
              "[Added Associations]\nc/d=y.desktop;\n");
    EXPECT_EQ(AfxAddDefaultApplication("[Default Applications]\n", mime, "fretly.desktop"),
              "[Default Applications]\napplication/x-fretly-document=fretly.desktop;\n");
}

TEST_F(ShellRegistration, AFileThatCannotBeWrittenEndsTheRegistrationQuietly)
{
    // The data directory is a plain file: nothing under it can be made.
    WriteFileBytes(root / "data", "not a directory");
    EXPECT_FALSE(Register());
    EXPECT_FALSE(fs::exists(MimeApps()));
    EXPECT_TRUE(tools.empty());

    // A path the desktop entry cannot carry writes nothing at all.
    fs::remove(root / "data");
    EXPECT_FALSE(Register(Type("/opt/fret\nly")));
    EXPECT_FALSE(Register(Type("relative/fretly")));
    EXPECT_FALSE(fs::exists(root / "data"));
}

TEST_F(ShellRegistration, ASymlinkedListIsWrittenThroughItsLink)
{
    WriteFileBytes(root / "dotfiles/mimeapps.list", "[Added Associations]\n");
    fs::create_directories(root / "config");
    fs::create_symlink(root / "dotfiles/mimeapps.list", MimeApps());
    ASSERT_TRUE(Register());
    EXPECT_TRUE(fs::is_symlink(MimeApps()));
    EXPECT_NE(ReadFileBytes(root / "dotfiles/mimeapps.list").find("fretly.desktop"), std::string::npos);
}

TEST(SpawnDetached, RunsTheProgramWithoutWaitingForIt)
{
    const std::string touch = AfxFindProgram("touch");
    ASSERT_FALSE(touch.empty());
    const fs::path mark = fs::temp_directory_path() / ("fretly-spawn-" + std::to_string(::getpid()));
    fs::remove(mark);
    AfxSpawnDetached({touch, mark.string()});
    for (int i = 0; i < 500 && !fs::exists(mark); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(fs::exists(mark)) << "the detached touch made no " << mark << " within 5 s";
    fs::remove(mark);
    EXPECT_TRUE(AfxFindProgram("no-such-program-fretly").empty());
}

TEST_F(ShellRegistration, TheApplicationRegistersItsTemplatesType)
{
    ::setenv("PATH", (root / "nobin").c_str(), 1);   // no cache tools from this test
    ScriptedUserInterface ui;
    CWinApp app;
    app.AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME));
    app.RegisterShellFileTypes(false);
    const std::string entry = ReadFileBytes(Data("applications/fretly.desktop"));
    const std::string exe = fs::read_symlink("/proc/self/exe").string();
    EXPECT_NE(entry.find("\nExec=" + exe + " %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nMimeType=application/x-fretly-document;\n"), std::string::npos);
    EXPECT_EQ(entry.find("Actions="), std::string::npos);   // print only in the full form

    // No icon images from this interface: the type shows the program's icon.
    app.RegisterShellFileTypes(true);
    EXPECT_NE(ReadFileBytes(Data("applications/fretly.desktop")).find("\nExec=" + exe + " /p %f\n"), std::string::npos);
    EXPECT_NE(ReadFileBytes(Data("mime/packages/fretly.xml")).find("<icon name=\"fretly\"/>"), std::string::npos);
    EXPECT_FALSE(fs::exists(Data("icons")));
    EXPECT_EQ(ReadFileBytes(MimeApps()), "[Default Applications]\napplication/x-fretly-document=fretly.desktop;\n");
}

TEST_F(ShellRegistration, APackagedInstallIsNotCopiedIntoTheUsersHome)
{
    // The program as a package installs it: /usr/bin/fretly with its files under /usr/share.
    const fs::path exe = root / "usr/bin/fretly";
    WriteFileBytes(exe, "#!/bin/sh\n");
    fs::permissions(exe, fs::perms(0755));
    WriteFileBytes(root / "other/fretly", "#!/bin/sh\n");
    fs::permissions(root / "other/fretly", fs::perms(0755));
    ::setenv("PATH", (root / "usr/bin").c_str(), 1);

    struct Case {
        const char* what;
        std::string exec;   // the system entry's Exec line; empty: no entry
        bool bPackage;      // the system MIME package is there
        bool bSystem;       // expected: counted as installed system-wide
    } const cases[] = {
        {"entry by name on PATH", "Exec=fretly %f", true, true},
        {"entry by absolute path", "Exec=" + exe.string() + " %f", true, true},
        {"entry by quoted path", "Exec=\"" + exe.string() + "\" %f", true, true},
        {"entry of another build", "Exec=" + (root / "other/fretly").string() + " %f", true, false},
        {"entry naming a missing program", "Exec=nosuchfretly %f", true, false},
        {"entry without the MIME package", "Exec=fretly %f", false, false},
        {"MIME package without an entry", "", true, false},
    };
    for (const Case& c : cases) {
        fs::remove_all(root / "data");
        fs::remove_all(root / "config");
        fs::remove_all(root / "sys");
        if (!c.exec.empty())
            WriteFileBytes(root / "sys/applications/fretly.desktop", "[Desktop Entry]\nType=Application\n" + c.exec + "\n");
        if (c.bPackage)
            WriteFileBytes(root / "sys/mime/packages/fretly.xml", std::string(kPackageHead) + kGlob + kPackageTail);
        tools.clear();
        ASSERT_TRUE(Register(Type(exe.string()))) << c.what;
        EXPECT_EQ(CShellRegistration(Type(exe.string())).SystemInstallDir().empty(), !c.bSystem) << c.what;
        EXPECT_EQ(fs::exists(Data("applications/fretly.desktop")), !c.bSystem) << c.what;
        EXPECT_EQ(fs::exists(Data("mime/packages/fretly.xml")), !c.bSystem) << c.what;
        EXPECT_EQ(fs::exists(Data("icons")), !c.bSystem) << c.what;
        if (c.bSystem) {
            EXPECT_TRUE(tools.empty()) << c.what;
        }
        // Nobody else handles the type, so it is still made ours.
        EXPECT_EQ(ReadFileBytes(MimeApps()), "[Default Applications]\napplication/x-fretly-document=fretly.desktop;\n")
            << c.what;
    }

    // Installed system-wide, another program's association is still left alone.
    fs::remove_all(root / "data");
    fs::remove_all(root / "config");
    WriteFileBytes(root / "sys/applications/fretly.desktop", "[Desktop Entry]\nExec=fretly %f\n");
    WriteFileBytes(root / "etc/mimeapps.list", "[Default Applications]\napplication/x-fretly-document=gedit.desktop;\n");
    ASSERT_TRUE(Register(Type(exe.string())));
    EXPECT_FALSE(fs::exists(MimeApps()));
    EXPECT_FALSE(fs::exists(Data("applications/fretly.desktop")));
}

TEST_F(ShellRegistration, TheInstalledFilesSayWhatTheProgramRegisters)
{
    // The package's desktop entry is written by hand; it must not drift from the one the
    // program writes for a user, apart from naming the program through PATH.
    ::setenv("PATH", (root / "nobin").c_str(), 1);
    ScriptedUserInterface ui;
    CWinApp app;
    app.AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME));
    app.RegisterShellFileTypes(true);
    const std::string exe = fs::read_symlink("/proc/self/exe").string();
    std::string expected = ReadFileBytes(Data("applications/fretly.desktop"));
    for (std::size_t pos; (pos = expected.find(exe)) != std::string::npos;)
        expected.replace(pos, exe.size(), "fretly");
    const fs::path source = FRETLY_SOURCE_DIR "/resources/desktop";
    std::string installed = ReadFileBytes(source / "fretly.desktop");
    ASSERT_FALSE(installed.empty());
    // Search words are only in the installed entry.
    const std::size_t keywords = installed.find("Keywords=");
    ASSERT_NE(keywords, std::string::npos);
    installed.erase(keywords, installed.find('\n', keywords) + 1 - keywords);
    EXPECT_EQ(installed, expected);

    EXPECT_EQ(ReadFileBytes(source / "fretly.xml"), CShellRegistration(Type()).MimePackageText(true));
}

TEST_F(ShellRegistration, TheImportEntryIsOfferedForPlainTextButNeverItsDefault)
{
    ::setenv("PATH", (root / "nobin").c_str(), 1);
    ScriptedUserInterface ui;
    CWinApp app;
    app.AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME));
    app.RegisterShellFileTypes(true);
    std::string written = ReadFileBytes(Data("applications/fretly-import.desktop"));
    const std::string exe = fs::read_symlink("/proc/self/exe").string();
    for (std::size_t pos; (pos = written.find(exe)) != std::string::npos;)
        written.replace(pos, exe.size(), "fretly");
    EXPECT_EQ(ReadFileBytes(fs::path(FRETLY_SOURCE_DIR "/resources/desktop") / "fretly-import.desktop"), written);
    EXPECT_NE(written.find("Exec=fretly --import %f\n"), std::string::npos);
    EXPECT_NE(written.find("NoDisplay=true\n"), std::string::npos);
    // Only the document type becomes ours, even where nobody handles plain text.
    EXPECT_EQ(ReadFileBytes(MimeApps()), "[Default Applications]\napplication/x-fretly-document=fretly.desktop;\n");
}
