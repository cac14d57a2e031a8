#include <gtest/gtest.h>

#include <set>

#include "core/view/ViewHarness.h"

namespace {

const COLORREF WHITE = RGB(255, 255, 255);
const COLORREF BLUE = RGB(0, 0, 255);
const COLORREF RED = RGB(255, 0, 0);

// Cell 8 x 16, margins 8: column c starts at 8 + 8c, staff s row r at 8 + (8s + r) * 16.
int X(int col) { return 8 + 8 * col; }
int Y(int staff, int row) { return 8 + (8 * staff + row) * 16; }

} // namespace

TEST(ViewDraw, NewDocumentShowsOneEmptyStaffAndTheCursorOnTheSecondDash)
{
    ViewHarness h;
    const RecordingDC& dc = *h.lastPaint;
    ASSERT_EQ(dc.calls.size(), 8u);
    for (int r = 0; r < 7; ++r) {
        EXPECT_EQ(dc.calls[r].x, 8);
        EXPECT_EQ(dc.calls[r].y, Y(0, r));
        EXPECT_EQ(dc.calls[r].text, std::string(78, r == 6 ? ' ' : '-'));
        EXPECT_NE(dc.calls[r].crBk, BLUE);
    }
    const TextOutCall& cursor = h.CursorCall();
    EXPECT_EQ(cursor.x, X(1));
    EXPECT_EQ(cursor.y, Y(0, 0));
    EXPECT_EQ(cursor.text, "-");
    EXPECT_EQ(cursor.crText, WHITE);
    EXPECT_EQ(cursor.crBk, BLUE);
    EXPECT_EQ(cursor.nBkMode, OPAQUE);
    EXPECT_EQ(h.view.GetTotalSize(), CSize(2 * (8 + 39 * 8), 2 * (4 * 16 + 8)));
    EXPECT_FALSE(h.doc.IsModified());
}

TEST(ViewDraw, CursorIsRedOnTheTextRowAndTheDCStateIsRestored)
{
    ViewHarness h;
    h.ClickCell(0, 6, 5);
    RecordingDC dc(CSize(8, 16), h.host.client);
    dc.SetTextColor(RGB(1, 2, 3));
    dc.SetBkColor(RGB(4, 5, 6));
    dc.SetBkMode(TRANSPARENT);
    h.view.OnPrepareDC(&dc);
    h.view.OnDraw(&dc);
    EXPECT_EQ(dc.calls.back().crBk, RED);
    EXPECT_EQ(dc.calls.back().crText, WHITE);
    EXPECT_EQ(dc.calls.back().x, X(5));
    EXPECT_EQ(dc.calls.back().y, Y(0, 6));
    // The rows are drawn in the DC's own colours, which are back afterwards.
    EXPECT_EQ(dc.calls.front().crText, RGB(1, 2, 3));
    EXPECT_EQ(dc.calls.front().nBkMode, TRANSPARENT);
    EXPECT_EQ(dc.GetTextColor(), RGB(1, 2, 3));
    EXPECT_EQ(dc.GetBkColor(), RGB(4, 5, 6));
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
}

TEST(ViewDraw, CursorCoversATwoDigitNumberOnlyAfterAMove)
{
    ViewHarness h;
    h.Type("12");
    EXPECT_EQ(h.Row(0, 0).substr(0, 4), "-12-");
    EXPECT_EQ(h.CursorCall().text, "-");
    EXPECT_EQ(h.Col(), 3);

    h.Left();    // onto the 2: the paint takes both digits and names the 1
    EXPECT_EQ(h.CursorCall().text, "12");
    EXPECT_EQ(h.CursorCall().x, X(1));
    EXPECT_EQ(h.Col(), 1);
    EXPECT_EQ(h.view.m_nCursorWidth, 2);

    h.Right();   // past both digits
    EXPECT_EQ(h.Col(), 3);
    EXPECT_EQ(h.view.m_nCursorWidth, 1);

    h.ClickCell(0, 0, 1);    // on the first digit: both, column stays
    EXPECT_EQ(h.CursorCall().text, "12");
    EXPECT_EQ(h.Col(), 1);

    // A digit typed next to another keeps the cursor one cell wide.
    h.Put(0, 1, 2, "9");
    h.ClickCell(0, 1, 1);
    h.Type("4");
    EXPECT_EQ(h.Col(), 2);
    EXPECT_EQ(h.CursorCall().text, "9");
}

