// Rows drawn on a window take a shortcut past text shaping; the pixels must be the ones
// shaped text gives, in every colour and background mode the view uses.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <functional>
#include <string>

#include "GuiTestSupport.h"
#include "framework/qt/QtDC.h"

namespace {

// A window that paints through a CQtDC, so the painter's device is a widget.
class CGridWindow : public QWidget {
public:
    explicit CGridWindow(std::function<void(CDC&)> draw) : m_draw(std::move(draw))
    {
        setAttribute(Qt::WA_DontShowOnScreen);
        resize(900, 120);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        CQtDC dc(&painter, this, rect());
        m_draw(dc);
    }

private:
    std::function<void(CDC&)> m_draw;
};

TEST(QtDCGridGlyphs, WindowRowsMatchShapedTextPixelForPixel)
{
    GuiApp();
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(100, "Courier New"));
    const std::string rows[] = {"-3--5--|--12-h-14p12--x--/7\\\\--~~--|", "  Am7   G/B  (let ring) ~ ^ {} [x] 'q' \"w\"",
                                "----------------------------------------------------------------------------"};
    auto draw = [&](CDC& dc) {
        dc.SelectObject(&font);
        const int cy = dc.GetTextExtent("A").cy;
        for (int i = 0; i < 3; ++i)
            dc.TextOut(8, 4 + i * cy, rows[i]);
        // The cursor: white on blue, opaque.
        dc.SetTextColor(RGB(255, 255, 255));
        dc.SetBkColor(RGB(0, 0, 255));
        dc.SetBkMode(OPAQUE);
        dc.TextOut(8 + 5 * dc.GetTextExtent("A").cx, 4 + 3 * cy, "12");
    };

    CGridWindow window(draw);
    const QImage onWindow = window.grab().toImage().convertToFormat(QImage::Format_RGB32);

    // The same on an image, where text is shaped as always.
    QImage shaped(onWindow.size(), QImage::Format_RGB32);
    shaped.setDevicePixelRatio(onWindow.devicePixelRatio());
    shaped.fill(Qt::white);
    {
        QPainter painter(&shaped);
        CQtDC dc(&painter, &window, QRect(QPoint(0, 0), window.size()));
        draw(dc);
    }
    ASSERT_EQ(onWindow.size(), shaped.size());
    int nDiffering = 0;
    int nInk = 0;
    for (int y = 0; y < shaped.height(); ++y) {
        for (int x = 0; x < shaped.width(); ++x) {
            nDiffering += onWindow.pixel(x, y) != shaped.pixel(x, y) ? 1 : 0;
            nInk += shaped.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
        }
    }
    EXPECT_GT(nInk, 500);   // something was drawn to compare
    EXPECT_EQ(nDiffering, 0);
}

} // namespace
