#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

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

TEST(Staff, StaffsMadeAndReleasedOnTwoThreadsAtOnceStayApart)
{
    // The recovery writer gives back a snapshot's staffs while the editor makes new ones:
    // two threads share the staff slabs. Each staff is stamped with its thread and index;
    // a cell handed out twice, or a free list broken by a race, shows as a wrong stamp.
    constexpr int kStaffs = 5000;
    std::atomic<int> nReady{0};
    auto work = [&nReady](char mark, bool* pOk) {
        // Both threads begin together, so that their work overlaps.
        ++nReady;
        while (nReady.load() < 2)
            std::this_thread::yield();
        std::vector<std::unique_ptr<CStaff>> staffs;
        for (int round = 0; round < 40; ++round) {
            for (int i = 0; i < kStaffs; ++i) {
                staffs.push_back(std::make_unique<CStaff>());
                staffs.back()->m_rows[0][0] = mark;
                std::memcpy(staffs.back()->m_rows[1], &i, sizeof i);
            }
            for (int i = 0; i < kStaffs; ++i) {
                int n = -1;
                std::memcpy(&n, staffs[i]->m_rows[1], sizeof n);
                if (staffs[i]->m_rows[0][0] != mark || n != i)
                    *pOk = false;
            }
            // Give back every other one, then the rest, so that free lists are walked.
            for (int i = 0; i < kStaffs; i += 2)
                staffs[i].reset();
            staffs.clear();
        }
    };
    bool bOkA = true;
    bool bOkB = true;
    std::thread other(work, 'B', &bOkB);
    work('A', &bOkA);
    other.join();
    EXPECT_TRUE(bOkA);
    EXPECT_TRUE(bOkB);
}

// Deleting staffs in bulk, some of each slab and all of others: the staffs kept keep
// their bytes (a slab still in use is not given back), and the freed places are used
// again for new, clean staffs.
TEST(Staff, StaffsDeletedAllAtOnceLeaveTheOthersWhole)
{
    auto mark = [](CStaff& staff, int i) { std::snprintf(staff.m_rows[TEXT_ROW], 12, "staff%06d", i); };
    std::vector<std::unique_ptr<CStaff>> kept, gone, wholeSlabs;
    for (int i = 0; i < 20000; ++i) {
        auto pStaff = std::make_unique<CStaff>();
        mark(*pStaff, i);
        (i < 8000 && i % 3 != 0 ? gone : i < 8000 ? kept : wholeSlabs).push_back(std::move(pStaff));
    }
    CStaff::DeleteAll(gone);
    CStaff::DeleteAll(wholeSlabs);
    EXPECT_TRUE(gone.empty());
    EXPECT_TRUE(wholeSlabs.empty());

    std::vector<std::unique_ptr<CStaff>> fresh;
    for (int i = 0; i < 6000; ++i)
        fresh.push_back(std::make_unique<CStaff>());
    const CStaff clean;
    for (const auto& pStaff : fresh)
        ASSERT_EQ(std::memcmp(pStaff->m_rows, clean.m_rows, sizeof clean.m_rows), 0);
    for (std::size_t k = 0; k < kept.size(); ++k) {
        CStaff expected;
        mark(expected, static_cast<int>(k) * 3);
        ASSERT_EQ(std::memcmp(kept[k]->m_rows, expected.m_rows, sizeof expected.m_rows), 0) << "kept staff " << k;
    }
}
