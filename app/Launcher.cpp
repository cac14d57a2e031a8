#include "app/Launcher.h"

#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/ExportCommand.h"
#include "app/PlayLauncher.h"
#include "document/FretlyDoc.h"
#include "framework/CommandLine.h"
#include "framework/ReadAhead.h"
#include "framework/StartDisplay.h"
#include "interop/ImportCommand.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"
#include "resources/Version.h"

namespace {

int PrintVersion(const CCommandLine&)
{
    std::printf("fretly %s\n", kFretlyVersion);
    return 0;
}

int PrintHelp(const CCommandLine&)
{
    std::printf("%s\n", AfxLoadString(IDS_HELP_FORMS).c_str());
    return 0;
}

// Written to OUT.tab, the program ends; without OUT the editor starts with the import.
int Import(const CCommandLine& line) { return AfxRunImportCommand(line.Find("import")->values, stderr); }

// What the long options do that need no window: the first one met that is listed here
// runs instead of the editor and its status ends the program, unless it asks for the
// editor to start (kImportStartEditor).
struct CLauncherCommand {
    const char* pszOption;
    int (*pfnRun)(const CCommandLine& line);
};
constexpr CLauncherCommand kLauncherCommands[] = {
    {"version", PrintVersion},
    {"help", PrintHelp},
    {"import", Import},
    {"export", AfxRunExportCommand},
    {"play", AfxLaunchPlay},
};

const CLauncherCommand* FindLauncherCommand(const CCommandLine& line)
{
    for (const CLongOption& option : line.m_longOptions)
        for (const CLauncherCommand& command : kLauncherCommands)
            if (option.strName == command.pszOption)
                return &command;
    return nullptr;
}

} // namespace

void* AfxOpenProgramModule(const char* pszLeaf, const char* pszModule, std::string& error)
{
    std::vector<std::string> candidates;
    if (pszModule != nullptr) {
        candidates.push_back(pszModule);
    } else {
        const std::string folder = AfxProgramFolder();
        candidates.push_back(folder + "/" + pszLeaf);   // a build tree
        candidates.push_back(folder + "/../" FRETLY_PRIVATE_LIBDIR "/" + pszLeaf);   // installed
    }
    for (const std::string& candidate : candidates) {
        if (::access(candidate.c_str(), F_OK) != 0)
            continue;
        // Bound lazily, as the program's own libraries are: binding all of Qt's symbols at
        // once would cost the start several milliseconds (the module is linked with
        // --no-undefined, so nothing is missing).
        if (void* pModule = ::dlopen(candidate.c_str(), RTLD_LAZY | RTLD_LOCAL))
            return pModule;
        error = ::dlerror();
        return nullptr;
    }
    error = std::string(pszLeaf) + " was not found beside the program (" + candidates.front() + ") or in " +
            (candidates.size() > 1 ? candidates.back() : candidates.front());
    return nullptr;
}

std::string AfxProgramFolder()
{
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec || !exe.has_parent_path() ? std::string(".") : exe.parent_path().string();
}

int AfxLaunchGui(int argc, char* argv[], const char* pszEntry, const char* pszModule)
{
    // Parsed once here; the display check, the read-ahead and the application (through
    // AfxGetCommandLine, in the module) all read this.
    const CCommandLine& line = AfxSetCommandLine(CCommandLine::Parse(argc, argv));
    if (const CLauncherCommand* pCommand = FindLauncherCommand(line)) {
        if (const int nStatus = pCommand->pfnRun(line); nStatus != kImportStartEditor)
            return nStatus;
    }

    // With no display at all the toolkit would abort; printing runs offscreen instead.
    if (!AfxPrepareStartDisplay(line))
        return 1;

    // A big file named on the command line is read while the toolkit loads and starts.
    AfxStartReadAheadFor(line.m_info, AfxNewTabDocument);

    std::string error;
    void* pModule = AfxOpenProgramModule("fretly-gui.so", pszModule, error);
    using Entry = int (*)(int, char**);
    auto pEntry = pModule != nullptr ? reinterpret_cast<Entry>(::dlsym(pModule, pszEntry)) : nullptr;
    if (pEntry == nullptr) {
        if (error.empty())
            error = std::string(pszEntry) + " is missing from the program's module";
        AfxGetReadAhead().Cancel();
        std::fprintf(stderr, "%s: %s\n", AfxLoadString(AFX_IDS_APP_TITLE).c_str(),
                     AfxFormatString1(IDS_PROGRAM_INCOMPLETE, error).c_str());
        return 1;
    }
    // The module stays loaded: its objects live until the process ends.
    return pEntry(argc, argv);
}
