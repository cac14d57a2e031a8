// The Qt device context: the grid font really is fixed pitch, text sits in its cells with
// the requested colours, and the clip box decides what is visible.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "GuiTestSupport.h"
#include "framework/qt/QtDC.h"

namespace {

class QtDCTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiApp();
        m_font.CreatePointFont(100, "Courier New");
    }
    CFont m_font;
};

// Bounding box of the pixels of one colour.
QRect PixelsOf(const QImage& img, QRgb colour)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == colour)
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

} // namespace

TEST_F(QtDCTest, CourierNewResolvesToAFixedPitchFace)
{
    const QFont qf = CQtDC::MakeQFont(m_font, 96);
    const QFontInfo info(qf);
    EXPECT_TRUE(info.fixedPitch()) << info.family().toStdString();
    EXPECT_EQ(qf.pixelSize(), 13);   // 10 points at 96 dpi: 13.3 pixels
    EXPECT_EQ(CQtDC::MakeQFont(m_font, 600).pixelSize(), 83);   // a 600 dpi printer
    const QFontMetrics fm(qf);
    EXPECT_EQ(fm.horizontalAdvance("i"), fm.horizontalAdvance("W"));
}

TEST_F(QtDCTest, CellIsTheExtentOfAAndRowsMeasureByCells)
{
    QImage img(200, 100, QImage::Format_RGB32);
    CQtDC dc(&img);
    dc.SelectObject(&m_font);
    const CSize cell = dc.GetTextExtent("A");
    const QFontMetrics fm(CQtDC::MakeQFont(m_font, img.logicalDpiY()), &img);
    EXPECT_EQ(cell.cx, fm.horizontalAdvance('A'));
    EXPECT_EQ(cell.cy, fm.height());
    EXPECT_GT(cell.cx, 4);
    EXPECT_EQ(dc.GetTextExtent(std::string(78, '-')).cx, 78 * cell.cx);
}

TEST_F(QtDCTest, OpaqueTextFillsItsCellsTopDownFromY)
{
    QImage img(200, 60, QImage::Format_RGB32);
    img.fill(Qt::black);
    CSize cell;
    {
        QPainter painter(&img);
        CQtDC dc(&painter, &img, img.rect());
        dc.SelectObject(&m_font);
        cell = dc.GetTextExtent("A");
        dc.SetTextColor(RGB(255, 255, 255));
        dc.SetBkColor(RGB(0, 0, 255));
        dc.SetBkMode(OPAQUE);
        dc.TextOut(10, 20, "12");
    }
    // The blue background is exactly the two cells, starting at y (the cell's top).
    const QRect blue = PixelsOf(img, qRgb(0, 0, 255));
    EXPECT_EQ(blue.left(), 10);
    EXPECT_EQ(blue.top(), 20);
    EXPECT_EQ(blue.right(), 10 + 2 * cell.cx - 1);
    EXPECT_EQ(blue.bottom(), 20 + cell.cy - 1);
    // The white glyphs stand inside the cells.
    const QRect white = PixelsOf(img, qRgb(255, 255, 255));
    EXPECT_FALSE(white.isEmpty());
    EXPECT_TRUE(QRect(10, 20, 2 * cell.cx, cell.cy).contains(white));
}

TEST_F(QtDCTest, TransparentTextLeavesTheBackground)
{
    QImage img(100, 40, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter painter(&img);
        CQtDC dc(&painter, &img, img.rect());
        dc.SelectObject(&m_font);
        dc.SetBkColor(RGB(255, 0, 0));
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(0, 0, "-|-");
    }
    EXPECT_TRUE(PixelsOf(img, qRgb(255, 0, 0)).isEmpty());
    bool bInk = false;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            bInk = bInk || qGray(img.pixel(x, y)) < 128;
    EXPECT_TRUE(bInk);
}

TEST_F(QtDCTest, ClipBoxAndViewportOriginDecideVisibility)
{
    QImage img(300, 300, QImage::Format_RGB32);
    QPainter painter(&img);
    CQtDC dc(&painter, &img, QRect(0, 100, 300, 50));
    EXPECT_TRUE(dc.RectVisible(CRect(0, 120, 10, 130)));
    EXPECT_FALSE(dc.RectVisible(CRect(0, 0, 10, 100)));
    EXPECT_FALSE(dc.RectVisible(CRect(0, 150, 10, 160)));
    dc.SetViewportOrg(CPoint(0, -200));   // scrolled down by 200
    EXPECT_TRUE(dc.RectVisible(CRect(0, 300, 10, 310)));
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 300);
    EXPECT_EQ(dc.GetDeviceCaps(VERTRES), 300);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), img.logicalDpiY());
}

TEST_F(QtDCTest, AFontThatFailedKeepsThePreviousOne)
{
    QImage img(100, 40, QImage::Format_RGB32);
    CQtDC dc(&img);
    dc.SelectObject(&m_font);
    const QFont before = dc.GetQFont();
    CFont::SetFailCreation(true);
    CFont failed;
    failed.CreatePointFont(240, "Courier New");
    CFont::SetFailCreation(false);
    dc.SelectObject(&failed);
    EXPECT_EQ(dc.GetQFont(), before);
}

TEST_F(QtDCTest, MultiByteCharactersKeepTheFollowingColumnsOnTheGrid)
{
    // "x\xC3\xA9y": the 'y' is byte 3, so it must be drawn in cell 3.
    QImage a(200, 40, QImage::Format_RGB32), b(200, 40, QImage::Format_RGB32);
    a.fill(Qt::white);
    b.fill(Qt::white);
    int cx = 0;
    {
        QPainter pa(&a);
        CQtDC dc(&pa, &a, a.rect());
        dc.SelectObject(&m_font);
        dc.SetBkMode(TRANSPARENT);
        cx = dc.GetTextExtent("A").cx;
        dc.TextOut(0, 0, "x\xC3\xA9y");
    }
    {
        QPainter pb(&b);
        CQtDC dc(&pb, &b, b.rect());
        dc.SelectObject(&m_font);
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(3 * cx, 0, "y");
    }
    EXPECT_EQ(a.copy(3 * cx, 0, cx, 40), b.copy(3 * cx, 0, cx, 40));
}

TEST_F(QtDCTest, PaintedCellsMatchMeasuredCellsWhateverThePaintersResolution)
{
    // The view measures through one device (its window) and paints through another (a
    // backing store or a grab, maybe of another resolution): the cells must agree.
    QImage window(50, 50, QImage::Format_RGB32);
    QImage target(400, 100, QImage::Format_RGB32);
    target.setDotsPerMeterX(7559);   // 192 dpi
    target.setDotsPerMeterY(7559);
    target.fill(Qt::black);
    CQtDC measure(&window);
    measure.SelectObject(&m_font);
    const CSize extent = measure.GetTextExtent("AAAA");
    {
        QPainter painter(&target);
        CQtDC dc(&painter, &window, target.rect());
        dc.SelectObject(&m_font);
        dc.SetBkColor(RGB(0, 0, 255));
        dc.SetBkMode(OPAQUE);
        dc.SetTextColor(RGB(255, 255, 255));
        dc.TextOut(0, 0, "AAAA");
    }
    const QRect blue = PixelsOf(target, qRgb(0, 0, 255));
    EXPECT_EQ(blue.width(), extent.cx);
    EXPECT_EQ(blue.height(), extent.cy);
    const QRect white = PixelsOf(target, qRgb(255, 255, 255));
    EXPECT_LE(white.right(), extent.cx);
    EXPECT_LE(white.bottom(), extent.cy);
}
