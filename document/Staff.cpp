#include "document/Staff.h"

#include <cstring>

CStaff::CStaff()
{
    for (int r = 0; r < STAFF_ROWS; ++r) {
        std::memset(m_rows[r], FillerFor(r), STAFF_COLUMNS);
        m_rows[r][STAFF_COLUMNS] = '\0';
        m_rows[r][STAFF_COLUMNS + 1] = '\0';
    }
}

int CStaff::GetLastUsedColumn() const
{
    int nResult = 0;
    for (int r = 0; r < STAFF_ROWS && nResult < LAST_MUSIC_COLUMN; ++r) {
        const char filler = FillerFor(r);
        // Only a column right of the highest found so far can raise it.
        for (int c = LAST_MUSIC_COLUMN; c > nResult; --c) {
            if (m_rows[r][c] != filler) {
                nResult = c;
                break;
            }
        }
    }
    return nResult;
}

bool CStaff::IsColumnEmpty(int nCol) const
{
    for (int r = 0; r < STAFF_ROWS; ++r) {
        if (m_rows[r][nCol] != FillerFor(r))
            return false;
    }
    return true;
}
