#include "app/Launcher.h"

#include "app/PlayLauncher.h"

#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/Version.h"
#include "document/FretlyDoc.h"
#include "framework/ReadAhead.h"
#include "framework/StartDisplay.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

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
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("fretly %s\n", kFretlyVersion);
            return 0;
        }
    }

    if (AfxIsPlayCommand(argc, argv))
        return AfxLaunchPlay(argc, argv);

    // With no display at all the toolkit would abort; printing runs offscreen instead.
    if (!AfxPrepareStartDisplay(argc, argv))
        return 1;

    // A big file named on the command line is read while the toolkit loads and starts.
    AfxStartReadAhead(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc), AfxNewTabDocument);

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
