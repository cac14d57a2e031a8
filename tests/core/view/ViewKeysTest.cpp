#include <gtest/gtest.h>

#include "core/view/ViewHarness.h"

TEST(ViewTyping, ADigitOnANewDocumentGoesIntoColumnOneAndMarksTheDocument)
{
    ViewHarness h;
    h.Type("3");
    EXPECT_EQ(h.Row(0, 0), "-3" + std::string(76, '-'));
    EXPECT_EQ(h.Col(), 2);
    EXPECT_EQ(h.view.m_nCursorWidth, 1);
    EXPECT_EQ(h.view.m_chLastTyped, '3');
    EXPECT_TRUE(h.doc.IsModified());
}

TEST(ViewTyping, RetypingOverATwoDigitNumberReplacesIt)
{
    ViewHarness h;
    h.Type("12");
    h.Left();                     // cursor over 12
    h.Type("5");
    EXPECT_EQ(h.Row(0, 0).substr(0, 4), "-5--");
    EXPECT_EQ(h.Col(), 2);
    EXPECT_EQ(h.CursorCall().text, "-");
    h.Type("7");
    EXPECT_EQ(h.Row(0, 0).substr(0, 4), "-57-");

    h.Left();
    h.Delete();                   // both digits go
    EXPECT_EQ(h.Row(0, 0).substr(0, 4), "----");
    EXPECT_EQ(h.Col(), 1);

    h.ClickCell(0, 6, 3);
    h.Type("Am7");
    h.ClickCell(0, 6, 3);
    h.doc.SetModifiedFlag(false);
    h.Delete();                   // one cell on the text row
    EXPECT_EQ(h.Row(0, 6).substr(0, 7), "    m7 ");
    EXPECT_TRUE(h.doc.IsModified());
    EXPECT_EQ(h.view.m_chLastTyped, 0);
}

TEST(ViewTyping, StringRowsTakeDigitsAndTheTablatureSymbolsOnly)
{
    ViewHarness h;
    h.Type("5h7p5b6r/\\v*^tx");
    EXPECT_EQ(h.Row(0, 0).substr(0, 17), "-5h7p5b6r/\\v*^tx-");
    EXPECT_EQ(h.Col(), 16);
    EXPECT_EQ(h.view.m_chLastTyped, 'x');

    h.doc.SetModifiedFlag(false);
    const int before = h.host.invalidations;
    for (UINT ch : {UINT('H'), UINT('-'), UINT('X'), UINT('~'), UINT('a'), UINT('\t'), 27u, 0u, 0x1E9u})
        h.Char(ch);
    EXPECT_EQ(h.Row(0, 0).substr(0, 17), "-5h7p5b6r/\\v*^tx-");
    EXPECT_EQ(h.Col(), 16);
    EXPECT_EQ(h.view.m_chLastTyped, 'x');
    EXPECT_EQ(h.host.invalidations, before);
    EXPECT_FALSE(h.doc.IsModified());
}

TEST(ViewTyping, TheTextRowTakesEveryPrintableCharacterAndEnterAndBackspace)
{
    ViewHarness h;
    h.ClickCell(0, 6, 1);
    h.Type("H-X~ |9");
    EXPECT_EQ(h.Row(0, 6).substr(0, 9), " H-X~ |9 ");
    EXPECT_EQ(h.view.m_chLastTyped, '9');
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(h.Row(0, r), std::string(78, '-'));   // '|' here is text, no bar line

    h.Backspace();
    EXPECT_EQ(h.Row(0, 6).substr(0, 9), " H-X~ |  ");
    EXPECT_EQ(h.Col(), 7);
    EXPECT_EQ(h.view.m_chLastTyped, 8);

    h.Enter();                 // to the next staff's text row, appended
    EXPECT_EQ(h.doc.m_nStaffs, 2);
    EXPECT_EQ(h.Staff(), 1);
    EXPECT_EQ(h.RowIdx(), 6);
    EXPECT_EQ(h.Col(), 1);
    EXPECT_EQ(h.view.m_chLastTyped, 13);

    h.Backspace();             // from column 1 to column 76 of the staff above
    EXPECT_EQ(h.Staff(), 0);
    EXPECT_EQ(h.Col(), 76);
    h.ClickCell(0, 6, 1);
    h.Type("a");
    h.Backspace();
    h.Backspace();             // column 1 of staff 0: erases under the cursor, stays
    EXPECT_EQ(h.Col(), 1);
    EXPECT_EQ(h.Row(0, 6)[1], ' ');
    h.Left();                  // refused, but the typing state is cleared
    EXPECT_EQ(h.ui.beeps, 1);
    EXPECT_EQ(h.view.m_chLastTyped, 0);
}

