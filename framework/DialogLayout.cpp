#include "framework/DialogLayout.h"

#include <algorithm>
#include <utility>

int CDialogLayout::Add(const CRect& rc, int cxMin, std::function<int(int)> fnHeightForWidth)
{
    m_items.push_back({rc, cxMin, std::move(fnHeightForWidth)});
    return static_cast<int>(m_items.size()) - 1;
}

void CDialogLayout::Fit()
{
    // The template's own right and bottom margins are kept when the dialog grows.
    int xMax = 0;
    int yMax = 0;
    for (const CItem& item : m_items) {
        xMax = std::max(xMax, item.rc.right);
        yMax = std::max(yMax, item.rc.bottom);
    }
    const int cxMargin = std::max(0, m_client.cx - xMax);
    const int cyMargin = std::max(0, m_client.cy - yMax);
    for (size_t i = 0; i < m_items.size(); ++i)
        GrowWidth(i, m_items[i].cxMin, cxMargin);
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].fnHeightForWidth)
            GrowHeight(i, m_items[i].fnHeightForWidth(m_items[i].rc.Width()), cyMargin);
    }
}

void CDialogLayout::GrowWidth(size_t i, int cxNeeded, int nMargin)
{
    CRect& rc = m_items[i].rc;
    if (rc.Width() >= cxNeeded)
        return;
    // Free room: up to a gap short of the nearest control to the right on the same rows,
    // or the margin.
    int limit = m_client.cx - nMargin;
    for (size_t j = 0; j < m_items.size(); ++j) {
        const CRect& o = m_items[j].rc;
        if (j != i && o.top < rc.bottom && rc.top < o.bottom && o.left >= rc.right)
            limit = std::min(limit, o.left - m_gap.cx);
    }
    limit = std::max(limit, rc.right);
    const int want = rc.left + cxNeeded;
    if (want <= limit) {
        rc.right = want;
        return;
    }
    rc.right = limit;
    InsertStrip(false, limit, want - limit);
}

void CDialogLayout::GrowHeight(size_t i, int cyNeeded, int nMargin)
{
    CRect& rc = m_items[i].rc;
    if (rc.Height() >= cyNeeded)
        return;
    int limit = m_client.cy - nMargin;
    for (size_t j = 0; j < m_items.size(); ++j) {
        const CRect& o = m_items[j].rc;
        if (j != i && o.left < rc.right && rc.left < o.right && o.top >= rc.bottom)
            limit = std::min(limit, o.top - m_gap.cy);
    }
    limit = std::max(limit, rc.bottom);
    const int want = rc.top + cyNeeded;
    if (want <= limit) {
        rc.bottom = want;
        return;
    }
    rc.bottom = limit;
    InsertStrip(true, limit, want - limit);
}

void CDialogLayout::InsertStrip(bool bVertical, int at, int d)
{
    // One shift for every edge at or past the strip keeps the order of all edges, so
    // controls that were apart stay apart.
    auto shift = [at, d](int& edge) {
        if (edge >= at)
            edge += d;
    };
    for (CItem& item : m_items) {
        if (bVertical) {
            shift(item.rc.top);
            shift(item.rc.bottom);
        } else {
            shift(item.rc.left);
            shift(item.rc.right);
        }
    }
    (bVertical ? m_client.cy : m_client.cx) += d;
}
