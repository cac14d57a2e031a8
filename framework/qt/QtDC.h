#pragma once
// A device context over QPainter. Fonts are realised at the device's resolution; text is
// drawn on the character grid with y as the top of the cell.
#include <QFont>
#include <QRect>

#include "framework/DC.h"

class QPainter;
class QPaintDevice;

class CQtDC : public CDC {
public:
    // Paints with pPainter on pDevice; rcClip is the area being painted (device units).
    CQtDC(QPainter* pPainter, QPaintDevice* pDevice, const QRect& rcClip);
    // Measures only: text metrics of pDevice, nothing is drawn.
    explicit CQtDC(QPaintDevice* pDevice);
    ~CQtDC() override;

    int GetDeviceCaps(int nIndex) const override;
    bool IsPrinting() const override { return m_bPrinting; }

    // A printer context measures from the start and paints once its document has begun:
    // the painter comes and goes with the document (nullptr: measuring only again).
    void SetPainter(QPainter* pPainter, const QRect& rcClip);
    void SetPrinting(bool bPrinting) { m_bPrinting = bPrinting; }

    // The Qt font a CFont stands for on a device of nDpiY dots per inch (0: the screen):
    // its point size (tenths) turned into whole pixels at that resolution, so measuring and
    // painting agree on every device; fixed pitch when the face is a fixed-pitch one (so
    // "Courier New" resolves to a metric twin).
    static QFont MakeQFont(const CFont& font, int nDpiY = 0);
    const QFont& GetQFont() const { return m_font; }

protected:
    void DrawText(int x, int y, std::string_view text) override;
    CSize MeasureText(std::string_view text) const override;
    CRect GetClipBox() const override;
    void OnFontSelected(CFont* pFont) override;

private:
    // True when the characters must be placed cell by cell rather than as one string.
    bool NeedsCellPlacement(std::string_view text) const;

    QPainter* m_pPainter = nullptr;
    QPaintDevice* m_pDevice = nullptr;
    QRect m_rcClip;
    QFont m_font;
    bool m_bPrinting = false;
};