TEST(ViewTyping, SpaceStepsOverTheCursorsCellsAndBackspaceErasesToTheLeft)
{
    ViewHarness h(2);
    h.Type("12");
    h.Left();
    h.doc.SetModifiedFlag(false);
    h.Type(" ");               // over both digits, changing nothing
    EXPECT_EQ(h.Col(), 3);
    EXPECT_EQ(h.Row(0, 0).substr(0, 4), "-12-");
    EXPECT_TRUE(h.doc.IsModified());

    h.Backspace();
    EXPECT_EQ(h.Row(0, 0).substr(0, 4), "-1--");
    EXPECT_EQ(h.Col(), 2);
    EXPECT_EQ(h.view.m_chLastTyped, 0);

    h.ClickCell(1, 2, 1);
    h.Put(0, 2, 76, "9");
    h.Backspace();             // from column 1 of staff 1 to column 76 of staff 0
    EXPECT_EQ(h.Staff(), 0);
    EXPECT_EQ(h.Col(), 76);
    EXPECT_EQ(h.Row(0, 2)[76], '-');
    h.ClickCell(0, 4, 1);
    h.Put(0, 4, 1, "7");
    h.Backspace();             // column 1 of the first staff: erases in place
    EXPECT_EQ(h.Col(), 1);
    EXPECT_EQ(h.Row(0, 4)[1], '-');
}

TEST(ViewTyping, BarKeyDrawsALineAcrossTheStringsAndSkipsAColumn)
{
    ViewHarness h;
    h.ClickCell(0, 3, 10);
    h.Put(0, 6, 10, "C");
    h.Type("|");
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(h.Row(0, r)[10], '|');
    EXPECT_EQ(h.Row(0, 6)[10], 'C');
    EXPECT_EQ(h.Col(), 12);
    EXPECT_EQ(h.RowIdx(), 3);
    EXPECT_EQ(h.view.m_chLastTyped, 0);
    EXPECT_TRUE(h.doc.IsModified());
}

TEST(ViewChords, EnterGoesOneStringDownToTheStartOfTheEntry)
{
    ViewHarness h;
    h.Type("12");
    h.Enter();
    EXPECT_EQ(h.RowIdx(), 1);
    EXPECT_EQ(h.Col(), 1);
    h.Type("10");
    h.Enter();
    EXPECT_EQ(h.RowIdx(), 2);
    EXPECT_EQ(h.Col(), 1);
    EXPECT_EQ(h.view.m_chLastTyped, 0);

    // A note on the string below right under the last typed cell: straight down.
    h.ClickCell(0, 3, 20);
    h.Put(0, 4, 21, "5");
    h.Type("12");
    h.Enter();
    EXPECT_EQ(h.RowIdx(), 4);
    EXPECT_EQ(h.Col(), 22);

    // Below is free only under the last digit: back one column.
    h.ClickCell(0, 0, 40);
    h.Put(0, 1, 40, "3");
    h.Type("5h7");
    h.Enter();
    EXPECT_EQ(h.RowIdx(), 1);
    EXPECT_EQ(h.Col(), 41);

    // From the sixth string to the text row, no step back.
    h.ClickCell(0, 5, 50);
    h.Type("7");
    h.Enter();
    EXPECT_EQ(h.RowIdx(), 6);
    EXPECT_EQ(h.Col(), 51);
    EXPECT_EQ(h.Staff(), 0);
    EXPECT_EQ(h.doc.m_nStaffs, 1);
}

TEST(ViewChords, TheChordStepNeverWalksIntoColumnZero)
{
    ViewHarness h;
    h.Put(0, 0, 0, "E");        // a string name in the staff's edge
    h.Enter();
    EXPECT_EQ(h.RowIdx(), 1);
    EXPECT_EQ(h.Col(), 1);
    h.Left();                   // still on the first staff's first column
    EXPECT_EQ(h.ui.beeps, 1);
    EXPECT_EQ(h.Staff(), 0);

    h.ClickCell(0, 0, 1);
    h.Type("12");
    h.Enter();                  // the walk stops at column 1 although 'E' is no '-'
    EXPECT_EQ(h.RowIdx(), 1);
    EXPECT_EQ(h.Col(), 1);
}

