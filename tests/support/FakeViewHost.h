#pragma once
// A window for a view in headless tests: a client rectangle of the test's choosing, a
// record of invalidations (whole and in part), scroll-bar updates and shifts, and
// recording DCs for measuring.
#include <memory>
#include <vector>

#include "framework/View.h"
#include "support/RecordingDC.h"

struct ScrollBarUpdate {
    CSize sizeTotal;
    CSize sizePage;
    CSize sizeLine;
    CPoint ptPos;
};

class FakeViewHost : public CViewHost {
public:
    FakeViewHost(CRect client, CSize cell) : client(client), cell(cell) {}

    CRect GetClientRect() const override { return client; }
    void Invalidate(bool) override
    {
        ++invalidations;
        ++wholeInvalidations;
    }
    void InvalidateRect(const CRect& rect) override
    {
        ++invalidations;
        invalidRects.push_back(rect);
    }
    void UpdateScrollBars(CSize sizeTotal, CSize sizePage, CSize sizeLine, CPoint ptPos) override
    {
        scrollUpdates.push_back({sizeTotal, sizePage, sizeLine, ptPos});
    }
    // Windows that shift their picture on a scroll record it; others repaint whole.
    bool ScrollWindow(int dx, int dy, CPoint) override
    {
        if (!bShiftsOnScroll)
            return false;
        ++invalidations;
        shifts.push_back(CPoint(dx, dy));
        return true;
    }
    std::unique_ptr<CDC> GetDC() override { return std::make_unique<RecordingDC>(cell, client); }

    CRect client;
    CSize cell;
    int invalidations = 0;          // whole or in part
    int wholeInvalidations = 0;
    std::vector<CRect> invalidRects;
    bool bShiftsOnScroll = false;
    std::vector<CPoint> shifts;
    std::vector<ScrollBarUpdate> scrollUpdates;
};