TEST(ViewDraw, ThreeDigitsInARowSnapLeftOnePaintAtATime)
{
    ViewHarness h;
    h.Type("123");
    h.ClickCell(0, 0, 2);
    EXPECT_EQ(h.CursorCall().text, "12");
    EXPECT_EQ(h.Col(), 1);

    h.ClickCell(0, 0, 3);
    EXPECT_EQ(h.CursorCall().text, "23");
    EXPECT_EQ(h.Col(), 2);
    h.Paint();
    EXPECT_EQ(h.CursorCall().text, "12");
    EXPECT_EQ(h.Col(), 1);
}

TEST(ViewDraw, TheCursorNeverWidensOntoTheStaffEdges)
{
    ViewHarness h;
    h.Put(0, 0, 0, "12");      // a file may hold a digit in column 0
    h.ClickCell(0, 0, 1);
    EXPECT_EQ(h.Col(), 1);
    EXPECT_EQ(h.CursorCall().text, "2");
    h.Left();
    EXPECT_EQ(h.ui.beeps, 1);
    EXPECT_EQ(h.Staff(), 0);
    EXPECT_EQ(h.Col(), 1);

    h.Put(0, 2, 76, "34");     // and in column 77
    h.ClickCell(0, 2, 76);
    EXPECT_EQ(h.CursorCall().text, "3");
    h.Delete();
    EXPECT_EQ(h.Row(0, 2).substr(76), "-4");
}

TEST(ViewDraw, APaintVisitsOnlyTheStaffsInThePaintArea)
{
    ViewHarness h(1000);
    // 600 pixels show staffs 0-4 (a staff is 128 pixels from 8 on).
    EXPECT_EQ(h.lastPaint->calls.size(), 5u * 7 + 1);

    // A strip inside staff 2 draws staff 2 only.
    RecordingDC& strip = h.PaintArea(CRect(0, 300, 800, 340));
    ASSERT_EQ(strip.calls.size(), 8u);
    EXPECT_EQ(strip.calls.front().y, Y(2, 0));

    // A strip over the empty eighth line of staff 1 only draws nothing but the cursor.
    RecordingDC& gap = h.PaintArea(CRect(0, Y(1, 7), 800, Y(1, 7) + 16));
    EXPECT_EQ(gap.calls.size(), 1u);

    // Scrolled to the end: only the last staffs, at their scrolled positions.
    h.view.OnHostScroll(CPoint(0, 1 << 30));
    const CPoint pos = h.view.GetScrollPosition();
    EXPECT_EQ(pos.y, h.view.GetTotalSize().cy - 600);
    h.ClickCell(999, 6, 10);
    EXPECT_EQ(h.Staff(), 999);
    // Staffs are drawn whole (the window clips them); each one drawn meets the window.
    std::set<int> staffs;
    for (std::size_t i = 0; i + 1 < h.lastPaint->calls.size(); ++i) {
        const TextOutCall& c = h.lastPaint->calls[i];
        const int staff = (c.y + pos.y - 8) / 128;
        const int top = Y(staff, 0) - pos.y;
        EXPECT_LT(top, 600);
        EXPECT_GT(top + 7 * 16, 0);
        staffs.insert(staff);
    }
    EXPECT_EQ(staffs, (std::set<int>{995, 996, 997, 998, 999}));
    EXPECT_EQ(h.lastPaint->calls.size(), 5u * 7 + 1);
}

TEST(ViewDraw, NarrowWindowScrollsToKeepTheCursorsLeftEdgeAtTheRightEdge)
{
    ViewHarness h(3, CRect(0, 0, 200, 200));
    h.Right(23);   // column 24 starts at 200: still in the window
    EXPECT_EQ(h.view.GetScrollPosition(), CPoint(0, 0));
    h.Right();     // column 25 starts at 208
    EXPECT_EQ(h.view.GetScrollPosition().x, 8);
    h.Right(5);    // column 30
    EXPECT_EQ(h.view.GetScrollPosition().x, X(30) - 200);
    // The cursor is drawn at its device position.
    EXPECT_EQ(h.CursorCall().x, X(30) - h.view.GetScrollPosition().x);

    h.Left(26);    // column 4 starts left of the window: scroll to it
    EXPECT_EQ(h.view.GetScrollPosition().x, X(4));
    h.Left(3);     // column 1 shows the margin
    EXPECT_EQ(h.view.GetScrollPosition().x, 0);

    // Down into staff 1: the whole staff comes into view.
    h.Down(7);
    EXPECT_EQ(h.Staff(), 1);
    EXPECT_EQ(h.view.GetScrollPosition().y, Y(1, 0) + 128 - 200);
    h.Up();
    EXPECT_EQ(h.view.GetScrollPosition().y, Y(0, 0));
}

