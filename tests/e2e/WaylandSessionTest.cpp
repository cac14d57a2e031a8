// Fretly as a Wayland client: on a headless Weston started by the test (its own runtime
// folder and socket), and on a Weston nested in a virtual X server where keys can be
// typed into it, so the program is driven through its own windows to its end.
#include <gtest/gtest.h>

#include <regex>

#include "e2e/E2eSupport.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class WaylandSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_exe = e2e::FretlyExe();
        ASSERT_FALSE(m_exe.empty());
        ASSERT_TRUE(m_dir.IsValid());
        m_runtime = m_dir.path / "runtime";
        fs::create_directories(m_runtime);
        // Wayland wants a runtime folder only its user can enter.
        fs::permissions(m_runtime, fs::perms::owner_all);
        m_socket = "fretly-e2e-" + std::to_string(::getpid());
        m_tab = m_dir.path / "night.tab";
        e2e::WriteSongTab(m_tab, 14, "Night Blues");
        // No desktop registration (its data folder is a file), so no cache tool outlives the test.
        WriteFileBytes(m_dir.path / "data", "not a folder");
    }

    // Starts Weston with the given backend; false (with the reason) where it does not come up.
    bool StartWeston(const std::string& backend, const std::string& display, std::string& reason)
    {
        if (!e2e::HaveProgram("weston")) {
            reason = "weston is not installed (scripts/install-deps installs it)";
            return false;
        }
        const std::vector<std::string> argv = {"weston", "--backend=" + backend, "--socket=" + m_socket,
                                               "--idle-time=0", "--width=1024", "--height=768", "--use-pixman"};
        if (!m_weston.Start(argv, {{"XDG_RUNTIME_DIR", m_runtime.string()}, {"DISPLAY", display},
                                   {"WAYLAND_DISPLAY", ""}},
                            m_dir.path / "weston.log")) {
            reason = "weston could not be started";
            return false;
        }
        if (!e2e::WaitUntil([&] { return fs::exists(m_runtime / m_socket) || !m_weston.Running(); }, 20s) ||
            !m_weston.Running()) {
            reason = "weston did not come up:\n" + m_weston.LogTail();
            return false;
        }
        return true;
    }

    e2e::Env FretlyEnv() const
    {
        return {{"QT_QPA_PLATFORM", "wayland"}, {"XDG_RUNTIME_DIR", m_runtime.string()},
                {"WAYLAND_DISPLAY", m_socket}, {"DISPLAY", ""}, {"WAYLAND_DEBUG", "1"},
                {"XDG_CONFIG_HOME", m_dir.path.string()}, {"XDG_DATA_HOME", (m_dir.path / "data").string()},
                // Recovery copies of a run ended by the test stay with the test: in a shared
                // folder they would put a recovery question before every later start.
                {"XDG_STATE_HOME", (m_dir.path / "state").string()}};
    }

    // The client's protocol trace: what it asked the compositor for, window by window.
    std::string Trace() const { return m_fretly.Log(); }

    // The xdg_toplevel id of the window titled title, or "" while there is none.
    std::string ToplevelTitled(const std::string& title) const
    {
        std::smatch m;
        const std::string trace = Trace();
        const std::regex re("xdg_toplevel@(\\d+)\\.set_title\\(\"" + title + "\"\\)");
        return std::regex_search(trace, m, re) ? m[1].str() : std::string();
    }

    std::string m_exe;
    CScratchDir m_dir{"fretly-e2e-wayland"};
    fs::path m_runtime;
    std::string m_socket;
    fs::path m_tab;
    e2e::CChild m_weston;
    e2e::CChild m_fretly;
};

TEST_F(WaylandSession, CommandLinePrintRunsOnTheCompositorAndEnds)
{
    std::string reason;
    if (!StartWeston("headless-backend.so", "", reason))
        GTEST_SKIP() << reason;
    const fs::path pdf = m_dir.path / "night.pdf";
    ASSERT_TRUE(m_fretly.Start({m_exe, "/pt", m_tab.string(), pdf.string(), "", ""}, FretlyEnv(),
                               m_dir.path / "fretly.log"));
    const int status = m_fretly.Wait(60s);
    ASSERT_NE(status, -1) << "still running after a command-line print";
    EXPECT_EQ(e2e::ExitCode(status), 0) << m_fretly.LogTail();
    // It was a Wayland client, not a fallback to another platform.
    EXPECT_NE(Trace().find("wl_display@1.get_registry"), std::string::npos) << m_fretly.LogTail();
    EXPECT_EQ(e2e::PdfPageCount(pdf), 2);
}

