// fretly --play on a real sound server: a PulseAudio daemon of the test's own, in its own
// runtime folder, with a null sink whose monitor the test records; the program on a
// pseudo-terminal, as a user runs it from a shell.
#include <gtest/gtest.h>

#include <csignal>

#include "e2e/PlaySupport.h"

using namespace play;
using namespace std::chrono_literals;

namespace {

class PlaySoundServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string missing = MissingForListening();
        for (const char* tool : {"pulseaudio", "pactl", "parecord"})
            if (missing.empty() && !e2e::HaveProgram(tool))
                missing = std::string(tool) + " is not installed (Debian packages pulseaudio, pulseaudio-utils)";
        if (missing.empty())
            missing = PseudoTerminalProblem();
        if (!missing.empty())
            GTEST_SKIP() << missing;
        ASSERT_TRUE(m_dir.IsValid());
        m_runtime = m_dir.path / "runtime";
        std::filesystem::create_directories(m_runtime);
        std::filesystem::permissions(m_runtime, std::filesystem::perms::owner_all);
        m_env = {{"XDG_RUNTIME_DIR", m_runtime.string()}, {"HOME", m_dir.path.string()},
                 {"PULSE_SERVER", ""}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"DBUS_SESSION_BUS_ADDRESS", ""}};
        const auto config = m_dir.path / "server.pa";
        WriteFileBytes(config, "load-module module-native-protocol-unix\n"
                               "load-module module-null-sink sink_name=fretly_test\n"
                               "set-default-sink fretly_test\n");
        ASSERT_TRUE(m_server.Start({"pulseaudio", "-n", "-F", config.string(), "--daemonize=no",
                                    "--exit-idle-time=-1", "--disable-shm=yes", "--use-pid-file=no"},
                                   m_env, m_dir.path / "pulseaudio.log"));
        if (!e2e::WaitUntil([&] { return Pactl("list short sinks").find("fretly_test") != std::string::npos ||
                                        !m_server.Running(); }, 30s) ||
            !m_server.Running())
            GTEST_SKIP() << "PulseAudio did not start here: " << m_server.LogTail();
    }

    std::string Pactl(const std::string& args)
    {
        std::string command;
        for (const auto& [name, value] : m_env)
            command += value.empty() ? "" : name + "=" + e2e::Quote(value) + " ";
        return e2e::Shell(command + "pactl " + args, nullptr, 20);
    }

    // Records what the null sink plays, until stopped.
    void StartRecording(const std::filesystem::path& wav)
    {
        ASSERT_TRUE(m_recorder.Start({"parecord", "-d", "fretly_test.monitor", "--latency-msec=20", "--file-format=wav",
                                      wav.string()},
                                     m_env, m_dir.path / "parecord.log"));
        ASSERT_TRUE(e2e::WaitUntil([&] { return !Pactl("list short source-outputs").empty(); }, 20s))
            << "parecord did not connect: " << m_recorder.LogTail();
    }

    void StartPlaying(CPtyRun& run, const CSong& song)
    {
        const auto tab = m_dir.path / "song.tab";
        ASSERT_TRUE(SaveSong(tab, song));
        ASSERT_TRUE(run.Start({e2e::FretlyExe(), "--play", tab.string()}, m_env));
    }

    CScratchDir m_dir{"fretly-sound"};
    std::filesystem::path m_runtime;
    e2e::Env m_env;
    e2e::CChild m_server;
    e2e::CChild m_recorder;
};

// Notes every other column on every staff: about 9.5 s a staff.
CSong LongSong(int nStaffs)
{
    CSong song;
    song.nStaffs = nStaffs;
    for (int s = 0; s < nStaffs; ++s)
        for (int c = 1; c <= 75; c += 2)
            song.notes.push_back({s, (c / 2) % 6, c, std::to_string(c % 5)});
    return song;
}

bool ShowsTime(const std::string& output, const std::string& time) { return output.find(", " + time + " of ") != std::string::npos; }

} // namespace

