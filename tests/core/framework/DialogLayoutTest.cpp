// Fitting a template's layout to a wider face: room is taken where it is free, strips are
// inserted where it is not, and controls that were apart stay apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "framework/DialogLayout.h"

namespace {

std::function<int(int)> Lines(int nChars, int cxChar, int cyLine)
{
    return [=](int cx) {
        const int perLine = std::max(1, cx / cxChar);
        return (nChars + perLine - 1) / perLine * cyLine;
    };
}

} // namespace

TEST(DialogLayout, TextThatFitsChangesNothing)
{
    CDialogLayout layout(CSize(200, 100));
    layout.Add(CRect(10, 10, 60, 20), 50, Lines(5, 10, 10));
    layout.Add(CRect(70, 10, 190, 30), 0);
    layout.Fit();
    EXPECT_EQ(layout.GetRect(0), CRect(10, 10, 60, 20));
    EXPECT_EQ(layout.GetRect(1), CRect(70, 10, 190, 30));
    EXPECT_EQ(layout.GetClientSize(), CSize(200, 100));
}

TEST(DialogLayout, WideLabelTakesFreeRoomBeforeMovingAnything)
{
    CDialogLayout layout(CSize(200, 100));
    layout.Add(CRect(10, 10, 60, 20), 55);        // 5 short, 10 free before the edit
    layout.Add(CRect(70, 10, 190, 30), 0);
    layout.Add(CRect(10, 40, 40, 50), 100);       // nothing beside it: up to the margin
    layout.Fit();
    EXPECT_EQ(layout.GetRect(0), CRect(10, 10, 65, 20));
    EXPECT_EQ(layout.GetRect(1), CRect(70, 10, 190, 30));
    EXPECT_EQ(layout.GetRect(2), CRect(10, 40, 110, 50));
    EXPECT_EQ(layout.GetClientSize(), CSize(200, 100));
}

// A label column as in a form: the edits beside it move on together, a box spanning the
// whole dialog stretches, the dialog grows by what was missing, the margin stays.
TEST(DialogLayout, LabelWiderThanItsColumnMovesTheColumnBesideIt)
{
    CDialogLayout layout(CSize(200, 120));
    layout.Add(CRect(10, 10, 60, 20), 75);        // needs 15 more than the 10 free
    layout.Add(CRect(70, 10, 190, 30), 0);
    layout.Add(CRect(10, 40, 50, 50), 0);
    layout.Add(CRect(70, 40, 190, 60), 0);
    layout.Add(CRect(10, 70, 190, 110), 0);       // spans the dialog
    layout.Fit();
    EXPECT_EQ(layout.GetRect(0), CRect(10, 10, 85, 20));
    EXPECT_EQ(layout.GetRect(1), CRect(85, 10, 205, 30));
    EXPECT_EQ(layout.GetRect(2), CRect(10, 40, 50, 50));
    EXPECT_EQ(layout.GetRect(3), CRect(85, 40, 205, 60));
    EXPECT_EQ(layout.GetRect(4), CRect(10, 70, 205, 110));
    EXPECT_EQ(layout.GetClientSize(), CSize(215, 120));
}

// A control that grows keeps a gap before the next one, or the template's own gap where
// that was narrower.
TEST(DialogLayout, GrowingControlsKeepAGapToTheirNeighbours)
{
    CDialogLayout layout(CSize(200, 100), CSize(3, 2));
    layout.Add(CRect(10, 10, 60, 20), 56);        // the free room ends at 67
    layout.Add(CRect(70, 10, 190, 30), 0);
    layout.Add(CRect(10, 40, 68, 50), 62);        // 2 apart in the template: that stays
    layout.Add(CRect(70, 40, 190, 50), 0);
    layout.Fit();
    EXPECT_EQ(layout.GetRect(0), CRect(10, 10, 66, 20));
    EXPECT_EQ(layout.GetRect(2), CRect(10, 40, 72, 50));
    EXPECT_EQ(layout.GetRect(3), CRect(74, 40, 194, 50));
    EXPECT_EQ(layout.GetRect(1), CRect(74, 10, 194, 30));
}

