#pragma once
// A device context for headless tests: fixed cell metrics, a chosen paint area, and a
// record of every TextOut with the colours and background mode it was drawn in.
#include <string>
#include <string_view>
#include <vector>

#include "framework/DC.h"

struct TextOutCall {
    int x;                  // device coordinates
    int y;
    std::string text;
    COLORREF crText;
    COLORREF crBk;
    int nBkMode;
};

class RecordingDC : public CDC {
public:
    RecordingDC(CSize cell, CRect clip, bool bRecord = true) : m_cell(cell), m_clip(clip), m_bRecord(bRecord) {}

    int GetDeviceCaps(int nIndex) const override
    {
        return nIndex == HORZRES ? m_clip.Width() : nIndex == VERTRES ? m_clip.Height() : 96;
    }

    std::vector<TextOutCall> calls;
    int nTextOuts = 0;

protected:
    void DrawText(int x, int y, std::string_view text) override
    {
        ++nTextOuts;
        if (m_bRecord)
            calls.push_back({x, y, std::string(text), GetTextColor(), GetBkColor(), GetBkMode()});
    }
    CSize MeasureText(std::string_view text) const override
    {
        return CSize(m_cell.cx * static_cast<int>(text.size()), m_cell.cy);
    }
    CRect GetClipBox() const override { return m_clip; }

private:
    CSize m_cell;
    CRect m_clip;
    bool m_bRecord;
};
