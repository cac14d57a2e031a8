// The pieces of fretly --play that need no synthesizer: the options, the progress
// line, the WAV header, the soundfont search, the song read as the editor reads it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

#include "audio/PlayOptions.h"
#include "audio/PlayProgress.h"
#include "audio/SongFile.h"
#include "audio/SoundFont.h"
#include "audio/WavFile.h"
#include "document/FretlyDoc.h"
#include "framework/CommandLine.h"
#include "framework/UserInterface.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"
#include "support/TestFiles.h"

namespace {

bool Parse(const std::vector<std::string>& args, CPlayOptions& options, std::string& error)
{
    error.clear();
    return AfxGetPlayOptions(CCommandLine::Parse(args), options, error);
}

std::uint32_t Le32(const std::string& s, std::size_t at)
{
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i)
        n = n << 8 | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
    return n;
}

} // namespace

TEST(PlayOptions, ReadsEveryOptionInAnyOrderAndIgnoresOtherSwitches)
{
    CPlayOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--play", "song.tab"}, o, error)) << error;
    EXPECT_EQ(o.strSong, "song.tab");
    EXPECT_TRUE(o.strOut.empty());
    EXPECT_EQ(o.nTempo, 0);
    EXPECT_EQ(o.nFrom, 1);
    ASSERT_TRUE(Parse({"--tempo", "90", "/x", "--play", "a b.tab", "--from=3", "--to", "out.wav", "--unknown"}, o,
                      error))
        << error;
    EXPECT_EQ(o.strSong, "a b.tab");
    EXPECT_EQ(o.strOut, "out.wav");
    EXPECT_EQ(o.nTempo, 90);
    EXPECT_EQ(o.nFrom, 3);
    ASSERT_TRUE(Parse({"--play=x.tab", "--player"}, o, error)) << error;
    EXPECT_EQ(o.strSong, "x.tab");
}

TEST(PlayOptions, BadValuesAreRefusedWithTheirReason)
{
    CPlayOptions o;
    std::string error;
    EXPECT_FALSE(Parse({"--play"}, o, error));
    EXPECT_EQ(error, AfxLoadString(IDS_PLAY_NO_SONG));
    EXPECT_FALSE(Parse({"--play", "--tempo", "90"}, o, error)) << "an option is not a song";
    EXPECT_EQ(error, AfxLoadString(IDS_PLAY_NO_SONG));
    EXPECT_FALSE(Parse({"--play", "s.tab", "--to"}, o, error));
    EXPECT_EQ(error, AfxFormatString1(IDS_PLAY_NO_VALUE, "--to"));
    EXPECT_FALSE(Parse({"--play", "s.tab", "--to="}, o, error));
    EXPECT_EQ(error, AfxFormatString1(IDS_PLAY_NO_VALUE, "--to"));
    for (const char* tempo : {"0", "19", "401", "-90", "90bpm", "9e1", "", "99999999999999999999"}) {
        EXPECT_FALSE(Parse({"--play", "s.tab", std::string("--tempo=") + tempo}, o, error)) << tempo;
        if (*tempo != '\0') {
            EXPECT_EQ(error, AfxFormatString1(IDS_PLAY_BAD_TEMPO, tempo));
        }
    }
    EXPECT_TRUE(Parse({"--play", "s.tab", "--tempo", "20"}, o, error));
    EXPECT_TRUE(Parse({"--play", "s.tab", "--tempo", "400"}, o, error));
    EXPECT_FALSE(Parse({"--play", "s.tab", "--tempo", "--from", "2"}, o, error));
    EXPECT_EQ(error, AfxFormatString1(IDS_PLAY_NO_VALUE, "--tempo"));
    for (const char* staff : {"0", "-1", "x", "1.5", "12345678901"}) {
        EXPECT_FALSE(Parse({"--play", "s.tab", "--from", staff}, o, error)) << staff;
        EXPECT_EQ(error, AfxFormatString1(IDS_PLAY_BAD_FROM, staff));
    }
}

TEST(PlayProgress, ShowsStaffBarAndTimeOfTotal)
{
    EXPECT_EQ(AfxFormatPlayTime(0, 44100), "0:00");
    EXPECT_EQ(AfxFormatPlayTime(44100 * 59 + 44099, 44100), "0:59");
    EXPECT_EQ(AfxFormatPlayTime(44100ull * 754, 44100), "12:34");
    EXPECT_EQ(AfxFormatPlayTime(44100ull * (3600 * 264 + 61), 44100), "264:01:01");
    EXPECT_EQ(AfxFormatPlayProgress(1, 12, 5, 44100 * 7, 44100 * 90, 44100), "Staff 2 of 12, bar 5, 0:07 of 1:30");
    EXPECT_EQ(AfxFormatPlayProgress(-1, 3, 1, 0, 44100, 44100), "Staff 1 of 3, bar 1, 0:00 of 0:01")
        << "before the first staff begins";
}

