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
    for (int r = 0; r < STAFF_ROWS; ++r) {
        const char filler = FillerFor(r);
        int c = LAST_MUSIC_COLUMN;
        while (c > 0 && m_rows[r][c] == filler)
            --c;
        if (c > nResult)
            nResult = c;
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
