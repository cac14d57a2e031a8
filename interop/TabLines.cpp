#include "interop/TabLines.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

bool IsNoteLetter(char ch) { return (ch >= 'A' && ch <= 'G') || (ch >= 'a' && ch <= 'g'); }
bool IsAsciiLetter(char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }
char Lower(char ch) { return static_cast<char>(std::tolower(static_cast<unsigned char>(ch))); }

// The name of a string at the start of text ("e", "Eb", "F#", "6", "1)"); its length,
// or 0.
std::size_t NameLength(std::string_view text)
{
    if (text.empty())
        return 0;
    if (IsNoteLetter(text[0])) {
        if (text.size() > 2 && (text[1] == '#' || text[1] == 'b') && !IsAsciiLetter(text[2]))
            return 2;
        return 1;
    }
    if (text[0] >= '1' && text[0] <= '9')
        return text.size() > 1 && text[1] == ')' ? 2 : 1;
    return 0;
}

// Music looks like music: dashes between the entries, and no word of three letters
// or more (a run of x's is a row of dead notes, not a word).
bool LooksLikeMusic(std::string_view body)
{
    if (body.size() < 3)
        return false;
    std::size_t nDashes = 0;
    std::size_t nLetters = 0;
    for (char ch : body) {
        nDashes += ch == '-' ? 1 : 0;
        if (IsAsciiLetter(ch) && ch != 'x' && ch != 'X') {
            if (++nLetters >= 3)
                return false;
        } else {
            nLetters = 0;
        }
    }
    return nDashes >= 2 && nDashes * 4 >= body.size();
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::string NameAsNote(std::string_view name)
{
    std::string note(name);
    note[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(note[0])));
    return note;
}

// Whether the names are those of standard tuning, top string first, in either case;
// numbered strings count as standard.
bool IsStandard(const std::vector<std::string_view>& names, std::string_view standard)
{
    if (names.size() != standard.size())
        return false;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i].empty() || (names[i][0] >= '1' && names[i][0] <= '9'))
            continue;
        if (names[i].size() != 1 || Lower(names[i][0]) != Lower(standard[i]))
            return false;
    }
    return true;
}

} // namespace

bool IsBlank(std::string_view line) { return Trim(line).empty(); }

bool ParseStringLine(std::string_view line, CStringLine& parsed)
{
    std::size_t i = 0;
    while (i < line.size() && i < 8 && line[i] == ' ')
        ++i;
    const std::size_t nName = NameLength(line.substr(i));
    parsed.name = line.substr(i, nName);
    i += nName;
    if (nName > 0) {
        for (int n = 0; n < 2 && i < line.size() && line[i] == ' '; ++n)
            ++i;
    }
    if (i >= line.size())
        return false;
    // A string line's music begins with a bar or a dash (a name may also be followed by
    // a colon). One bar or colon frames the line; a second is a bar of the music ("e||"
    // is a double bar; Fretly's own text export writes a bar in the first column so).
    if (line[i] != '|' && line[i] != '-' && !(nName > 0 && line[i] == ':'))
        return false;
    if (line[i] == '|' || line[i] == ':')
        ++i;
    std::string_view body = line.substr(i);
    while (!body.empty() && (body.back() == ' ' || body.back() == '\r'))
        body.remove_suffix(1);
    while (!body.empty() && (body.back() == '|' || body.back() == ':'))
        body.remove_suffix(1);
    if (!LooksLikeMusic(body))
        return false;
    parsed.nBodyColumn = i;
    parsed.body = body;
    return true;
}

std::vector<std::pair<std::size_t, std::size_t>> SplitRun(const std::vector<CStringLine>& run)
{
    std::vector<std::pair<std::size_t, std::size_t>> systems;
    const bool bNamed = std::all_of(run.begin(), run.end(), [](const CStringLine& l) { return !l.name.empty(); });
    std::size_t nStart = 0;
    for (std::size_t i = 1; i < run.size(); ++i) {
        const bool bRepeat = bNamed && i - nStart >= 4 && run[i].name == run[nStart].name &&
                             i + 1 < run.size() && run[i + 1].name == run[nStart + 1].name;
        const bool bSix = !bNamed && run.size() % 6 == 0 && i - nStart == 6;
        if (bRepeat || bSix) {
            systems.emplace_back(nStart, i - nStart);
            nStart = i;
        }
    }
    if (!run.empty())
        systems.emplace_back(nStart, run.size() - nStart);
    return systems;
}

