#include "audio/PlayOptions.h"

#include <cstdlib>

#include "framework/CommandLine.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

namespace {

// A whole number from nMin to nMax, digits only.
bool ParseWhole(const std::string& text, long nMin, long nMax, int& nValue)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long n = std::strtol(text.c_str(), nullptr, 10);
    return n >= nMin && n <= nMax && (nValue = static_cast<int>(n), true);
}

} // namespace

bool AfxGetPlayOptions(const CCommandLine& line, CPlayOptions& options, std::string& error)
{
    options = CPlayOptions{};
    for (const char* pszName : {"play", "to", "tempo", "from"}) {
        const CLongOption* pOption = line.Find(pszName);
        if (pOption == nullptr)
            continue;
        const std::string value = pOption->values.empty() ? std::string() : pOption->values.front();
        // "--play --tempo 90" names no song: an option is not a file.
        if (value.empty() || (value.rfind("--", 0) == 0 && value.size() > 2)) {
            error = std::string(pszName) == "play" ? AfxLoadString(IDS_PLAY_NO_SONG)
                                                   : AfxFormatString1(IDS_PLAY_NO_VALUE, std::string("--") + pszName);
            return false;
        }
        if (std::string(pszName) == "play") {
            options.strSong = value;
        } else if (std::string(pszName) == "to") {
            options.strOut = value;
        } else if (std::string(pszName) == "tempo") {
            // The range a Tempo: line of the song may give.
            if (!ParseWhole(value, 20, 400, options.nTempo)) {
                error = AfxFormatString1(IDS_PLAY_BAD_TEMPO, value);
                return false;
            }
        } else if (!ParseWhole(value, 1, 999999999, options.nFrom)) {
            error = AfxFormatString1(IDS_PLAY_BAD_FROM, value);
            return false;
        }
    }
    if (options.strSong.empty()) {
        error = AfxLoadString(IDS_PLAY_NO_SONG);
        return false;
    }
    return true;
}
