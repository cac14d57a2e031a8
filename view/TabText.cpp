// The tablature's text for assistive technology, served a line or a range at a time, and
// the words that say what is under the cursor.
#include "view/TabText.h"

#include <algorithm>

#include "document/FretlyDoc.h"

namespace {

// A cell as it reads: control bytes (a NUL from a damaged file) read as blanks, as
// nothing could carry them to a screen reader.
char Readable(char ch) { return static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F ? ' ' : ch; }

// The kinds of cell that words and entries are made of.
enum class CellKind { Filler, Bar, Mark };

CellKind KindOf(int nRow, char ch)
{
    if (ch == FillerFor(nRow) || Readable(ch) == ' ')
        return CellKind::Filler;
    // On the text row a '|' is text like any other.
    if (ch == '|' && nRow != TEXT_ROW)
        return CellKind::Bar;
    return CellKind::Mark;
}

const char* const kRowNames[STAFF_ROWS] = {"high E string", "B string", "G string", "D string",
                                           "A string",      "low E string", "text row"};

} // namespace

long long CTabText::GetLength() const { return m_doc.m_nStaffs * STAFF_CHARS; }

CTabTextPos CTabText::PositionAt(long long nOffset) const
{
    CTabTextPos pos;
    const long long nLength = GetLength();
    if (nLength == 0)
        return pos;
    nOffset = std::clamp(nOffset, 0LL, nLength - 1);
    pos.nStaff = static_cast<int>(nOffset / STAFF_CHARS);
    const int nInStaff = static_cast<int>(nOffset % STAFF_CHARS);
    pos.nLine = nInStaff / LINE_CHARS;
    pos.nCol = nInStaff % LINE_CHARS;
    return pos;
}

void CTabText::AppendStaff(const CStaff& staff, std::string& out)
{
    for (int r = 0; r < STAFF_ROWS; ++r) {
        for (int c = 0; c < STAFF_COLUMNS; ++c)
            out += Readable(staff.m_rows[r][c]);
        out += LINE_END;
    }
    out += LINE_END;
}

void CTabText::GetText(long long nStart, long long nEnd, std::string& out) const
{
    nStart = std::max(nStart, 0LL);
    nEnd = std::min(nEnd, GetLength());
    if (nEnd <= nStart)
        return;
    out.reserve(out.size() + static_cast<size_t>(nEnd - nStart));
    long long nOffset = nStart;
    while (nOffset < nEnd) {
        const int s = static_cast<int>(nOffset / STAFF_CHARS);
        const long long nStaffStart = s * STAFF_CHARS;
        const CStaff& staff = *m_doc.m_ppStaffs[s];
        const long long nStop = std::min(nEnd, nStaffStart + STAFF_CHARS);
        for (; nOffset < nStop; ++nOffset) {
            const int nInStaff = static_cast<int>(nOffset - nStaffStart);
            const int nLine = nInStaff / LINE_CHARS;
            const int nCol = nInStaff % LINE_CHARS;
            out += nLine < STAFF_ROWS && nCol < STAFF_COLUMNS ? Readable(staff.m_rows[nLine][nCol]) : LINE_END;
        }
    }
}

void CTabText::GetLineAt(long long nOffset, long long& nStart, long long& nEnd) const
{
    nStart = nEnd = 0;
    if (GetLength() == 0)
        return;
    const CTabTextPos pos = PositionAt(nOffset);
    nStart = OffsetOf(pos.nStaff, pos.nLine, 0);
    nEnd = nStart + (pos.nLine < STAFF_ROWS ? LINE_CHARS : 1);
}

void CTabText::GetWordAt(long long nOffset, long long& nStart, long long& nEnd) const
{
    nStart = nEnd = 0;
    if (GetLength() == 0)
        return;
    const CTabTextPos pos = PositionAt(nOffset);
    nStart = OffsetOf(pos.nStaff, pos.nLine, pos.nCol);
    nEnd = nStart + 1;
    if (pos.nLine >= STAFF_ROWS || pos.nCol >= STAFF_COLUMNS)
        return;   // a line end stands alone
    const char* row = m_doc.m_ppStaffs[pos.nStaff]->m_rows[pos.nLine];
    const CellKind kind = KindOf(pos.nLine, row[pos.nCol]);
    int nFirst = pos.nCol;
    int nLast = pos.nCol;
    while (nFirst > 0 && KindOf(pos.nLine, row[nFirst - 1]) == kind)
        --nFirst;
    while (nLast + 1 < STAFF_COLUMNS && KindOf(pos.nLine, row[nLast + 1]) == kind)
        ++nLast;
    nStart = OffsetOf(pos.nStaff, pos.nLine, nFirst);
    nEnd = OffsetOf(pos.nStaff, pos.nLine, nLast + 1);
}

std::string AfxDescribeCell(const CStaff& staff, int nRow, int nCol)
{
    nRow = std::clamp(nRow, 0, STAFF_ROWS - 1);
    nCol = std::clamp(nCol, 0, STAFF_COLUMNS - 1);
    std::string words = kRowNames[nRow];
    words += ", column ";
    words += std::to_string(nCol);
    words += ": ";
    const char* row = staff.m_rows[nRow];
    switch (KindOf(nRow, row[nCol])) {
    case CellKind::Filler:
        words += "empty";
        break;
    case CellKind::Bar:
        words += "bar line";
        break;
    case CellKind::Mark: {
        // The whole entry the cell belongs to: a fret number, a run such as 5h7, a word.
        int nFirst = nCol;
        int nLast = nCol;
        while (nFirst > 0 && KindOf(nRow, row[nFirst - 1]) == CellKind::Mark)
            --nFirst;
        while (nLast + 1 < STAFF_COLUMNS && KindOf(nRow, row[nLast + 1]) == CellKind::Mark)
            ++nLast;
        words.append(row + nFirst, static_cast<size_t>(nLast - nFirst + 1));
        break;
    }
    }
    return words;
}

std::string AfxDescribeStaff(int nStaff, int nStaffs)
{
    return "staff " + std::to_string(nStaff + 1) + " of " + std::to_string(nStaffs);
}
