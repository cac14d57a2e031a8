// The application shell's toolkit-free parts: command line, profile file, recent files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "framework/CommandLineInfo.h"
#include "framework/Profile.h"
#include "framework/RecentFileList.h"
#include "framework/StartDisplay.h"
#include "framework/WinApp.h"
#include "resources/MenuTables.h"
#include "resources/Resource.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;

namespace {

CCommandLineInfo Parse(std::vector<std::string> args)
{
    CCommandLineInfo info;
    AfxParseCommandLine(args, info);
    return info;
}

using TempDir = CScratchDir;

} // namespace

TEST(CommandLine, FormsOfTheCommandLine)
{
    EXPECT_EQ(Parse({}).m_nShellCommand, CCommandLineInfo::FileNew);

    CCommandLineInfo open = Parse({"song.tab"});
    EXPECT_EQ(open.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(open.m_strFileName, "song.tab");

    CCommandLineInfo print = Parse({"/p", "song.tab"});
    EXPECT_EQ(print.m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_EQ(print.m_strFileName, "song.tab");

    CCommandLineInfo printTo = Parse({"/pt", "song.tab", "Laser", "drv", "lpt1", "extra"});
    EXPECT_EQ(printTo.m_nShellCommand, CCommandLineInfo::FilePrintTo);
    EXPECT_EQ(printTo.m_strPrinterName, "Laser");
    EXPECT_EQ(printTo.m_strDriverName, "drv");
    EXPECT_EQ(printTo.m_strPortName, "lpt1");

    EXPECT_EQ(Parse({"/dde"}).m_nShellCommand, CCommandLineInfo::FileDDE);
    EXPECT_EQ(Parse({"-dde"}).m_nShellCommand, CCommandLineInfo::FileDDE);
}

TEST(CommandLine, SwitchesAreCaseSensitiveAndUnknownOnesIgnored)
{
    EXPECT_EQ(Parse({"-P", "a.tab"}).m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(Parse({"-DDE"}).m_nShellCommand, CCommandLineInfo::FileNew);
    CCommandLineInfo emb = Parse({"-Embedding"});
    EXPECT_TRUE(emb.m_bRunEmbedded);
    EXPECT_EQ(emb.m_nShellCommand, CCommandLineInfo::FileNew);
    EXPECT_TRUE(Parse({"/Automation", "x.tab"}).m_bRunAutomated);
    // Only the first parameter is the file; later ones are ignored without /pt.
    EXPECT_EQ(Parse({"a.tab", "b.tab"}).m_strFileName, "a.tab");
}

TEST(CommandLine, AbsolutePathsAreFilesNotSwitches)
{
    CCommandLineInfo abs = Parse({"/home/me/song.tab"});
    EXPECT_EQ(abs.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(abs.m_strFileName, "/home/me/song.tab");
    CCommandLineInfo pAbs = Parse({"/p", "/tmp/x.tab"});
    EXPECT_EQ(pAbs.m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_EQ(pAbs.m_strFileName, "/tmp/x.tab");
    // A file at the root directory that exists is a file too.
    EXPECT_EQ(Parse({"/tmp"}).m_strFileName, "/tmp");
}

TEST(CommandLine, SlashArgumentsThatAreNoKnownSwitchAreFiles)
{
    // A file directly under the root folder, missing or not, is opened (and so reported
    // as not found), never dropped as an unknown switch.
    for (const char* arg : {"/missing.tab", "/P", "/DDE", "/pt.tab", "/embedding"}) {
        CCommandLineInfo info = Parse({arg});
        EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen) << arg;
        EXPECT_EQ(info.m_strFileName, arg);
    }
    CCommandLineInfo print = Parse({"/p", "/song.tab"});
    EXPECT_EQ(print.m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_EQ(print.m_strFileName, "/song.tab");
    EXPECT_TRUE(Parse({"/Embedding"}).m_bRunEmbedded);
}

TEST(Profile, PathFollowsXdgConfigHome)
{
    const char* old = std::getenv("XDG_CONFIG_HOME");
    std::string saved = old ? old : "";
    const char* oldHome = std::getenv("HOME");
    std::string savedHome = oldHome ? oldHome : "";
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(CProfile::DefaultPath("fretly"), "/cfg/fretly.INI");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);   // not absolute: ignored
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(CProfile::DefaultPath("fretly"), "/home/u/.config/fretly.INI");
    ::setenv("HOME", savedHome.c_str(), 1);
    if (old)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

TEST(Profile, WritesSectionsAndKeysAndKeepsForeignEntries)
{
    TempDir dir;
    const std::string path = (dir.path / "sub" / "fretly.INI").string();
    {
        std::ofstream(dir.path / "x") << "";
    }
    CProfile p(path);
    p.FromText("; comment\r\n[Other]\r\nKeep=me\r\n[Recent File List]\r\nFile1=/old.tab\r\n");
    EXPECT_EQ(p.GetString("recent file list", "file1"), "/old.tab");
    p.RemoveSection("Recent File List");
    p.WriteString("Recent File List", "File1", "/a b/c.tab");
    p.WriteInt("Settings", "PreviewPages", 2);
    ASSERT_TRUE(p.Save());
    EXPECT_EQ(ReadFileBytes(path), "[Other]\nKeep=me\n\n[Recent File List]\nFile1=/a b/c.tab\n\n[Settings]\nPreviewPages=2\n");
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path / "sub"), fs::directory_iterator{}), 1);

    CProfile back(path);
    back.Load();
    EXPECT_EQ(back.GetInt("Settings", "PreviewPages", 0), 2);
    EXPECT_EQ(back.GetInt("Settings", "Missing", 7), 7);
}

TEST(Profile, SaveIntoAnUnwritablePlaceFails)
{
    CProfile p("/proc/fretly-none/fretly.INI");
    p.WriteString("S", "K", "V");
    EXPECT_FALSE(p.Save());
}

TEST(Profile, LookupsStayRightAsSectionsAndKeysComeAndGo)
{
    // Repeated sections merge, whatever their case; of repeated keys the first counts.
    CProfile p;
    p.FromText("[A]\nk1=1\nK1=ignored\n[b]\nx=2\n[a]\nk2=3\n k1 = again\n[B]\ny=4\n");
    EXPECT_EQ(p.ToText(), "[A]\nk1=1\nk2=3\n\n[b]\nx=2\ny=4\n");
    p.RemoveSection("A");
    EXPECT_EQ(p.GetString("a", "k1", "gone"), "gone");
    EXPECT_EQ(p.GetString("B", "Y"), "4");
    p.RemoveKey("b", "X");
    EXPECT_EQ(p.GetString("b", "x", "gone"), "gone");
    EXPECT_EQ(p.GetString("b", "y"), "4");
    EXPECT_TRUE(p.WriteString("b", "Y", "5"));
    EXPECT_TRUE(p.WriteString("a", "k1", "6"));
    EXPECT_EQ(p.ToText(), "[b]\ny=5\n\n[a]\nk1=6\n");
}

TEST(Profile, AReadOnlyProfileIsLeftAloneAtExit)
{
    TempDir dir;
    const fs::path path = dir.path / "fretly.INI";
    const std::string before = "; mine, do not touch\n[Recent File List]\nFile1=/kept.tab\n";
    for (bool bReadOnly : {true, false}) {
        WriteFileBytes(path, before);
        fs::permissions(path, fs::perms(bReadOnly ? 0444 : 0644));
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        CWinApp app;
        app.m_strProfilePath = path.string();
        app.LoadStdProfileSettings(4);
        app.AddToRecentFileList("/new.tab");
        app.m_nNumPreviewPages = 2;
        app.ExitInstance();
        struct stat after {};
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        if (bReadOnly) {
            // Not rewritten, not replaced (root could do either), and still read-only.
            EXPECT_EQ(ReadFileBytes(path), before);
            EXPECT_EQ(after.st_ino, st.st_ino);
            EXPECT_EQ(after.st_mode & 0777, 0444U);
        } else {
            EXPECT_EQ(ReadFileBytes(path),
                      "[Recent File List]\nFile1=/new.tab\nFile2=/kept.tab\n\n[Settings]\nPreviewPages=2\n");
        }
        fs::remove(path);
    }
}

TEST(RecentFileList, NamesWithControlBytesNeverReachTheProfile)
{
    const std::string hostile[] = {"/t/x\n[Settings]\nPreviewPages=7", "/t/a\rb.tab", "/t/tab\there.tab",
                                   "/t/esc\x1b[31m.tab", "/t/nul" + std::string(1, '\0') + ".tab", "/t/del\x7f.tab"};
    for (const std::string& name : hostile) {
        CRecentFileList list("Recent File List", "File%d", 4);
        list.Add("/t/ok.tab");
        list.Add(name);
        ASSERT_EQ(list.GetCount(), 1) << name;
        EXPECT_EQ(list[0], "/t/ok.tab");
        CProfile p;
        p.FromText("[Settings]\nPreviewPages=1\n");
        list.WriteList(p);
        EXPECT_EQ(p.ToText(), "[Settings]\nPreviewPages=1\n\n[Recent File List]\nFile1=/t/ok.tab\n") << name;
    }
    // Nor does the profile write a line break of any caller's.
    CProfile p;
    EXPECT_FALSE(p.WriteString("Recent File List", "File1", "/x\n[Settings]\nPreviewPages=7"));
    EXPECT_FALSE(p.WriteString("S\r\n[T]", "K", "V"));
    EXPECT_EQ(p.ToText(), "");
    // A hand-edited profile's entries with control bytes are not listed either.
    p.FromText("[Recent File List]\nFile1=/t/esc\x1b.tab\nFile2=/t/a\rb.tab\nFile3=/t/ok.tab\n");
    CRecentFileList back("Recent File List", "File%d", 4);
    back.ReadList(p);
    ASSERT_EQ(back.GetCount(), 1);
    EXPECT_EQ(back[0], "/t/ok.tab");
}

TEST(StartDisplay, PrintingRunsOffscreenWhereThereIsNoDisplay)
{
    const struct {
        CDisplayEnvironment env;
        std::vector<std::string> args;
        CStartDisplay expected;
    } cases[] = {
        {{"", ":0", ""}, {"song.tab"}, CStartDisplay::Display},
        {{"", "", "wayland-0"}, {}, CStartDisplay::Display},
        {{"offscreen", "", ""}, {"song.tab"}, CStartDisplay::Display},
        {{"", "", ""}, {"-platform", "vnc"}, CStartDisplay::Display},
        {{"", "", ""}, {"/p", "song.tab"}, CStartDisplay::Offscreen},
        {{"", "", ""}, {"/pt", "song.tab", "out.pdf"}, CStartDisplay::Offscreen},
        {{"", "", ""}, {"/p"}, CStartDisplay::Offscreen},   // says "no file" rather than "no display"
        {{"", "", ""}, {}, CStartDisplay::None},
        {{"", "", ""}, {"song.tab"}, CStartDisplay::None},
        {{"", "", ""}, {"/pt.tab"}, CStartDisplay::None},
    };
    for (const auto& c : cases) {
        std::string where = c.env.qpaPlatform + "|" + c.env.display + "|" + c.env.waylandDisplay;
        for (const std::string& a : c.args)
            where += " " + a;
        EXPECT_EQ(AfxChooseStartDisplay(c.env, c.args), c.expected) << where;
    }
}

TEST(RecentFileList, MostRecentFirstNoDuplicatesFourEntries)
{
    CRecentFileList list("Recent File List", "File%d", 4);
    for (const char* f : {"/t/1.tab", "/t/2.tab", "/t/3.tab", "/t/4.tab"})
        list.Add(f);
    list.Add("/t/2.tab");   // again: moves to the top, no copy
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list[0], "/t/2.tab");
    EXPECT_EQ(list[1], "/t/4.tab");
    EXPECT_EQ(list[3], "/t/1.tab");
    list.Add("/t/5.tab");   // the fifth file pushes out the oldest
    EXPECT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list[0], "/t/5.tab");
    EXPECT_EQ(list[3], "/t/3.tab");
    list.Remove(0);
    EXPECT_EQ(list[0], "/t/2.tab");
    EXPECT_EQ(list.GetCount(), 3);
}

