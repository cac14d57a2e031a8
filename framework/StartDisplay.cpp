#include "framework/StartDisplay.h"

#include <cstdio>
#include <cstdlib>

#include "framework/CommandLine.h"
#include "framework/FrameworkResource.h"
#include "framework/StringTable.h"

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

CStartDisplay AfxChooseStartDisplay(const CDisplayEnvironment& env, const CCommandLine& line)
{
    if (!env.qpaPlatform.empty() || !env.display.empty() || !env.waylandDisplay.empty())
        return CStartDisplay::Display;
    // The toolkit's own options name the platform or display: the user has chosen.
    if (line.NamesDisplay())
        return CStartDisplay::Display;
    // Printing shows no window; the offscreen platform serves it as well as a display
    // would, so "/p" works from a cron job or an ssh session.
    const CCommandLineInfo::Shell shell = line.m_info.m_nShellCommand;
    if (shell == CCommandLineInfo::FilePrint || shell == CCommandLineInfo::FilePrintTo)
        return CStartDisplay::Offscreen;
    return CStartDisplay::None;
}

CStartDisplay AfxChooseStartDisplay(const CDisplayEnvironment& env, const std::vector<std::string>& args)
{
    return AfxChooseStartDisplay(env, CCommandLine::Parse(args));
}

bool AfxPrepareStartDisplay(const CCommandLine& line)
{
    const CDisplayEnvironment env{Env("QT_QPA_PLATFORM"), Env("DISPLAY"), Env("WAYLAND_DISPLAY")};
    switch (AfxChooseStartDisplay(env, line)) {
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
