#include "audio/PlayProgress.h"

#include <cstdio>

#include "resources/Resource.h"
#include "resources/StringTable.h"

std::string AfxFormatPlayTime(std::uint64_t nFrames, int nSampleRate)
{
    const std::uint64_t nSeconds = nSampleRate > 0 ? nFrames / static_cast<std::uint64_t>(nSampleRate) : 0;
    char buf[48];
    if (nSeconds >= 3600)
        std::snprintf(buf, sizeof buf, "%llu:%02u:%02u", static_cast<unsigned long long>(nSeconds / 3600),
                      static_cast<unsigned>(nSeconds / 60 % 60), static_cast<unsigned>(nSeconds % 60));
    else
        std::snprintf(buf, sizeof buf, "%u:%02u", static_cast<unsigned>(nSeconds / 60),
                      static_cast<unsigned>(nSeconds % 60));
    return buf;
}

std::string AfxFormatPlayProgress(int nStaff, int nStaffs, int nBar, std::uint64_t nFrame, std::uint64_t nTotalFrames,
                                  int nSampleRate)
{
    // The string table's %n markers, filled in one pass so a value can never be
    // mistaken for a marker.
    const std::string values[] = {std::to_string(nStaff < 0 ? 1 : nStaff + 1), std::to_string(nStaffs),
                                  std::to_string(nBar), AfxFormatPlayTime(nFrame, nSampleRate),
                                  AfxFormatPlayTime(nTotalFrames, nSampleRate)};
    const std::string& format = AfxLoadString(IDS_PLAY_PROGRESS);
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] >= '1' && format[i + 1] <= '5') {
            out += values[format[i + 1] - '1'];
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}
