#include "app/PlayLauncher.h"

#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <string>

#include "app/Launcher.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

bool AfxIsPlayCommand(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--play") == 0 || std::strncmp(argv[i], "--play=", 7) == 0)
            return true;
    return false;
}

int AfxLaunchPlay(int argc, char* argv[])
{
    std::string error;
    void* pModule = AfxOpenProgramModule("fretly-audio.so", nullptr, error);
    using Entry = int (*)(int, char**);
    auto pEntry = pModule != nullptr ? reinterpret_cast<Entry>(::dlsym(pModule, "FretlyPlayMain")) : nullptr;
    if (pEntry == nullptr) {
        if (error.empty())
            error = "FretlyPlayMain is missing from fretly-audio.so";
        std::fprintf(stderr, "%s: %s\n", AfxLoadString(AFX_IDS_APP_TITLE).c_str(),
                     AfxFormatString1(IDS_PLAY_MODULE_MISSING, error).c_str());
        return 1;
    }
    return pEntry(argc, argv);
}
