// fretly --export as a user runs it from a shell: no window, no toolkit, status and messages.
#include <gtest/gtest.h>

#include "e2e/E2eSupport.h"

using namespace e2e;

namespace {

std::string RunFretly(const std::string& args, int* pCode, const std::string& env = "")
{
    return Shell(env + Quote(FretlyExe()) + " " + args, pCode, 120);
}

} // namespace

TEST(ExportE2E, ExportsWithoutAWindowOrTheToolkit)
{
    CScratchDir dir("fretly-export-e2e");
    const auto song = dir.path / "song.tab";
    WriteSongTab(song, 3, "Exported");
    for (const char* name : {"song.musicxml", "song.mid"}) {
        const auto out = dir.path / name;
        int nCode = -1;
        // No display at all: an export must not need one, nor load the toolkit.
        const std::string log =
            RunFretly("--export " + Quote(song.string()) + " " + Quote(out.string()), &nCode,
                "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= LD_DEBUG=files ");
        EXPECT_EQ(nCode, 0) << log;
        EXPECT_TRUE(std::filesystem::is_regular_file(out)) << name;
        ASSERT_NE(log.find("libfretly-core"), std::string::npos) << "the loader did not report its libraries:\n" << log;
        EXPECT_EQ(log.find("libQt6"), std::string::npos) << "the toolkit was loaded for an export";
        EXPECT_EQ(log.find("fretly-gui"), std::string::npos) << "the window module was loaded for an export";
    }
    EXPECT_NE(ReadFileBytes(dir.path / "song.musicxml").find("<work-title>Exported</work-title>"), std::string::npos);
}

TEST(ExportE2E, RefusesWithStatusOneAndAReason)
{
    CScratchDir dir("fretly-export-e2e");
    const auto web = dir.path / "web.tab";
    WriteFileBytes(web, "e|---3---5h7---|\r\n");
    const auto out = dir.path / "out.mid";
    WriteFileBytes(out, "kept");
    struct Case {
        std::string args, says;
    } cases[] = {
        {"--export " + Quote(web.string()) + " " + Quote(out.string()), "not a valid Fretly file"},
        {"--export " + Quote((dir.path / "gone.tab").string()) + " " + Quote(out.string()), "was not found"},
        {"--export " + Quote(web.string()), "Usage: fretly --export SONG.tab"},
        {"--export", "Usage: fretly --export SONG.tab"},
    };
    for (const Case& c : cases) {
        int nCode = -1;
        const std::string log = RunFretly(c.args + " 2>&1 >/dev/null", &nCode);
        EXPECT_EQ(nCode, 1) << c.args << "\n" << log;
        EXPECT_NE(log.find(c.says), std::string::npos) << c.args << " said:\n" << log;
    }
    EXPECT_EQ(ReadFileBytes(out), "kept");
}
