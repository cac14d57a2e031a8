// Column and reflow operations of the tablature document: inserting and deleting
// columns, moving the rest of a staff down and merging the next staff up.
#include "document/FretlyDoc.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>

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

// Opens nCount filler columns at nCol in a staff used up to nLast; the staff is
// rebuilt from a fresh one, so its trailing edge ends as filler.
void OpenColumns(CStaff& staff, int nCol, int nCount, int nLast)
{
    if (nCol - 1 >= nLast)
        return;
    assert(nLast + nCount <= LAST_MUSIC_COLUMN);
    CStaff rebuilt;
    CopyColumns(staff, 0, nCol - 1, rebuilt, 0);
    CopyColumns(staff, nCol, nLast, rebuilt, nCol + nCount);
    staff = rebuilt;
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

// Each staff that overflows first needs room on the next one, so the cascade is
// planned forward (every step depends only on the staffs as they were) and then
// carried out from its far end back to nStaff. This gives what the natural
// recursion gives, without a stack as deep as the tablature is long.
void CFretlyDoc::InsertColumns(int nStaff, int nCol, int nCount)
{
    if (nStaff < 0 || nStaff >= m_nStaffs || nCol < FIRST_MUSIC_COLUMN || nCount < 1)
        return;

    std::vector<CCascadeStep> steps;
    int nCurrent = std::min(nCount, MAX_INSERT_COUNT);
    for (int s = nStaff;; ++s) {
        const CCascadeStep step = PlanStep(*m_ppStaffs[s], nCurrent);
        steps.push_back(step);
        if (!step.Overflows())
            break;
        if (s + 1 == m_nStaffs) {
            // Only the end of a cascade appends, so one call adds at most one staff.
            InsertStaff(s);
            break;
        }
        nCurrent = step.BlockWidth() + GapBefore(*m_ppStaffs[s + 1]);
    }

    for (size_t i = steps.size(); i-- > 0;) {
        const CCascadeStep& step = steps[i];
        const int s = nStaff + static_cast<int>(i);
        CStaff& staff = *m_ppStaffs[s];
        int nLast = step.nLast;
        if (step.Overflows()) {
            CopyColumns(staff, step.nFirst, step.nLast, *m_ppStaffs[s + 1], FIRST_MUSIC_COLUMN);
            FillColumns(staff, step.nFirst, step.nLast);
            nLast = staff.GetLastUsedColumn();
        }
        OpenColumns(staff, i == 0 ? nCol : FIRST_MUSIC_COLUMN, step.nCount, nLast);
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
