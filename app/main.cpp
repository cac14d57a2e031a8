// The fretly program: a launcher that starts reading the file it is given, then loads
// and runs the toolkit half (Launcher.h).
#include "app/Launcher.h"

int main(int argc, char* argv[]) { return AfxLaunchGui(argc, argv, "FretlyGuiMain"); }
