// A key or a click repaints only the staffs it touched, and a scroll it brings shifts the
// picture. Whatever the user does, every cell whose picture changed lies in what the view
// asked the window to repaint or in what a shift brought in, so the screen never keeps a
// stale cell; and typing, moving and clicking ask for the whole window only when a staff
// comes or goes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

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
// A painted cell at device position (x, y).
struct Placed {
    int y;
    int x;
    Cell cell;
    bool Before(const Placed& other) const { return y != other.y ? y < other.y : x < other.x; }
    bool SamePlace(const Placed& other) const { return y == other.y && x == other.x; }
};
// Cells in row order, one per place.
using Picture = std::vector<Placed>;

bool InSight(int x, int y, CRect client, CSize cell)
{
    return x + cell.cx > client.left && x < client.right && y + cell.cy > client.top && y < client.bottom;
}

// The cells of the client area as a full paint draws them; later text covers earlier.
Picture PaintPicture(ViewHarness& h)
{
    Picture drawn;
    const CSize cell = h.host.cell;
    const CRect client = h.host.client;
    for (const TextOutCall& call : h.Paint().calls) {
        for (std::size_t i = 0; i < call.text.size(); ++i) {
            const int x = call.x + static_cast<int>(i) * cell.cx;
            if (InSight(x, call.y, client, cell))
                drawn.push_back({call.y, x, {call.text[i], call.crText, call.crBk, call.nBkMode}});
        }
    }
    std::stable_sort(drawn.begin(), drawn.end(), [](const Placed& a, const Placed& b) { return a.Before(b); });
    Picture picture;
    for (const Placed& p : drawn) {
        if (!picture.empty() && picture.back().SamePlace(p))
            picture.back() = p;
        else
            picture.push_back(p);
    }
    return picture;
}

// What the window shows after shifting its picture by (dx, dy): the cells that stay in
// sight, moved; what comes in is repainted.
Picture Shifted(const Picture& picture, CPoint shift, CRect client, CSize cell, std::vector<CRect>& exposed)
{
    Picture moved;
    for (const Placed& p : picture) {
        if (InSight(p.x + shift.x, p.y + shift.y, client, cell))
            moved.push_back({p.y + shift.y, p.x + shift.x, p.cell});
    }
    if (shift.y > 0)
        exposed.push_back(CRect(client.left, client.top, client.right, client.top + shift.y));
    if (shift.y < 0)
        exposed.push_back(CRect(client.left, client.bottom + shift.y, client.right, client.bottom));
    if (shift.x > 0)
        exposed.push_back(CRect(client.left, client.top, client.left + shift.x, client.bottom));
    if (shift.x < 0)
        exposed.push_back(CRect(client.right + shift.x, client.top, client.right, client.bottom));
    return moved;
}

// The part of the cell in sight lies in one repainted rectangle.
bool Covered(const std::vector<CRect>& rects, const ViewHarness& h, int x, int y)
{
    const CRect client = h.host.client;
    const CRect cell(std::max(x, client.left), std::max(y, client.top), std::min(x + h.host.cell.cx, client.right),
                     std::min(y + h.host.cell.cy, client.bottom));
    for (const CRect& r : rects) {
        if (cell.left >= r.left && cell.right <= r.right && cell.top >= r.top && cell.bottom <= r.bottom)
            return true;
    }
    return false;
}

// Cells that differ between two pictures and lie outside every repainted rectangle.
int StaleCells(const ViewHarness& h, const std::vector<CRect>& repainted, const Picture& before,
               const Picture& after)
{
    int nStale = 0;
    auto stale = [&](const Placed& p) {
        if (!Covered(repainted, h, p.x, p.y))
            ++nStale;
    };
    auto a = before.begin();
    auto b = after.begin();
    while (a != before.end() || b != after.end()) {
        if (b == after.end() || (a != before.end() && a->Before(*b))) {
            stale(*a++);
        } else if (a == before.end() || b->Before(*a)) {
            stale(*b++);
        } else {
            if (!(a->cell == b->cell))
                stale(*b);
            ++a;
            ++b;
        }
    }
    return nStale;
}

struct Counts {
    int nPartial = 0;   // input repainted in part
    int nWhole = 0;     // input that added or removed a staff
    int nShifted = 0;   // input that scrolled the picture
};

void RunSession(unsigned seed, int nStaffs, CRect client, int nSteps, bool bCommands, Counts& counts)
{
    ViewHarness h(nStaffs, client);
    h.host.bShiftsOnScroll = true;
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
        h.host.shifts.clear();
        const int nWholeBefore = h.host.wholeInvalidations;
        const int nBefore = h.host.invalidations;
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
                // Only a staff that came or went may cost the whole window.
                EXPECT_NE(h.doc.m_nStaffs, nStaffsBefore) << "step " << step;
                ++counts.nWhole;
            }
        } else {
            // The window shifted first, then repainted what the view asked for.
            std::vector<CRect> repainted;
            for (const CPoint& shift : h.host.shifts)
                screen = Shifted(screen, shift, client, h.host.cell, repainted);
            repainted.insert(repainted.end(), h.host.invalidRects.begin(), h.host.invalidRects.end());
            ASSERT_EQ(StaleCells(h, repainted, screen, after), 0) << "step " << step;
            ++counts.nPartial;
            if (!h.host.shifts.empty())
                ++counts.nShifted;
        }
        screen = after;
    }
}

} // namespace

TEST(ViewRepaint, KeysAndClicksRepaintEveryChangedCellAndNoMore)
{
    for (unsigned seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        Counts counts;
        RunSession(seed, 40, CRect(0, 0, 640, 400), 400, false, counts);
        // Most input in a window of several staffs adds no staff; some of it scrolls.
        EXPECT_GT(counts.nPartial, 3 * counts.nWhole);
        EXPECT_GT(counts.nShifted, 0);
    }
}

TEST(ViewRepaint, CommandsBetweenKeysLeaveNoStaleCells)
{
    Counts counts;
    RunSession(7, 12, CRect(0, 0, 640, 400), 400, true, counts);
    // A window narrower than a staff, scrolled sideways by the cursor.
    RunSession(8, 6, CRect(0, 0, 300, 200), 400, true, counts);
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