TEST(ViewWrap, TypingAtTheEndOfTheLastStaffCarriesTheNumberToANewStaff)
{
    ViewHarness h;
    h.ClickCell(0, 2, 76);
    h.Type("7");
    EXPECT_EQ(h.doc.m_nStaffs, 2);
    EXPECT_EQ(h.Row(0, 2)[76], '-');
    EXPECT_EQ(h.Row(1, 2).substr(0, 3), "-7-");
    EXPECT_EQ(h.Staff(), 1);
    EXPECT_EQ(h.RowIdx(), 2);
    EXPECT_EQ(h.Col(), 2);

    h.ClickCell(1, 4, 75);
    h.Type("12");
    EXPECT_EQ(h.doc.m_nStaffs, 3);
    EXPECT_EQ(h.Row(1, 4).substr(74), "----");
    EXPECT_EQ(h.Row(2, 4).substr(0, 4), "-12-");
    EXPECT_EQ(h.Col(), 3);
    h.Type("h14");              // typing goes on after it
    EXPECT_EQ(h.Row(2, 4).substr(0, 7), "-12h14-");

    // Not the last staff: what was typed stays, the cursor moves on.
    h.ClickCell(0, 1, 75);
    h.Type("34");
    EXPECT_EQ(h.doc.m_nStaffs, 3);
    EXPECT_EQ(h.Row(0, 1).substr(75), "34-");
    EXPECT_EQ(h.Staff(), 1);
    EXPECT_EQ(h.Col(), 1);
}

TEST(ViewWrap, AWordTypedPastTheEndContinuesOnTheNextTextRow)
{
    ViewHarness h(2);
    h.ClickCell(0, 6, 70);
    h.Type("hello world");
    EXPECT_EQ(h.Row(0, 6).substr(70), "hello   ");
    EXPECT_EQ(h.Row(1, 6).substr(0, 7), " world ");
    EXPECT_EQ(h.Staff(), 1);
    EXPECT_EQ(h.Col(), 6);
    EXPECT_EQ(h.doc.m_nStaffs, 2);

    // On the last staff a staff is appended; text ending in a digit is not carried.
    h.ClickCell(1, 6, 74);
    h.Type("Am7");
    EXPECT_EQ(h.doc.m_nStaffs, 3);
    EXPECT_EQ(h.Row(1, 6).substr(74), "Am7 ");
    EXPECT_EQ(h.Row(2, 6), std::string(78, ' '));
    EXPECT_EQ(h.Staff(), 2);
    EXPECT_EQ(h.Col(), 1);

    h.ClickCell(2, 6, 75);
    h.Type("Em");
    EXPECT_EQ(h.doc.m_nStaffs, 4);
    EXPECT_EQ(h.Row(2, 6).substr(75), "   ");
    EXPECT_EQ(h.Row(3, 6).substr(0, 4), " Em ");
    EXPECT_EQ(h.Col(), 3);
}

TEST(ViewKeys, ArrowsMoveAcrossStaffEdges)
{
    ViewHarness h(2);
    h.ClickCell(1, 3, 1);
    h.Left();
    EXPECT_EQ(h.Staff(), 0);
    EXPECT_EQ(h.RowIdx(), 3);
    EXPECT_EQ(h.Col(), 76);
    h.Right();
    EXPECT_EQ(h.Staff(), 1);
    EXPECT_EQ(h.Col(), 1);

    h.ClickCell(1, 0, 9);
    h.Up();
    EXPECT_EQ(h.Staff(), 0);
    EXPECT_EQ(h.RowIdx(), 6);
    EXPECT_EQ(h.Col(), 9);
    h.Down();
    EXPECT_EQ(h.Staff(), 1);
    EXPECT_EQ(h.RowIdx(), 0);
}

TEST(ViewKeys, RefusedMovesBeepAndChangeNothing)
{
    ViewHarness h(2);
    h.Type("5");
    const int before = h.host.invalidations;
    h.Up();
    EXPECT_EQ(h.ui.beeps, 1);
    EXPECT_EQ(h.host.invalidations, before);
    EXPECT_EQ(h.view.m_chLastTyped, '5');     // a refused Up keeps the typing state

    h.ClickCell(1, 6, 30);
    h.Down();
    EXPECT_EQ(h.ui.beeps, 2);
    EXPECT_EQ(h.Staff(), 1);
    EXPECT_EQ(h.RowIdx(), 6);
    EXPECT_EQ(h.doc.m_nStaffs, 2);
}

