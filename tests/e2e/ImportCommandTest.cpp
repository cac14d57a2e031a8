// "fretly --import" and "fretly --help" as a user runs them from a shell: what they
// print, their status, the files they write or leave alone, and that the ones that end
// at once never load the window toolkit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "document/FretlyDoc.h"
#include "e2e/E2eSupport.h"
#include "framework/Archive.h"
#include "framework/MemFile.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;

namespace {

using e2e::Quote;

const std::string kTab = "Title: Night Blues\n\ne|---0---3---|\nB|---1---0---|\nG|---0---0---|\n"
                         "D|---2---0---|\nA|---3---2---|\nE|-------3---|\n";

class ImportCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_exe = e2e::FretlyExe();
        ASSERT_FALSE(m_exe.empty()) << "FRETLY_EXE is not set";
        ASSERT_TRUE(m_dir.IsValid());
        WriteFileBytes(m_dir.path / "song.txt", kTab);
        WriteFileBytes(m_dir.path / "letter.txt", "Dear all,\n--- see you ---\n");
    }

    // Runs the program with no display; LD_DEBUG=files lists every library it loads.
    std::string Run(const std::string& args, int& nStatus, const std::string& env = "") const
    {
        const std::string command = "cd " + Quote(m_dir.path.string()) + " && env -u DISPLAY -u WAYLAND_DISPLAY " +
                                    "XDG_CONFIG_HOME=" + Quote((m_dir.path / "config").string()) +
                                    " XDG_DATA_HOME=" + Quote((m_dir.path / "data").string()) +
                                    " XDG_STATE_HOME=" + Quote((m_dir.path / "state").string()) + " " + env + " " +
                                    Quote(m_exe) + " " + args + " </dev/null";
        return e2e::Shell(command, &nStatus, 120);
    }

    std::string m_exe;
    CScratchDir m_dir{"fretly-e2e-import"};
};

bool LoadedQt(const std::string& debugOut) { return debugOut.find("libQt6") != std::string::npos; }

} // namespace

TEST_F(ImportCommand, HelpPrintsOneLinePerFormWithoutTheToolkit)
{
    int nStatus = -1;
    const std::string out = Run("--help", nStatus, "LD_DEBUG=files LD_DEBUG_OUTPUT=" + Quote((m_dir.path / "ld").string()));
    EXPECT_EQ(nStatus, 0) << out;
    for (const char* form : {"fretly [FILE.tab]", "fretly /p FILE.tab", "fretly /pt FILE.tab", "fretly --version",
                             "fretly --help", "fretly --import FILE [OUT.tab]",
                             "fretly --export SONG.tab OUT.musicxml|OUT.mid|OUT.txt",
                             "fretly --play SONG.tab [--to OUT.wav] [--tempo BPM] [--from STAFF]"})
        EXPECT_NE(("\n" + out).find(std::string("\n") + form), std::string::npos) << form << "\n" << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 8) << out;
    std::string loaded;
    for (const auto& entry : fs::directory_iterator(m_dir.path))
        if (entry.path().filename().string().starts_with("ld."))
            loaded += ReadFileBytes(entry.path());
    EXPECT_FALSE(loaded.empty());
    EXPECT_FALSE(LoadedQt(loaded));
}

TEST_F(ImportCommand, WithAnOutputFileItWritesATabAndEndsWithoutTheToolkit)
{
    int nStatus = -1;
    const std::string out = Run("--import song.txt out.tab", nStatus, "LD_DEBUG=files");
    EXPECT_EQ(nStatus, 0) << out;
    EXPECT_FALSE(LoadedQt(out));
    CFretlyDoc doc;
    CMemFile file(ReadFileBytes(m_dir.path / "out.tab"));
    CArchive ar(&file, CArchive::load);
    doc.Serialize(ar);
    EXPECT_EQ(doc.m_strSongTitle, "Night Blues");
    ASSERT_EQ(doc.m_nStaffs, 1);
    EXPECT_EQ(std::string(doc.m_ppStaffs[0]->m_rows[4], 13), "----3---2----");
}

TEST_F(ImportCommand, FailuresEndWithStatusOneAndWriteNothing)
{
    WriteFileBytes(m_dir.path / "kept.tab", "old");
    const struct {
        std::string args, message;
    } cases[] = {
        {"--import letter.txt kept.tab", "letter.txt holds no tablature, so nothing was imported."},
        {"--import missing.txt kept.tab", "missing.txt could not be read (No such file or directory)"},
        {"--import . kept.tab", "could not be read (Is a directory)"},
        {"--import", "--import needs the file to import"},
        {"--import song.txt no/such/folder/x.tab", "no/such/folder/x.tab could not be written"},
    };
    for (const auto& c : cases) {
        int nStatus = -1;
        const std::string out = Run(c.args, nStatus);
        EXPECT_EQ(nStatus, 1) << c.args << "\n" << out;
        EXPECT_NE(out.find(c.message), std::string::npos) << c.args << "\n" << out;
    }
    EXPECT_EQ(ReadFileBytes(m_dir.path / "kept.tab"), "old");
}

TEST_F(ImportCommand, WithoutAnOutputFileTheEditorStartsUntitledAndModified)
{
    const e2e::Env env = {{"QT_QPA_PLATFORM", "offscreen"},
                          {"FRETLY_TEST_ANSWERS", "no"},
                          {"XDG_CONFIG_HOME", (m_dir.path / "config").string()},
                          {"XDG_DATA_HOME", (m_dir.path / "data").string()},
                          {"XDG_STATE_HOME", (m_dir.path / "state").string()}};
    e2e::CChild editor;
    ASSERT_TRUE(editor.Start({m_exe, "--import", (m_dir.path / "song.txt").string()}, env, m_dir.path / "editor.log"));
    const bool bReady = e2e::WaitUntil([&] { return editor.Log().find("fretly-test: ready") != std::string::npos; },
                                       std::chrono::seconds(90));
    ASSERT_TRUE(bReady) << "the editor did not report that it had started within 90 s:\n" << editor.LogTail();
    const std::string log = editor.Log();
    editor.Stop();
    // The header dialog showed what was found; Save would ask for a name.
    EXPECT_NE(log.find("fretly-test: dialog 132"), std::string::npos) << log;
    EXPECT_NE(log.find("fretly-test: ready title=Untitled - Fretly modified=1"), std::string::npos) << log;

    // A file without tablature starts nothing.
    int nStatus = -1;
    const std::string refused = Run("--import letter.txt", nStatus, "QT_QPA_PLATFORM=offscreen FRETLY_TEST_ANSWERS=no");
    EXPECT_EQ(nStatus, 1) << refused;
    EXPECT_EQ(refused.find("fretly-test: ready"), std::string::npos) << refused;
}
