#pragma once
// Dialog units: a horizontal unit is a quarter of the dialog font's average character
// width (the 52 letters A-Z a-z measured together, divided by 52, rounded), a vertical
// unit an eighth of its height.
#include <QFont>
#include <QRect>

class CDialogBaseUnits {
public:
    CDialogBaseUnits(int cxAvgChar, int cyChar) : m_cxAvgChar(cxAvgChar), m_cyChar(cyChar) {}
    // Measures the face the font actually resolves to, at the screen's resolution.
    static CDialogBaseUnits FromFont(const QFont& font);

    int CxAvgChar() const { return m_cxAvgChar; }
    int CyChar() const { return m_cyChar; }
    int ToPixelsX(int nUnits) const;
    int ToPixelsY(int nUnits) const;
    QRect ToPixels(int x, int y, int cx, int cy) const;

private:
    int m_cxAvgChar;
    int m_cyChar;
};
