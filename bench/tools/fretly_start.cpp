// Whole-process benchmark helper: the editor's start exactly as the fretly program makes
// it (the launcher's read-ahead, then the toolkit module: profile, desktop registration,
// the file given on the command line, main window, Hints window, the start-up header
// dialog), ended as soon as everything has been shown: each modal dialog is cancelled
// the moment it runs and the program ends on its first idle turn.
// Run it with QT_QPA_PLATFORM=offscreen.
#include <string>

#include "app/Launcher.h"

int main(int argc, char* argv[])
{
    // In the build tree the module lies in the app folder next to this one.
    const std::string module = AfxProgramFolder() + "/../app/fretly-gui.so";
    return AfxLaunchGui(argc, argv, "FretlyGuiStartBenchmark", module.c_str());
}
