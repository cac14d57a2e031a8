#include <gtest/gtest.h>

#include "core/view/ViewHarness.h"

namespace {

// Row 0 of staff s holds text from column 1 on.
void Fill(ViewHarness& h, int staff, std::string_view text) { h.Put(staff, 0, 1, text); }

} // namespace

TEST(ViewCommands, InsertVerticalBarDrawsAcrossTheStringsAndMovesTwoColumns)
{
    ViewHarness h;
    h.Put(0, 3, 11, "2");
    h.Put(0, 6, 10, "G");
    h.ClickCell(0, 3, 9);
    h.Type("5");
    ASSERT_TRUE(h.Command(ID_EDIT_VERTICALBAR));
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(h.Row(0, r)[10], '|');
    EXPECT_EQ(h.Row(0, 6)[10], 'G');
    EXPECT_EQ(h.Row(0, 3).substr(9, 3), "5|2");
    EXPECT_EQ(h.Col(), 12);
    EXPECT_EQ(h.RowIdx(), 3);
    EXPECT_EQ(h.view.m_chLastTyped, 0);
    EXPECT_TRUE(h.doc.IsModified());
}

TEST(ViewCommands, VerticalBarAtTheEndOfTheLastStaffContinuesOnANewStaff)
{
    ViewHarness h;
    h.ClickCell(0, 2, 75);
    h.Command(ID_EDIT_VERTICALBAR);
    EXPECT_EQ(h.doc.m_nStaffs, 2);
    EXPECT_EQ(h.Row(0, 2)[75], '|');
    EXPECT_EQ(h.Row(1, 2), std::string(78, '-'));
    EXPECT_EQ(h.Staff(), 1);
    EXPECT_EQ(h.RowIdx(), 2);
    EXPECT_EQ(h.Col(), 1);

    // In the last column the cursor jumps past the staff's edge; the edge is not carried.
    h.ClickCell(1, 0, 76);
    h.Put(1, 0, 77, "E");
    h.Command(ID_EDIT_VERTICALBAR);
    EXPECT_EQ(h.doc.m_nStaffs, 3);
    EXPECT_EQ(h.Row(1, 0).substr(76), "|E");
    EXPECT_EQ(h.Row(2, 0), std::string(78, '-'));
    EXPECT_EQ(h.Staff(), 2);
    EXPECT_EQ(h.Col(), 1);
}

TEST(ViewCommands, VerticalBarFromTheTextRowCarriesTheTextEndingTheStaff)
{
    ViewHarness h;
    h.Put(0, 6, 73, "x Am");        // "Am" ends at column 76
    h.ClickCell(0, 6, 75);
    h.Command(ID_EDIT_VERTICALBAR);
    EXPECT_EQ(h.Row(0, 0)[75], '|');
    EXPECT_EQ(h.Row(0, 6).substr(73), "x    ");
    EXPECT_EQ(h.Row(1, 6).substr(0, 4), " Am ");
    EXPECT_EQ(h.Staff(), 1);
    EXPECT_EQ(h.RowIdx(), 6);
    EXPECT_EQ(h.Col(), 3);
}

TEST(ViewCommands, InsertStaffPutsTheCursorOnTheNewStaff)
{
    ViewHarness h;
    h.ClickCell(0, 4, 30);
    const int nHeight = h.view.GetTotalSize().cy;
    ASSERT_TRUE(h.Command(ID_EDIT_INSERTSTAFF));
    EXPECT_EQ(h.doc.m_nStaffs, 2);
    EXPECT_EQ(h.Staff(), 1);
    EXPECT_EQ(h.RowIdx(), 4);
    EXPECT_EQ(h.Col(), 1);
    EXPECT_EQ(h.view.GetTotalSize().cy, nHeight + 8 * 16);
    EXPECT_TRUE(h.doc.IsModified());

    Fill(h, 1, "7");
    h.ClickCell(0, 0, 5);
    h.Command(ID_EDIT_INSERTSTAFF);     // between two staffs
    EXPECT_EQ(h.doc.m_nStaffs, 3);
    EXPECT_EQ(h.Row(1, 0), std::string(78, '-'));
    EXPECT_EQ(h.Row(2, 0)[1], '7');
}

TEST(ViewCommands, DeleteStaffAsksAndFollowsTheAnswer)
{
    ViewHarness h(3);
    Fill(h, 0, "1");
    Fill(h, 1, "2");
    Fill(h, 2, "3");
    h.ClickCell(1, 2, 40);

    h.ui.messageAnswers.push_back(IDNO);
    const int before = h.host.invalidations;
    ASSERT_TRUE(h.Command(ID_EDIT_DELETESTAFF));
    ASSERT_EQ(h.ui.messages.size(), 1u);
    EXPECT_EQ(h.ui.messages[0].text, "Are you sure you want to delete this staff?");
    EXPECT_EQ(h.ui.messages[0].caption, "Fretly");
    EXPECT_EQ(h.ui.messages[0].nType, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1);
    EXPECT_EQ(h.doc.m_nStaffs, 3);
    EXPECT_FALSE(h.doc.IsModified());
    EXPECT_EQ(h.host.invalidations, before);

    h.ui.messageAnswers.push_back(IDYES);
    h.Command(ID_EDIT_DELETESTAFF);     // the middle one: the cursor names the next
    EXPECT_EQ(h.doc.m_nStaffs, 2);
    EXPECT_EQ(h.Row(1, 0)[1], '3');
    EXPECT_EQ(h.Staff(), 1);
    EXPECT_EQ(h.RowIdx(), 2);
    EXPECT_EQ(h.Col(), 40);
    EXPECT_TRUE(h.doc.IsModified());

    const int nHeight = h.view.GetTotalSize().cy;
    h.Command(ID_EDIT_DELETESTAFF);     // the last one (default answer Yes)
    EXPECT_EQ(h.doc.m_nStaffs, 1);
    EXPECT_EQ(h.Staff(), 0);
    EXPECT_EQ(h.Row(0, 0)[1], '1');
    EXPECT_EQ(h.view.GetTotalSize().cy, nHeight - 8 * 16);
}

