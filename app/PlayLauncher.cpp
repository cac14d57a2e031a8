#include "app/PlayLauncher.h"

#include <cstdio>
#include <dlfcn.h>
#include <string>

#include "app/Launcher.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

int AfxLaunchPlay(const CCommandLine& line)
{
    std::string error;
    void* pModule = AfxOpenProgramModule("fretly-audio.so", nullptr, error);
    using Entry = int (*)(const CCommandLine&);
    auto pEntry = pModule != nullptr ? reinterpret_cast<Entry>(::dlsym(pModule, "FretlyPlayMain")) : nullptr;
    if (pEntry == nullptr) {
        if (error.empty())
            error = "FretlyPlayMain is missing from fretly-audio.so";
        std::fprintf(stderr, "%s: %s\n", AfxLoadString(AFX_IDS_APP_TITLE).c_str(),
                     AfxFormatString1(IDS_PLAY_MODULE_MISSING, error).c_str());
        return 1;
    }
    return pEntry(line);
}
