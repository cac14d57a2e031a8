// A key or a click repaints only the staffs it touched. Whatever the user does, every cell
// whose picture changed lies in what the view asked the window to repaint, so the screen
// never keeps a stale cell; and plain typing, moving and clicking never ask for the whole
// window.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <tuple>

#include "core/view/ViewHarness.h"

namespace {

// One painted cell: its glyph and how it was drawn.
struct Cell {
    char ch;
    COLORREF crText;
    COLORREF crBk;
    int nBkMode;
    bool operator==(const Cell&) const = default;
};
using Picture = std::map<std::pair<int, int>, Cell>;

// The cells of the client area as a full paint draws them; later text covers earlier.
Picture PaintPicture(ViewHarness& h)
{
    Picture picture;
    const CSize cell = h.host.cell;
    const CRect client = h.host.client;
    for (const TextOutCall& call : h.Paint().calls) {
        for (std::size_t i = 0; i < call.text.size(); ++i) {
            const int x = call.x + static_cast<int>(i) * cell.cx;
            if (x + cell.cx <= client.left || x >= client.right || call.y + cell.cy <= client.top ||
                call.y >= client.bottom)
                continue;
            picture[{x, call.y}] = {call.text[i], call.crText, call.crBk, call.nBkMode};
        }
    }
    return picture;
}

bool Covered(const ViewHarness& h, int x, int y)
{
    const CRect cell(x, y, x + h.host.cell.cx, y + h.host.cell.cy);
    for (const CRect& r : h.host.invalidRects) {
        if (cell.left >= r.left && cell.right <= r.right && cell.top >= r.top && cell.bottom <= r.bottom)
            return true;
    }
    return false;
}

// Cells that differ between two pictures and lie outside every repainted rectangle.
int StaleCells(const ViewHarness& h, const Picture& before, const Picture& after)
{
    int nStale = 0;
    auto check = [&](const Picture& a, const Picture& b) {
        for (const auto& [pos, cell] : a) {
            auto it = b.find(pos);
            if ((it == b.end() || !(it->second == cell)) && !Covered(h, pos.first, pos.second))
                ++nStale;
        }
    };
    check(before, after);
    check(after, before);
    return nStale;
}

struct Counts {
    int nPartial = 0;   // input repainted in part
    int nWhole = 0;     // input that scrolled or changed the staff count
};

void RunSession(unsigned seed, int nStaffs, CRect client, int nSteps, bool bCommands, Counts& counts)
{
    ViewHarness h(nStaffs, client);
    std::mt19937 rng(seed);
    for (int s = 0; s < nStaffs; ++s)
        for (int i = 0; i < 8; ++i)
            h.doc.m_ppStaffs[s]->m_rows[rng() % 7][1 + rng() % 76] = "0123456789hx|"[rng() % 13];
    static const char kChars[] = "0123456789123hpbr/\\v*^tx| \b\r abcXYZ";
    static const UINT kScans[] = {SC_UP, SC_LEFT, SC_RIGHT, SC_DOWN, SC_DELETE};
    static const UINT kVks[] = {VK_UP, VK_LEFT, VK_RIGHT, VK_DOWN, VK_DELETE};
    static const UINT kCommands[] = {ID_EDIT_VERTICALBAR, ID_EDIT_INSERTCOLUMN, ID_EDIT_DELETECOLUMN,
                                     ID_EDIT_MOVEDOWN, ID_EDIT_MERGEUP};

    Picture screen = PaintPicture(h);
    for (int step = 0; step < nSteps; ++step) {
        h.host.invalidRects.clear();
        const int nWholeBefore = h.host.wholeInvalidations;
        const int nBefore = h.host.invalidations;
        const CPoint posBefore = h.view.GetScrollPosition();
        const int nStaffsBefore = h.doc.m_nStaffs;
        const unsigned what = rng() % 100;
        bool bInput = true;
        if (what < 45) {
            h.view.OnChar(static_cast<unsigned char>(kChars[rng() % (sizeof(kChars) - 1)]), 1, 0);
        } else if (what < 85) {
            const int k = static_cast<int>(rng() % 5);
            h.view.OnKeyDown(kVks[k], 1, kScans[k]);
        } else if (what < 95 || !bCommands) {
            h.view.OnLButtonDown(0, CPoint(static_cast<int>(rng() % client.Width()),
                                           static_cast<int>(rng() % client.Height())));
            h.view.OnLButtonUp(0, CPoint(0, 0));
        } else {
            bInput = false;
            ASSERT_TRUE(h.view.OnCmdMsg(kCommands[rng() % 5]));
        }
        // Nothing asked for, nothing repainted: the screen keeps its picture. (A paint may
        // still move the cursor along a run of digits; the next repaint shows it.)
        if (h.host.invalidations == nBefore)
            continue;
        const Picture after = PaintPicture(h);
        if (h.host.wholeInvalidations != nWholeBefore) {
            if (bInput) {
                // Only a scroll or a staff that came or went may cost the whole window.
                EXPECT_TRUE(h.view.GetScrollPosition() != posBefore || h.doc.m_nStaffs != nStaffsBefore)
                    << "step " << step;
                ++counts.nWhole;
            }
        } else {
            ASSERT_EQ(StaleCells(h, screen, after), 0) << "step " << step;
            ++counts.nPartial;
        }
        screen = after;
    }
}

} // namespace

TEST(ViewRepaint, KeysAndClicksRepaintEveryChangedCellAndNoMore)
{
    for (unsigned seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(seed);
        Counts counts;
        RunSession(seed, 40, CRect(0, 0, 800, 600), 3000, false, counts);
        // Most input in a window of several staffs neither scrolls nor adds a staff.
        EXPECT_GT(counts.nPartial, 3 * counts.nWhole);
    }
}

TEST(ViewRepaint, CommandsBetweenKeysLeaveNoStaleCells)
{
    Counts counts;
    RunSession(7, 12, CRect(0, 0, 700, 500), 3000, true, counts);
    // A window narrower than a staff, scrolled sideways by the cursor.
    RunSession(8, 6, CRect(0, 0, 300, 200), 3000, true, counts);
    EXPECT_GT(counts.nPartial, 0);
}

TEST(ViewRepaint, ATypedDigitRepaintsOnlyItsStaff)
{
    ViewHarness h(30, CRect(0, 0, 800, 600));
    h.ClickCell(2, 3, 10);
    h.host.invalidRects.clear();
    const int nWhole = h.host.wholeInvalidations;
    h.Type("7");
    ASSERT_EQ(h.host.wholeInvalidations, nWhole);
    ASSERT_EQ(h.host.invalidRects.size(), 1u);
    const CRect band = h.host.invalidRects[0];
    // Staff 2's eight lines at 16 pixels, below the 8-pixel margin.
    EXPECT_EQ(band.top, 8 + 2 * 8 * 16);
    EXPECT_EQ(band.Height(), 8 * 16);
    EXPECT_LE(band.Width(), 80 * 8);
    // Moving from it to the next staff repaints both.
    h.host.invalidRects.clear();
    h.ClickCell(3, 0, 5);
    EXPECT_EQ(h.host.invalidRects.size(), 2u);
    EXPECT_EQ(h.host.wholeInvalidations, nWhole);
}