TEST(ViewCommands, DeletingTheOnlyStaffLeavesAnEmptyOne)
{
    ViewHarness h;
    h.ClickCell(0, 5, 20);
    h.Type("12");
    h.doc.SetModifiedFlag(false);
    h.Command(ID_EDIT_DELETESTAFF);
    EXPECT_EQ(h.doc.m_nStaffs, 1);
    EXPECT_EQ(h.Row(0, 5), std::string(78, '-'));
    EXPECT_EQ(h.Staff(), 0);
    EXPECT_EQ(h.RowIdx(), 5);
    EXPECT_EQ(h.Col(), 22);
    EXPECT_EQ(h.view.m_chLastTyped, 0);
    EXPECT_TRUE(h.doc.IsModified());
    EXPECT_EQ(h.CursorCall().y, 8 + 5 * 16);
}

TEST(ViewCommands, DeleteColumnPullsTheRestOfTheStaffLeft)
{
    ViewHarness h;
    Fill(h, 0, "1h3p");
    h.Put(0, 6, 1, "abcd");
    h.ClickCell(0, 0, 2);
    ASSERT_TRUE(h.Command(ID_EDIT_DELETECOLUMN));
    EXPECT_EQ(h.Row(0, 0).substr(0, 6), "-13p--");
    EXPECT_EQ(h.Row(0, 6).substr(0, 6), " acd  ");
    EXPECT_EQ(h.Col(), 1);     // the paint snaps onto the 13 now under the cursor's left
    EXPECT_TRUE(h.doc.IsModified());
}

TEST(ViewCommands, InsertColumnOpensAnEmptyColumnUnderTheCursor)
{
    ViewHarness h;
    Fill(h, 0, "5h7");
    h.ClickCell(0, 3, 2);
    ASSERT_TRUE(h.Command(ID_EDIT_INSERTCOLUMN));
    EXPECT_EQ(h.Row(0, 0).substr(0, 6), "-5-h7-");
    EXPECT_EQ(h.Col(), 2);
    EXPECT_EQ(h.RowIdx(), 3);
    EXPECT_TRUE(h.doc.IsModified());
}

TEST(ViewCommands, MoveDownAndMergeUpKeepTheCursor)
{
    ViewHarness h;
    Fill(h, 0, "12345");
    h.ClickCell(0, 0, 1);
    ASSERT_TRUE(h.Command(ID_EDIT_MOVEDOWN));
    ASSERT_EQ(h.doc.m_nStaffs, 2);
    EXPECT_EQ(h.Row(0, 0).substr(0, 7), "-1-----");
    EXPECT_EQ(h.Row(1, 0).substr(0, 6), "-2345-");
    EXPECT_EQ(h.Staff(), 0);
    EXPECT_EQ(h.Col(), 1);

    h.doc.SetModifiedFlag(false);
    h.ClickCell(0, 4, 30);
    ASSERT_TRUE(h.Command(ID_EDIT_MERGEUP));
    EXPECT_EQ(h.doc.m_nStaffs, 2);
    EXPECT_EQ(h.Row(0, 0).substr(0, 8), "-1-2345-");
    EXPECT_EQ(h.Row(1, 0), std::string(78, '-'));
    EXPECT_EQ(h.Staff(), 0);
    EXPECT_EQ(h.RowIdx(), 4);
    EXPECT_EQ(h.Col(), 30);
    EXPECT_TRUE(h.doc.IsModified());
}

TEST(ViewCommands, EveryCommandEndsTheTypingState)
{
    for (UINT id : {ID_EDIT_VERTICALBAR, ID_EDIT_INSERTSTAFF, ID_EDIT_DELETESTAFF, ID_EDIT_DELETECOLUMN,
                    ID_EDIT_INSERTCOLUMN, ID_EDIT_MERGEUP, ID_EDIT_MOVEDOWN}) {
        ViewHarness h(2);
        h.ClickCell(0, 1, 10);
        h.Type("12");
        h.Left();
        h.Type("3");            // typing state set, next to a digit
        h.doc.SetModifiedFlag(false);
        ASSERT_TRUE(h.Command(id)) << id;
        EXPECT_EQ(h.view.m_chLastTyped, 0) << id;
        EXPECT_TRUE(h.doc.IsModified()) << id;
        EXPECT_GT(h.host.invalidations, 0) << id;
    }
    ViewHarness h;
    EXPECT_FALSE(h.Command(ID_EDIT_MERGEUP_PROMPT));
}