TEST(ViewKeys, UpAndDownLandAfterTypedCellsAndUnderSecondDigits)
{
    ViewHarness h;
    h.Type("5");
    h.Down();                  // straight after typing: one right of the cursor
    EXPECT_EQ(h.RowIdx(), 1);
    EXPECT_EQ(h.Col(), 3);
    EXPECT_EQ(h.view.m_chLastTyped, 0);
    h.Down();                  // plain move keeps the column
    EXPECT_EQ(h.Col(), 3);

    h.ClickCell(0, 3, 10);
    h.Type("12");
    h.Left();                  // covers 12 at column 10
    h.Down();
    EXPECT_EQ(h.RowIdx(), 4);
    EXPECT_EQ(h.Col(), 11);
    h.Up();
    h.Up();
    EXPECT_EQ(h.RowIdx(), 2);
    EXPECT_EQ(h.Col(), 11);
}

TEST(ViewKeys, KeypadTypesWithNumLockAndMovesWithout)
{
    ViewHarness h;
    h.ClickCell(0, 2, 5);
    // Num Lock on: the key-down is left alone, the host then delivers the character.
    h.Key(VK_NUMPAD8, SC_UP);
    h.Char('8');
    h.Key(VK_DECIMAL, SC_DELETE);
    EXPECT_EQ(h.Row(0, 2)[5], '8');
    EXPECT_EQ(h.RowIdx(), 2);
    EXPECT_EQ(h.Col(), 6);
    h.Key(VK_NUMPAD4, SC_LEFT);
    h.Key(VK_NUMPAD6, SC_RIGHT);
    h.Key(VK_NUMPAD2, SC_DOWN);
    EXPECT_EQ(h.RowIdx(), 2);
    EXPECT_EQ(h.Col(), 6);

    // Num Lock off: the same keys are arrows and Delete.
    h.Key(VK_LEFT, SC_LEFT);
    EXPECT_EQ(h.Col(), 5);
    h.Key(VK_UP, SC_UP);
    EXPECT_EQ(h.RowIdx(), 1);
    h.Key(VK_DOWN, SC_DOWN);
    h.Key(VK_DELETE, SC_DELETE);
    EXPECT_EQ(h.Row(0, 2)[5], '-');

    // Keys the view does not know only get the default processing.
    const int before = h.host.invalidations;
    for (UINT scan : {1u, 14u, 15u, 28u, 71u, 73u, 79u, 81u, 82u})
        h.Key(20, scan);
    EXPECT_EQ(h.host.invalidations, before);
}

TEST(ViewMouse, ClicksAreLimitedToTheGridAndDoNotModify)
{
    ViewHarness h(2);
    h.Click(2, 40);            // left of the grid
    EXPECT_EQ(h.Col(), 1);
    EXPECT_EQ(h.Staff(), 0);
    EXPECT_EQ(h.RowIdx(), 2);
    h.Click(790, -30);         // right of the grid, above it
    EXPECT_EQ(h.Col(), 76);
    EXPECT_EQ(h.RowIdx(), 0);
    h.Click(100, 8 + 7 * 16 + 3);   // the empty line under staff 0
    EXPECT_EQ(h.Staff(), 0);
    EXPECT_EQ(h.RowIdx(), 6);
    h.Click(100, 590);         // below the last staff
    EXPECT_EQ(h.Staff(), 1);
    EXPECT_EQ(h.RowIdx(), 6);
    EXPECT_FALSE(h.doc.IsModified());

    h.Type("x");
    h.Click(100, 40);
    EXPECT_EQ(h.view.m_chLastTyped, 0);
}

TEST(ViewMouse, ClicksCountTheScrollPosition)
{
    ViewHarness h(10, CRect(0, 0, 200, 200));
    h.view.OnHostScroll(CPoint(100, 8 + 5 * 128));
    h.Click(8, 8 + 2 * 16);
    EXPECT_EQ(h.Staff(), 5);
    EXPECT_EQ(h.RowIdx(), 2);
    EXPECT_EQ(h.Col(), 12);
}
