#pragma once
// One staff: six string rows (top to bottom) and a text row, 78 columns each.

constexpr int STAFF_ROWS = 7;        // rows 0-5 strings, row 6 text
constexpr int STRING_ROWS = 6;
constexpr int TEXT_ROW = 6;
constexpr int STAFF_COLUMNS = 78;    // columns 0-77; position 78 holds the terminator
constexpr int ROW_SIZE = 80;
constexpr int FIRST_MUSIC_COLUMN = 1;
constexpr int LAST_MUSIC_COLUMN = 76;

// The character of an empty cell in row nRow.
constexpr char FillerFor(int nRow) { return nRow == TEXT_ROW ? ' ' : '-'; }

#include <cstddef>
#include <memory>
#include <vector>

class CStaff {
public:
    CStaff();

    // Staffs are allocated in slabs (StaffPool.cpp).
    static void* operator new(std::size_t nSize);
    static void operator delete(void* p, std::size_t nSize);
    // Maps one more slab and has the system fault it in now, for staffs still to come,
    // unless nReady slabs stand ready already (false then, also where there are no
    // slabs). A thread that waits for a read does the page clearing for the reader so.
    static bool PrepareSlab(std::size_t nReady);
    // Gives back the slabs prepared and never used.
    static void ReleasePreparedSlabs();
    // Deletes every staff of staffs and empties it: for a whole document this is one
    // pass over the slabs rather than one delete per staff.
    static void DeleteAll(std::vector<std::unique_ptr<CStaff>>& staffs);

    // Highest column 1-76 holding anything but filler in any row; 0 when none.
    int GetLastUsedColumn() const;
    // True when column nCol holds filler in all seven rows. nCol must be 0-77.
    bool IsColumnEmpty(int nCol) const;

    char m_rows[STAFF_ROWS][ROW_SIZE];
};
