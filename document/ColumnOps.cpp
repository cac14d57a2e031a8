// Column and reflow operations of the tablature document: inserting and deleting
// columns, moving the rest of a staff down and merging the next staff up.
#include "document/FretlyDoc.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace {

constexpr int LAST_COLUMN = STAFF_COLUMNS - 1;  // 77, the trailing edge

// Room for a whole staff of music plus one gap column. No cascade ever asks for
// more, and a larger count moves exactly as much as this one, so counts are capped
// here (which also keeps L + N far from integer overflow).
constexpr int MAX_INSERT_COUNT = LAST_MUSIC_COLUMN + 1;

// Copies columns nFirst..nLast of every row of one staff to column nDest of another.
void CopyColumns(const CStaff& from, int nFirst, int nLast, CStaff& to, int nDest)
{
    if (nLast < nFirst)
        return;
    assert(nFirst >= 0 && nLast <= LAST_COLUMN);
    assert(nDest >= 0 && nDest + (nLast - nFirst) <= LAST_COLUMN);
    for (int r = 0; r < STAFF_ROWS; ++r)
        std::memcpy(to.m_rows[r] + nDest, from.m_rows[r] + nFirst, static_cast<size_t>(nLast - nFirst + 1));
}

void FillColumns(CStaff& staff, int nFirst, int nLast)
{
    if (nLast < nFirst)
        return;
    assert(nFirst >= 0 && nLast <= LAST_COLUMN);
    for (int r = 0; r < STAFF_ROWS; ++r)
        std::memset(staff.m_rows[r] + nFirst, FillerFor(r), static_cast<size_t>(nLast - nFirst + 1));
}

// The highest column 1..nCol that holds anything but filler in any row; 0 when none.
int LastUsedUpTo(const CStaff& staff, int nCol)
{
    int nResult = 0;
    for (int r = 0; r < STAFF_ROWS && nResult < nCol; ++r) {
        const char filler = FillerFor(r);
        // Only a column right of the highest found so far can raise it.
        for (int c = nCol; c > nResult; --c) {
            if (staff.m_rows[r][c] != filler) {
                nResult = c;
                break;
            }
        }
    }
    return nResult;
}

// The longest run of non-filler characters, over the seven rows, that ends in
// column nCol. Column 0 never counts as part of a run.
int LongestRunEndingAt(const CStaff& staff, int nCol)
{
    if (nCol <= 0)
        return 0;
    int nLongest = 0;
    for (int r = 0; r < STAFF_ROWS; ++r) {
        const char filler = FillerFor(r);
        int c = nCol;
        while (c > 0 && staff.m_rows[r][c] != filler)
            --c;
        nLongest = std::max(nLongest, nCol - c);
    }
    return nLongest;
}

// 1 when column 1 of the staff is in use: the material arriving there is then
// followed by one empty column, so it does not run into what the staff held.
int GapBefore(const CStaff& staff)
{
    return staff.IsColumnEmpty(FIRST_MUSIC_COLUMN) ? 0 : 1;
}

// What one staff of an Insert Column cascade does: open nCount columns, and before
// that pass columns nFirst..nLast on to the next staff (none when nFirst > nLast).
struct CCascadeStep {
    int nCount;
    int nFirst;
    int nLast;
    bool Overflows() const { return nFirst <= nLast; }
    int BlockWidth() const { return nLast - nFirst + 1; }
};

CCascadeStep PlanStep(const CStaff& staff, int nCount)
{
    CCascadeStep step{nCount, 0, staff.GetLastUsedColumn()};
    step.nFirst = step.nLast + 1;
    if (step.nLast + nCount > LAST_MUSIC_COLUMN) {
        // Column B is the last that may stay in use; a group of marks crossing it
        // goes down whole.
        const int nKeepTo = LAST_MUSIC_COLUMN - nCount;
        const int nRun = LongestRunEndingAt(staff, nKeepTo);
        // When the whole staff must go, the block starts at column 1: column 0 is the
        // staff's edge and stays, and column 76 lands in column 76 of the next staff
        // instead of its uneditable column 77.
        step.nFirst = std::max(FIRST_MUSIC_COLUMN, LAST_COLUMN - nCount - nRun);
    }
    return step;
}

// Opens nCount filler columns at nCol in a staff used up to nLast. Every column the
// shift does not fill ends as filler, the trailing edge included, as in a staff rebuilt
// from a fresh one; done in place, row by row, as the cascade does this to every staff.
void OpenColumns(CStaff& staff, int nCol, int nCount, int nLast)
{
    if (nCol - 1 >= nLast)
        return;
    assert(nLast + nCount <= LAST_MUSIC_COLUMN);
    for (int r = 0; r < STAFF_ROWS; ++r) {
        char* row = staff.m_rows[r];
        const char filler = FillerFor(r);
        std::memmove(row + nCol + nCount, row + nCol, static_cast<size_t>(nLast - nCol + 1));
        std::memset(row + nCol, filler, static_cast<size_t>(nCount));
        std::memset(row + nLast + nCount + 1, filler, static_cast<size_t>(LAST_COLUMN - nLast - nCount));
        row[STAFF_COLUMNS] = '\0';
        row[STAFF_COLUMNS + 1] = '\0';
    }
}

}  // namespace

