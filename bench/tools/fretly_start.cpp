// Whole-process benchmark helper: the editor's start exactly as the fretly program makes
// it (the launcher's read-ahead, then the toolkit module: profile, desktop registration,
// the file given on the command line, main window, Hints window, the start-up header
// dialog), ended as soon as everything has been shown: each modal dialog is cancelled
// the moment it runs and the program ends on its first idle turn.
// Run it with QT_QPA_PLATFORM=offscreen.
#include <string>
#include <unistd.h>

#include "app/Launcher.h"

int main(int argc, char* argv[])
{
    // The module is built beside the program, in the build tree's app folder.
    std::string self(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size());
    self.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    const std::string module = self.substr(0, self.rfind('/')) + "/../app/fretly-gui.so";
    return AfxLaunchGui(argc, argv, "FretlyGuiStartBenchmark", module.c_str());
}
