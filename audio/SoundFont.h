#pragma once
// Finding the system's General MIDI soundfont: the "default-GM" alternative that
// Debian's soundfont packages provide, in the XDG data folders.
#include <string>
#include <vector>

// The files looked for, best first, under each folder of dataDirs ("$dir/sounds/...").
std::vector<std::string> AfxSoundFontCandidates(const std::vector<std::string>& dataDirs);
// The XDG data folders ($XDG_DATA_DIRS, default /usr/local/share:/usr/share).
std::vector<std::string> AfxXdgDataDirs();
// The first candidate that is a readable regular file; "" when none is.
std::string AfxFindSoundFont(const std::vector<std::string>& candidates);
