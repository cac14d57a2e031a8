#pragma once
// The program's start before the toolkit is loaded: --version, the display check, and
// reading the file named on the command line on a worker thread; then the toolkit half
// (the module fretly-gui.so, GuiMain.cpp) is loaded and run. Loading the toolkit's
// libraries takes a noticeable share of a start, and the file is read meanwhile.

#include <string>

// Marks the module's entry points, looked up by name.
#define FRETLY_GUI_ENTRY __attribute__((visibility("default")))

// Runs the module's entry pszEntry (FretlyGuiMain or FretlyGuiStartBenchmark) with the
// command line; pszModule names the module, or nullptr: fretly-gui.so beside the
// program, else in the program's library folder. Returns the program's exit status.
int AfxLaunchGui(int argc, char* argv[], const char* pszEntry, const char* pszModule = nullptr);

// Loads the program module pszLeaf (beside the program, else in its library folder), or
// the file pszModule when not nullptr; nullptr with the reason in error.
void* AfxOpenProgramModule(const char* pszLeaf, const char* pszModule, std::string& error);

// The folder of the running program, from the kernel rather than argv[0]; "." if unknown.
std::string AfxProgramFolder();