TEST_F(WaylandSession, MainWindowComesUpWithTheFileAndTheHintsWindowAsItsChild)
{
    std::string reason;
    if (!StartWeston("headless-backend.so", "", reason))
        GTEST_SKIP() << reason;
    ASSERT_TRUE(m_fretly.Start({m_exe, m_tab.string()}, FretlyEnv(), m_dir.path / "fretly.log"));
    // The header dialog comes last in the start-up sequence.
    ASSERT_TRUE(e2e::WaitUntil([&] { return !ToplevelTitled("Fretly - File Information").empty() || !m_fretly.Running(); }, 30s))
        << m_fretly.LogTail();
    ASSERT_TRUE(m_fretly.Running()) << m_fretly.LogTail();
    const std::string main = ToplevelTitled("night.tab - Fretly");
    const std::string hints = ToplevelTitled("Tablature Hints");
    ASSERT_FALSE(main.empty()) << "no main window titled after the file";
    ASSERT_FALSE(hints.empty());
    // The compositor places a Wayland window; the Hints window is tied to the main window
    // as its transient child, so it stays with it.
    const std::string trace = Trace();
    EXPECT_NE(trace.find("xdg_toplevel@" + hints + ".set_parent(xdg_toplevel@" + main + ")"), std::string::npos);
    // The compositor's configure may come a moment after the dialog on a busy machine.
    EXPECT_TRUE(e2e::WaitUntil([&] { return Trace().find("xdg_toplevel@" + main + ".configure(") != std::string::npos; }, 10s))
        << "never configured";
    EXPECT_TRUE(e2e::WaitUntil([&] { return Trace().find(".attach(wl_buffer@") != std::string::npos; }, 10s))
        << "nothing drawn";
}

// A session a user has: keys typed go through Weston to the focused window.
TEST_F(WaylandSession, EditedFileClosedThroughTheMenuAsksToSaveAndEnds)
{
    for (const char* tool : {"Xvfb", "xdotool"})
        if (!e2e::HaveProgram(tool))
            GTEST_SKIP() << tool << " is not installed (scripts/install-deps installs it)";
    e2e::CChild xvfb;
    std::string failure;
    const std::string display = e2e::StartXvfb(xvfb, m_dir.path / "xvfb.log", "1100x850x24", &failure);
    if (display.empty())
        GTEST_SKIP() << failure;
    std::string reason;
    if (!StartWeston("x11-backend.so", display, reason))
        GTEST_SKIP() << reason;

    const std::string before = ReadFileBytes(m_tab);
    ASSERT_TRUE(m_fretly.Start({m_exe, m_tab.string()}, FretlyEnv(), m_dir.path / "fretly.log"));
    auto keys = [&](const std::string& args) {
        e2e::Shell("DISPLAY=" + display + " xdotool mousemove 500 400 " + args);
    };
    // Types the keys and waits for their effect; again, a few times, where the window was
    // not ready for them.
    auto press = [&](const std::string& args, const std::function<bool()>& done) {
        for (int nTry = 0; nTry < 5; ++nTry) {
            keys(args);
            if (e2e::WaitUntil(done, 3s))
                return true;
        }
        return false;
    };
    // Counts of protocol requests, to see a window or menu come and go.
    auto count = [&](const std::string& what) {
        const std::string trace = Trace();
        std::size_t n = 0;
        for (std::size_t at = trace.find(what); at != std::string::npos; at = trace.find(what, at + 1))
            ++n;
        return n;
    };

    ASSERT_TRUE(e2e::WaitUntil([&] { return !ToplevelTitled("Fretly - File Information").empty(); }, 30s))
        << m_fretly.LogTail();
    const std::string header = ToplevelTitled("Fretly - File Information");
    // Escape cancels the header dialog.
    ASSERT_TRUE(press("key Escape", [&] {
        return Trace().find("xdg_toplevel@" + header + ".destroy()") != std::string::npos;
    })) << m_fretly.LogTail();
    // The compositor gives the keyboard to a window of its choosing then (Weston: the Hints
    // window, as a client cannot activate its own windows there); Escape closes the Hints
    // window, which leaves the main window with the keys.
    const std::string hints = ToplevelTitled("Tablature Hints");
    ASSERT_FALSE(hints.empty());
    ASSERT_TRUE(press("key Escape", [&] {
        return Trace().find("xdg_toplevel@" + hints + ".destroy()") != std::string::npos;
    })) << m_fretly.LogTail();
    // The keyboard comes back to the main window a moment later.
    ASSERT_TRUE(e2e::WaitUntil([&] {
        const std::string trace = Trace();
        const std::size_t gone = trace.find("xdg_toplevel@" + hints + ".destroy()");
        return trace.find("wl_keyboard", gone) != std::string::npos &&
               trace.find(".enter(", gone) != std::string::npos;
    }, 10s)) << m_fretly.LogTail();
    // A fret number typed into the tab, then File > Exit through the menu (a popup on Wayland).
    const std::size_t nToplevels = count(".get_toplevel(");
    keys("type 7");
    // The save prompt is a window of its own; No leaves the file as it was. On a busy
    // machine Exit's key can reach the menu before the menu takes the keyboard, and be
    // lost: then the menu is opened and the key pressed again.
    bool bPrompt = false;
    for (int nTry = 0; nTry < 5 && !bPrompt; ++nTry) {
        const std::size_t nPopups = count(".get_popup(");
        ASSERT_TRUE(press("key alt+f", [&] { return count(".get_popup(") > nPopups; })) << m_fretly.LogTail();
        keys("key x");
        bPrompt = e2e::WaitUntil([&] { return count(".get_toplevel(") > nToplevels; }, 5s);
    }
    ASSERT_TRUE(bPrompt) << "no save prompt after File > Exit:\n" << m_fretly.LogTail();
    int status = -1;
    press("key n", [&] { return (status = m_fretly.Wait(0ms)) != -1; });
    ASSERT_NE(status, -1) << "the program did not end:\n" << m_fretly.LogTail();
    EXPECT_EQ(e2e::ExitCode(status), 0);
    EXPECT_EQ(ReadFileBytes(m_tab), before);
}

} // namespace