// A paragraph that wraps into more lines pushes what is below it down; a button beside it
// that ends on the same row keeps its height.
TEST(DialogLayout, TallerParagraphPushesTheRowsBelowItDown)
{
    CDialogLayout layout(CSize(200, 100));
    layout.Add(CRect(10, 10, 110, 30), 0, Lines(30, 10, 10));   // 3 lines at 100: 30 high
    layout.Add(CRect(120, 10, 190, 30), 0);                     // button ending on its last row
    layout.Add(CRect(10, 35, 110, 45), 0);
    layout.Add(CRect(10, 50, 190, 90), 0);
    layout.Fit();
    EXPECT_EQ(layout.GetRect(0), CRect(10, 10, 110, 40));
    EXPECT_EQ(layout.GetRect(1), CRect(120, 10, 190, 30));
    EXPECT_EQ(layout.GetRect(2), CRect(10, 40, 110, 50));
    EXPECT_EQ(layout.GetRect(3), CRect(10, 55, 190, 95));
    EXPECT_EQ(layout.GetClientSize(), CSize(200, 105));
}

// Widths are settled before heights, so a paragraph stretched by another control's strip
// wraps into fewer lines and takes no more height than it needs.
TEST(DialogLayout, HeightIsMeasuredAtTheFinalWidth)
{
    CDialogLayout layout(CSize(200, 100));
    layout.Add(CRect(10, 10, 60, 20), 200);                     // a strip of 20 at the margin
    layout.Add(CRect(10, 30, 190, 40), 0, Lines(20, 10, 10));   // two lines at 180, one at 200
    layout.Fit();
    EXPECT_EQ(layout.GetRect(1), CRect(10, 30, 210, 40));
    EXPECT_EQ(layout.GetClientSize(), CSize(220, 100));
}

// Random forms with random needs: whatever grows, no two controls that were apart
// overlap afterwards, each gets what it needs, and nothing shrinks.
TEST(DialogLayout, RandomFormsEndWithEveryNeedMetAndNoOverlap)
{
    std::mt19937 rng(20261209);
    for (int nCase = 0; nCase < 300; ++nCase) {
        // Controls in the cells of a grid, so they start apart; some span two cells.
        const int nCols = 1 + static_cast<int>(rng() % 4);
        const int nRows = 1 + static_cast<int>(rng() % 6);
        const int cxCell = 40;
        const int cyCell = 20;
        CDialogLayout layout(CSize(10 + nCols * cxCell + 5, 10 + nRows * cyCell + 5));
        std::vector<CRect> before;
        std::vector<int> cxNeed;
        std::vector<int> nChars;
        for (int r = 0; r < nRows; ++r) {
            for (int c = 0; c < nCols; ++c) {
                if (rng() % 4 == 0)
                    continue;
                const bool bSpan = c + 1 < nCols && rng() % 3 == 0;
                const CRect rc(10 + c * cxCell, 10 + r * cyCell, 10 + (c + (bSpan ? 2 : 1)) * cxCell - 5,
                               10 + (r + 1) * cyCell - 5);
                const int cx = static_cast<int>(rng() % 100);
                const int n = static_cast<int>(rng() % 12);
                layout.Add(rc, cx, Lines(n, 5, 8));
                before.push_back(rc);
                cxNeed.push_back(cx);
                nChars.push_back(n);
                if (bSpan)
                    ++c;
            }
        }
        layout.Fit();
        const CSize client = layout.GetClientSize();
        for (size_t i = 0; i < before.size(); ++i) {
            const CRect& rc = layout.GetRect(static_cast<int>(i));
            SCOPED_TRACE("case " + std::to_string(nCase) + ", control " + std::to_string(i));
            EXPECT_GE(rc.Width(), std::max(cxNeed[i], before[i].Width()));
            EXPECT_GE(rc.Height(), std::max(Lines(nChars[i], 5, 8)(rc.Width()), before[i].Height()));
            EXPECT_TRUE(rc.left >= 0 && rc.top >= 0 && rc.right <= client.cx - 10 && rc.bottom <= client.cy - 10);
            for (size_t j = i + 1; j < before.size(); ++j)
                EXPECT_FALSE(rc.Intersects(layout.GetRect(static_cast<int>(j)))) << "with control " << j;
        }
    }
}
