// Exporting a song file: which format, what is refused, and that nothing is harmed.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "core/interop/ExportTestSupport.h"
#include "interop/SongExport.h"
#include "support/TestFiles.h"

namespace {

const std::string kBanner = "#" + std::string(77, '-') + "#\r\n#-- File created with Fretly --#\r\n" +
                            "#" + std::string(77, '-') + "#\r\n\r\n";

std::string SongBytes(const std::string& comments = "", int nStaffs = 1)
{
    std::string bytes = kBanner + "Title: Riff\r\n\r\n" + comments;
    for (int s = 0; s < nStaffs; ++s) {
        for (int r = 0; r < 6; ++r)
            bytes += (r == 0 ? "-0-2-3-|" : "-------|") + std::string(70, '-') + "\r\n";
        bytes += std::string(78, ' ') + "\r\n\r\n";
    }
    return bytes;
}

std::string Joined(const std::vector<std::string>& messages)
{
    std::string all;
    for (const std::string& m : messages)
        all += m + "\n";
    return all;
}

} // namespace

TEST(SongExport, TheOutputsExtensionPicksTheFormat)
{
    EXPECT_EQ(AfxExportFormatOf("a.musicxml"), EExportFormat::musicXml);
    EXPECT_EQ(AfxExportFormatOf("A.XML"), EExportFormat::musicXml);
    EXPECT_EQ(AfxExportFormatOf("dir.mid/a.MID"), EExportFormat::midi);
    EXPECT_EQ(AfxExportFormatOf("a.midi"), EExportFormat::midi);
    EXPECT_EQ(AfxExportFormatOf("a.Txt"), EExportFormat::plainText);
    for (const char* name : {"a.pdf", "a.mid.bak", "musicxml", ".mid", "a", ""})
        EXPECT_EQ(AfxExportFormatOf(name), EExportFormat::unknown) << name;
}

TEST(SongExport, WritesEachFormatAndSaysWhichSettingsLinesItCouldNotRead)
{
    CScratchDir dir("fretly-songexport");
    const auto song = dir.path / "riff.tab";
    WriteFileBytes(song, SongBytes("Tempo: 90\r\nTuning: half a step down\r\n\r\n"));
    for (const char* name : {"riff.musicxml", "riff.mid", "riff.txt"}) {
        std::vector<std::string> messages;
        EXPECT_EQ(AfxExportSong(song.string(), (dir.path / name).string(), messages), 0) << Joined(messages);
        ASSERT_EQ(messages.size(), 1u) << name;
        EXPECT_NE(messages[0].find("\"Tuning: half a step down\""), std::string::npos) << messages[0];
    }
    EXPECT_EQ(ReadFileBytes(dir.path / "riff.mid").compare(0, 4, "MThd"), 0);
    const std::string xml = ReadFileBytes(dir.path / "riff.musicxml");
    EXPECT_NE(xml.find("<work-title>Riff</work-title>"), std::string::npos);
    EXPECT_NE(xml.find("<per-minute>90</per-minute>"), std::string::npos);
    EXPECT_NE(ReadFileBytes(dir.path / "riff.txt").find("e|0-2-3-|"), std::string::npos);
}

// Whatever goes wrong, the status is 1, the user is told why, and an existing output
// file keeps its content.
TEST(SongExport, RefusalsLeaveTheOutputAsItWas)
{
    CScratchDir dir("fretly-songexport");
    const auto song = dir.path / "riff.tab";
    const auto notFretly = dir.path / "web.tab";
    const auto out = dir.path / "old.mid";
    WriteFileBytes(song, SongBytes());
    WriteFileBytes(notFretly, "e|---3---5h7---|\r\nB|-----------|\r\n");
    WriteFileBytes(out, "previous content");
    std::filesystem::create_directories(dir.path / "folder.mid");

    struct Case {
        std::string song, out, says;
    } cases[] = {
        {(dir.path / "missing.tab").string(), out.string(), "was not found"},
        {notFretly.string(), out.string(), "This is not a valid Fretly file!"},
        {song.string(), (dir.path / "old.pdf").string(), "does not say which format"},
        {song.string(), song.string() + ".mid", ""},   // fine: another file
        {song.string(), (dir.path / "no" / "such" / "folder.mid").string(), "was not found"},
        {song.string(), (dir.path / "folder.mid").string(), "not a regular file"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> messages;
        const int nStatus = AfxExportSong(c.song, c.out, messages);
        if (c.says.empty()) {
            EXPECT_EQ(nStatus, 0) << Joined(messages);
            continue;
        }
        EXPECT_EQ(nStatus, 1) << c.song << " -> " << c.out;
        EXPECT_NE(Joined(messages).find(c.says), std::string::npos) << Joined(messages);
        EXPECT_NE(Joined(messages).find("Nothing was exported."), std::string::npos) << Joined(messages);
        EXPECT_EQ(ReadFileBytes(out), "previous content");
    }
    // The refused file names the file it refused.
    std::vector<std::string> messages;
    AfxExportSong(notFretly.string(), out.string(), messages);
    EXPECT_EQ(Joined(messages).rfind(notFretly.string() + ": ", 0), 0u) << Joined(messages);
}

TEST(SongExport, TheSongItselfIsNeverTheOutput)
{
    CScratchDir dir("fretly-songexport");
    const auto song = dir.path / "riff.mid";   // a song file may have any name
    WriteFileBytes(song, SongBytes());
    std::filesystem::create_symlink(song, dir.path / "link.mid");
    for (const auto& out : {song, dir.path / "link.mid", dir.path / "." / "riff.mid"}) {
        std::vector<std::string> messages;
        EXPECT_EQ(AfxExportSong(song.string(), out.string(), messages), 1) << out;
        EXPECT_NE(Joined(messages).find("is the song being exported"), std::string::npos) << Joined(messages);
        EXPECT_EQ(ReadFileBytes(song), SongBytes()) << "the song was overwritten through " << out;
    }
}

TEST(SongExport, AWriteThatFailsPartWayKeepsTheOldFile)
{
    CScratchDir dir("fretly-songexport");
    const auto song = dir.path / "riff.tab";
    WriteFileBytes(song, SongBytes("", 200));
    const auto out = dir.path / "out.musicxml";
    WriteFileBytes(out, "old");
    std::vector<std::string> messages;
    {
        CFileSizeLimit limit(4096);
        ASSERT_TRUE(limit.IsSet());
        EXPECT_EQ(AfxExportSong(song.string(), out.string(), messages), 1);
    }
    EXPECT_NE(Joined(messages).find("Nothing was exported."), std::string::npos) << Joined(messages);
    EXPECT_EQ(ReadFileBytes(out), "old");
    std::size_t nLeft = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path))
        nLeft += entry.path().filename().string().rfind(".out.musicxml", 0) == 0;
    EXPECT_EQ(nLeft, 0u) << "a temporary file was left behind";
}
