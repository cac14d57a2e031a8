#include "framework/qt/QtDC.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QRawFont>
#include <QVarLengthArray>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QScreen>

#include <cmath>

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

bool IsPrintableAscii(std::string_view text)
{
    for (char c : text) {
        if (c < 0x20 || c > 0x7e)
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

// Glyphs of the printable ASCII characters in one screen font, looked up once: a row of a
// fixed-pitch grid is then drawn as glyphs at whole-cell steps, with no text shaping for
// each of the hundred-odd rows a large window shows.
struct CGridGlyphs {
    QFont font;
    int nDpi = 0;
    bool bUsable = false;
    int cxCell = 0;
    QRawFont raw;
    quint32 glyphs[128] = {};
};

const CGridGlyphs& GridGlyphs(const QFont& font, int nDpi)
{
    static CGridGlyphs cache;
    if (cache.nDpi == nDpi && cache.font == font && cache.font.key() == font.key())
        return cache;
    cache = CGridGlyphs();
    cache.font = font;
    cache.nDpi = nDpi;
    const QFontInfo info(font);
    cache.raw = QRawFont::fromFont(font);
    const QFontMetricsF fmf(font);
    const qreal adv = fmf.horizontalAdvance(QLatin1Char('A'));
    if (!info.fixedPitch() || !cache.raw.isValid() || std::abs(adv - std::round(adv)) > 0.01)
        return cache;
    cache.cxCell = static_cast<int>(std::round(adv));
    QChar chars[128];
    for (int c = 0; c < 128; ++c)
        chars[c] = QChar(c >= 0x20 && c < 0x7f ? c : ' ');
    int nGlyphs = 128;
    if (!cache.raw.glyphIndexesForChars(chars, 128, cache.glyphs, &nGlyphs) || nGlyphs != 128)
        return cache;
    // Every printable character must have a glyph of the cell's width, or the grid would
    // not be what shaped text shows.
    QPointF advances[128];
    cache.raw.advancesForGlyphIndexes(cache.glyphs, advances, 128);
    for (int c = 0x20; c < 0x7f; ++c) {
        if (cache.glyphs[c] == 0 || std::abs(advances[c].x() - cache.cxCell) > 0.01)
            return cache;
    }
    cache.bUsable = true;
    return cache;
}

} // namespace

CQtDC::CQtDC(QPainter* pPainter, QPaintDevice* pDevice, const QRect& rcClip)
    : m_pPainter(pPainter), m_pDevice(pDevice), m_rcClip(rcClip), m_font(QGuiApplication::font())
{
}

CQtDC::CQtDC(QPaintDevice* pDevice) : m_pDevice(pDevice), m_font(QGuiApplication::font()) {}

CQtDC::~CQtDC() = default;

void CQtDC::SetPainter(QPainter* pPainter, const QRect& rcClip)
{
    m_pPainter = pPainter;
    m_rcClip = rcClip;
}

QFont CQtDC::MakeQFont(const CFont& font, int nDpiY)
{
    if (nDpiY <= 0) {
        const QScreen* pScreen = QGuiApplication::primaryScreen();
        nDpiY = pScreen != nullptr ? qRound(pScreen->logicalDotsPerInchY()) : 96;
    }
    // Points to pixels as a device context does it: size * dpi / 72, rounded.
    const int nPixels = std::max(1, (font.GetPointSize() * nDpiY + 360) / 720);
    const QString face = BytesToQString(font.GetFaceName());
    QFont qf(face);
    qf.setPixelSize(nPixels);
    // Whole-pixel advances: the grid places every cell at a multiple of the cell width.
    qf.setHintingPreference(QFont::PreferFullHinting);
    if (IsFixedPitchFace(face)) {
        qf.setStyleHint(QFont::Monospace, QFont::PreferMatch);
        qf.setFixedPitch(true);
        // Should fontconfig offer no fixed-pitch substitute, take the system's fixed font:
        // the grid cannot be drawn with a proportional one.
        if (!QFontInfo(qf).fixedPitch()) {
            QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
            fixed.setPixelSize(nPixels);
            fixed.setHintingPreference(QFont::PreferFullHinting);
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
    m_font = MakeQFont(*pFont, m_pDevice != nullptr ? m_pDevice->logicalDpiY() : 0);
}

bool CQtDC::NeedsCellPlacement(std::string_view text) const
{
    // Fine as one string when every character is one byte and the font advances by whole
    // pixels (hinting can be off, for instance on scaled screens).
    if (!IsAscii(text))
        return true;
    const QFontMetricsF fmf(m_font, m_pDevice);
    const qreal adv = fmf.horizontalAdvance(QLatin1Char('A'));
    return QFontInfo(m_font).fixedPitch() && std::abs(adv - std::round(adv)) > 0.01;
}

CSize CQtDC::MeasureText(std::string_view text) const
{
    const QFontMetrics fm(m_font, m_pDevice);
    if (NeedsCellPlacement(text) && QFontInfo(m_font).fixedPitch())
        return CSize(static_cast<int>(text.size()) * fm.horizontalAdvance(QLatin1Char('A')), fm.height());
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
    const int baseline = y + fm.ascent();
    const CGridGlyphs* pGrid = nullptr;
    if (!m_bPrinting && IsPrintableAscii(text) && m_pPainter->device() != nullptr &&
        m_pPainter->device()->devType() == QInternal::Widget) {
        const CGridGlyphs& grid = GridGlyphs(m_font, m_pDevice != nullptr ? m_pDevice->logicalDpiY() : 0);
        if (grid.bUsable)
            pGrid = &grid;
    }
    if (GetBkMode() == OPAQUE) {
        // On the grid every glyph advances one whole cell, which is what measuring (and
        // shaping) the text would give.
        const CSize extent = pGrid != nullptr ? CSize(static_cast<int>(text.size()) * pGrid->cxCell, fm.height())
                                              : MeasureText(text);
        m_pPainter->fillRect(QRect(x, y, extent.cx, extent.cy), ToQColor(GetBkColor()));
    }
    m_pPainter->setPen(ToQColor(GetTextColor()));
    if (pGrid != nullptr) {
        QVarLengthArray<quint32, 96> glyphs(static_cast<qsizetype>(text.size()));
        QVarLengthArray<QPointF, 96> positions(static_cast<qsizetype>(text.size()));
        for (std::size_t i = 0; i < text.size(); ++i) {
            glyphs[static_cast<qsizetype>(i)] = pGrid->glyphs[static_cast<unsigned char>(text[i])];
            positions[static_cast<qsizetype>(i)] = QPointF(static_cast<qreal>(i) * pGrid->cxCell, 0);
        }
        QGlyphRun run;
        run.setRawFont(pGrid->raw);
        run.setRawData(glyphs.constData(), positions.constData(), glyphs.size());
        m_pPainter->drawGlyphRun(QPointF(x, baseline), run);
        return;
    }
    const QString str = BytesToQString(text);
    if (!NeedsCellPlacement(text)) {
        m_pPainter->drawText(QPoint(x, baseline), str);
        return;
    }
    // Each character stands in the cell of its first byte, so columns stay on the grid
    // whatever the font's fractional advance and however many bytes a character takes.
    const int cxCell = fm.horizontalAdvance(QLatin1Char('A'));
    const bool bUtf8 = DetectTextEncoding(text) == CTextEncoding::Utf8;
    std::size_t nByte = 0;
    for (qsizetype i = 0; i < str.size(); ++i) {
        QString piece(str.at(i));
        if (str.at(i).isHighSurrogate() && i + 1 < str.size())
            piece += str.at(++i);
        m_pPainter->drawText(QPoint(x + static_cast<int>(nByte) * cxCell, baseline), piece);
        nByte += bUtf8 ? static_cast<std::size_t>(piece.toUtf8().size()) : 1;
    }
}