TEST(ViewDraw, RightPastTheLastStaffAppendsAStaffAndScrollsToIt)
{
    ViewHarness h(1, CRect(0, 0, 800, 200));
    h.ClickCell(0, 3, 76);
    const int nHeight = h.view.GetTotalSize().cy;
    h.Right();
    EXPECT_EQ(h.doc.m_nStaffs, 2);
    EXPECT_EQ(h.Staff(), 1);
    EXPECT_EQ(h.RowIdx(), 3);
    EXPECT_EQ(h.Col(), 1);
    EXPECT_EQ(h.view.GetTotalSize().cy, nHeight + 8 * 16);
    EXPECT_EQ(h.host.scrollUpdates.back().sizeTotal.cy, nHeight + 8 * 16);
    EXPECT_EQ(h.view.GetScrollPosition().y, Y(1, 0) + 128 - 200);
    EXPECT_FALSE(h.doc.m_bStaffCountChanged);

    // Not on the last staff: to the next staff, nothing added.
    h.ClickCell(0, 3, 76);
    h.Right();
    EXPECT_EQ(h.doc.m_nStaffs, 2);
    EXPECT_EQ(h.Staff(), 1);
    EXPECT_EQ(h.Col(), 1);
}

TEST(ViewDraw, UpdatesBeforeTheInitialUpdateDoNothingAndALaterOneResetsTheCursor)
{
    ScriptedUserInterface ui;
    CFretlyDoc doc;
    FakeViewHost host(CRect(0, 0, 800, 600), CSize(8, 16));
    CFretlyView view;
    doc.AddView(&view);
    view.SetHost(&host);
    view.OnCreate();
    doc.OnNewDocument();
    EXPECT_EQ(host.invalidations, 0);
    EXPECT_TRUE(host.scrollUpdates.empty());
    view.OnInitialUpdate();
    EXPECT_EQ(view.m_cxChar, 8);
    EXPECT_EQ(view.m_cyChar, 16);
    EXPECT_EQ(host.scrollUpdates.back().sizePage, CSize(view.GetTotalSize().cx / 10, view.GetTotalSize().cy / 10));

    for (int i = 0; i < 20; ++i)
        view.OnEditInsertStaff();
    view.OnLButtonDown(0, CPoint(200, 90));
    EXPECT_NE(view.m_nCurCol, 1);
    EXPECT_GT(view.GetScrollPosition().y, 0);
    // File New (or Open) on the same document and view, with a document as long as the
    // last one: the view starts at the top with the cursor.
    doc.OnNewDocument();
    for (int i = 0; i < 20; ++i)
        doc.InsertStaff(i);
    view.OnInitialUpdate();
    EXPECT_EQ(view.m_nCurStaff, 0);
    EXPECT_EQ(view.m_nCurRow, 0);
    EXPECT_EQ(view.m_nCurCol, 1);
    EXPECT_EQ(view.m_chLastTyped, 0);
    EXPECT_EQ(view.GetScrollPosition(), CPoint(0, 0));
}

TEST(ViewDraw, FontCreationFailureIsReportedAndTheViewCarriesOn)
{
    ScriptedUserInterface ui;
    CFont::SetFailCreation(true);
    CFretlyView view;
    EXPECT_EQ(view.OnCreate(), 0);
    CFont::SetFailCreation(false);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Create font failed");
    EXPECT_EQ(ui.messages[0].caption, "Fretly");
    EXPECT_EQ(ui.messages[0].nType, MB_OK);
    ASSERT_NE(view.m_pFont, nullptr);
    EXPECT_EQ(view.m_pFont->GetFaceName(), "Courier New");
    EXPECT_EQ(view.m_pFont->GetPointSize(), 100);
}

TEST(ViewDraw, ACellOfSizeZeroNeverDividesByZero)
{
    ViewHarness h(3, CRect(0, 0, 800, 600), CSize(0, 0));
    EXPECT_EQ(h.view.m_cyChar, 0);
    h.Click(50, 50);
    h.Click(-50, 100000);
    EXPECT_GE(h.Col(), 1);
    EXPECT_LE(h.Col(), 76);
    EXPECT_EQ(h.Staff(), 2);
    EXPECT_EQ(h.RowIdx(), 6);
    h.Type("abc");
    h.Right(80);
    // Every staff lies on one line: only the cursor's staff is drawn, plus the cursor.
    EXPECT_EQ(h.lastPaint->calls.size(), 8u);
}

TEST(ViewDraw, PrintCommandsWithoutAPrinterSaySo)
{
    ViewHarness h;
    for (UINT id : {ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW})
        EXPECT_TRUE(h.Command(id));
    ASSERT_EQ(h.ui.messages.size(), 3u);
    for (const ShownMessage& m : h.ui.messages) {
        EXPECT_EQ(m.text, "Could not start print job.");
        EXPECT_EQ(m.nType, MB_ICONEXCLAMATION);
    }
}
