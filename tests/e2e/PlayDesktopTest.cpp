// "Play with Fretly" from a file manager: the desktop entry's command, run with no
// terminal in a desktop session (a session bus of the test's own, and a notification
// service that records what it is asked to show).
#include <gtest/gtest.h>

#include <fstream>

#include "e2e/PlaySupport.h"

using namespace play;
using namespace std::chrono_literals;

namespace {

const std::filesystem::path kSource = FRETLY_SOURCE_DIR;

// The Exec line of the installed desktop entry.
std::string PlayEntryExec()
{
    std::ifstream in(kSource / "resources/desktop/fretly-play.desktop");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("Exec=", 0) == 0)
            return line.substr(5);
    return {};
}

class PlayDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (e2e::FretlyExe().empty())
            GTEST_SKIP() << "FRETLY_EXE is not set";
        for (const char* tool : {"dbus-daemon", "notify-send", "/usr/bin/python3"})
            if (!e2e::HaveProgram(tool))
                GTEST_SKIP() << tool << " is not installed (Debian packages dbus, libnotify-bin, python3-gi)";
        if (e2e::Shell("/usr/bin/python3 -c 'from gi.repository import Gio' && echo ok") != "ok\n")
            GTEST_SKIP() << "Python's GObject bindings are missing (Debian package python3-gi)";
        ASSERT_TRUE(m_dir.IsValid());
        const std::string bus = "unix:path=" + (m_dir.path / "bus").string();
        ASSERT_TRUE(m_bus.Start({"dbus-daemon", "--config-file=/usr/share/dbus-1/session.conf", "--nofork",
                                 "--address=" + bus},
                                {}, m_dir.path / "dbus.log"));
        ASSERT_TRUE(e2e::WaitUntil([&] { return std::filesystem::exists(m_dir.path / "bus") || !m_bus.Running(); }, 20s) &&
                    m_bus.Running())
            << "the session bus did not start: " << m_bus.LogTail();
        m_env = {{"DBUS_SESSION_BUS_ADDRESS", bus}, {"DISPLAY", ":97"}, {"WAYLAND_DISPLAY", ""}};
        ASSERT_TRUE(m_service.Start({"/usr/bin/python3", (kSource / "tests/e2e/data/fake-notifications.py").string(),
                                     m_notices.string()},
                                    m_env, m_dir.path / "service.log"));
        ASSERT_TRUE(e2e::WaitUntil([&] { return std::filesystem::exists(m_notices.string() + ".ready") ||
                                        !m_service.Running(); }, 30s) &&
                    m_service.Running())
            << "the notification service did not start: " << m_service.LogTail();
    }

    // Runs a command line as a desktop would: no terminal anywhere.
    int RunDetached(const std::string& command, std::string& stderrText)
    {
        std::string unset, set;
        for (const auto& [name, value] : m_env)
            (value.empty() ? unset : set) += value.empty() ? "-u " + name + " " : name + "=" + e2e::Quote(value) + " ";
        const std::string env = unset + set;
        const auto err = m_dir.path / "stderr.txt";
        int code = -1;
        e2e::Shell("env " + env + command + " </dev/null >/dev/null 2>" + e2e::Quote(err.string()), &code, 60);
        stderrText = ReadFileBytes(err);
        return code;
    }

    CScratchDir m_dir{"fretly-desktop-play"};
    std::filesystem::path m_notices = m_dir.path / "notices.txt";
    e2e::Env m_env;
    e2e::CChild m_bus;
    e2e::CChild m_service;
};

} // namespace

TEST_F(PlayDesktop, AnErrorIsShownAsANotification)
{
    const std::string exec = PlayEntryExec();
    ASSERT_EQ(exec, "fretly --play %f");
    const auto web = m_dir.path / "riff & caf\xe9.txt";   // a Latin-1 name
    WriteFileBytes(web, "e|---3---5h7---|\n");
    std::string command = e2e::Quote(e2e::FretlyExe()) + exec.substr(std::string("fretly").size());
    command.replace(command.find("%f"), 2, e2e::Quote(web.string()));

    std::string said;
    EXPECT_EQ(RunDetached(command, said), 1);
    const std::string message = web.string() + " was not played: This is not a valid Fretly file!";
    EXPECT_EQ(said.rfind("Fretly: " + message, 0), 0u) << said;
    EXPECT_EQ(said.find("GDBus"), std::string::npos) << "notify-send's own output stays out: " << said;
    const std::string notices = ReadFileBytes(m_notices);
    std::string shown = message;
    shown.replace(shown.find('&'), 1, "&amp;");
    shown.replace(shown.find('\xe9'), 1, "\xc3\xa9");
    EXPECT_EQ(notices.rfind("Fretly\tFretly\t" + shown, 0), 0u)
        << "the file name shows as itself, in the UTF-8 that D-Bus carries: " << notices;
    EXPECT_NE(notices.find("This is not a valid Fretly file!"), std::string::npos) << notices;
}

TEST_F(PlayDesktop, NothingIsShownWhenAllGoesWell)
{
    if (SystemSoundFont().empty())
        GTEST_SKIP() << "no General MIDI soundfont is installed (Debian package fluid-soundfont-gm)";
    const auto tab = m_dir.path / "song.tab";
    CSong song;
    song.notes = {{0, 0, 1, "3"}};
    ASSERT_TRUE(SaveSong(tab, song));
    std::string said;
    EXPECT_EQ(RunDetached(e2e::Quote(e2e::FretlyExe()) + " --play " + e2e::Quote(tab.string()) + " --to " +
                              e2e::Quote((m_dir.path / "song.wav").string()),
                          said),
              0);
    EXPECT_EQ(said, "");
    EXPECT_FALSE(std::filesystem::exists(m_notices)) << ReadFileBytes(m_notices);
}