TEST_F(PlaySoundServer, PlaysToTheEndShowingWhereItIs)
{
    const auto recording = m_dir.path / "heard.wav";
    StartRecording(recording);
    CPtyRun run;
    CSong song;
    for (int i = 0; i < 6; ++i)
        song.notes.push_back({0, 5 - i, 1 + 4 * i, "0"});
    StartPlaying(run, song);
    const int status = run.Wait(60s);
    ASSERT_NE(status, -1) << "still playing after a minute: " << run.Output();
    EXPECT_EQ(e2e::ExitCode(status), 0) << run.Output();
    m_recorder.Stop();

    // One line, rewritten in place: carriage returns, and a newline only at the end.
    const std::string& out = run.Output();
    EXPECT_NE(out.find("\rStaff 1 of 1, bar 1, 0:00 of 0:02"), std::string::npos) << out;
    EXPECT_NE(out.find("\rStaff 1 of 1, bar 1, 0:02 of 0:02"), std::string::npos) << out;
    EXPECT_EQ(out.find('\n'), out.size() - 1) << "one line, ended when the song ends: " << out;

    // What reached the server is the six strings, in order, half a second apart. On a
    // loaded machine the server may run short of sound for a moment (a gap of silence that
    // the onset detector hears as extra onsets), so the notes are looked for by pitch: each
    // heard steadily for 50 ms, after the one before.
    const CPitchTrack pitches = Pitches(recording);
    const int keys[] = {40, 45, 50, 55, 59, 64};
    std::vector<double> heardAt;
    std::size_t at = 0;
    for (int key : keys) {
        for (int nSteady = 0; at < pitches.size() && nSteady < 8; ++at)
            nSteady = std::lround(pitches[at].second) == key ? nSteady + 1 : 0;
        ASSERT_LT(at, pitches.size()) << "key " << key << " was not heard after the notes before it";
        heardAt.push_back(pitches[at].first);
    }
    // Paced in real time: no two notes arrive together, and the run takes about the song's
    // two and a half seconds. A starved server only ever stretches a gap (it fills silence),
    // so the spacing is bounded below; the exact times are the rendered WAV's to prove.
    for (std::size_t i = 1; i < heardAt.size(); ++i)
        EXPECT_GT(heardAt[i] - heardAt[i - 1], 0.25) << "between notes " << i << " and " << i + 1;
    EXPECT_NEAR(heardAt.back() - heardAt.front(), 2.5, 1.5) << "from the first note to the last";
}

TEST_F(PlaySoundServer, InterruptStopsTheSoundAtOnce)
{
    const auto recording = m_dir.path / "heard.wav";
    StartRecording(recording);
    CPtyRun run;
    StartPlaying(run, LongSong(4));
    ASSERT_TRUE(run.ReadUntil([](const std::string& out) { return ShowsTime(out, "0:02"); }, 60s))
        << "the progress never reached 0:02: " << run.Output();
    const auto sent = std::chrono::steady_clock::now();
    ::kill(run.Pid(), SIGINT);
    const int status = run.Wait(10s);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - sent).count();
    ASSERT_NE(status, -1) << "still running 10 s after Ctrl+C";
    EXPECT_LT(seconds, 2.0) << "a stop is at once, not at the end of a staff";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "status " << status;
    EXPECT_EQ(Pactl("list short sink-inputs"), "") << "no stream is left playing";

    // The recording goes on a second after the stop: nothing may ring in it.
    std::this_thread::sleep_for(1500ms);
    m_recorder.Stop();
    const CWav heard = ReadWav(recording);
    ASSERT_GT(heard.left.size(), 44100u * 3) << m_recorder.LogTail();
    const double end = static_cast<double>(heard.left.size()) / heard.nRate;
    EXPECT_GT(LevelDb(heard, 0.5, end - 2.0), -50) << "the song was heard before the stop";
    EXPECT_LT(LevelDb(heard, end - 0.8, end), -90) << "a note hangs on after the stop";
}

TEST_F(PlaySoundServer, ClosedTerminalAndTerminateStopToo)
{
    for (int sig : {SIGHUP, SIGTERM}) {
        CPtyRun run;
        StartPlaying(run, LongSong(2));
        ASSERT_TRUE(run.ReadUntil([](const std::string& out) { return ShowsTime(out, "0:01"); }, 60s))
            << run.Output();
        if (sig == SIGHUP)
            run.CloseTerminal();   // the terminal window closed
        else
            ::kill(run.Pid(), SIGTERM);
        const int status = run.Wait(10s);
        ASSERT_NE(status, -1) << "still running 10 s after signal " << sig;
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << "signal " << sig << ", status " << status;
        EXPECT_EQ(Pactl("list short sink-inputs"), "");
    }
}

TEST_F(PlaySoundServer, WithoutAnyDeviceItSaysSoAndEnds)
{
    // No server in this runtime folder, and an ALSA with no devices configured.
    const auto empty = m_dir.path / "empty-runtime";
    std::filesystem::create_directories(empty);
    const auto tab = m_dir.path / "song.tab";
    CSong song;
    song.notes = {{0, 0, 1, "0"}};
    ASSERT_TRUE(SaveSong(tab, song));
    int code = -1;
    const std::string out = e2e::Shell("env -u PULSE_SERVER -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR=" +
                                           e2e::Quote(empty.string()) + " ALSA_CONFIG_PATH=/dev/null " +
                                           e2e::Quote(e2e::FretlyExe()) + " --play " + e2e::Quote(tab.string()),
                                       &code, 60);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(out.rfind("Fretly: No sound device could be opened, so nothing was played (", 0), 0u) << out;
}
