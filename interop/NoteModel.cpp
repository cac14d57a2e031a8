// Reading the notes, measures and text of one staff (NoteModel.h).
#include "interop/NoteModel.h"

#include <algorithm>

#include "document/Staff.h"

namespace {

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// A string-row cell that holds nothing: filler, a blank, or a byte the grid cannot show.
bool IsEmptyCell(char ch) { return ch == '-' || static_cast<unsigned char>(ch - 0x21) >= 0x7F - 0x21; }

// The bar-line columns of a staff and its last column with anything on a string row.
int ScanColumns(const CStaff& staff, std::array<bool, 78>& bar)
{
    int nLast = 0;
    for (int c = FIRST_MUSIC_COLUMN; c <= LAST_MUSIC_COLUMN; ++c) {
        bool bPipe = false;
        bool bOther = false;
        for (int r = 0; r < STRING_ROWS; ++r) {
            const char ch = staff.m_rows[r][c];
            if (ch == '|')
                bPipe = true;
            else if (!IsEmptyCell(ch))
                bOther = true;
        }
        bar[static_cast<std::size_t>(c)] = bPipe && !bOther;
        if (bPipe || bOther)
            nLast = c;
    }
    return nLast;
}

// Semitones above the open string that a natural harmonic touched at nFret sounds; an
// artificial harmonic (any other fret) an octave above the fretted note.
int HarmonicOffset(int nFret)
{
    switch (nFret) {
    case 12: return 12;
    case 7: case 19: return 19;
    case 5: case 24: return 24;
    case 4: case 9: case 16: return 28;
    case 3: return 31;
    default: return nFret + 12;
    }
}

} // namespace

int CNoteReader::CountSteps(const CStaff& staff)
{
    std::array<bool, 78> bar{};
    const int nLast = ScanColumns(staff, bar);
    int nSteps = 0;
    for (int c = FIRST_MUSIC_COLUMN; c <= nLast; ++c)
        nSteps += bar[static_cast<std::size_t>(c)] ? 0 : 1;
    return nSteps;
}

int CNoteReader::PitchOf(int nRow, int nFret, bool bHarmonic) const
{
    const int nOpen = m_settings.m_tuning[static_cast<std::size_t>(nRow)] + m_settings.m_nCapo;
    const int nKey = nOpen + (nFret < 0 ? 0 : bHarmonic ? HarmonicOffset(nFret) : nFret);
    return std::clamp(nKey, 0, 127);
}

