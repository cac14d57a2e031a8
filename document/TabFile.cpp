// The .tab text format: writer and reader.
#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "document/FretlyDoc.h"
#include "framework/Archive.h"
#include "framework/UserInterface.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

namespace {

constexpr char kRule[] = "#-----------------------------------------------------------------------------#";
constexpr char kCrLf[] = "\r\n";
// The reader asks for lines of at most this many characters.
constexpr std::size_t kMaxLine = 80;

// Banner line 2 carries the home page from the string table between fixed parts.
const std::string& BannerLine2()
{
    static const std::string line =
        std::string("#-- ") + g_szRecognition + " - " + AfxLoadString(IDS_HOME_PAGE) + " --#";
    return line;
}

// Labels as the reader looks for them (the written label without its final blank).
constexpr std::string_view kFindArtist = "Author/Artist:";
constexpr std::string_view kFindAlbum = "Album:";
constexpr std::string_view kFindTranscriber = "Transcribed by:";
constexpr std::string_view kFindTitle = "Title:";
constexpr std::string_view kFindEmail = "Email:";

bool Contains(std::string_view line, std::string_view text) { return line.find(text) != std::string_view::npos; }

// The line without its first nSkip characters, whatever they are.
std::string After(std::string_view line, std::size_t nSkip)
{
    return line.size() > nSkip ? std::string(line.substr(nSkip)) : std::string();
}

// Printable means 0x20-0x7E; bytes 0x80-0xFF are not printable here: a staff row is
// drawn one byte per cell, and half of a multi-byte character would show as garbage.
bool IsPrintable(unsigned char ch) { return static_cast<unsigned char>(ch - 0x20) < 0x7F - 0x20; }
// A string row keeps printable characters other than white space; the only printable
// white space is the blank, so that is 0x21-0x7E (written as one compare the compiler
// can do for many cells at once).
bool IsStringCell(unsigned char ch) { return static_cast<unsigned char>(ch - 0x21) < 0x7F - 0x21; }

// Copies a line into a row from column 0. Characters past column 77 have no place in
// the row and are dropped, so the terminator at 78 always stays.
void CopyIntoRow(char* row, std::string_view line)
{
    std::size_t n = std::min<std::size_t>(line.size(), STAFF_COLUMNS);
    std::memcpy(row, line.data(), n);
}

// Fills all 78 columns of a row from a line of at least that length, each character
// through keep (else filler). It goes in blocks of 16 columns, the last block
// overlapping the one before it (columns 62-77), so that every block is one vector
// step with no column-by-column tail; the overlap writes the same values twice.
template <typename Keep>
void FillRow(char* row, const char* src, char filler, Keep keep)
{
    constexpr int kBlock = 16;
    static_assert(STAFF_COLUMNS >= kBlock);
    auto fillBlock = [&](char* pTo, const char* pFrom) {
        for (int c = 0; c < kBlock; ++c) {
            const char ch = pFrom[c];
            pTo[c] = keep(static_cast<unsigned char>(ch)) ? ch : filler;
        }
    };
    for (int c = 0; c + kBlock <= STAFF_COLUMNS; c += kBlock)
        fillBlock(row + c, src + c);
    if (STAFF_COLUMNS % kBlock != 0)
        fillBlock(row + STAFF_COLUMNS - kBlock, src + STAFF_COLUMNS - kBlock);
}

// Whether the 78 bytes of a row line hold a CR or LF, which would have ended the line
// early: one vector pass whose compares are gathered before a single test.
bool HasLineBreak(const char* src)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    __m128i breaks = _mm_setzero_si128();
    auto scan = [&](const char* p) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        breaks = _mm_or_si128(breaks, _mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf)));
    };
    for (int c = 0; c + 16 <= STAFF_COLUMNS; c += 16)
        scan(src + c);
    scan(src + STAFF_COLUMNS - 16);
    return _mm_movemask_epi8(breaks) != 0;
#else
    return std::memchr(src, '\r', STAFF_COLUMNS) != nullptr || std::memchr(src, '\n', STAFF_COLUMNS) != nullptr;
#endif
}

// A row line as Fretly writes it (78 characters, CR, LF), read into a row straight
// from the archive's buffer. False, with the row untouched and nothing read, for any
// other line, or one that is not wholly buffered: the ordinary reading then takes it.
template <typename Keep>
bool ReadWrittenRow(CArchive& ar, char* row, char filler, Keep keep)
{
    constexpr std::size_t kLine = STAFF_COLUMNS + 2;
    const char* p = ar.PeekBuffered(kLine);
    if (p == nullptr || p[STAFF_COLUMNS] != '\r' || p[STAFF_COLUMNS + 1] != '\n')
        return false;
    if (HasLineBreak(p))
        return false;
    FillRow(row, p, filler, keep);
    ar.SkipBuffered(kLine);
    return true;
}