TEST(RecentFileList, RoundTripsThroughTheProfileBytes)
{
    CRecentFileList list("Recent File List", "File%d", 4);
    list.Add("/music/b.tab");
    list.Add("/music/a.tab");
    CProfile p;
    p.FromText("[Recent File List]\nFile1=/x.tab\nFile2=/y.tab\nFile3=/z.tab\n");
    list.WriteList(p);   // entries that left the list leave the file
    EXPECT_EQ(p.ToText(), "[Recent File List]\nFile1=/music/a.tab\nFile2=/music/b.tab\n");
    CRecentFileList back("Recent File List", "File%d", 4);
    back.ReadList(p);
    ASSERT_EQ(back.GetCount(), 2);
    EXPECT_EQ(back[1], "/music/b.tab");
}

TEST(RecentFileList, MenuTextIsAbbreviatedToThirtyCharacters)
{
    EXPECT_EQ(AfxAbbreviateName("/home/a/b.tab", 30), "/home/a/b.tab");
    const std::string longPath = "/home/guitarist/music/tablature/blues/song.tab";
    std::string shortName = AfxAbbreviateName(longPath, 30);
    EXPECT_LE(shortName.size(), 30U);
    EXPECT_EQ(shortName, "/home/.../blues/song.tab");
    // A first folder too long to keep gives way to the trailing folders.
    EXPECT_EQ(AfxAbbreviateName("/averyveryverylongfolder/x/y/z.tab", 20), "/.../x/y/z.tab");
    // The file name always survives, even when alone it is too long.
    EXPECT_EQ(AfxAbbreviateName("/a/" + std::string(40, 'n') + ".tab", 30), std::string(40, 'n') + ".tab");

    CRecentFileList list("Recent File List", "File%d", 4);
    list.Add("/tmp/R&B.tab");
    list.Add(longPath);
    EXPECT_EQ(list.GetMenuText(0, "/"), "&1 /home/.../blues/song.tab");
    EXPECT_EQ(list.GetMenuText(1, "/"), "&2 /tmp/R&&B.tab");
    // A file in the current folder shows its name alone.
    EXPECT_EQ(list.GetMenuText(1, "/tmp"), "&2 R&&B.tab");
}

