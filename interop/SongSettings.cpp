// The settings lines of a song's comments: tuning, capo, tempo and the length of a step.
#include <algorithm>
#include <cctype>

#include "interop/NoteModel.h"

namespace {

char Lower(char ch) { return static_cast<char>(std::tolower(static_cast<unsigned char>(ch))); }
bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }

std::string_view TrimLeft(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

std::string_view Trim(std::string_view text)
{
    text = TrimLeft(text);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(text[i]) != prefix[i])
            return false;
    }
    return true;
}

// When line begins with label (any case) followed by one of the characters in after,
// the rest of the line after that character; else false.
bool TakeLabel(std::string_view line, std::string_view label, std::string_view after, std::string_view& rest)
{
    if (!StartsWithNoCase(line, label) || line.size() == label.size())
        return false;
    std::string_view tail = TrimLeft(line.substr(label.size()));
    if (!tail.empty() && (tail.front() == ':' || tail.front() == '=')) {
        rest = Trim(tail.substr(1));
        return true;
    }
    // Without a colon only "Capo 3" and "Tempo 96" read: a sentence that begins with
    // "Tuning" is not a tuning.
    if (after.find(' ') != std::string_view::npos && IsBlank(line[label.size()])) {
        rest = Trim(tail);
        return true;
    }
    return false;
}

// The first whole number in text, or -1.
int FirstNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && !std::isdigit(static_cast<unsigned char>(text[i])))
        ++i;
    if (i == text.size())
        return -1;
    int n = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        n = n * 10 + (text[i] - '0');
        if (n > 100000)
            return -1;
    }
    return n;
}

bool IsSeparator(char ch) { return IsBlank(ch) || ch == ',' || ch == '-' || ch == '/' || ch == '|'; }

// The open-string keys that names without an octave are placed nearest to, low to high.
const std::array<int, 6>& ReferenceTuning(int nStrings)
{
    static const std::array<int, 6> guitar = {40, 45, 50, 55, 59, 64};
    static const std::array<int, 6> bass4 = {28, 33, 38, 43, 0, 0};
    static const std::array<int, 6> bass5 = {23, 28, 33, 38, 43, 0};
    return nStrings == 4 ? bass4 : nStrings == 5 ? bass5 : guitar;
}

// The key of pitch class nPitchClass nearest nReference (a tritone away: the lower one).
int Nearest(int nPitchClass, int nReference)
{
    int d = ((nPitchClass - nReference) % 12 + 12) % 12;
    if (d >= 6)
        d -= 12;
    return nReference + d;
}

bool ReadTuning(std::string_view rest, CSongSettings& settings)
{
    std::string lower;
    for (char ch : rest)
        lower += Lower(ch);
    if (lower.empty() || lower.starts_with("standard") || lower.starts_with("std") || lower == "normal") {
        settings.m_tuning = CSongSettings::kStandardTuning;
        settings.m_nStrings = 6;
        return true;
    }
    int nPitchClass = 0, nKey = -1;
    std::size_t nLength = 0;
    if (lower.starts_with("drop ") && AfxParseNoteName(Trim(rest.substr(5)), nPitchClass, nKey, nLength) &&
        nLength == Trim(rest.substr(5)).size()) {
        settings.m_tuning = CSongSettings::kStandardTuning;
        settings.m_tuning[5] = nKey >= 0 ? nKey : Nearest(nPitchClass, 40);
        settings.m_nStrings = 6;
        return true;
    }

    struct Name { int nPitchClass, nKey; };
    std::vector<Name> names;
    std::size_t i = 0;
    while (i < rest.size()) {
        if (IsSeparator(rest[i])) {
            ++i;
            continue;
        }
        if (!AfxParseNoteName(rest.substr(i), nPitchClass, nKey, nLength))
            break;
        names.push_back({nPitchClass, nKey});
        i += nLength;
    }
    // Anything after the names must be a remark in parentheses, "(half step down)".
    const std::string_view tail = Trim(rest.substr(i));
    if (!(tail.empty() || tail.front() == '(') || names.size() < 4 || names.size() > 6)
        return false;

    const int nStrings = static_cast<int>(names.size());
    const std::array<int, 6>& reference = ReferenceTuning(nStrings);
    settings.m_tuning = CSongSettings::kStandardTuning;
    for (int k = 0; k < nStrings; ++k) {
        const Name& name = names[static_cast<std::size_t>(k)];
        // Written low to high; row 0 is the highest string.
        settings.m_tuning[static_cast<std::size_t>(nStrings - 1 - k)] =
            name.nKey >= 0 ? name.nKey : Nearest(name.nPitchClass, reference[static_cast<std::size_t>(k)]);
    }
    settings.m_nStrings = nStrings;
    return true;
}

