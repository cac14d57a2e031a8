#include "framework/StartDisplay.h"

#include <cstdio>
#include <cstdlib>

#include "framework/CommandLineInfo.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

CStartDisplay AfxChooseStartDisplay(const CDisplayEnvironment& env, const std::vector<std::string>& args)
{
    if (!env.qpaPlatform.empty() || !env.display.empty() || !env.waylandDisplay.empty())
        return CStartDisplay::Display;
    for (const std::string& arg : args) {
        // The toolkit's own options name the platform or display: the user has chosen.
        if (arg == "-platform" || arg == "--platform" || arg == "-display" || arg == "--display")
            return CStartDisplay::Display;
    }
    CCommandLineInfo info;
    AfxParseCommandLine(args, info);
    // Printing shows no window; the offscreen platform serves it as well as a display
    // would, so "/p" works from a cron job or an ssh session.
    if (info.m_nShellCommand == CCommandLineInfo::FilePrint || info.m_nShellCommand == CCommandLineInfo::FilePrintTo)
        return CStartDisplay::Offscreen;
    return CStartDisplay::None;
}

bool AfxPrepareStartDisplay(int argc, char* argv[])
{
    const CDisplayEnvironment env{Env("QT_QPA_PLATFORM"), Env("DISPLAY"), Env("WAYLAND_DISPLAY")};
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    switch (AfxChooseStartDisplay(env, args)) {
    case CStartDisplay::Display:
        return true;
    case CStartDisplay::Offscreen:
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return true;
    case CStartDisplay::None:
        break;
    }
    std::fprintf(stderr, "%s: %s\n", AfxLoadString(AFX_IDS_APP_TITLE).c_str(), AfxLoadString(IDS_NO_DISPLAY).c_str());
    return false;
}
