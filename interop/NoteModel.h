#pragma once
// The music a tablature holds: the pitch and time of every note, read from the staffs'
// cells and from settings lines in the comments. Every export and playback reads a song
// through this one model, so what is heard is what is written.
//
// Settings, each a comment line of its own (label case ignored, blanks before it allowed):
//   Tuning: E A D G B E   the open strings, low to high: six note names, or four or five
//                         for a bass (they go to the top rows). A name is a letter A-G, an
//                         optional '#' or 'b' and an optional octave ("D2"); without one,
//                         the octave nearest the standard tuning of that string is taken.
//                         Names may be run together ("DADGAD", "EbAbDbGbBbEb").
//   Capo: 3               raises every string by that many frets (0-24).
//   Tempo: 96             quarter notes per minute (20-400; "96 bpm" reads too); 120 otherwise.
//   Step: 1/8             the note value of one column (1/4 to 1/64); a sixteenth otherwise.
// The note the plain-text import writes for a bass system, "Bass, 4 strings (G D A E, top to
// bottom): ...", is read as the tuning it names.
// Row 0 is the highest string: E4 B3 G3 D3 A2 E2 unless a tuning says otherwise.
//
// Time: every column of a staff's music (1-76) is one step, up to the last column that
// holds anything on a string row, so the dashes after a staff's last note take no time.
// A bar-line column ('|' on string rows and nothing else) takes no time either: it ends
// a measure. A staff's end ends a measure too, so every staff reads on its own; a staff
// with nothing on its strings lasts no time. A note lasts until the next column that
// starts a note on any string, or the end of its measure; columns before a measure's first
// note are a rest.
//
// Cells: one or two digits are one fret number, starting at the first digit's column.
//   5h7 5p3    hammer-on, pull-off: the second note is reached legato from the first
//   5/7 7\5 5s7  slides; with no note before, a slide into the note ("/5"); with none
//              after, a slide out of it ("5\")
//   7b9 7b     a bend up to fret 9's pitch (a whole tone when no target is written);
//   7b9r7      then released back down; the 9 and the 7 after r are not new notes
//   7v 7~      vibrato
//   8*10       a trill between frets 8 and 10 (10 is not a new note)
//   t12 T12    tapped
//   x X        a dead (muted) note: no fret, the string's open pitch as its nominal one
//   12^ <12>   a natural harmonic; it sounds the harmonic's pitch
//   (7)        a ghost note, played softly
// Any other character on a string row is kept by the editor but sounds nothing here.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CStaff;

// Techniques of a note (CTabNote::m_fTech).
enum : std::uint32_t {
    kTechHammerStart = 1u << 0,   // hammers on to the note m_nLinkTo
    kTechHammerStop = 1u << 1,    // reached by a hammer-on
    kTechPullStart = 1u << 2,
    kTechPullStop = 1u << 3,
    kTechSlideStart = 1u << 4,    // slides to the note m_nLinkTo
    kTechSlideStop = 1u << 5,     // reached by a slide
    kTechSlideInBelow = 1u << 6,  // slid into from below ("/5")
    kTechSlideInAbove = 1u << 7,  // from above ("\5")
    kTechSlideOutUp = 1u << 8,    // slides up out of the note ("5/" with no note after)
    kTechSlideOutDown = 1u << 9,
    kTechBend = 1u << 10,         // bent up by m_nBend semitones
    kTechRelease = 1u << 11,      // then released to m_nRelease semitones above the fret
    kTechVibrato = 1u << 12,
    kTechTrill = 1u << 13,        // trilled with m_nTrillFret
    kTechTap = 1u << 14,
    kTechDead = 1u << 15,
    kTechHarmonic = 1u << 16,
    kTechGhost = 1u << 17,
};
constexpr std::uint32_t kTechLegatoStop = kTechHammerStop | kTechPullStop | kTechSlideStop;

struct CTabNote {
    int m_nRow = 0;          // string row 0-5, 0 the highest string
    int m_nColumn = 0;       // column of its first character (1-76)
    int m_nStep = 0;         // onset, in steps from the staff's start
    int m_nSteps = 1;        // how long it lasts, in steps
    int m_nFret = 0;         // 0-99; -1 for a dead note
    int m_nPitch = 0;        // MIDI key sounded (a harmonic's own pitch), 0-127
    std::uint32_t m_fTech = 0;
    int m_nLinkTo = -1;      // index of the note a hammer-on, pull-off or slide goes to
    int m_nBend = 0;         // kTechBend: semitones
    int m_nRelease = 0;      // kTechRelease: semitones above the fret it comes back to
    int m_nTrillFret = 0;    // kTechTrill
};

// Steps between bar lines (or a staff's ends).
struct CTabMeasure {
    int m_nFirstStep = 0;
    int m_nSteps = 0;
    bool m_bBarAtEnd = false;   // ended by a bar line, not by the staff's end
};

// A word of the text row (a chord name or a remark) and the step it stands over.
struct CTabText {
    int m_nColumn = 0;
    int m_nStep = 0;
    std::string m_strText;
};

struct CSongSettings {
    static constexpr std::array<int, 6> kStandardTuning = {64, 59, 55, 50, 45, 40};   // E4 B3 G3 D3 A2 E2

    std::array<int, 6> m_tuning = kStandardTuning;   // MIDI key of each open string, by row
    int m_nStrings = 6;            // strings the tuning names (4 or 5: a bass, top rows)
    int m_nCapo = 0;
    int m_nTempo = 120;            // quarter notes per minute
    int m_nStepsPerQuarter = 4;    // 4: a column is a sixteenth
    // Settings lines that could not be read (their defaults stay), as written.
    std::vector<std::string> m_unreadLines;
};

// Reads the settings lines of a document's comments (lines separated by CR LF, LF or CR).
CSongSettings AfxReadSongSettings(std::string_view comments);

// Reads "E", "F#", "Bb", "D2" (octave given) into a pitch class 0-11 and, when an octave is
// written, a MIDI key; nLength receives how many characters the name took. False when
// text does not begin with a note name.
bool AfxParseNoteName(std::string_view text, int& nPitchClass, int& nKey, std::size_t& nLength);

// The music of one staff.
struct CStaffMusic {
    int m_nSteps = 0;
    std::vector<CTabNote> m_notes;         // by onset, then by row
    std::vector<CTabMeasure> m_measures;   // in order, none of them empty
    std::vector<CTabText> m_texts;         // by column
    // Step of each column 0-77: the step it starts, or for a bar-line column or one past
    // the music, the step after it (m_nSteps at most).
    std::array<int, 78> m_stepAt{};
    std::vector<CTabNote> m_scratch;       // reused while sorting
};

// Reads staffs one at a time, reusing the caller's CStaffMusic, so walking a song of any
// length takes no memory beyond one staff's.
class CNoteReader {
public:
    explicit CNoteReader(const CSongSettings& settings) : m_settings(settings) {}

    void ReadStaff(const CStaff& staff, CStaffMusic& music) const;
    // The steps a staff lasts, without reading its notes.
    static int CountSteps(const CStaff& staff);

    const CSongSettings& GetSettings() const { return m_settings; }

private:
    void ReadRow(const CStaff& staff, int nRow, int nLastColumn, const std::array<bool, 78>& bar,
                 CStaffMusic& music) const;
    int PitchOf(int nRow, int nFret, bool bHarmonic) const;

    CSongSettings m_settings;
};
