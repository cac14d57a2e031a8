#pragma once
// Whether the program has somewhere to show its windows, decided before the toolkit
// starts: with no display at all the toolkit would abort the program outright.
#include <string>
#include <vector>

class CCommandLine;

enum class CStartDisplay {
    Display,     // a display (or a platform chosen by the user): start as usual
    Offscreen,   // no display, but printing from the command line needs none
    None,        // no display and a window to show: end with a message
};

struct CDisplayEnvironment {
    std::string qpaPlatform;      // $QT_QPA_PLATFORM
    std::string display;          // $DISPLAY
    std::string waylandDisplay;   // $WAYLAND_DISPLAY
};

CStartDisplay AfxChooseStartDisplay(const CDisplayEnvironment& env, const CCommandLine& line);
// args: the command line after the program name, the toolkit's own options included.
CStartDisplay AfxChooseStartDisplay(const CDisplayEnvironment& env, const std::vector<std::string>& args);

// Applies the choice to this process: selects the offscreen platform for command-line
// printing, or writes why the program cannot start to standard error and returns false.
bool AfxPrepareStartDisplay(const CCommandLine& line);