// What the reader takes for something other than comment text, so what the writer must
// keep out of comment lines and header values: the labels (in the order the reader
// tries them), a line beginning with '#' (dropped) or '-' (a staff), and the line break
// that any CR or LF makes.
constexpr std::string_view kReadOrder[] = {kFindArtist, kFindAlbum, kFindTranscriber, kFindTitle, kFindEmail};

bool IsLineBreak(char ch) { return ch == '\r' || ch == '\n'; }

// A label in the text no longer reads as one once a blank stands before its colon:
// the least change that keeps every character.
void BreakLabels(std::string& text, std::span<const std::string_view> labels)
{
    for (std::string_view label : labels) {
        for (std::size_t at = text.find(label); at != std::string::npos; at = text.find(label, at))
            text.insert(at += label.size() - 1, 1, ' ');
    }
}

// Where a too-long text may be cut at most nMax: after the last blank when there is
// one, else not inside a UTF-8 sequence, so neither piece shows half a character.
std::size_t CutAt(std::string_view text, std::size_t nMax)
{
    std::size_t blank = text.substr(0, nMax).rfind(' ');
    if (blank != std::string_view::npos && blank > 0)
        return blank + 1;
    std::size_t cut = nMax;
    while (cut > 1 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80 && nMax - cut < 3)
        --cut;
    return cut;
}

// One comment line as lines that the reader gives back as comment text: labels
// broken, a leading '#' or '-' behind a blank, a line longer than the reader's 79
// characters (80 brings an extra empty line) cut into pieces. Appends each with CR LF.
void AppendCommentLine(std::string& out, std::string line)
{
    BreakLabels(line, kReadOrder);
    std::string_view rest = line;
    for (;;) {
        const bool bGuard = !rest.empty() && (rest[0] == '#' || rest[0] == '-');
        const std::size_t nMax = kMaxLine - 1 - (bGuard ? 1 : 0);
        const std::size_t n = rest.size() <= nMax ? rest.size() : CutAt(rest, nMax);
        if (bGuard)
            out += ' ';
        out += rest.substr(0, n);
        out += kCrLf;
        rest.remove_prefix(n);
        if (rest.empty())
            return;
    }
}

// The comment block as it is written: every line in a form that reads back as the same
// comment text. CR LF, a lone CR and a lone LF each end a line (the reader ends lines
// at any of them) and are written as CR LF. An empty first line becomes one blank, as
// the reader drops empty lines ahead of the first comment text.
std::string WritableComments(std::string_view text)
{
    std::string out;
    while (!text.empty()) {
        std::size_t end = 0;
        while (end < text.size() && !IsLineBreak(text[end]))
            ++end;
        std::string line(text.substr(0, end));
        if (out.empty() && line.empty())
            line.push_back(' ');
        AppendCommentLine(out, std::move(line));
        if (end < text.size())
            end += (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
        text.remove_prefix(end);
    }
    return out;
}

// The header line for a value read back under label (nReadIndex in kReadOrder): labels
// the reader tries first are broken, and what does not fit on the one line the reader
// takes (80 characters; the empty line it then adds falls before any comment and is
// dropped), or follows a line break, is appended to strOverflow for the comments.
std::string WritableHeaderLine(std::string_view label, std::size_t nReadIndex, std::string_view value,
                               std::string& strOverflow)
{
    std::size_t nBreak = 0;
    while (nBreak < value.size() && !IsLineBreak(value[nBreak]))
        ++nBreak;
    std::string text(value.substr(0, nBreak));
    BreakLabels(text, std::span(kReadOrder).first(nReadIndex));
    const std::size_t nMax = kMaxLine - label.size();
    if (text.size() > nMax) {
        const std::size_t cut = CutAt(text, nMax);
        strOverflow.append(text, cut);
        strOverflow += kCrLf;
        text.resize(cut);
    }
    if (nBreak < value.size()) {
        // A CR LF is one break, as in the comments.
        const std::size_t nAfter = nBreak + (value.substr(nBreak, 2) == kCrLf ? 2 : 1);
        if (nAfter < value.size()) {
            strOverflow.append(value.substr(nAfter));
            strOverflow += kCrLf;
        }
    }
    return std::string(label) + text;
}

} // namespace

const char* const g_szDisclaimer[3] = {
    "#----------------------------------PLEASE NOTE--------------------------------#",
    "#This file is the author's own work and represents their interpretation of the#",
    "#song. You may only use this file for private study, scholarship, or research.#",
};
const char g_szRecognition[] = "File created with Fretly";
const char* const g_szBanner[3] = {kRule, BannerLine2().c_str(), kRule};
const char g_szLabelArtist[] = "Author/Artist: ";
const char g_szLabelTitle[] = "Title: ";
const char g_szLabelAlbum[] = "Album: ";
const char g_szLabelTranscriber[] = "Transcribed by: ";
const char g_szLabelEmail[] = "Email: ";

