#pragma once
// The tablature as a screen reader reads it: every staff as eight lines (its seven rows
// and the empty line below them), a row being its 78 cells and a line end. Offsets map to
// cells by arithmetic, so a line or a range is read without building the whole text,
// whatever the document's length.
#include <string>

#include "document/Staff.h"

class CFretlyDoc;

// A place in the text: staff, line (0-6 the rows, 7 the empty line) and column (0-77 the
// cells, 78 the line end).
struct CTabTextPos {
    int nStaff = 0;
    int nLine = 0;
    int nCol = 0;
};

class CTabText {
public:
    static constexpr int LINE_CHARS = STAFF_COLUMNS + 1;
    static constexpr int LINES_PER_STAFF = STAFF_ROWS + 1;
    static constexpr long long STAFF_CHARS = STAFF_ROWS * LINE_CHARS + 1;
    static constexpr char LINE_END = '\n';

    explicit CTabText(const CFretlyDoc& doc) : m_doc(doc) {}

    long long GetLength() const;
    static long long OffsetOf(int nStaff, int nLine, int nCol)
    {
        return nStaff * STAFF_CHARS + static_cast<long long>(nLine) * LINE_CHARS + nCol;
    }
    // The place of nOffset, clamped into the text.
    CTabTextPos PositionAt(long long nOffset) const;

    // Appends characters [nStart, nEnd), clamped to the text.
    void GetText(long long nStart, long long nEnd, std::string& out) const;
    // The text of one staff, as GetText gives it.
    static void AppendStaff(const CStaff& staff, std::string& out);
    // The line holding nOffset, its line end included.
    void GetLineAt(long long nOffset, long long& nStart, long long& nEnd) const;
    // The run of cells of one kind holding nOffset: marks, bar lines or filler.
    void GetWordAt(long long nOffset, long long& nStart, long long& nEnd) const;

private:
    const CFretlyDoc& m_doc;
};

// Words a guitarist uses for a cell and what stands in it, "B string, column 14: 12",
// "low E string, column 3: 5h7", "text row, column 1: Am", "G string, column 9: bar line".
std::string AfxDescribeCell(const CStaff& staff, int nRow, int nCol);
// "staff 4 of 20".
std::string AfxDescribeStaff(int nStaff, int nStaffs);
