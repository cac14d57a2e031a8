// The command line taken apart once: toolkit options, long options, the application's part.
#include <gtest/gtest.h>

#include "framework/CommandLine.h"
#include "framework/StartDisplay.h"
#include "framework/WinApp.h"

namespace {

using Args = std::vector<std::string>;

// Options of the shapes the program's commands take: one or two values, exactly two, one.
const std::vector<CLongOptionForm> kForms = {
    {"version", 0, 0}, {"import", 1, 2}, {"export", 2, 2}, {"to", 1, 1}, {"tempo", 1, 1},
};

CCommandLine Parse(const Args& args) { return CCommandLine::Parse(args, kForms); }

} // namespace

TEST(CommandLineOnce, TheToolkitsOptionsAndTheirValuesAreNeverTheFile)
{
    const CCommandLine line = Parse({"-platform", "offscreen", "--style", "fusion", "-style=plastique", "song.tab"});
    EXPECT_EQ(line.m_info.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(line.m_info.m_strFileName, "song.tab");
    EXPECT_EQ(line.m_appArgs, Args{"song.tab"});
    EXPECT_EQ(line.m_toolkitArgs, (Args{"-platform", "offscreen", "--style", "fusion", "-style=plastique"}));
    EXPECT_TRUE(line.NamesDisplay());
    EXPECT_FALSE(Parse({"-style", "fusion"}).NamesDisplay());
    EXPECT_TRUE(Parse({"-display", ":1"}).NamesDisplay());

    // The same with printing: the display check and the read-ahead see the same file.
    const CCommandLine print = Parse({"/pt", "song.tab", "-display", ":7", "Office"});
    EXPECT_EQ(print.m_info.m_nShellCommand, CCommandLineInfo::FilePrintTo);
    EXPECT_EQ(print.m_info.m_strFileName, "song.tab");
    EXPECT_EQ(print.m_info.m_strPrinterName, "Office");
}

TEST(CommandLineOnce, LongOptionsTakeTheirValuesAndLeaveTheRest)
{
    const CCommandLine line = Parse({"--import", "in.txt", "out.tab", "extra.tab"});
    ASSERT_EQ(line.m_longOptions.size(), 1U);
    EXPECT_EQ(line.m_longOptions[0].strName, "import");
    EXPECT_EQ(line.m_longOptions[0].values, (Args{"in.txt", "out.tab"}));
    EXPECT_FALSE(line.m_longOptions[0].bMissingValue);
    // More than an option takes is the application's, as any argument would be.
    EXPECT_EQ(line.m_appArgs, Args{"extra.tab"});

    // An optional value is not taken from the next option; a needed one always is.
    const CCommandLine play = Parse({"--import", "in.txt", "--to", "-", "--tempo=90", "--export", "a", "-b"});
    EXPECT_EQ(play.Find("import")->values, Args{"in.txt"});
    EXPECT_EQ(play.Find("to")->values, Args{"-"});
    EXPECT_EQ(play.Find("tempo")->values, Args{"90"});
    EXPECT_EQ(play.Find("export")->values, (Args{"a", "-b"}));
    EXPECT_TRUE(play.m_appArgs.empty());
    EXPECT_EQ(play.m_info.m_nShellCommand, CCommandLineInfo::FileNew);

    // Too few values are reported, not taken from nowhere.
    const CCommandLine shortLine = Parse({"song.tab", "--export", "a"});
    EXPECT_TRUE(shortLine.Find("export")->bMissingValue);
    EXPECT_EQ(shortLine.Find("export")->values, Args{"a"});
    EXPECT_EQ(shortLine.m_info.m_strFileName, "song.tab");
    EXPECT_EQ(shortLine.Find("help"), nullptr);
}

TEST(CommandLineOnce, UnknownSwitchesAndTheShellsFormsKeepTheirMeaning)
{
    const CCommandLine line = Parse({"--frobnicate", "/p", "song.tab"});
    EXPECT_TRUE(line.m_longOptions.empty());
    EXPECT_EQ(line.m_info.m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_EQ(line.m_info.m_strFileName, "song.tab");
    EXPECT_EQ(Parse({"/dde"}).m_info.m_nShellCommand, CCommandLineInfo::FileDDE);
    EXPECT_EQ(Parse({"--version", "song.tab"}).m_info.m_strFileName, "song.tab");
    // The program's own table knows --version.
    EXPECT_TRUE(CCommandLine::Parse(Args{"a.tab", "--version"}).Has("version"));

    const CDisplayEnvironment none{"", "", ""};
    EXPECT_EQ(AfxChooseStartDisplay(none, Parse({"--import", "/p"})), CStartDisplay::None)
        << "a long option's value is no switch";
}

TEST(CommandLineOnce, TheApplicationReadsTheParseItWasGiven)
{
    const CCommandLine line = CCommandLine::Parse(Args{"-platform", "minimal", "/pt", "s.tab", "Laser"});
    CWinApp app;
    app.SetCommandLine(line);
    EXPECT_EQ(app.m_args, (Args{"/pt", "s.tab", "Laser"}));
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FilePrintTo);
    EXPECT_EQ(info.m_strPrinterName, "Laser");

    // Arguments set afterwards are the ones read.
    app.m_args = {"other.tab"};
    CCommandLineInfo other;
    app.ParseCommandLine(other);
    EXPECT_EQ(other.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(other.m_strFileName, "other.tab");
}