void CFretlyDoc::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        WriteTab(ar);
    else
        ReadTab(ar);
}

void CFretlyDoc::WriteTab(CArchive& ar)
{
    auto writeLine = [&ar](std::string_view text) {
        ar.WriteString(text);
        ar.WriteString(kCrLf);
    };

    if (m_bFairUse) {
        for (const char* line : g_szDisclaimer)
            writeLine(line);
    }
    writeLine(kRule);
    writeLine(BannerLine2());
    writeLine(kRule);
    writeLine({});

    // Each header value and comment line is written in a form that reads back as the
    // same text; what a value's line cannot hold goes to the head of the comments.
    std::string strOverflow;
    auto writeField = [&](const char* label, std::size_t nReadIndex, const std::string& value) {
        if (!value.empty())
            writeLine(WritableHeaderLine(label, nReadIndex, value, strOverflow));
    };
    writeField(g_szLabelArtist, 0, m_strArtist);
    writeField(g_szLabelTitle, 3, m_strSongTitle);
    writeField(g_szLabelAlbum, 1, m_strAlbum);
    writeField(g_szLabelTranscriber, 2, m_strTranscriber);
    if (!m_strEmail.empty()) {
        writeField(g_szLabelEmail, 4, m_strEmail);
        writeLine({});
    }

    // The document keeps the added line break, so what it holds is what was written.
    if (!m_strComments.empty() && !m_strComments.ends_with(kCrLf))
        m_strComments += kCrLf;
    if (const std::string strComments = WritableComments(strOverflow + m_strComments); !strComments.empty()) {
        ar.WriteString(strComments);
        ar.WriteString(kCrLf);
    }

    for (int s = 0; s < m_nStaffs; ++s) {
        const CStaff& staff = *m_ppStaffs[s];
        // Every row is written at its full 78 columns: a stray NUL must not shorten it.
        for (int r = 0; r < STAFF_ROWS; ++r)
            writeLine(std::string_view(staff.m_rows[r], STAFF_COLUMNS));
        writeLine({});
    }
}

void CFretlyDoc::ReadTab(CArchive& ar) { FinishReadTab(ParseTab(ar)); }

bool CFretlyDoc::LoadAhead(CArchive& ar)
{
    m_bAheadValid = ParseTab(ar);
    return true;
}

void CFretlyDoc::AdoptAhead(CDocument& ahead)
{
    auto& other = dynamic_cast<CFretlyDoc&>(ahead);
    // Swapped, not copied: the other document takes this one's old contents with it.
    std::swap(m_ppStaffs, other.m_ppStaffs);
    std::swap(m_nStaffs, other.m_nStaffs);
    for (auto [pMine, pTheirs] : {std::pair{&m_strArtist, &other.m_strArtist}, {&m_strSongTitle, &other.m_strSongTitle},
                                  {&m_strAlbum, &other.m_strAlbum}, {&m_strTranscriber, &other.m_strTranscriber},
                                  {&m_strEmail, &other.m_strEmail}, {&m_strComments, &other.m_strComments}})
        pMine->swap(*pTheirs);
    m_bStaffCountChanged = m_bStaffCountChanged || other.m_bStaffCountChanged;
    FinishReadTab(other.m_bAheadValid);
}

// Two slabs ahead of the reader are enough to keep it from ever waiting for the system
// to clear memory, and little to give back when it stops.
bool CFretlyDoc::HelpLoadAhead() { return CStaff::PrepareSlab(2); }

void CFretlyDoc::EndHelpLoadAhead() { CStaff::ReleasePreparedSlabs(); }

