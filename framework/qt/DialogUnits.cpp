#include "framework/qt/DialogUnits.h"

#include <QFontMetrics>

#include <cmath>

namespace {

// n * num / den rounded half away from zero, as dialog-unit conversion rounds.
int MulDivRound(int n, int num, int den)
{
    const long long p = static_cast<long long>(n) * num;
    const long long half = den / 2;
    return static_cast<int>(p >= 0 ? (p + half) / den : -((-p + half) / den));
}

} // namespace

CDialogBaseUnits CDialogBaseUnits::FromFont(const QFont& font)
{
    const QFontMetrics fm(font);
    const int cx52 = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return CDialogBaseUnits((cx52 + 26) / 52, fm.height());
}

int CDialogBaseUnits::ToPixelsX(int nUnits) const { return MulDivRound(nUnits, m_cxAvgChar, 4); }

int CDialogBaseUnits::ToPixelsY(int nUnits) const { return MulDivRound(nUnits, m_cyChar, 8); }

QRect CDialogBaseUnits::ToPixels(int x, int y, int cx, int cy) const
{
    // The corners are converted, not the size, so adjacent controls meet exactly.
    const int left = ToPixelsX(x);
    const int top = ToPixelsY(y);
    return QRect(left, top, ToPixelsX(x + cx) - left, ToPixelsY(y + cy) - top);
}
