// Long random sessions of keys, characters, clicks, scrolling and commands: whatever the
// user does, the cursor stays on a cell it may rest on, the document keeps a staff, and
// every row keeps its 78 columns and terminator (the sanitizer build catches any access
// outside a row).
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "core/view/ViewHarness.h"

namespace {

struct SessionSetup {
    unsigned seed;
    int nStaffs;
    CRect client;
    CSize cell;
    int nSteps;
};

void ExpectSound(const ViewHarness& h, bool bPainted, int step)
{
    const CFretlyDoc& doc = h.doc;
    ASSERT_GE(doc.m_nStaffs, 1) << step;
    ASSERT_EQ(static_cast<std::size_t>(doc.m_nStaffs), doc.m_ppStaffs.size()) << step;
    const CFretlyView& v = h.view;
    ASSERT_GE(v.m_nCurStaff, 0) << step;
    ASSERT_LT(v.m_nCurStaff, doc.m_nStaffs) << step;
    ASSERT_GE(v.m_nCurRow, 0) << step;
    ASSERT_LE(v.m_nCurRow, 6) << step;
    ASSERT_GE(v.m_nCurCol, 1) << step;
    ASSERT_LE(v.m_nCurCol, 76) << step;
    ASSERT_TRUE(v.m_nCursorWidth == 1 || v.m_nCursorWidth == 2) << step;
    if (bPainted) {
        ASSERT_LE(v.m_nCurCol + v.m_nCursorWidth - 1, 76) << step;
    }
    ASSERT_FALSE(doc.m_bStaffCountChanged) << step;
    EXPECT_EQ(v.m_sizeTotal.cy, 2 * (4 * doc.m_nStaffs * v.m_cyChar + v.m_yMargin)) << step;
}

void ExpectRowsIntact(const ViewHarness& h)
{
    for (const auto& pStaff : h.doc.m_ppStaffs) {
        ASSERT_NE(pStaff, nullptr);
        for (const char* row : pStaff->m_rows) {
            ASSERT_EQ(strnlen(row, ROW_SIZE), static_cast<std::size_t>(STAFF_COLUMNS));
        }
    }
}

UINT RandomChar(std::mt19937& rng)
{
    static const char kChars[] = "0123456789012345678901234567890123456789hpbr/\\v*^tx| HXa-~Am.";
    switch (rng() % 6) {
    case 0:
        return static_cast<UINT>(rng() % 300);
    case 1: {
        static const UINT kControls[] = {8, 13, 9, 27, 0, 127};
        return kControls[rng() % 6];
    }
    default:
        return static_cast<unsigned char>(kChars[rng() % (sizeof(kChars) - 1)]);
    }
}

void RandomKey(ViewHarness& h, std::mt19937& rng)
{
    static const UINT kScans[] = {SC_UP, SC_LEFT, SC_RIGHT, SC_DOWN, SC_DELETE};
    static const UINT kArrowVk[] = {VK_UP, VK_LEFT, VK_RIGHT, VK_DOWN, VK_DELETE};
    static const UINT kPadVk[] = {VK_NUMPAD8, VK_NUMPAD4, VK_NUMPAD6, VK_NUMPAD2, VK_DECIMAL};
    const int k = static_cast<int>(rng() % 5);
    switch (rng() % 8) {
    case 0:
        h.view.OnKeyDown(kPadVk[k], 1, kScans[k]);
        break;
    case 1:
        h.view.OnKeyDown(rng() % 256, 1, rng() % 0x10000);
        break;
    default:
        h.view.OnKeyDown(kArrowVk[k], 1, kScans[k]);
        break;
    }
}

void RunSession(const SessionSetup& setup)
{
    ViewHarness h(setup.nStaffs, setup.client, setup.cell);
    std::mt19937 rng(setup.seed);
    // Content as a file might hold it, edges included.
    for (int s = 0; s < setup.nStaffs; ++s)
        for (int i = 0; i < 6; ++i)
            h.doc.m_ppStaffs[s]->m_rows[rng() % 7][rng() % 78] = "0123456789hx|E"[rng() % 14];

    static const UINT kCommands[] = {ID_EDIT_VERTICALBAR, ID_EDIT_INSERTSTAFF, ID_EDIT_DELETESTAFF,
                                     ID_EDIT_DELETECOLUMN, ID_EDIT_INSERTCOLUMN, ID_EDIT_MERGEUP,
                                     ID_EDIT_MOVEDOWN};
    for (int step = 0; step < setup.nSteps; ++step) {
        const unsigned what = rng() % 100;
        if (what < 40) {
            h.view.OnChar(RandomChar(rng), 1, 0);
        } else if (what < 75) {
            RandomKey(h, rng);
        } else if (what < 85) {
            const CRect c = h.host.client;
            h.view.OnLButtonDown(0, CPoint(static_cast<int>(rng() % (c.Width() + 200)) - 100,
                                           static_cast<int>(rng() % (c.Height() + 200)) - 100));
        } else if (what < 90) {
            const CSize total = h.view.GetTotalSize();
            h.view.OnHostScroll(CPoint(static_cast<int>(rng() % (total.cx + 1)),
                                       static_cast<int>(rng() % (total.cy + 1))));
        } else {
            const UINT id = kCommands[rng() % 7];
            if (id == ID_EDIT_DELETESTAFF)
                h.ui.messageAnswers.push_back(rng() % 3 == 0 ? IDNO : IDYES);
            ASSERT_TRUE(h.view.OnCmdMsg(id));
        }
        // The window does not always paint between two events.
        const bool bPaint = rng() % 5 != 0;
        if (bPaint) {
            if (rng() % 4 == 0) {
                const int top = static_cast<int>(rng() % (h.host.client.Height() + 1));
                h.PaintArea(CRect(0, top, h.host.client.right, top + static_cast<int>(rng() % 64)));
            } else {
                h.Paint();
            }
        }
        ExpectSound(h, bPaint, step);
        if (step % 256 == 0)
            ExpectRowsIntact(h);
        if (::testing::Test::HasFatalFailure())
            return;
    }
    ExpectRowsIntact(h);
}

} // namespace

TEST(ViewRandomSessions, SmallDocumentsStaySound)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        RunSession({seed, 1, CRect(0, 0, 800, 600), CSize(8, 16), 6000});
    }
}

TEST(ViewRandomSessions, NarrowWindowsAndOddCellsStaySound)
{
    RunSession({11, 3, CRect(0, 0, 120, 90), CSize(8, 16), 6000});
    RunSession({12, 2, CRect(0, 0, 800, 600), CSize(0, 0), 4000});
    RunSession({13, 5, CRect(0, 0, 50, 50), CSize(1, 1), 4000});
    RunSession({14, 4, CRect(0, 0, 0, 0), CSize(9, 20), 4000});
}

TEST(ViewRandomSessions, LargeDocumentsStaySound)
{
    RunSession({21, 2000, CRect(0, 0, 800, 600), CSize(8, 16), 20000});
    RunSession({22, 500, CRect(0, 0, 300, 200), CSize(7, 13), 10000});
}
