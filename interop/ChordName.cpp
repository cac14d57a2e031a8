#include "interop/ChordName.h"

namespace {

struct CKind {
    std::string_view suffix;
    const char* pszKind;
};

// Suffixes as guitarists write them; anything else is not read as a chord.
constexpr CKind kKinds[] = {
    {"", "major"}, {"maj", "major"}, {"M", "major"},
    {"m", "minor"}, {"min", "minor"}, {"-", "minor"},
    {"7", "dominant"}, {"dom7", "dominant"},
    {"maj7", "major-seventh"}, {"M7", "major-seventh"}, {"Maj7", "major-seventh"}, {"ma7", "major-seventh"},
    {"m7", "minor-seventh"}, {"min7", "minor-seventh"}, {"-7", "minor-seventh"},
    {"dim", "diminished"}, {"o", "diminished"}, {"dim7", "diminished-seventh"}, {"o7", "diminished-seventh"},
    {"aug", "augmented"}, {"+", "augmented"}, {"aug7", "augmented-seventh"}, {"+7", "augmented-seventh"},
    {"m7b5", "half-diminished"}, {"m7-5", "half-diminished"},
    {"mmaj7", "major-minor"}, {"mM7", "major-minor"},
    {"6", "major-sixth"}, {"m6", "minor-sixth"},
    {"9", "dominant-ninth"}, {"maj9", "major-ninth"}, {"m9", "minor-ninth"},
    {"11", "dominant-11th"}, {"m11", "minor-11th"}, {"13", "dominant-13th"},
    {"sus2", "suspended-second"}, {"sus4", "suspended-fourth"}, {"sus", "suspended-fourth"},
    {"5", "power"},
};

bool ReadNote(std::string_view& text, char& chStep, int& nAlter)
{
    if (text.empty() || text[0] < 'A' || text[0] > 'G')
        return false;
    chStep = text[0];
    nAlter = 0;
    text.remove_prefix(1);
    if (!text.empty() && (text[0] == '#' || text[0] == 'b')) {
        nAlter = text[0] == '#' ? 1 : -1;
        text.remove_prefix(1);
    }
    return true;
}

} // namespace

bool AfxParseChordName(std::string_view word, CChordName& chord)
{
    std::string_view rest = word;
    if (!ReadNote(rest, chord.m_chRootStep, chord.m_nRootAlter))
        return false;
    chord.m_bHasBass = false;
    if (const std::size_t slash = rest.rfind('/'); slash != std::string_view::npos) {
        std::string_view bass = rest.substr(slash + 1);
        if (!ReadNote(bass, chord.m_chBassStep, chord.m_nBassAlter) || !bass.empty())
            return false;
        chord.m_bHasBass = true;
        rest = rest.substr(0, slash);
    }
    for (const CKind& kind : kKinds) {
        if (rest == kind.suffix) {
            chord.m_strKind = kind.pszKind;
            chord.m_strKindText = std::string(rest);
            return true;
        }
    }
    return false;
}