TEST(WavFile, HeaderDescribesSixteenBitStereoOfTheGivenLength)
{
    const std::string h = AfxWavHeader(1000, 44100);
    ASSERT_EQ(h.size(), 44u);
    EXPECT_EQ(h.substr(0, 4), "RIFF");
    EXPECT_EQ(Le32(h, 4), 36u + 4000);
    EXPECT_EQ(h.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le32(h, 16), 16u);
    EXPECT_EQ(Le32(h, 20), 1u | 2u << 16) << "PCM, two channels";
    EXPECT_EQ(Le32(h, 24), 44100u);
    EXPECT_EQ(Le32(h, 28), 44100u * 4);
    EXPECT_EQ(Le32(h, 32), 4u | 16u << 16) << "four bytes a frame, 16 bits a sample";
    EXPECT_EQ(h.substr(36, 4), "data");
    EXPECT_EQ(Le32(h, 40), 4000u);
    // The largest length still fits the 32-bit sizes; one more frame would not.
    const std::string big = AfxWavHeader(AfxMaxWavFrames(), 44100);
    EXPECT_GE(Le32(big, 4), Le32(big, 40));
    EXPECT_GT((AfxMaxWavFrames() + 1) * 4 + 36, 0xFFFFFFFFull);
}

TEST(SoundFont, TheDefaultAlternativeIsPreferredInEachDataFolder)
{
    CScratchDir dir;
    const std::string a = (dir.path / "a").string(), b = (dir.path / "b").string();
    const std::vector<std::string> candidates = AfxSoundFontCandidates({a, b});
    ASSERT_GE(candidates.size(), 4u);
    EXPECT_EQ(candidates[0], a + "/sounds/sf2/default-GM.sf2");
    EXPECT_EQ(candidates[1], b + "/sounds/sf2/default-GM.sf2");
    EXPECT_EQ(AfxFindSoundFont(candidates), "");
    WriteFileBytes(b + "/sounds/sf2/TimGM6mb.sf2", "x");
    EXPECT_EQ(AfxFindSoundFont(candidates), b + "/sounds/sf2/TimGM6mb.sf2");
    WriteFileBytes(a + "/sounds/sf3/default-GM.sf3", "x");
    EXPECT_EQ(AfxFindSoundFont(candidates), a + "/sounds/sf3/default-GM.sf3");
    std::filesystem::create_directories(b + "/sounds/sf2/default-GM.sf2");   // a folder is no soundfont
    EXPECT_EQ(AfxFindSoundFont(candidates), a + "/sounds/sf3/default-GM.sf3");

    ::setenv("XDG_DATA_DIRS", (a + ":relative:" + b + "::").c_str(), 1);
    EXPECT_EQ(AfxXdgDataDirs(), (std::vector<std::string>{a, b}));
    ::setenv("XDG_DATA_DIRS", "", 1);
    EXPECT_EQ(AfxXdgDataDirs(), (std::vector<std::string>{"/usr/local/share", "/usr/share"}));
    ::unsetenv("XDG_DATA_DIRS");
}

TEST(SongFile, ReadsWhatTheEditorOpensAndRefusesWhatItRefuses)
{
    CScratchDir dir;
    const auto good = dir.path / "good.tab";
    const std::string rule = "#" + std::string(77, '-') + "#";
    WriteFileBytes(good, rule + "\r\n#-- File created with Fretly --#\r\n" + rule + "\r\n\r\n" +
                             std::string("--3") + std::string(74, '-') + "|\r\n");
    std::string error;
    std::unique_ptr<CFretlyDoc> pDoc = AfxReadSongFile(good.string(), error);
    ASSERT_NE(pDoc, nullptr) << error;
    EXPECT_GE(pDoc->m_nStaffs, 1);

    const auto web = dir.path / "web.txt";
    WriteFileBytes(web, "e|---3---5h7---|\r\n");
    EXPECT_EQ(AfxReadSongFile(web.string(), error), nullptr);
    EXPECT_EQ(error, AfxLoadString(IDS_INVALID_FILE));

    error.clear();
    EXPECT_EQ(AfxReadSongFile((dir.path / "missing.tab").string(), error), nullptr);
    EXPECT_FALSE(error.empty()) << "the editor's own message for a missing file";
    EXPECT_EQ(AfxGetUserInterface(), nullptr) << "no interface is left behind";
}
