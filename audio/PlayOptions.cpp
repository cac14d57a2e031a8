#include "audio/PlayOptions.h"

#include <cstdlib>

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

bool AfxWantsPlay(const std::vector<std::string>& args)
{
    for (const std::string& arg : args)
        if (arg == "--play" || arg.rfind("--play=", 0) == 0)
            return true;
    return false;
}

bool AfxParsePlayOptions(const std::vector<std::string>& args, CPlayOptions& options, std::string& error)
{
    options = CPlayOptions{};
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool bHasValue = false;
        if (const std::size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            bHasValue = true;
        }
        if (name != "--play" && name != "--to" && name != "--tempo" && name != "--from")
            continue;
        if (!bHasValue) {
            // A following option is not a value: "--play --tempo 90" names no song.
            if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0) {
                error = name == "--play" ? AfxLoadString(IDS_PLAY_NO_SONG) : AfxFormatString1(IDS_PLAY_NO_VALUE, name);
                return false;
            }
            value = args[++i];
        }
        if (value.empty()) {
            error = name == "--play" ? AfxLoadString(IDS_PLAY_NO_SONG) : AfxFormatString1(IDS_PLAY_NO_VALUE, name);
            return false;
        }
        if (name == "--play") {
            options.strSong = value;
        } else if (name == "--to") {
            options.strOut = value;
        } else if (name == "--tempo") {
            // The slowest tempo a MIDI file can state is about 3.6 beats per minute.
            if (!ParseWhole(value, 4, 1000, options.nTempo)) {
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
