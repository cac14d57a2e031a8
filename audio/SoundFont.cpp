#include "audio/SoundFont.h"

#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

std::vector<std::string> AfxXdgDataDirs()
{
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    std::vector<std::string> out;
    std::stringstream in(dirs != nullptr && *dirs != '\0' ? dirs : "/usr/local/share:/usr/share");
    for (std::string dir; std::getline(in, dir, ':');)
        if (!dir.empty() && dir.front() == '/')   // relative entries are not valid XDG paths
            out.push_back(dir);
    return out;
}

std::vector<std::string> AfxSoundFontCandidates(const std::vector<std::string>& dataDirs)
{
    // The alternative first (whichever package the administrator chose), then the files
    // of the packages themselves in case the alternative link is missing.
    static const char* const kNames[] = {"sf2/default-GM.sf2", "sf3/default-GM.sf3", "sf2/default-GM.sf3",
                                         "sf2/FluidR3_GM.sf2", "sf3/FluidR3_GM.sf3", "sf2/TimGM6mb.sf2"};
    std::vector<std::string> out;
    for (const char* name : kNames)
        for (const std::string& dir : dataDirs)
            out.push_back(dir + "/sounds/" + name);
    return out;
}

std::string AfxFindSoundFont(const std::vector<std::string>& candidates)
{
    for (const std::string& path : candidates) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), R_OK) == 0)
            return path;
    }
    return {};
}