void CFretlyDoc::DeleteColumn(int nStaff, int nCol)
{
    if (nStaff < 0 || nStaff >= m_nStaffs || nCol < 0)
        return;
    CStaff& staff = *m_ppStaffs[nStaff];
    for (int r = 0; r < STAFF_ROWS; ++r) {
        if (nCol < LAST_COLUMN)
            std::memmove(staff.m_rows[r] + nCol, staff.m_rows[r] + nCol + 1, static_cast<size_t>(LAST_COLUMN - nCol));
        staff.m_rows[r][LAST_COLUMN] = FillerFor(r);
    }
}

// The cascade walks forward. Each staff's step depends only on that staff as it was and
// on what the staff before passes on, and the block a staff passes on is put aside
// before the staff changes; so one pass with two staff-sized buffers does what the
// natural recursion does, without its stack or a list of steps as long as the tablature.
void CFretlyDoc::InsertColumns(int nStaff, int nCol, int nCount)
{
    if (nStaff < 0 || nStaff >= m_nStaffs || nCol < FIRST_MUSIC_COLUMN || nCount < 1)
        return;

    CStaff blocks[2];      // what the last staff passed on, and what this one passes on
    int nIncoming = 0;     // width of the block passed on to this staff (columns 1..)
    int nCurrent = std::min(nCount, MAX_INSERT_COUNT);
    for (int s = nStaff;; ++s) {
        CStaff& staff = *m_ppStaffs[s];
        CStaff& incoming = blocks[(s - nStaff) % 2];
        CStaff& outgoing = blocks[(s - nStaff + 1) % 2];
        const CCascadeStep step = PlanStep(staff, nCurrent);
        int nLast = step.nLast;
        int nNext = 0;
        if (step.Overflows()) {
            CopyColumns(staff, step.nFirst, step.nLast, outgoing, FIRST_MUSIC_COLUMN);
            if (s + 1 < m_nStaffs)
                nNext = step.BlockWidth() + GapBefore(*m_ppStaffs[s + 1]);
            FillColumns(staff, step.nFirst, step.nLast);
            // Nothing was in use right of the block, and the block is filler now.
            nLast = LastUsedUpTo(staff, step.nFirst - 1);
        }
        OpenColumns(staff, s == nStaff ? nCol : FIRST_MUSIC_COLUMN, step.nCount, nLast);
        if (nIncoming > 0)
            CopyColumns(incoming, FIRST_MUSIC_COLUMN, nIncoming, staff, FIRST_MUSIC_COLUMN);
        if (!step.Overflows())
            break;
        if (s + 1 == m_nStaffs) {
            // Only the end of a cascade appends, so one call adds at most one staff.
            InsertStaff(s);
            CopyColumns(outgoing, FIRST_MUSIC_COLUMN, step.BlockWidth(), *m_ppStaffs[s + 1], FIRST_MUSIC_COLUMN);
            break;
        }
        nIncoming = step.BlockWidth();
        nCurrent = nNext;
    }
}

void CFretlyDoc::MoveDown(int nStaff, int nCol)
{
    if (nStaff < 0 || nStaff >= m_nStaffs || nCol < 0)
        return;
    const int nLast = m_ppStaffs[nStaff]->GetLastUsedColumn();
    const int nWidth = nLast - nCol;
    // Cursor right of everything in use: there is nothing to move, and no reason to
    // append a staff or open a gap on the next one.
    if (nWidth < 0)
        return;

    if (nStaff == m_nStaffs - 1)
        InsertStaff(nStaff);
    else
        InsertColumns(nStaff + 1, FIRST_MUSIC_COLUMN, nWidth + GapBefore(*m_ppStaffs[nStaff + 1]));

    CStaff& staff = *m_ppStaffs[nStaff];
    CopyColumns(staff, nCol + 1, nLast, *m_ppStaffs[nStaff + 1], FIRST_MUSIC_COLUMN);
    FillColumns(staff, nCol + 1, nLast);
}

namespace {

// True when no group of characters spans columns nCol and nCol + 1.
bool CanCutAfter(const CStaff& staff, int nCol)
{
    for (int r = 0; r < STAFF_ROWS; ++r) {
        const char filler = FillerFor(r);
        if (staff.m_rows[r][nCol] != filler && staff.m_rows[r][nCol + 1] != filler)
            return false;
    }
    return true;
}

}  // namespace

void CFretlyDoc::MergeUp(int nStaff)
{
    if (nStaff < 0 || nStaff >= m_nStaffs - 1)
        return;
    CStaff& staff = *m_ppStaffs[nStaff];
    CStaff& next = *m_ppStaffs[nStaff + 1];
    const int nLast = staff.GetLastUsedColumn();
    const int nNextLast = next.GetLastUsedColumn();
    if (nNextLast == 0 || nLast == LAST_MUSIC_COLUMN)
        return;

    // Take at most what fits after one empty column (from column 1 on an empty staff).
    int nTake = LAST_MUSIC_COLUMN - 1 - nLast;
    while (nTake > 0 && !CanCutAfter(next, nTake))
        --nTake;
    if (nTake == 0)
        return;

    const int nDest = nLast == 0 ? FIRST_MUSIC_COLUMN : nLast + 2;
    CopyColumns(next, FIRST_MUSIC_COLUMN, nTake, staff, nDest);

    // The rest of the next staff starts again at column 1, without leading gaps.
    CStaff rest;
    int nFrom = nTake + 1;
    while (nFrom <= nNextLast && next.IsColumnEmpty(nFrom))
        ++nFrom;
    CopyColumns(next, nFrom, nNextLast, rest, FIRST_MUSIC_COLUMN);
    next = rest;
}
