#include "framework/qt/QtDC.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>

#include "framework/qt/TextCodec.h"

namespace {

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

bool IsAscii(std::string_view text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Faces that a fixed-pitch grid relies on.
bool IsFixedPitchFace(const QString& face)
{
    static const char* const kFixed[] = {"Courier New", "Courier", "Liberation Mono", "DejaVu Sans Mono",
                                         "Lucida Console", "Consolas", "Monospace"};
    for (const char* f : kFixed) {
        if (face.compare(QLatin1String(f), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

CQtDC::CQtDC(QPainter* pPainter, QPaintDevice* pDevice, const QRect& rcClip)
    : m_pPainter(pPainter), m_pDevice(pDevice), m_rcClip(rcClip), m_font(QGuiApplication::font())
{
}

CQtDC::CQtDC(QPaintDevice* pDevice) : m_pDevice(pDevice), m_font(QGuiApplication::font()) {}

CQtDC::~CQtDC() = default;

QFont CQtDC::MakeQFont(const CFont& font)
{
    const QString face = BytesToQString(font.GetFaceName());
    QFont qf(face);
    qf.setPointSizeF(font.GetPointSize() / 10.0);
    if (IsFixedPitchFace(face)) {
        qf.setStyleHint(QFont::Monospace, QFont::PreferMatch);
        qf.setFixedPitch(true);
        // Should fontconfig offer no fixed-pitch substitute, take the system's fixed font:
        // the grid cannot be drawn with a proportional one.
        if (!QFontInfo(qf).fixedPitch()) {
            QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
            fixed.setPointSizeF(font.GetPointSize() / 10.0);
            qf = fixed;
        }
    }
    return qf;
}

int CQtDC::GetDeviceCaps(int nIndex) const
{
    if (m_pDevice == nullptr)
        return 0;
    switch (nIndex) {
    case HORZRES: return m_pDevice->width();
    case VERTRES: return m_pDevice->height();
    case LOGPIXELSX: return m_pDevice->logicalDpiX();
    case LOGPIXELSY: return m_pDevice->logicalDpiY();
    default: return 0;
    }
}

void CQtDC::OnFontSelected(CFont* pFont)
{
    // A font whose creation failed selects nothing: the previous font stays, as a
    // device keeps its font when a selection fails.
    if (pFont == nullptr || !pFont->IsCreated())
        return;
    m_font = MakeQFont(*pFont);
}

CSize CQtDC::MeasureText(std::string_view text) const
{
    const QFontMetrics fm(m_font, m_pDevice);
    return CSize(fm.horizontalAdvance(BytesToQString(text)), fm.height());
}

CRect CQtDC::GetClipBox() const
{
    if (m_pPainter == nullptr)
        return CRect();
    return CRect(m_rcClip.left(), m_rcClip.top(), m_rcClip.right() + 1, m_rcClip.bottom() + 1);
}

void CQtDC::DrawText(int x, int y, std::string_view text)
{
    if (m_pPainter == nullptr || text.empty())
        return;
    m_pPainter->setFont(m_font);
    const QFontMetrics fm(m_font, m_pDevice);
    const int cyCell = fm.height();
    const int baseline = y + fm.ascent();
    const QString str = BytesToQString(text);
    if (GetBkMode() == OPAQUE)
        m_pPainter->fillRect(QRect(x, y, fm.horizontalAdvance(str), cyCell), ToQColor(GetBkColor()));
    m_pPainter->setPen(ToQColor(GetTextColor()));
    if (IsAscii(text)) {
        m_pPainter->drawText(QPoint(x, baseline), str);
        return;
    }
    // Text with multi-byte characters: each character stands in the cell of its first
    // byte, so the columns after it keep their places on the grid.
    const int cxCell = fm.horizontalAdvance(QLatin1Char('A'));
    if (DetectTextEncoding(text) == CTextEncoding::Latin1) {
        m_pPainter->drawText(QPoint(x, baseline), str);
        return;
    }
    std::size_t nByte = 0;
    for (qsizetype i = 0; i < str.size(); ++i) {
        QString piece(str.at(i));
        if (str.at(i).isHighSurrogate() && i + 1 < str.size())
            piece += str.at(++i);
        m_pPainter->drawText(QPoint(x + static_cast<int>(nByte) * cxCell, baseline), piece);
        nByte += static_cast<std::size_t>(piece.toUtf8().size());
    }
}
