// Plain-text tablature into a document. The text is read line by line; consecutive
// string lines form a run, which ends at the first other line and is then cut into
// systems; each system becomes one or more staffs.
#include "interop/PlainTextImport.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/FretlyDoc.h"
#include "document/Staff.h"
#include "interop/TabLines.h"

namespace {

constexpr std::size_t kMusicColumns = LAST_MUSIC_COLUMN - FIRST_MUSIC_COLUMN + 1;
constexpr char kCrLf[] = "\r\n";

// One line of the text: a view of the input, or of owned where tabs were expanded
// (on the heap, so that views of it survive the line being moved).
struct CLine {
    std::string_view text;
    std::unique_ptr<std::string> owned;
    int nNumber = 0;
};

// A character the grid keeps in a string row: anything printable but the blank.
char StringCell(char ch)
{
    const auto u = static_cast<unsigned char>(ch);
    return u > 0x20 && u < 0x7F ? ch : '-';
}

// Between columns c-1 and c a staff may end: in no string does an entry of several
// characters (12, 5h7, (7), <12>) go on across it.
bool IsFiller(char ch) { return ch == '-' || ch == '|' || ch == '=' || StringCell(ch) == '-'; }

// The length of a string's music without the filler after its last entry, which a
// staff holds anyway: a line drawn a little past a staff's width takes no second staff.
std::size_t MusicLength(std::string_view body)
{
    const std::size_t nLast = body.find_last_not_of("- ");
    return nLast == std::string_view::npos ? 0 : nLast + 1;
}

class CImporter {
public:
    explicit CImporter(CPlainTextImport& report) : m_report(report) {}

    void Line(CLine line);
    void End();
    bool Found() const { return !m_staffs.empty(); }
    void MoveInto(CFretlyDoc& doc);

private:
    void EndRun();
    bool IsTextRowLine(std::string_view line, std::size_t nFirst, std::size_t nCount) const;
    void System(std::size_t nFirst, std::size_t nCount, const CLine* pChords);
    std::size_t ChooseCut(const std::vector<std::string_view>& bodies, std::size_t nPos, std::size_t nLength) const;
    void Comment(std::string_view text);
    void Note(std::string text);
    void FlushHeld();
    bool Header(std::string_view text);