bool ReadCapo(std::string_view rest, CSongSettings& settings)
{
    const int n = FirstNumber(rest);
    if (n < 0) {
        std::string lower;
        for (char ch : rest)
            lower += Lower(ch);
        if (lower == "no" || lower == "none" || lower == "-") {
            settings.m_nCapo = 0;
            return true;
        }
        return false;
    }
    if (n > 24)
        return false;
    settings.m_nCapo = n;
    return true;
}

bool ReadTempo(std::string_view rest, CSongSettings& settings)
{
    const int n = FirstNumber(rest);
    if (n < 20 || n > 400)
        return false;
    settings.m_nTempo = n;
    return true;
}

bool ReadStep(std::string_view rest, CSongSettings& settings)
{
    if (!rest.starts_with("1/"))
        return false;
    const int n = FirstNumber(rest.substr(2));
    if (n != 4 && n != 8 && n != 16 && n != 32 && n != 64)
        return false;
    settings.m_nStepsPerQuarter = n / 4;
    return true;
}

// The plain-text import's note on a bass system, "Bass, 4 strings (G D A E, top to
// bottom): ...", names its strings top to bottom: a tuning in the other order.
bool IsBassNote(std::string_view line, std::string& lowToHigh)
{
    if (!StartsWithNoCase(line, "bass,"))
        return false;
    const std::size_t nOpen = line.find('(');
    const std::size_t nClose = line.find(", top to bottom", nOpen);
    if (nOpen == std::string_view::npos || nClose == std::string_view::npos)
        return false;
    std::vector<std::string_view> names;
    std::string_view list = line.substr(nOpen + 1, nClose - nOpen - 1);
    while (!list.empty()) {
        const std::size_t nBlank = list.find(' ');
        if (nBlank != 0)
            names.push_back(list.substr(0, nBlank));
        list = nBlank == std::string_view::npos ? std::string_view() : list.substr(nBlank + 1);
    }
    lowToHigh.clear();
    for (auto it = names.rbegin(); it != names.rend(); ++it)
        lowToHigh += std::string(*it) + " ";
    return true;
}

} // namespace

bool AfxParseNoteName(std::string_view text, int& nPitchClass, int& nKey, std::size_t& nLength)
{
    static constexpr int kClass[7] = {9, 11, 0, 2, 4, 5, 7};   // A B C D E F G
    if (text.empty())
        return false;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (letter < 'A' || letter > 'G')
        return false;
    int nClass = kClass[letter - 'A'];
    std::size_t i = 1;
    if (i < text.size() && (text[i] == '#' || text[i] == 'b')) {
        nClass += text[i] == '#' ? 1 : -1;
        ++i;
    }
    nKey = -1;
    if (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        nKey = (text[i] - '0' + 1) * 12 + nClass;
        ++i;
    }
    // A name is followed by nothing, a separator, another name or a remark.
    if (i < text.size() && std::isalnum(static_cast<unsigned char>(text[i])) &&
        !(std::toupper(static_cast<unsigned char>(text[i])) >= 'A' && std::toupper(static_cast<unsigned char>(text[i])) <= 'G'))
        return false;
    nPitchClass = (nClass + 12) % 12;
    nLength = i;
    return true;
}

CSongSettings AfxReadSongSettings(std::string_view comments)
{
    CSongSettings settings;
    while (!comments.empty()) {
        const std::size_t nEnd = comments.find_first_of("\r\n");
        std::string_view line = comments.substr(0, nEnd);
        comments = nEnd == std::string_view::npos ? std::string_view() : comments.substr(nEnd + 1);
        line = TrimLeft(line);

        std::string_view rest;
        std::string bass;
        bool bRead = true;
        if (IsBassNote(line, bass))
            bRead = ReadTuning(Trim(bass), settings);
        else if (TakeLabel(line, "tuning", ":", rest))
            bRead = ReadTuning(rest, settings);
        else if (TakeLabel(line, "capo", ": ", rest))
            bRead = ReadCapo(rest, settings);
        else if (TakeLabel(line, "tempo", ": ", rest) || TakeLabel(line, "bpm", ":", rest))
            bRead = ReadTempo(rest, settings);
        else if (TakeLabel(line, "step", ":", rest))
            bRead = ReadStep(rest, settings);
        if (!bRead)
            settings.m_unreadLines.emplace_back(Trim(line));
    }
    return settings;
}
