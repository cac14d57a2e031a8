// The program run from a script with nobody at the screen: every failure ends the program
// with status 1 and its reason on standard error, instead of a message box nobody sees.
// Each run is bounded by timeout(1), so a program that waits fails the test (status 124).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "e2e/E2eSupport.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;

namespace {

using e2e::Quote;

struct CRunResult {
    int nStatus = -1;   // exit status: 124 when the time limit ended it, -1 when it did not exit
    std::string out;    // standard output and error
};

class HeadlessRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_exe = e2e::FretlyExe();
        ASSERT_FALSE(m_exe.empty()) << "FRETLY_EXE is not set";
        ASSERT_TRUE(m_dir.IsValid());
        // A file where the data folder would be: the desktop registration fails quietly.
        WriteFileBytes(m_dir.path / "data", "not a folder");
        const std::string rule = "#" + std::string(77, '-') + "#";
        WriteFileBytes(m_dir.path / "song.tab", rule + "\r\n#-- File created with Fretly --#\r\n" + rule + "\r\n");
    }

    // Runs the program with the given environment settings ("env" syntax) and arguments.
    CRunResult Start(const std::string& envArgs, const std::string& args) const
    {
        const std::string command = "cd " + Quote(m_dir.path.string()) + " && env -u DISPLAY -u WAYLAND_DISPLAY" +
                                    " -u QT_QPA_PLATFORM XDG_CONFIG_HOME=" + Quote(m_dir.path.string()) +
                                    " XDG_DATA_HOME=" + Quote((m_dir.path / "data").string()) + " " + envArgs +
                                    " " + Quote(m_exe) + " " + args + " </dev/null";
        CRunResult run;
        run.out = e2e::Shell(command, &run.nStatus);
        return run;
    }

    std::string Path(const std::string& name) const { return (m_dir.path / name).string(); }

    std::string m_exe;
    CScratchDir m_dir{"fretly-e2e-headless"};
};

TEST_F(HeadlessRun, PrintFailuresEndWithStatusOneAndSayWhy)
{
    const std::string missing = Path("missing.tab");
    const std::string rootFile = "/fretly-missing-" + std::to_string(::getpid()) + ".tab";
    const struct {
        const char* pszPlatform;
        std::string args;
        std::string said;
    } cases[] = {
        {"offscreen", "/p " + Quote(missing), "Fretly: " + missing + " was not found."},
        {"minimal", "/p " + Quote(missing), "Fretly: " + missing + " was not found."},
        {"offscreen", "/p", "Fretly: No file was named to print, so nothing was printed."},
        {"offscreen", "/pt", "Fretly: No file was named to print, so nothing was printed."},
        {"offscreen", "/pt song.tab 'No Such Printer' '' ''", "No Such Printer was not found"},
        {"offscreen", "/pt song.tab " + Quote(Path("no-folder/out.pdf")), "Fretly: "},
        // A "/" argument that is no known switch is a file, and a missing one is said so.
        {"offscreen", Quote(rootFile), "Fretly: " + rootFile + " was not found."},
    };
    for (const auto& c : cases) {
        const CRunResult run = Start(std::string("QT_QPA_PLATFORM=") + c.pszPlatform, c.args);
        EXPECT_EQ(run.nStatus, 1) << c.pszPlatform << " " << c.args << "\n" << run.out;
        EXPECT_NE(run.out.find(c.said), std::string::npos) << c.args << "\n" << run.out;
    }
    EXPECT_FALSE(fs::exists(Path("no-folder")));
}

TEST_F(HeadlessRun, WithNoDisplayAtAllPrintingRunsOffscreenAndTheEditorSaysWhyNot)
{
    // No DISPLAY, no WAYLAND_DISPLAY, no QT_QPA_PLATFORM: the toolkit alone would abort.
    const CRunResult printed = Start("", "/pt song.tab out.pdf");
    EXPECT_EQ(printed.nStatus, 0) << printed.out;
    EXPECT_TRUE(fs::exists(Path("out.pdf")));

    const CRunResult missing = Start("", "/p missing.tab");
    EXPECT_EQ(missing.nStatus, 1) << missing.out;
    EXPECT_NE(missing.out.find("missing.tab was not found."), std::string::npos) << missing.out;

    const CRunResult editor = Start("", "song.tab");
    EXPECT_EQ(editor.nStatus, 1) << editor.out;
    EXPECT_NE(editor.out.find("Fretly: There is no display to show the window on"), std::string::npos)
        << editor.out;
}

TEST_F(HeadlessRun, ProgramWithoutItsToolkitModuleSaysSoAndEnds)
{
    // The launcher copied away from its module, then beside a module that is no library.
    const fs::path lone = m_dir.path / "bin" / "fretly";
    fs::create_directories(lone.parent_path());
    fs::copy_file(m_exe, lone);
    const std::string big = Path("big.tab");
    e2e::WriteSongTab(big, 3000, "Long");   // read ahead while the module is looked for
    for (bool bCorrupt : {false, true}) {
        SCOPED_TRACE(bCorrupt ? "corrupt module" : "no module");
        if (bCorrupt)
            WriteFileBytes(lone.parent_path() / "fretly-gui.so", "not a library");
        const std::string command = "env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=" + Quote(m_dir.path.string()) + " " +
                                    Quote(lone.string()) + " " + Quote(big) + " </dev/null";
        int nStatus = -1;
        const std::string out = e2e::Shell(command, &nStatus, 20);
        EXPECT_EQ(nStatus, 1) << out;
        EXPECT_NE(out.find("Fretly: The program is incomplete and cannot start: "), std::string::npos) << out;
        EXPECT_NE(out.find("fretly-gui.so"), std::string::npos) << out;
    }
}
} // namespace