namespace {

// "Am", "C#m7b5", "G/B", "Asus4", "Cadd9", "Bbmaj7", "E7#9", "Ddim", "Faug", "N.C.".
bool IsChordName(std::string_view token)
{
    if (token == "N.C." || token == "NC" || token == "|" || token == "-" || token == "%")
        return true;
    // A repeat mark: x2, (x3), 2x.
    if (token.size() <= 4) {
        std::string_view t = token;
        if (t.front() == '(' && t.back() == ')')
            t = t.substr(1, t.size() - 2);
        if (t.size() == 2 && ((t[0] == 'x' && std::isdigit(static_cast<unsigned char>(t[1]))) ||
                              (t[1] == 'x' && std::isdigit(static_cast<unsigned char>(t[0])))))
            return true;
    }
    if (token.size() > 12 || token[0] < 'A' || token[0] > 'G')
        return false;
    static constexpr std::string_view kSuffixLetters = "majindusgbM";
    bool bAfterSlash = false;
    for (std::size_t i = 1; i < token.size(); ++i) {
        const char ch = token[i];
        if (bAfterSlash && ch >= 'A' && ch <= 'G') {
            bAfterSlash = false;
            continue;
        }
        bAfterSlash = ch == '/';
        if (IsAsciiLetter(ch) && kSuffixLetters.find(ch) == std::string_view::npos)
            return false;
        if (!IsAsciiLetter(ch) && !std::isdigit(static_cast<unsigned char>(ch)) &&
            std::string_view("#+-/()*'").find(ch) == std::string_view::npos)
            return false;
    }
    return true;
}

template <typename Each>
void ForEachToken(std::string_view line, Each each)
{
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        std::size_t nEnd = i;
        while (nEnd < line.size() && line[nEnd] != ' ')
            ++nEnd;
        if (nEnd > i && !each(i, line.substr(i, nEnd - i)))
            return;
        i = nEnd;
    }
}

} // namespace

bool IsChordLine(std::string_view line)
{
    bool bAny = false;
    bool bAll = true;
    ForEachToken(line, [&](std::size_t, std::string_view token) {
        bAll = IsChordName(token);
        bAny = bAny || (token[0] >= 'A' && token[0] <= 'G');
        return bAll;
    });
    return bAll && bAny;
}

std::vector<CChordName> ChordNames(std::string_view line, std::size_t nBodyColumn)
{
    std::vector<CChordName> names;
    ForEachToken(line, [&](std::size_t nColumn, std::string_view token) {
        names.push_back({nColumn > nBodyColumn ? nColumn - nBodyColumn : 0, token});
        return true;
    });
    return names;
}

std::pair<int, std::string> ParseHeaderLine(std::string_view line)
{
    const std::size_t nColon = line.find(':');
    if (nColon == std::string_view::npos || nColon > 20)
        return {-1, {}};
    std::string label;
    for (char ch : Trim(line.substr(0, nColon)))
        label += Lower(ch);
    const std::string_view value = Trim(line.substr(nColon + 1));
    if (value.empty())
        return {-1, {}};
    static const std::array<std::pair<std::string_view, int>, 15> kLabels = {{
        {"artist", 0}, {"band", 0}, {"author", 0}, {"artist/band", 0}, {"author/artist", 0},
        {"title", 1}, {"song", 1}, {"song title", 1},
        {"album", 2},
        {"tabbed by", 3}, {"tab by", 3}, {"tabs by", 3}, {"transcribed by", 3},
        {"email", 4}, {"e-mail", 4},
    }};
    for (const auto& [text, nField] : kLabels) {
        if (label == text)
            return {nField, std::string(value)};
    }
    return {-1, {}};
}

std::string TuningLine(const std::vector<std::string_view>& names)
{
    if (names.size() != 6 || IsStandard(names, "EBGDAE"))
        return {};
    std::string line = "Tuning:";
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (it->empty() || ((*it)[0] >= '1' && (*it)[0] <= '9'))
            return {};
        line += ' ' + NameAsNote(*it);
    }
    return line;
}

std::string BassNote(const std::vector<std::string_view>& names)
{
    const bool bNamed = std::none_of(names.begin(), names.end(), [](std::string_view n) {
        return n.empty() || (n[0] >= '1' && n[0] <= '9');
    });
    std::string strings;
    if (bNamed) {
        for (std::string_view name : names)
            strings += (strings.empty() ? "" : " ") + NameAsNote(name);
    } else {
        strings = names.size() == 4 ? "G D A E" : "G D A E B";
    }
    return "Bass, " + std::to_string(names.size()) + " strings (" + strings +
           ", top to bottom): the top rows of the staffs.";
}
