// Worked examples of the column operations: Insert Column with its overflow and
// cascade, Delete Column, Move Down and Merge Up.
#include <gtest/gtest.h>

#include "core/document/TabFixture.h"

namespace {

const std::string kDashes(78, '-');
const std::string kBlanks(78, ' ');

class ColumnOpsTest : public ::testing::Test {
protected:
    CFretlyDoc doc;
};

// ---- Insert Column -------------------------------------------------------

TEST_F(ColumnOpsTest, InsertShiftsTheRestOfTheStaffRightInEveryRow)
{
    ResetDocument(doc, 2);
    Put(doc, 0, 0, 10, "5");
    Put(doc, 0, 2, 25, "12");
    Put(doc, 0, 5, 40, "7");
    Put(doc, 0, TEXT_ROW, 9, "Am7");
    Put(doc, 0, 3, 0, "|");   // leading edge: kept in place
    Put(doc, 0, 4, 77, "x");  // trailing edge: the rebuilt staff ends with filler there
    Put(doc, 1, 1, 1, "3");

    doc.InsertColumns(0, 10, 1);

    EXPECT_EQ(Cells(doc, 0, 0, 9, 12), "--5-");
    EXPECT_EQ(Cells(doc, 0, 2, 25, 27), "-12");
    EXPECT_EQ(Cells(doc, 0, 5, 40, 41), "-7");
    EXPECT_EQ(Cells(doc, 0, TEXT_ROW, 8, 12), " A m7");  // 'A' at 9 stays: left of the cursor
    EXPECT_EQ(Cells(doc, 0, 3, 0, 0), "|");
    EXPECT_EQ(Cells(doc, 0, 4, 77, 77), "-");
    for (int r = 0; r < STRING_ROWS; ++r)
        EXPECT_EQ(Cells(doc, 0, r, 10, 10), "-") << "row " << r;
    EXPECT_EQ(Cells(doc, 1, 1, 0, 3), "-3--");
    EXPECT_EQ(doc.m_nStaffs, 2);
    EXPECT_FALSE(doc.IsModified());  // the command marks it, not the operation
}

TEST_F(ColumnOpsTest, InsertRightOfTheLastUsedColumnChangesNothing)
{
    ResetDocument(doc, 1);
    Put(doc, 0, 0, 40, "5");
    Put(doc, 0, 1, 77, "x");
    const CStaff before = StaffOf(doc, 0);

    doc.InsertColumns(0, 41, 1);
    doc.InsertColumns(0, 76, 1);

    EXPECT_EQ(std::memcmp(&before, &StaffOf(doc, 0), sizeof(CStaff)), 0);
    EXPECT_EQ(doc.m_nStaffs, 1);
}

TEST_F(ColumnOpsTest, OverflowOnTheLastStaffCarriesTheWholeFretNumberToANewStaff)
{
    ResetDocument(doc, 1);
    Put(doc, 0, 2, 20, "3");
    Put(doc, 0, 2, 75, "12");

    doc.InsertColumns(0, 10, 1);

    ASSERT_EQ(doc.m_nStaffs, 2);
    EXPECT_TRUE(doc.m_bStaffCountChanged);
    EXPECT_TRUE(doc.IsModified());  // by the appended staff
    EXPECT_EQ(Cells(doc, 1, 2, 0, 3), "-12-");
    EXPECT_EQ(Cells(doc, 0, 2, 20, 21), "-3");
    EXPECT_EQ(Cells(doc, 0, 2, 70, 77), "--------");
    for (int r : {0, 1, 3, 4, 5})
        EXPECT_EQ(WholeRow(doc, 1, r), kDashes);
}

TEST_F(ColumnOpsTest, OverflowLeavesAGapBeforeANoteInColumnOneOfTheNextStaff)
{
    ResetDocument(doc, 2);
    Put(doc, 0, 2, 75, "12");
    Put(doc, 1, 4, 1, "7");
    Put(doc, 1, TEXT_ROW, 30, "C");

    doc.InsertColumns(0, 10, 1);

    EXPECT_EQ(doc.m_nStaffs, 2);
    EXPECT_EQ(Cells(doc, 1, 2, 0, 4), "-12--");
    EXPECT_EQ(Cells(doc, 1, 4, 0, 4), "----7");  // M + 1 = 3 columns opened
    EXPECT_EQ(Cells(doc, 1, TEXT_ROW, 33, 33), "C");
}

TEST_F(ColumnOpsTest, OverflowNeedsNoGapWhenColumnOneOfTheNextStaffIsEmpty)
{
    ResetDocument(doc, 2);
    Put(doc, 0, 2, 75, "12");
    Put(doc, 1, 4, 2, "7");

    doc.InsertColumns(0, 10, 1);

    EXPECT_EQ(Cells(doc, 1, 2, 0, 4), "-12--");
    EXPECT_EQ(Cells(doc, 1, 4, 0, 4), "----7");  // 2 columns opened, 7 from 2 to 4
}

TEST_F(ColumnOpsTest, OverflowKeepsTheLongestGroupCrossingTheLastKeptColumnTogether)
{
    // N = 3: column 73 may stay in use. Row 0 has "10h12" in 70-74 crossing it, row 1
    // a lone note at 73; the whole five-character group goes down.
    ResetDocument(doc, 1);
    Put(doc, 0, 0, 70, "10h12");
    Put(doc, 0, 1, 73, "5");
    Put(doc, 0, 1, 76, "9");

    doc.InsertColumns(0, 5, 3);

    ASSERT_EQ(doc.m_nStaffs, 2);
    EXPECT_EQ(Cells(doc, 1, 0, 1, 7), "10h12--");
    EXPECT_EQ(Cells(doc, 1, 1, 1, 7), "---5--9");
    EXPECT_EQ(WholeRow(doc, 0, 0), kDashes);
    EXPECT_EQ(WholeRow(doc, 0, 1), kDashes);
}

TEST_F(ColumnOpsTest, InsertOnTheFirstOfFullStaffsCascadesAndAppendsExactlyOneStaff)
{
    const int nStaffs = 6;
    ResetDocument(doc, nStaffs);
    for (int s = 0; s < nStaffs; ++s) {
        FillLikeTyping(StaffOf(doc, s));
        Put(doc, s, TEXT_ROW, 40, std::string(1, char('A' + s)));
    }
    std::string before[STAFF_ROWS];
    for (int r = 0; r < STAFF_ROWS; ++r)
        before[r] = SequenceOf(doc, r);

    doc.InsertColumns(0, 1, 1);

    ASSERT_EQ(doc.m_nStaffs, nStaffs + 1);
    for (int r = 0; r < STAFF_ROWS; ++r)
        EXPECT_EQ(SequenceOf(doc, r), before[r]) << "row " << r;
    EXPECT_EQ(Cells(doc, 0, 0, 1, 2), "-3");
    EXPECT_EQ(Cells(doc, 0, TEXT_ROW, 41, 41), "A");
    // Every later staff took a block from the one before, so its own letter moved right.
    for (int s = 1; s < nStaffs; ++s) {
        const size_t nAt = Cells(doc, s, TEXT_ROW, 0, 77).find(char('A' + s));
        EXPECT_NE(nAt, std::string::npos);
        EXPECT_GT(nAt, 40u) << "staff " << s;
    }
    EXPECT_GT(doc.m_ppStaffs[nStaffs]->GetLastUsedColumn(), 0);
}

// ---- Delete Column -------------------------------------------------------

TEST_F(ColumnOpsTest, DeleteShiftsLeftAndRefillsTheTrailingEdge)
{
    ResetDocument(doc, 2);
    Put(doc, 0, 0, 9, "5-7");
    Put(doc, 0, TEXT_ROW, 10, "G");
    Put(doc, 0, 3, 76, "4x");
    Put(doc, 1, 0, 1, "3");

    doc.DeleteColumn(0, 10);

    EXPECT_EQ(Cells(doc, 0, 0, 8, 11), "-57-");
    EXPECT_EQ(Cells(doc, 0, TEXT_ROW, 9, 11), "   ");
    EXPECT_EQ(Cells(doc, 0, 3, 74, 77), "-4x-");
    EXPECT_EQ(Cells(doc, 1, 0, 0, 2), "-3-");  // nothing pulled up
    EXPECT_TRUE(RowsIntact(StaffOf(doc, 0)));
}

TEST_F(ColumnOpsTest, DeleteAtColumn76TakesColumn77)
{
    ResetDocument(doc, 1);
    Put(doc, 0, 0, 76, "1x");
    Put(doc, 0, TEXT_ROW, 76, "ab");

    doc.DeleteColumn(0, 76);

    EXPECT_EQ(Cells(doc, 0, 0, 75, 77), "-x-");
    EXPECT_EQ(Cells(doc, 0, TEXT_ROW, 75, 77), " b ");
}

TEST_F(ColumnOpsTest, DeleteBeyondColumn76OnlyResetsTheTrailingEdge)
{
    ResetDocument(doc, 1);
    Put(doc, 0, 0, 75, "123");
    Put(doc, 0, TEXT_ROW, 77, "z");

    doc.DeleteColumn(0, 77);
    doc.DeleteColumn(0, 200);

    EXPECT_EQ(Cells(doc, 0, 0, 75, 77), "12-");
    EXPECT_EQ(WholeRow(doc, 0, TEXT_ROW), kBlanks);
    EXPECT_TRUE(RowsIntact(StaffOf(doc, 0)));
}

// ---- Move Down -----------------------------------------------------------

TEST_F(ColumnOpsTest, MoveDownFromColumn5SendsColumns6To30ToTheNextStaff)
{
    for (bool bNoteInColumn1 : {false, true}) {
        ResetDocument(doc, 2);
        Put(doc, 0, 0, 1, "3-5-7");
        Put(doc, 0, 1, 6, "10");
        Put(doc, 0, 4, 29, "12");
        Put(doc, 0, TEXT_ROW, 6, "Dm");
        if (bNoteInColumn1)
            Put(doc, 1, 5, 1, "0");
        Put(doc, 1, 5, 3, "2");

        doc.MoveDown(0, 5);

        const int nShift = bNoteInColumn1 ? 26 : 25;
        EXPECT_EQ(Cells(doc, 0, 0, 1, 6), "3-5-7-");  // column 5 stays
        EXPECT_EQ(doc.m_ppStaffs[0]->GetLastUsedColumn(), 5);
        EXPECT_EQ(Cells(doc, 1, 1, 1, 2), "10");
        EXPECT_EQ(Cells(doc, 1, 4, 24, 25), "12");
        EXPECT_EQ(Cells(doc, 1, TEXT_ROW, 1, 2), "Dm");
        EXPECT_EQ(Cells(doc, 1, 5, 3 + nShift, 3 + nShift), "2");
        if (bNoteInColumn1) {
            EXPECT_EQ(Cells(doc, 1, 5, 26, 27), "-0");  // one empty column between
        }
        EXPECT_EQ(doc.m_nStaffs, 2);
    }
}

TEST_F(ColumnOpsTest, MoveDownFromColumn1KeepsColumn1AndAppendsOnTheLastStaff)
{
    ResetDocument(doc, 1);
    FillLikeTyping(StaffOf(doc, 0));
    const CStaff before = StaffOf(doc, 0);

    doc.MoveDown(0, 1);

    ASSERT_EQ(doc.m_nStaffs, 2);
    EXPECT_EQ(doc.m_ppStaffs[0]->GetLastUsedColumn(), 1);
    for (int r = 0; r < STAFF_ROWS; ++r) {
        EXPECT_EQ(Cells(doc, 0, r, 1, 1), std::string(1, before.m_rows[r][1]));
        EXPECT_EQ(Cells(doc, 1, r, 1, 75), std::string(before.m_rows[r] + 2, 75)) << "row " << r;
        EXPECT_EQ(Cells(doc, 1, r, 76, 77), std::string(2, FillerFor(r)));
    }
}

TEST_F(ColumnOpsTest, MoveDownWithNothingRightOfTheCursorStillMakesRoom)
{
    // On the last staff: an empty staff is appended.
    ResetDocument(doc, 1);
    Put(doc, 0, 0, 12, "5");
    doc.MoveDown(0, 12);
    EXPECT_EQ(doc.m_nStaffs, 2);
    EXPECT_EQ(Cells(doc, 0, 0, 12, 12), "5");

    // Before a staff that starts with a note: one empty column is opened there.
    ResetDocument(doc, 2);
    Put(doc, 0, 0, 12, "5");
    Put(doc, 1, 0, 1, "7");
    doc.MoveDown(0, 12);
    EXPECT_EQ(doc.m_nStaffs, 2);
    EXPECT_EQ(Cells(doc, 1, 0, 1, 2), "-7");
}

TEST_F(ColumnOpsTest, MoveDownRightOfTheLastUsedColumnDoesNothing)
{
    ResetDocument(doc, 2);
    Put(doc, 0, 0, 12, "5");
    Put(doc, 1, 0, 1, "7");
    const CStaff first = StaffOf(doc, 0);
    const CStaff second = StaffOf(doc, 1);

    doc.MoveDown(0, 13);
    doc.MoveDown(1, 76);
    doc.MoveDown(1, 500);

    EXPECT_EQ(doc.m_nStaffs, 2);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(std::memcmp(&first, &StaffOf(doc, 0), sizeof(CStaff)), 0);
    EXPECT_EQ(std::memcmp(&second, &StaffOf(doc, 1), sizeof(CStaff)), 0);
}

TEST_F(ColumnOpsTest, MoveDownFromColumn1ThroughFullStaffsMovesEachStaffDownWhole)
{
    // The count reaching the third staff is 77: the block there is all of columns
    // 1-76, and every later staff moves down unchanged, with nothing in column 77.
    const int nStaffs = 5;
    ResetDocument(doc, nStaffs);
    std::vector<CStaff> before;
    for (int s = 0; s < nStaffs; ++s) {
        FillLikeTyping(StaffOf(doc, s));
        Put(doc, s, TEXT_ROW, 10, "staff" + std::to_string(s));
        before.push_back(StaffOf(doc, s));
    }

    doc.MoveDown(0, 1);

    ASSERT_EQ(doc.m_nStaffs, nStaffs + 1);
    for (int r = 0; r < STAFF_ROWS; ++r) {
        EXPECT_EQ(Cells(doc, 1, r, 1, 75), std::string(before[0].m_rows[r] + 2, 75));
        EXPECT_EQ(Cells(doc, 1, r, 76, 76), std::string(1, FillerFor(r)));  // the gap
        for (int s = 2; s <= nStaffs; ++s)
            EXPECT_EQ(WholeRow(doc, s, r), std::string(before[s - 1].m_rows[r], 78)) << "staff " << s;
    }
}

// ---- Merge Up ------------------------------------------------------------

TEST_F(ColumnOpsTest, MergeUpPullsAFretNumberIntoTheSpaceAfterColumn70)
{
    ResetDocument(doc, 3);
    Put(doc, 0, 1, 70, "5");
    Put(doc, 1, 3, 3, "10");
    Put(doc, 2, 0, 1, "1");

    doc.MergeUp(0);

    EXPECT_EQ(doc.m_nStaffs, 3);
    EXPECT_EQ(Cells(doc, 0, 3, 70, 77), "----10--");  // columns 1-5 went to 72-76
    EXPECT_EQ(Cells(doc, 0, 1, 70, 71), "5-");
    EXPECT_EQ(doc.m_ppStaffs[1]->GetLastUsedColumn(), 0);
    EXPECT_EQ(Cells(doc, 2, 0, 1, 1), "1");
}

TEST_F(ColumnOpsTest, MergeUpNeverSplitsAGroupAtTheCut)
{
    // k starts at 5: "12" at 5-6 spans the cut after 5, the chord name at 4-5 the cut
    // after 4; the cut falls after column 3.
    ResetDocument(doc, 2);
    Put(doc, 0, 0, 70, "5");
    Put(doc, 1, 2, 5, "12");
    Put(doc, 1, TEXT_ROW, 4, "Em");
    Put(doc, 1, 0, 20, "3");

    doc.MergeUp(0);

    EXPECT_EQ(doc.m_ppStaffs[0]->GetLastUsedColumn(), 70);
    EXPECT_EQ(Cells(doc, 1, TEXT_ROW, 0, 3), " Em ");
    EXPECT_EQ(Cells(doc, 1, 2, 0, 4), "--12-");
    EXPECT_EQ(Cells(doc, 1, 0, 16, 18), "-3-");
}

TEST_F(ColumnOpsTest, MergeUpDropsLeadingEmptyColumnsOfTheRemainder)
{
    ResetDocument(doc, 2);
    Put(doc, 0, 0, 70, "5");
    Put(doc, 1, 0, 2, "3");
    Put(doc, 1, 4, 10, "12");

    doc.MergeUp(0);

    EXPECT_EQ(Cells(doc, 0, 0, 72, 74), "-3-");
    EXPECT_EQ(Cells(doc, 1, 4, 0, 3), "-12-");
    EXPECT_EQ(doc.m_ppStaffs[1]->GetLastUsedColumn(), 2);
}

TEST_F(ColumnOpsTest, MergeUpMovesASingleRemainingColumnToColumn1)
{
    ResetDocument(doc, 2);
    Put(doc, 0, 0, 70, "5");
    Put(doc, 1, 0, 1, "3");
    Put(doc, 1, 5, 6, "8");

    doc.MergeUp(0);

    EXPECT_EQ(Cells(doc, 0, 0, 72, 72), "3");
    EXPECT_EQ(Cells(doc, 1, 5, 0, 2), "-8-");
    EXPECT_EQ(doc.m_ppStaffs[1]->GetLastUsedColumn(), 1);
}

TEST_F(ColumnOpsTest, MergeUpIntoAnEmptyStaffStartsAtColumn1)
{
    ResetDocument(doc, 2);
    FillLikeTyping(StaffOf(doc, 1));
    const CStaff next = StaffOf(doc, 1);

    doc.MergeUp(0);

    // Up to 75 columns fit; the cut must fall where no group spans it.
    const int nLast = doc.m_ppStaffs[0]->GetLastUsedColumn();
    ASSERT_GT(nLast, 60);
    ASSERT_LE(nLast, 75);
    for (int r = 0; r < STAFF_ROWS; ++r)
        EXPECT_EQ(Cells(doc, 0, r, 1, nLast), std::string(next.m_rows[r] + 1, static_cast<size_t>(nLast)));
}

TEST_F(ColumnOpsTest, MergeUpDoesNothingWhenNothingCanMove)
{
    auto expectUnchanged = [this](int nStaff, const char* why) {
        std::vector<CStaff> before;
        for (int s = 0; s < doc.m_nStaffs; ++s)
            before.push_back(StaffOf(doc, s));
        doc.MergeUp(nStaff);
        for (int s = 0; s < doc.m_nStaffs; ++s)
            EXPECT_EQ(std::memcmp(&before[s], &StaffOf(doc, s), sizeof(CStaff)), 0) << why;
    };

    ResetDocument(doc, 2);
    Put(doc, 0, 0, 10, "5");
    expectUnchanged(1, "last staff");
    expectUnchanged(0, "next staff empty");

    Put(doc, 1, 0, 1, "3");
    Put(doc, 0, 0, 76, "9");
    expectUnchanged(0, "staff used to 76");

    ResetDocument(doc, 2);
    Put(doc, 0, 0, 75, "9");
    Put(doc, 1, 0, 1, "3");
    expectUnchanged(0, "staff used to 75: no room after the gap column");

    ResetDocument(doc, 2);
    Put(doc, 0, 0, 70, "9");
    Put(doc, 1, 3, 1, "1/3/5h7");
    expectUnchanged(0, "every cut splits a group");
}

}  // namespace