void CNoteReader::ReadStaff(const CStaff& staff, CStaffMusic& music) const
{
    music.m_notes.clear();
    music.m_measures.clear();
    music.m_texts.clear();

    std::array<bool, 78> bar{};
    const int nLast = ScanColumns(staff, bar);

    // Steps and measures.
    int nStep = 0;
    int nMeasureStart = 0;
    music.m_stepAt[0] = 0;
    for (int c = FIRST_MUSIC_COLUMN; c <= nLast; ++c) {
        music.m_stepAt[static_cast<std::size_t>(c)] = nStep;
        if (!bar[static_cast<std::size_t>(c)]) {
            ++nStep;
        } else if (nStep > nMeasureStart) {
            music.m_measures.push_back({nMeasureStart, nStep - nMeasureStart, true});
            nMeasureStart = nStep;
        }
    }
    if (nStep > nMeasureStart)
        music.m_measures.push_back({nMeasureStart, nStep - nMeasureStart, false});
    music.m_nSteps = nStep;
    for (int c = nLast + 1; c < STAFF_COLUMNS; ++c)
        music.m_stepAt[static_cast<std::size_t>(c)] = nStep;

    // Notes, row by row; m_nLinkTo holds the index in this first order until sorted.
    for (int r = 0; r < STRING_ROWS; ++r)
        ReadRow(staff, r, nLast, bar, music);

    // By onset, then row (rows were read in order, so a stable sort keeps that).
    std::vector<CTabNote>& notes = music.m_notes;
    std::vector<CTabNote>& first = music.m_scratch;
    first = notes;
    std::vector<int> order(notes.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return first[a].m_nStep < first[b].m_nStep; });
    std::vector<int> placeOf(notes.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        placeOf[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    for (std::size_t i = 0; i < order.size(); ++i) {
        notes[i] = first[static_cast<std::size_t>(order[i])];
        if (notes[i].m_nLinkTo >= 0)
            notes[i].m_nLinkTo = placeOf[static_cast<std::size_t>(notes[i].m_nLinkTo)];
    }

    // Each note lasts until the next onset in its measure, or the measure's end.
    std::size_t nMeasure = 0;
    for (std::size_t i = 0; i < notes.size();) {
        const int nOnset = notes[i].m_nStep;
        while (nMeasure + 1 < music.m_measures.size() &&
               nOnset >= music.m_measures[nMeasure].m_nFirstStep + music.m_measures[nMeasure].m_nSteps)
            ++nMeasure;
        const CTabMeasure& measure = music.m_measures[nMeasure];
        std::size_t j = i;
        while (j < notes.size() && notes[j].m_nStep == nOnset)
            ++j;
        const int nMeasureEnd = measure.m_nFirstStep + measure.m_nSteps;
        const int nEnd = j < notes.size() ? std::min(notes[j].m_nStep, nMeasureEnd) : nMeasureEnd;
        for (std::size_t k = i; k < j; ++k)
            notes[k].m_nSteps = nEnd - nOnset;
        i = j;
    }

    // Words of the text row: chord names and remarks.
    const char* text = staff.m_rows[TEXT_ROW];
    for (int c = 0; c < STAFF_COLUMNS;) {
        if (static_cast<unsigned char>(text[c] - 0x21) >= 0x7F - 0x21) {
            ++c;
            continue;
        }
        CTabText word;
        word.m_nColumn = c;
        while (c < STAFF_COLUMNS && static_cast<unsigned char>(text[c] - 0x21) < 0x7F - 0x21)
            word.m_strText += text[c++];
        word.m_nStep = std::min(music.m_stepAt[static_cast<std::size_t>(word.m_nColumn)], std::max(0, nStep - 1));
        music.m_texts.push_back(std::move(word));
    }
}

void CNoteReader::ReadRow(const CStaff& staff, int nRow, int nLastColumn, const std::array<bool, 78>& bar,
                          CStaffMusic& music) const
{
    const char* row = staff.m_rows[nRow];
    std::vector<CTabNote>& notes = music.m_notes;

    int nLastNote = -1;     // the row's latest note, while marks after it may still apply
    int nChainEnd = -1;     // the column just after that note and the marks that follow it
    char chTarget = 0;      // 'b', 'r' or '*' waiting for its fret number at nChainEnd
    char chLink = 0;        // h, p or a slide waiting for the next note
    std::uint32_t fPrefix = 0;   // tap, ghost or harmonic waiting for a number at nPrefixEnd
    int nPrefixEnd = -1;

    // A slide with no note to go to slides out of the row's latest note.
    auto endLink = [&]() {
        if (chLink != 0 && nLastNote >= 0) {
            if (chLink == '/' || chLink == 's' || chLink == 'S')
                notes[static_cast<std::size_t>(nLastNote)].m_fTech |= kTechSlideOutUp;
            else if (chLink == '\\')
                notes[static_cast<std::size_t>(nLastNote)].m_fTech |= kTechSlideOutDown;
        }
        chLink = 0;
    };

    auto addNote = [&](int nColumn, int nLength, int nFret) {
        CTabNote note;
        note.m_nRow = nRow;
        note.m_nColumn = nColumn;
        note.m_nStep = music.m_stepAt[static_cast<std::size_t>(nColumn)];
        note.m_nFret = nFret;
        note.m_fTech = nPrefixEnd == nColumn ? fPrefix : 0;
        if (nFret < 0)
            note.m_fTech |= kTechDead;
        const int nIndex = static_cast<int>(notes.size());
        if (chLink != 0) {
            if (nLastNote >= 0) {
                CTabNote& from = notes[static_cast<std::size_t>(nLastNote)];
                const bool bHammer = chLink == 'h' || chLink == 'H';
                const bool bPull = chLink == 'p' || chLink == 'P';
                from.m_fTech |= bHammer ? kTechHammerStart : bPull ? kTechPullStart : kTechSlideStart;
                note.m_fTech |= bHammer ? kTechHammerStop : bPull ? kTechPullStop : kTechSlideStop;
                from.m_nLinkTo = nIndex;
            } else if (chLink == '/' || chLink == 's' || chLink == 'S') {
                note.m_fTech |= kTechSlideInBelow;
            } else if (chLink == '\\') {
                note.m_fTech |= kTechSlideInAbove;
            }
            chLink = 0;
        }
        note.m_nPitch = PitchOf(nRow, nFret, (note.m_fTech & kTechHarmonic) != 0);
        notes.push_back(note);
        nLastNote = nIndex;
        nChainEnd = nColumn + nLength;
        fPrefix = 0;
    };

    for (int c = FIRST_MUSIC_COLUMN; c <= nLastColumn; ++c) {
        if (bar[static_cast<std::size_t>(c)]) {
            // Nothing reaches across a bar line.
            endLink();
            nLastNote = -1;
            chTarget = 0;
            fPrefix = 0;
            continue;
        }
        const char ch = row[c];
        CTabNote* pLast = nLastNote >= 0 ? &notes[static_cast<std::size_t>(nLastNote)] : nullptr;
        const bool bAttached = pLast != nullptr && c == nChainEnd;

        if (IsDigit(ch)) {
            int nFret = ch - '0';
            int nLength = 1;
            if (c + 1 <= nLastColumn && !bar[static_cast<std::size_t>(c + 1)] && IsDigit(row[c + 1])) {
                nFret = nFret * 10 + (row[c + 1] - '0');
                nLength = 2;
            }
            if (chTarget != 0 && bAttached) {
                // The fret a bend reaches or a release returns to, or a trill's other fret.
                if (chTarget == 'b') {
                    if (nFret > pLast->m_nFret)
                        pLast->m_nBend = std::min(nFret - pLast->m_nFret, 12);
                } else if (chTarget == 'r') {
                    pLast->m_nRelease = std::clamp(nFret - pLast->m_nFret, 0, pLast->m_nBend);
                } else {
                    pLast->m_nTrillFret = nFret;
                }
                chTarget = 0;
                nChainEnd = c + nLength;
            } else {
                addNote(c, nLength, nFret);
            }
            chTarget = 0;
            c += nLength - 1;
            continue;
        }
        chTarget = 0;
        switch (ch) {
        case 'x': case 'X':
            addNote(c, 1, -1);
            break;
        case 'h': case 'H': case 'p': case 'P': case '/': case '\\': case 's': case 'S':
            endLink();
            chLink = ch;
            break;
        case 'b': case 'B':
            if (bAttached && pLast->m_nFret >= 0) {
                pLast->m_fTech |= kTechBend;
                pLast->m_nBend = 2;
                chTarget = 'b';
                nChainEnd = c + 1;
            }
            break;
        case 'r': case 'R':
            if (bAttached && (pLast->m_fTech & kTechBend) != 0) {
                pLast->m_fTech |= kTechRelease;
                pLast->m_nRelease = 0;
                chTarget = 'r';
                nChainEnd = c + 1;
            }
            break;
        case '*':
            if (bAttached && pLast->m_nFret >= 0) {
                pLast->m_fTech |= kTechTrill;
                pLast->m_nTrillFret = pLast->m_nFret + 2;
                chTarget = '*';
                nChainEnd = c + 1;
            }
            break;
        case 'v': case 'V': case '~':
            if (bAttached) {
                pLast->m_fTech |= kTechVibrato;
                nChainEnd = c + 1;
            }
            break;
        case '^':
            if (bAttached && pLast->m_nFret >= 0) {
                pLast->m_fTech |= kTechHarmonic;
                pLast->m_nPitch = PitchOf(nRow, pLast->m_nFret, true);
                nChainEnd = c + 1;
            }
            break;
        case ')': case '>':
            if (bAttached)
                nChainEnd = c + 1;
            break;
        case 't': case 'T':
            fPrefix |= kTechTap;
            nPrefixEnd = c + 1;
            break;
        case '(':
            fPrefix |= kTechGhost;
            nPrefixEnd = c + 1;
            break;
        case '<':
            fPrefix |= kTechHarmonic;
            nPrefixEnd = c + 1;
            break;
        default:
            break;
        }
        if (nPrefixEnd != c + 1)
            fPrefix = 0;
    }
    endLink();
}
