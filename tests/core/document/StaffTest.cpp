#include <gtest/gtest.h>

#include <cstring>

#include "document/Staff.h"

TEST(Staff, NewStaffIsFillerTerminatedAtColumn78)
{
    CStaff staff;
    for (int r = 0; r < STAFF_ROWS; ++r) {
        EXPECT_EQ(std::strlen(staff.m_rows[r]), 78u) << "row " << r;
        for (int c = 0; c < STAFF_COLUMNS; ++c)
            EXPECT_EQ(staff.m_rows[r][c], r == TEXT_ROW ? ' ' : '-') << "row " << r << " col " << c;
    }
    EXPECT_EQ(staff.GetLastUsedColumn(), 0);
    for (int c = 0; c < STAFF_COLUMNS; ++c)
        EXPECT_TRUE(staff.IsColumnEmpty(c)) << c;
}

TEST(Staff, EdgeColumnsAreNotMusic)
{
    CStaff staff;
    staff.m_rows[2][0] = '5';
    staff.m_rows[3][77] = '7';
    staff.m_rows[TEXT_ROW][77] = 'x';
    EXPECT_EQ(staff.GetLastUsedColumn(), 0);
    EXPECT_FALSE(staff.IsColumnEmpty(0));
    EXPECT_FALSE(staff.IsColumnEmpty(77));
}

TEST(Staff, LastUsedColumnTakesTheHighestOverAllRows)
{
    CStaff staff;
    staff.m_rows[0][10] = '3';
    staff.m_rows[5][40] = '1';
    staff.m_rows[TEXT_ROW][25] = 'C';
    EXPECT_EQ(staff.GetLastUsedColumn(), 40);

    CStaff fret76;
    fret76.m_rows[4][76] = '2';
    EXPECT_EQ(fret76.GetLastUsedColumn(), 76);

    CStaff text76;
    text76.m_rows[TEXT_ROW][76] = 'm';
    EXPECT_EQ(text76.GetLastUsedColumn(), 76);

    CStaff first;
    first.m_rows[1][1] = '0';
    EXPECT_EQ(first.GetLastUsedColumn(), 1);
}

TEST(Staff, FillerOfTheOtherKindCountsAsContent)
{
    CStaff staff;
    staff.m_rows[1][30] = ' ';          // a blank on a string
    staff.m_rows[TEXT_ROW][50] = '-';   // a dash in the text
    EXPECT_EQ(staff.GetLastUsedColumn(), 50);
    EXPECT_FALSE(staff.IsColumnEmpty(30));
    EXPECT_FALSE(staff.IsColumnEmpty(50));
    EXPECT_TRUE(staff.IsColumnEmpty(31));
}
