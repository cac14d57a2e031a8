#pragma once
// Recognising the kinds of line found in plain-text tablature: string lines, chord
// lines, labelled header lines. Each looks at one line once.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A line of one string: its name as written ("e", "Eb", "D", "1"; empty when none), the
// column where its music starts, and the music without the name and the bars that
// frame the line.
struct CStringLine {
    std::string_view name;
    std::size_t nBodyColumn = 0;
    std::string_view body;
};

// Whether line is a string line ("e|--3--5h7--|", "E ||-0-|", "|--3--|", "D-----0---"),
// filling parsed. Lines of words ("--- Chorus ---", "Title: x") are not.
bool ParseStringLine(std::string_view line, CStringLine& parsed);

bool IsBlank(std::string_view line);

// Cuts a run of consecutive string lines into systems, as (first, count): a new system
// starts where the names of the first two strings come round again (two systems
// written without a line between them), or every six lines of an unnamed run of a
// multiple of six.
std::vector<std::pair<std::size_t, std::size_t>> SplitRun(const std::vector<CStringLine>& run);

// A line of chord names only ("Am   G/B  C", "N.C.  E7#9").
bool IsChordLine(std::string_view line);

// The chord names of a chord line, each with its place relative to nBodyColumn (the
// column where the system's music starts; a name left of it counts as at its start).
struct CChordName {
    std::size_t nIndex;
    std::string_view text;
};
std::vector<CChordName> ChordNames(std::string_view line, std::size_t nBodyColumn);

// A labelled header line ("Title: ...", "Band: ...", "Tabbed by: ..."): the field
// (0 artist, 1 title, 2 album, 3 transcriber, 4 e-mail) and the value, or -1.
std::pair<int, std::string> ParseHeaderLine(std::string_view line);

// The comment line for six string names top to bottom: "Tuning: D A D G B E" (low to
// high), or empty for standard tuning or when the strings are not named.
std::string TuningLine(const std::vector<std::string_view>& names);

// The comment line that says a four- or five-string system fills the top rows.
std::string BassNote(const std::vector<std::string_view>& names);