namespace {

TEST(ColumnOpsArgumentsTest, OutOfRangeStaffsColumnsAndCountsChangeNothing)
{
    CFretlyDoc doc;
    ResetDocument(doc, 2);
    FillLikeTyping(StaffOf(doc, 0));
    FillLikeTyping(StaffOf(doc, 1));
    const CStaff first = StaffOf(doc, 0);
    const CStaff second = StaffOf(doc, 1);

    for (int nStaff : {-1, 2, 1000}) {
        doc.InsertColumns(nStaff, 5, 1);
        doc.DeleteColumn(nStaff, 5);
        doc.MoveDown(nStaff, 5);
        doc.MergeUp(nStaff);
    }
    doc.InsertColumns(0, 0, 1);
    doc.InsertColumns(0, -3, 1);
    doc.InsertColumns(0, 5, 0);
    doc.InsertColumns(0, 5, -2);
    doc.DeleteColumn(0, -1);
    doc.MoveDown(0, -1);

    EXPECT_EQ(doc.m_nStaffs, 2);
    EXPECT_EQ(std::memcmp(&first, &StaffOf(doc, 0), sizeof(CStaff)), 0);
    EXPECT_EQ(std::memcmp(&second, &StaffOf(doc, 1), sizeof(CStaff)), 0);
}

TEST(ColumnOpsArgumentsTest, AHugeCountMovesTheWholeStaffDownOnce)
{
    CFretlyDoc doc;
    ResetDocument(doc, 1);
    FillLikeTyping(StaffOf(doc, 0));
    const CStaff before = StaffOf(doc, 0);

    doc.InsertColumns(0, 1, 2147483647);

    ASSERT_EQ(doc.m_nStaffs, 2);
    EXPECT_EQ(doc.m_ppStaffs[0]->GetLastUsedColumn(), 0);
    EXPECT_EQ(std::memcmp(&before.m_rows, &StaffOf(doc, 1).m_rows, sizeof before.m_rows), 0);
}

}  // namespace