TEST(ResourceTables, MenuToolbarAcceleratorsAndIndicators)
{
    const auto& menu = AfxMainMenu();
    ASSERT_EQ(menu.size(), 3U);
    EXPECT_EQ(menu[0].text, "&File");
    EXPECT_EQ(menu[0].items.size(), 14U);
    EXPECT_EQ(menu[0].items[11].nID, static_cast<UINT>(ID_FILE_MRU_FILE1));
    EXPECT_EQ(menu[0].items[11].nFlags, MF_GRAYED);
    EXPECT_EQ(menu[2].items[1].text, "&About fretly...");

    int buttons = 0;
    for (UINT id : AfxToolbarButtons())
        buttons += id != ID_SEPARATOR;
    EXPECT_EQ(buttons, TOOLBAR_IMAGE_COUNT);
    EXPECT_EQ(AfxToolbarButtons().size(), 16U);

    const auto& accel = AfxAcceleratorTable(IDR_MAINFRAME);
    ASSERT_EQ(accel.size(), 17U);
    std::vector<std::string> names;
    for (const AccelDef& a : accel)
        names.push_back(AfxAccelKeyName(a));
    EXPECT_EQ(names, (std::vector<std::string>{"Ctrl+A", "Ctrl+C", "Ctrl+D", "Ctrl+I", "Ctrl+N", "Ctrl+O", "Ctrl+P",
                                               "Ctrl+S", "Ctrl+V", "Alt+Backspace", "Shift+Del", "F6", "Shift+F6",
                                               "Ctrl+Ins", "Shift+Ins", "Ctrl+X", "Ctrl+Z"}));
    EXPECT_EQ(AfxAcceleratorTable(IDR_PREVIEW_ACCEL).size(), 3U);

    EXPECT_EQ(AfxCommandPrompt(ID_FILE_NEW), "Create a new document");
    EXPECT_EQ(AfxCommandToolTip(ID_FILE_NEW), "New");
    EXPECT_EQ(AfxCommandToolTip(ID_HELP_TABHINTS), "");
    EXPECT_EQ(AfxStatusIndicators().size(), 4U);
}
