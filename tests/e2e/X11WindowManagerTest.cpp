// The start-up windows on an X server with a window manager, which frames the main window
// after the program has placed it: the Tablature Hints window must stand where it stands
// without one, counted from the main window's client area, and on the screen.
#include <gtest/gtest.h>

#include <regex>

#include "e2e/E2eSupport.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr int kScreenCx = 1280;
constexpr int kScreenCy = 1024;

struct CWindowBox {
    bool bFound = false;
    int x = 0, y = 0, cx = 0, cy = 0;         // the client area, screen pixels
    int left = 0, right = 0, top = 0, bottom = 0;   // the frame around it
    bool operator==(const CWindowBox&) const = default;
};

struct CStartupLayout {
    CWindowBox main, hints;
    std::string failure;   // empty when measured
    bool bSessionLost = false;   // the X server or the manager failed, not the program
};

int Field(const std::string& text, const std::string& label)
{
    const std::size_t at = text.find(label);
    return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + label.size());
}

CWindowBox Measure(const std::string& display, const std::string& title)
{
    CWindowBox box;
    const std::string env = "DISPLAY=" + display + " ";
    std::string id = e2e::Shell(env + "xdotool search --name " + e2e::Quote("^" + title + "$") + " | head -n 1");
    id.erase(id.find_last_not_of(" \n") + 1);
    if (id.empty() || id.find_first_not_of("0123456789") != std::string::npos)
        return box;
    const std::string info = e2e::Shell(env + "xwininfo -id " + id);
    if (info.find("IsViewable") == std::string::npos)
        return box;
    box.bFound = true;
    box.x = Field(info, "Absolute upper-left X:");
    box.y = Field(info, "Absolute upper-left Y:");
    box.cx = Field(info, "Width:");
    box.cy = Field(info, "Height:");
    std::smatch m;
    const std::string extents = e2e::Shell(env + "xprop -id " + id + " _NET_FRAME_EXTENTS");
    if (std::regex_search(extents, m, std::regex("= (\\d+), (\\d+), (\\d+), (\\d+)"))) {
        box.left = std::stoi(m[1]);
        box.right = std::stoi(m[2]);
        box.top = std::stoi(m[3]);
        box.bottom = std::stoi(m[4]);
    }
    return box;
}

class X11Session : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_exe = e2e::FretlyExe();
        ASSERT_FALSE(m_exe.empty());
        ASSERT_TRUE(m_dir.IsValid());
        for (const char* tool : {"Xvfb", "xdotool", "xwininfo", "xprop"})
            if (!e2e::HaveProgram(tool))
                GTEST_SKIP() << tool << " is not installed (scripts/install-deps installs it)";
        m_tab = m_dir.path / "night.tab";
        e2e::WriteSongTab(m_tab, 3, "Night Blues");
        WriteFileBytes(m_dir.path / "data", "not a folder");
    }

    // Starts the editor on a new X server (with the window manager if one is named) and
    // measures the main and Hints windows once the start-up has settled.
    CStartupLayout Run(const std::string& windowManager)
    {
        CStartupLayout layout;
        const std::string size = std::to_string(kScreenCx) + "x" + std::to_string(kScreenCy) + "x24";
        e2e::CChild xvfb, wm, fretly;
        const std::string display = e2e::StartXvfb(xvfb, m_dir.path / "xvfb.log", size, &layout.failure);
        if (display.empty())
            return layout.bSessionLost = true, layout;
        if (!windowManager.empty()) {
            wm.Start({windowManager}, {{"DISPLAY", display}, {"HOME", m_dir.path.string()}}, m_dir.path / "wm.log");
            // The manager announces itself on the root window once it runs.
            if (!e2e::WaitUntil([&] { return e2e::Shell("DISPLAY=" + display + " xprop -root _NET_SUPPORTING_WM_CHECK")
                                                 .find("window id") != std::string::npos; },
                                20s)) {
                layout.failure = windowManager + " did not start: " + wm.LogTail();
                layout.bSessionLost = true;
                return layout;
            }
        }
        fretly.Start({m_exe, m_tab.string()},
                     {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", display}, {"WAYLAND_DISPLAY", ""},
                      {"XDG_CONFIG_HOME", m_dir.path.string()}, {"XDG_DATA_HOME", (m_dir.path / "data").string()},
                      {"XDG_STATE_HOME", (m_dir.path / "state").string()}},
                     m_dir.path / "fretly.log");
        // The header dialog comes last; then the layout holds still.
        if (!e2e::WaitUntil([&] { return Measure(display, "Fretly - File Information").bFound; }, 30s)) {
            layout.failure = "no start-up windows: " + fretly.LogTail();
            layout.bSessionLost = fretly.Log().find("could not connect to display") != std::string::npos;
            return layout;
        }
        e2e::WaitUntil([&] {
            const CWindowBox main = Measure(display, "night.tab - Fretly");
            const CWindowBox hints = Measure(display, "Tablature Hints");
            const bool bSame = main.bFound && hints.bFound && main == layout.main && hints == layout.hints;
            layout.main = main;
            layout.hints = hints;
            return bSame;
        }, 15s);
        if (!layout.main.bFound || !layout.hints.bFound)
            layout.failure = "the main or the Hints window is missing";
        return layout;
    }

    // Run() again while the session itself fails: the X servers of other programs on a busy
    // machine take display numbers and sockets away now and then. The placement is measured
    // on every start-up that comes up.
    CStartupLayout RunSession(const std::string& windowManager)
    {
        CStartupLayout layout;
        for (int nTry = 0; nTry < 3; ++nTry) {
            layout = Run(windowManager);
            if (!layout.bSessionLost)
                break;
        }
        return layout;
    }

    std::string m_exe;
    CScratchDir m_dir{"fretly-e2e-x11"};
    fs::path m_tab;
};

TEST_F(X11Session, HintsWindowStandsBelowTheMenuBarUnderAWindowManager)
{
    if (!e2e::HaveProgram("openbox"))
        GTEST_SKIP() << "openbox is not installed (scripts/install-deps installs it)";
    const CStartupLayout bare = RunSession("");
    ASSERT_TRUE(bare.failure.empty()) << bare.failure;
    const int nBare = bare.hints.y - bare.hints.top - bare.main.y;
    EXPECT_GT(nBare, 0);
    // The Hints window's frame top, counted from the main window's client top: the menu
    // bar's height plus the template's offset, framed or not. Every start-up: the placement
    // must not depend on how the program's start races the manager's framing (openbox
    // sizes its frame after reparenting, and Qt read the 1x1 frame as the final one).
    auto offset = [](const CStartupLayout& l) { return l.hints.y - l.hints.top - l.main.y; };
    for (int nRun = 0; nRun < 3; ++nRun) {
        SCOPED_TRACE("start-up " + std::to_string(nRun + 1));
        const CStartupLayout framed = RunSession("openbox");
        ASSERT_TRUE(framed.failure.empty()) << framed.failure;
        ASSERT_GT(framed.main.top, 0) << "the window manager put no frame around the main window";
        EXPECT_NEAR(offset(framed), nBare, 2) << "Hints frame top " << framed.hints.y - framed.hints.top
                                              << ", main client top " << framed.main.y;
        // Its whole frame on the screen.
        EXPECT_GE(framed.hints.x - framed.hints.left, 0);
        EXPECT_LE(framed.hints.x + framed.hints.cx + framed.hints.right, kScreenCx);
        EXPECT_GE(framed.hints.y - framed.hints.top, 0);
        EXPECT_LE(framed.hints.y + framed.hints.cy + framed.hints.bottom, kScreenCy);
    }
}

} // namespace