    CPlainTextImport& m_report;
    std::vector<std::unique_ptr<CStaff>> m_staffs;
    std::string m_fields[5];   // artist, title, album, transcriber, e-mail
    std::string m_comments;
    std::vector<std::string> m_notes;   // what the import says of tunings and basses
    std::string m_lastTuning;
    bool m_bBlankPending = false;
    // The last text line, held back while a run of string lines follows it: it may be
    // the chord line of that system.
    std::optional<CLine> m_held;
    std::vector<CLine> m_run;
    std::vector<CStringLine> m_runParsed;
};

void CImporter::Comment(std::string_view text)
{
    if (m_bBlankPending && !m_comments.empty())
        m_comments += kCrLf;
    m_bBlankPending = false;
    m_comments += text;
    m_comments += kCrLf;
}

void CImporter::Note(std::string text)
{
    if (std::find(m_notes.begin(), m_notes.end(), text) == m_notes.end())
        m_notes.push_back(std::move(text));
}

void CImporter::FlushHeld()
{
    if (m_held) {
        Comment(m_held->text);
        m_held.reset();
    }
}

bool CImporter::Header(std::string_view text)
{
    const auto [nField, value] = ParseHeaderLine(text);
    if (nField < 0 || !m_fields[nField].empty())
        return false;
    m_fields[nField] = value;
    return true;
}

void CImporter::Line(CLine line)
{
    CStringLine parsed;
    if (ParseStringLine(line.text, parsed)) {
        m_runParsed.push_back(parsed);
        m_run.push_back(std::move(line));
        return;
    }
    EndRun();
    FlushHeld();
    if (IsBlank(line.text)) {
        m_bBlankPending = true;
    } else if (!Header(line.text)) {
        m_held = std::move(line);
    }
}

void CImporter::End()
{
    EndRun();
    FlushHeld();
}

void CImporter::EndRun()
{
    if (m_run.empty())
        return;
    const std::vector<std::pair<std::size_t, std::size_t>> systems = SplitRun(m_runParsed);
    for (const auto& [nFirst, nCount] : systems) {
        if (nCount < 4) {
            // Too few strings for an instrument: a line of dashes, a rule, a stray line.
            FlushHeld();
            for (std::size_t i = nFirst; i < nFirst + nCount; ++i)
                Comment(m_run[i].text);
        } else if (nCount > STRING_ROWS) {
            FlushHeld();
            for (std::size_t i = nFirst; i < nFirst + nCount; ++i)
                Comment(m_run[i].text);
            m_report.wideSystems.push_back(
                {m_run[nFirst].nNumber, m_run[nFirst + nCount - 1].nNumber, static_cast<int>(nCount)});
        } else {
            const CLine* pChords = nullptr;
            if (nFirst == 0 && m_held && IsTextRowLine(m_held->text, nFirst, nCount))
                pChords = &*m_held;
            else
                FlushHeld();
            System(nFirst, nCount, pChords);
            m_held.reset();
            m_bBlankPending = true;
        }
    }
    m_run.clear();
    m_runParsed.clear();
}

// The line directly above a system is its text row when it holds chord names, or when
// it is indented to where the music starts and ends within the system: a remark written
// over the music. A line of prose starts further left, or runs on.
bool CImporter::IsTextRowLine(std::string_view line, std::size_t nFirst, std::size_t nCount) const
{
    if (IsChordLine(line))
        return true;
    std::size_t nLength = kMusicColumns;
    for (std::size_t i = nFirst; i < nFirst + nCount; ++i)
        nLength = std::max(nLength, m_runParsed[i].body.size());
    const std::size_t nBody = std::max<std::size_t>(m_runParsed[nFirst].nBodyColumn, 1);
    const std::size_t nIndent = std::min(line.find_first_not_of(' '), line.size());
    return nIndent >= nBody && line.size() <= nBody + nLength;
}

std::size_t CImporter::ChooseCut(const std::vector<std::string_view>& bodies, std::size_t nPos,
                                 std::size_t nLength) const
{
    if (nLength - nPos <= kMusicColumns)
        return nLength;
    auto at = [&](std::size_t r, std::size_t c) { return c < bodies[r].size() ? bodies[r][c] : '-'; };
    const std::size_t nLimit = nPos + kMusicColumns;
    // Best after a bar line in every string, when one stands in the staff's second half.
    for (std::size_t c = nLimit; c > nPos + kMusicColumns / 2; --c) {
        bool bBar = true;
        for (std::size_t r = 0; r < bodies.size() && bBar; ++r)
            bBar = at(r, c - 1) == '|';
        if (bBar)
            return c;
    }
    for (std::size_t c = nLimit; c > nPos + 1; --c) {
        bool bSafe = true;
        for (std::size_t r = 0; r < bodies.size() && bSafe; ++r)
            bSafe = IsFiller(at(r, c - 1)) || IsFiller(at(r, c));
        if (bSafe)
            return c;
    }
    // One entry longer than a staff (a long run of vibrato, say) has to be cut.
    return nLimit;
}

void CImporter::System(std::size_t nFirst, std::size_t nCount, const CLine* pChords)
{
    ++m_report.nSystems;
    std::vector<std::string_view> bodies;
    std::vector<std::string_view> names;
    std::size_t nLength = 0;
    for (std::size_t i = nFirst; i < nFirst + nCount; ++i) {
        bodies.push_back(m_runParsed[i].body);
        names.push_back(m_runParsed[i].name);
        nLength = std::max(nLength, MusicLength(m_runParsed[i].body));
    }
    if (nCount < STRING_ROWS) {
        ++m_report.nBassSystems;
        Note(BassNote(names));
    } else if (std::string tuning = TuningLine(names); !tuning.empty() && tuning != m_lastTuning) {
        Note(tuning);
        m_lastTuning = std::move(tuning);
    }

    std::vector<CChordName> chords;
    if (pChords != nullptr)
        chords = ChordNames(pChords->text, m_runParsed[nFirst].nBodyColumn);

    std::size_t nPos = 0;
    do {
        const std::size_t nCut = ChooseCut(bodies, nPos, nLength);
        auto pStaff = std::make_unique<CStaff>();
        for (std::size_t r = 0; r < nCount; ++r) {
            for (std::size_t c = nPos; c < nCut && c < bodies[r].size(); ++c)
                pStaff->m_rows[r][FIRST_MUSIC_COLUMN + (c - nPos)] = StringCell(bodies[r][c]);
        }
        for (const CChordName& chord : chords) {
            if (chord.nIndex < nPos || chord.nIndex >= nCut)
                continue;
            const std::size_t nLen = std::min(chord.text.size(), kMusicColumns);
            std::size_t nCol = FIRST_MUSIC_COLUMN + (chord.nIndex - nPos);
            nCol = std::min(nCol, static_cast<std::size_t>(LAST_MUSIC_COLUMN + 1) - nLen);
            for (std::size_t i = 0; i < nLen; ++i) {
                const auto u = static_cast<unsigned char>(chord.text[i]);
                pStaff->m_rows[TEXT_ROW][nCol + i] = u >= 0x20 && u < 0x7F ? chord.text[i] : ' ';
            }
        }
        m_staffs.push_back(std::move(pStaff));
        ++m_report.nStaffs;
        nPos = nCut;
    } while (nPos < nLength);
}

void CImporter::MoveInto(CFretlyDoc& doc)
{
    CStaff::DeleteAll(doc.m_ppStaffs);
    doc.m_ppStaffs = std::move(m_staffs);
    doc.m_nStaffs = static_cast<int>(doc.m_ppStaffs.size());
    doc.m_bStaffCountChanged = true;
    doc.m_strArtist = std::move(m_fields[0]);
    doc.m_strSongTitle = std::move(m_fields[1]);
    doc.m_strAlbum = std::move(m_fields[2]);
    doc.m_strTranscriber = std::move(m_fields[3]);
    doc.m_strEmail = std::move(m_fields[4]);
    // What the import says of the strings leads the comments, where the note model and
    // a reader look for a tuning first.
    std::string comments;
    for (const std::string& note : m_notes)
        comments += note + kCrLf;
    if (!m_notes.empty() && !m_comments.empty())
        comments += kCrLf;
    doc.m_strComments = comments + m_comments;
}

// Tab stops every eight columns, as terminals and the sites' text areas show them.
std::string ExpandTabs(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (char ch : text) {
        if (ch == '\t')
            out.append(8 - out.size() % 8, ' ');
        else
            out += ch;
    }
    return out;
}

} // namespace

bool ImportPlainText(std::string_view text, CFretlyDoc& doc, CPlainTextImport& report)
{
    report = {};
    CImporter importer(report);
    int nNumber = 0;
    std::size_t nPos = 0;
    while (nPos < text.size()) {
        // A line ends at LF, CR LF or a lone CR (old Mac files).
        std::size_t nEnd = nPos;
        while (nEnd < text.size() && text[nEnd] != '\n' && text[nEnd] != '\r')
            ++nEnd;
        CLine line;
        line.nNumber = ++nNumber;
        line.text = text.substr(nPos, nEnd - nPos);
        if (line.text.find('\t') != std::string_view::npos) {
            line.owned = std::make_unique<std::string>(ExpandTabs(line.text));
            line.text = *line.owned;
        }
        nPos = nEnd + (nEnd + 1 < text.size() && text[nEnd] == '\r' && text[nEnd + 1] == '\n' ? 2 : 1);
        importer.Line(std::move(line));
    }
    importer.End();
    if (!importer.Found())
        return false;
    importer.MoveInto(doc);
    return true;
}