bool CFretlyDoc::ParseTab(CArchive& ar)
{
    // The old staffs become spares, first staff last so they are reused in order; any
    // left over are released when reading ends, also when it ends with an error.
    m_spareStaffs = std::move(m_ppStaffs);
    m_ppStaffs.clear();
    m_nStaffs = 0;
    std::reverse(m_spareStaffs.begin(), m_spareStaffs.end());
    struct CReleaseSpares {
        std::vector<std::unique_ptr<CStaff>>& spares;
        ~CReleaseSpares() { CStaff::DeleteAll(spares); }
    } releaseSpares{m_spareStaffs};

    ResetStaffs();
    ClearHeaderFields();

    bool bValid = false;
    bool bPending = false;
    bool bFirstStaff = true;
    // A view of the archive's bytes: most lines are never copied.
    std::string_view line;

    // The first label found anywhere in the line sets its field, in this order. Every
    // label has a colon, so a line without one (every staff row Fretly writes) is
    // passed over with one search rather than one per label.
    auto readLabel = [this](std::string_view text) {
        if (!Contains(text, ":"))
            return false;
        const std::pair<std::string_view, std::string*> labels[] = {
            {kFindArtist, &m_strArtist}, {kFindAlbum, &m_strAlbum}, {kFindTranscriber, &m_strTranscriber},
            {kFindTitle, &m_strSongTitle}, {kFindEmail, &m_strEmail},
        };
        for (const auto& [label, pField] : labels) {
            if (Contains(text, label)) {
                *pField = After(text, label.size() + 1);
                return true;
            }
        }
        return false;
    };

    while (ar.ReadString(line, kMaxLine)) {
        if (!line.empty() && line[0] == '#') {
            if (Contains(line, g_szRecognition))
                bValid = true;
        } else if (readLabel(line)) {
            // A header field, now set.
        } else if (!line.empty() && line[0] == '-') {
            if (bFirstStaff) {
                // Drop the line break of the empty line that separates comments from
                // staffs. Without such an empty line the last comment keeps its own line
                // break, or a comment found after the staffs would be joined onto it.
                if (m_strComments.size() > 3 && m_strComments.ends_with("\r\n\r\n"))
                    m_strComments.resize(m_strComments.size() - 2);
                bFirstStaff = false;
            }
            if (bPending)
                InsertStaff(m_nStaffs - 1);
            if (!ReadStaffBlock(ar, *m_ppStaffs[m_nStaffs - 1], line))
                break;
            bPending = true;
        } else {
            m_strComments += line;
            if (!m_strComments.empty())
                m_strComments += kCrLf;
        }
    }

    return bValid;
}

void CFretlyDoc::FinishReadTab(bool bValid)
{
    if (bValid) {
        UpdateAllViews(nullptr, 0, nullptr);
        OnViewHeaders();
    } else {
        AfxMessageBox(IDS_INVALID_FILE, MB_ICONEXCLAMATION | MB_OK);
        OnNewDocument();
        SetLoadRejected();
    }
}

// Fills one staff from a block whose first line has been read into line; the following
// lines are taken by position. Returns false when the file ended inside the block.
bool CFretlyDoc::ReadStaffBlock(CArchive& ar, CStaff& staff, std::string_view& line)
{
    // Row 0 keeps its characters as read, blanks and tabs included; only a NUL, which
    // would end the row early wherever it is treated as text, becomes filler.
    // A full-length line (what Fretly writes) covers the whole row and is cleaned as it
    // is copied; a shorter one is copied over the row's filler and the row cleaned after.
    auto notNul = [](unsigned char ch) { return ch != '\0'; };
    if (line.size() >= STAFF_COLUMNS) {
        FillRow(staff.m_rows[0], line.data(), '-', notNul);
    } else {
        CopyIntoRow(staff.m_rows[0], line);
        for (int c = 0; c < STAFF_COLUMNS; ++c)
            staff.m_rows[0][c] = staff.m_rows[0][c] == '\0' ? '-' : staff.m_rows[0][c];
    }

    const auto stringCell = [](unsigned char ch) { return IsStringCell(ch); };
    const auto printable = [](unsigned char ch) { return IsPrintable(ch); };
    for (int r = 1; r < STRING_ROWS; ++r) {
        char* row = staff.m_rows[r];
        if (ReadWrittenRow(ar, row, '-', stringCell))
            continue;
        if (!ar.ReadString(line, kMaxLine))
            return false;
        if (line.size() >= STAFF_COLUMNS) {
            FillRow(row, line.data(), '-', stringCell);
            continue;
        }
        CopyIntoRow(row, line);
        for (int c = 0; c < STAFF_COLUMNS; ++c)
            row[c] = IsStringCell(static_cast<unsigned char>(row[c])) ? row[c] : '-';
    }

    char* text = staff.m_rows[TEXT_ROW];
    if (ReadWrittenRow(ar, text, ' ', printable)) {
        // taken
    } else if (!ar.ReadString(line, kMaxLine)) {
        return false;
    } else if (line.size() >= STAFF_COLUMNS) {
        FillRow(text, line.data(), ' ', printable);
    } else {
        CopyIntoRow(text, line);
        for (int c = 0; c < STAFF_COLUMNS; ++c)
            text[c] = IsPrintable(static_cast<unsigned char>(text[c])) ? text[c] : ' ';
    }

    // The line after the text row is skipped whatever it holds.
    if (const char* p = ar.PeekBuffered(2); p != nullptr && p[0] == '\r' && p[1] == '\n') {
        ar.SkipBuffered(2);
        return true;
    }
    return ar.ReadString(line, kMaxLine);
}
