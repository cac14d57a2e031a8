#pragma once
// Fits a dialog laid out from a template to the face it is shown in. Each control says how
// wide its content must be at least and how tall it must be at a given width; a control
// short of room first takes the free room beside or below it, and where that is not enough
// a strip is inserted across the whole dialog just past that room: controls beyond the strip
// move on, controls across it stretch, and the dialog grows by the strip. Controls that did
// not overlap before never overlap afterwards, and nothing ever shrinks.
#include <functional>
#include <vector>

#include "framework/Types.h"

class CDialogLayout {
public:
    // The template's client size, in pixels, and the least room a control that grows
    // leaves before the next one (where the template left more).
    explicit CDialogLayout(CSize client, CSize gap = CSize()) : m_client(client), m_gap(gap) {}

    // A control placed at rc (pixels). cxMin: the width its content needs (0: any);
    // fnHeightForWidth: the height its content needs at a width (empty: any). Returns its index.
    int Add(const CRect& rc, int cxMin, std::function<int(int)> fnHeightForWidth = {});

    // Widens every control first, then makes each tall enough at its final width.
    void Fit();

    const CRect& GetRect(int nIndex) const { return m_items[static_cast<size_t>(nIndex)].rc; }
    CSize GetClientSize() const { return m_client; }

private:
    struct CItem {
        CRect rc;
        int cxMin;
        std::function<int(int)> fnHeightForWidth;
    };
    void GrowWidth(size_t i, int cxNeeded, int nMargin);
    void GrowHeight(size_t i, int cyNeeded, int nMargin);
    // Inserts a strip of d pixels at x (bVertical false) or y: edges at or past it move by d.
    void InsertStrip(bool bVertical, int at, int d);

    CSize m_client;
    CSize m_gap;
    std::vector<CItem> m_items;
};
