// fretly --play as a script runs it: what it refuses, and how it says so.
#include <gtest/gtest.h>

#include <csignal>

#include "e2e/PlaySupport.h"

using namespace play;

namespace {

class PlayCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (e2e::FretlyExe().empty())
            GTEST_SKIP() << "FRETLY_EXE is not set";
        ASSERT_TRUE(m_dir.IsValid());
        m_song = m_dir.path / "song.tab";
        CSong song;
        song.notes = {{0, 0, 1, "0"}, {0, 1, 5, "1"}};
        ASSERT_TRUE(SaveSong(m_song, song));
    }

    // Runs fretly with the arguments (already quoted) and no desktop session; stderr
    // and stdout together.
    std::string Run(const std::string& args, int& code, const std::string& env = "")
    {
        return e2e::Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS " + env + " " +
                              e2e::Quote(e2e::FretlyExe()) + " " + args,
                          &code, 120);
    }

    std::string Q(const std::filesystem::path& path) { return e2e::Quote(path.string()); }

    CScratchDir m_dir{"fretly-playcmd"};
    std::filesystem::path m_song;
};

} // namespace

TEST_F(PlayCommand, RefusesWhatTheEditorRefusesAndBadOptionsWithStatusOne)
{
    const auto web = m_dir.path / "web.txt";
    WriteFileBytes(web, "e|---3---5h7---|\nB|-------------|\n");
    const auto out = m_dir.path / "out.wav";
    const struct {
        std::string args;
        std::string message;
    } cases[] = {
        {"--play", "Fretly: --play needs the .tab file to play"},
        {"--play " + Q(m_dir.path / "missing.tab") + " --to " + Q(out), "Fretly: " + (m_dir.path / "missing.tab").string() + " was not played: "},
        {"--play " + Q(web) + " --to " + Q(out), "Fretly: " + web.string() + " was not played: This is not a valid Fretly file!"},
        {"--play " + Q(m_song) + " --tempo fast --to " + Q(out), "Fretly: The tempo fast is not a whole number"},
        {"--play " + Q(m_song) + " --tempo 0 --to " + Q(out), "Fretly: The tempo 0 is not a whole number"},
        {"--play " + Q(m_song) + " --from 0 --to " + Q(out), "Fretly: The staff 0 is not a staff number"},
        {"--play " + Q(m_song) + " --from 2 --to " + Q(out), "Fretly: There is no staff 2 to play from: the song's last staff is staff 1."},
        {"--play " + Q(m_song) + " --to", "Fretly: --to needs a value."},
        {"--play " + Q(m_song) + " --to " + Q(m_dir.path / "no-such-folder" / "x.wav"), "Fretly: " + (m_dir.path / "no-such-folder" / "x.wav").string() + " could not be written"},
    };
    for (const auto& c : cases) {
        int code = -1;
        const std::string said = Run(c.args, code);
        EXPECT_EQ(code, 1) << c.args << "\n" << said;
        EXPECT_EQ(said.rfind(c.message, 0), 0u) << c.args << "\n" << said;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.args;
    }
}

TEST_F(PlayCommand, NoSoundFontIsReportedWithWhatToInstall)
{
    int code = -1;
    const std::string said = Run("--play " + Q(m_song) + " --to " + Q(m_dir.path / "out.wav"), code,
                                 "XDG_DATA_DIRS=" + Q(m_dir.path / "nothing"));
    EXPECT_EQ(code, 1);
    EXPECT_EQ(said.rfind("Fretly: No General MIDI soundfont was found", 0), 0u) << said;
    EXPECT_NE(said.find("fluid-soundfont-gm"), std::string::npos);

    // A file in the soundfont's place that is none.
    const auto bad = m_dir.path / "data" / "sounds" / "sf2" / "default-GM.sf2";
    WriteFileBytes(bad, "RIFF\x04\0\0\0sfbk");
    const std::string refused = Run("--play " + Q(m_song) + " --to " + Q(m_dir.path / "out.wav"), code,
                                    "XDG_DATA_DIRS=" + Q(m_dir.path / "data"));
    EXPECT_EQ(code, 1);
    EXPECT_EQ(refused.rfind("Fretly: The soundfont " + bad.string() + " could not be loaded, so nothing was played: ", 0),
              0u)
        << refused;
    EXPECT_EQ(std::count(refused.begin(), refused.end(), '\n'), 1) << "one line, FluidSynth's own log kept out";
    EXPECT_FALSE(std::filesystem::exists(m_dir.path / "out.wav"));
}

TEST_F(PlayCommand, ASongLongerThanAWavFileCanHoldWritesNothing)
{
    // 3000 staffs of 76 sixteenths at 120 BPM last 7 h 55 min; a WAV file holds 6 h 45 min.
    const auto tab = m_dir.path / "long.tab";
    CSong song;
    song.nStaffs = 3000;
    for (int s = 0; s < song.nStaffs; ++s)
        song.notes.push_back({s, 0, 76, "0"});
    ASSERT_TRUE(SaveSong(tab, song));
    const auto out = m_dir.path / "long.wav";
    WriteFileBytes(out, "an older file");
    int code = -1;
    const std::string said = Run("--play " + Q(tab) + " --to " + Q(out), code);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(said, "Fretly: The song lasts 7:55:00, longer than a WAV file can hold (6:45:47), so nothing was written.\n");
    EXPECT_EQ(ReadFileBytes(out), "an older file");
}

TEST_F(PlayCommand, InterruptedRenderLeavesNoFileBehind)
{
    if (SystemSoundFont().empty())
        GTEST_SKIP() << "no General MIDI soundfont is installed (Debian package fluid-soundfont-gm)";
    // Two hours of notes: minutes of rendering, stopped within the first seconds.
    const auto tab = m_dir.path / "hours.tab";
    CSong song;
    song.nStaffs = 800;
    for (int s = 0; s < song.nStaffs; ++s)
        for (int c = 1; c <= 76; c += 3)
            song.notes.push_back({s, c % 6, c, "3"});
    ASSERT_TRUE(SaveSong(tab, song));
    const auto out = m_dir.path / "out" / "hours.wav";
    std::filesystem::create_directories(out.parent_path());
    e2e::CChild player;
    ASSERT_TRUE(player.Start({e2e::FretlyExe(), "--play", tab.string(), "--to", out.string()}, {},
                             m_dir.path / "player.log"));
    // The sound is written to a hidden file beside OUT until it is complete.
    auto writing = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(out.parent_path()))
            if (entry.path().filename().string().rfind(".hours.wav.", 0) == 0 && entry.file_size() > 1'000'000)
                return true;
        return false;
    };
    ASSERT_TRUE(e2e::WaitUntil([&] { return writing() || !player.Running(); }, std::chrono::seconds(60)))
        << "no megabyte of sound was written within a minute: " << player.LogTail();
    ASSERT_TRUE(player.Running()) << "it ended before it could be interrupted: " << player.LogTail();
    ::kill(player.Pid(), SIGINT);
    const int status = player.Wait(std::chrono::seconds(10));
    ASSERT_NE(status, -1) << "still rendering 10 s after Ctrl+C";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_TRUE(std::filesystem::is_empty(out.parent_path())) << "neither OUT nor a part of it is left";
}

TEST_F(PlayCommand, WithoutItsSoundModuleItSaysSoAndEnds)
{
    // The launcher copied away from its modules, then beside a sound module that is no
    // library; the editor's own module is beside it, so only playing lacks something.
    const auto lone = m_dir.path / "bin" / "fretly";
    std::filesystem::create_directories(lone.parent_path());
    std::filesystem::copy_file(e2e::FretlyExe(), lone);
    std::filesystem::copy_file(std::filesystem::path(e2e::FretlyExe()).parent_path() / "fretly-gui.so",
                               lone.parent_path() / "fretly-gui.so");
    for (bool bCorrupt : {false, true}) {
        SCOPED_TRACE(bCorrupt ? "corrupt module" : "no module");
        if (bCorrupt)
            WriteFileBytes(lone.parent_path() / "fretly-audio.so", "not a library");
        int code = -1;
        const std::string said = e2e::Shell(Q(lone) + " --play " + Q(m_song) + " --to " + Q(m_dir.path / "x.wav"),
                                            &code, 20);
        EXPECT_EQ(code, 1) << said;
        EXPECT_EQ(said.rfind("Fretly: Playing needs the sound module of the program, which cannot be loaded: ", 0), 0u)
            << said;
        EXPECT_NE(said.find("fretly-audio.so"), std::string::npos) << said;
    }
    int code = -1;
    e2e::Shell(Q(lone) + " --version", &code, 20);
    EXPECT_EQ(code, 0) << "the rest of the program does without it";
}
