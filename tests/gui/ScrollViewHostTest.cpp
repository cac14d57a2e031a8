// The scroll-area host: a view receives its keys, clicks and paints through it, and its
// scroll sizes and position show on the bars.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "framework/qt/ScrollViewHost.h"

namespace {

class CRecordingView : public CScrollView {
public:
    void OnDraw(CDC* pDC) override
    {
        ++m_nPaints;
        m_ptOrigin = pDC->GetViewportOrg();
        m_bTopVisible = pDC->RectVisible(CRect(0, 0, 10, 10));
        m_bFarVisible = pDC->RectVisible(CRect(0, 900, 10, 910));
    }
    int OnCreate() override
    {
        ++m_nCreates;
        return 0;
    }
    void OnKeyDown(UINT nChar, UINT, UINT nFlags) override
    {
        m_log.push_back("down " + std::to_string(nChar) + "/" + std::to_string(nFlags & 0xFF));
    }
    void OnChar(UINT nChar, UINT, UINT) override { m_log.push_back("char " + std::to_string(nChar)); }
    void OnLButtonDown(UINT, CPoint pt) override
    {
        m_log.push_back("ldown " + std::to_string(pt.x) + "," + std::to_string(pt.y));
    }
    void OnLButtonUp(UINT, CPoint pt) override
    {
        m_log.push_back("lup " + std::to_string(pt.x) + "," + std::to_string(pt.y));
    }

    int m_nPaints = 0;
    int m_nCreates = 0;
    CPoint m_ptOrigin;
    bool m_bTopVisible = false;
    bool m_bFarVisible = false;
    std::vector<std::string> m_log;
};

// The view in a shown 300 x 200 window.
std::unique_ptr<CScrollViewHost> ShowInWindow(CScrollView& view)
{
    GuiApp();
    auto pHost = std::make_unique<CScrollViewHost>(&view);
    pHost->resize(300, 200);
    pHost->show();
    QCoreApplication::processEvents();
    return pHost;
}

class ScrollViewHostTest : public ::testing::Test {
protected:
    void SetUp() override { m_pHost = ShowInWindow(m_view); }
    void Key(int key, Qt::KeyboardModifiers mods, const QString& text)
    {
        QKeyEvent ev(QEvent::KeyPress, key, mods, text);
        QCoreApplication::sendEvent(m_pHost.get(), &ev);
    }
    void Mouse(QEvent::Type type, QPoint pt)
    {
        QMouseEvent ev(type, QPointF(pt), m_pHost->viewport()->mapToGlobal(QPointF(pt)), Qt::LeftButton,
                       type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_pHost->viewport(), &ev);
    }

    CRecordingView m_view;
    std::unique_ptr<CScrollViewHost> m_pHost;
};

} // namespace

TEST_F(ScrollViewHostTest, AttachesAndCreatesTheView)
{
    EXPECT_EQ(m_view.GetHost(), m_pHost.get());
    EXPECT_EQ(m_view.m_nCreates, 1);
    const CRect rc = m_view.GetClientRect();
    EXPECT_EQ(rc.Width(), m_pHost->viewport()->width());
    EXPECT_EQ(rc.Height(), m_pHost->viewport()->height());
    m_pHost.reset();
    EXPECT_EQ(m_view.GetHost(), nullptr);
}

TEST_F(ScrollViewHostTest, KeysArriveAsKeyDownThenChar)
{
    Key(Qt::Key_7, Qt::NoModifier, "7");
    Key(Qt::Key_Up, Qt::NoModifier, "");
    Key(Qt::Key_8, Qt::KeypadModifier, "8");
    Key(Qt::Key_Up, Qt::KeypadModifier, "");
    Key(Qt::Key_Return, Qt::NoModifier, "\r");
    Key(Qt::Key_A, Qt::ControlModifier, "\x01");
    const std::vector<std::string> expected = {"down 55/8",  "char 55",  "down 38/72", "down 104/72", "char 56",
                                               "down 38/72", "down 13/28", "char 13", "down 65/30", "char 1"};
    EXPECT_EQ(m_view.m_log, expected);
}

TEST_F(ScrollViewHostTest, TabAndShiftTabReachTheViewInsteadOfMovingFocus)
{
    QWidget other;
    m_pHost->setFocus();
    Key(Qt::Key_Tab, Qt::NoModifier, "\t");
    Key(Qt::Key_Backtab, Qt::ShiftModifier, "");
    const std::vector<std::string> expected = {"down 9/15", "char 9", "down 9/15", "char 9"};
    EXPECT_EQ(m_view.m_log, expected);
}

TEST_F(ScrollViewHostTest, AltKeysAreLeftToTheMenus)
{
    Key(Qt::Key_F, Qt::AltModifier, "f");
    EXPECT_TRUE(m_view.m_log.empty());
}

TEST_F(ScrollViewHostTest, LeftClicksInClientCoordinates)
{
    Mouse(QEvent::MouseButtonPress, QPoint(40, 25));
    Mouse(QEvent::MouseButtonRelease, QPoint(41, 26));
    const std::vector<std::string> expected = {"ldown 40,25", "lup 41,26"};
    EXPECT_EQ(m_view.m_log, expected);
    EXPECT_TRUE(m_pHost->hasFocus() || !m_pHost->isActiveWindow());
}

TEST_F(ScrollViewHostTest, ScrollSizesAndPositionMapToTheBars)
{
    m_view.SetScrollSizes(MM_TEXT, CSize(1000, 2000));
    QCoreApplication::processEvents();   // the bars appear; the client shrinks
    const QSize client = m_pHost->viewport()->size();
    QScrollBar* h = m_pHost->horizontalScrollBar();
    QScrollBar* v = m_pHost->verticalScrollBar();
    EXPECT_EQ(h->maximum(), 1000 - client.width());
    EXPECT_EQ(v->maximum(), 2000 - client.height());
    EXPECT_EQ(v->pageStep(), client.height());   // the thumb: the part in view
    EXPECT_EQ(v->singleStep(), 20);                 // a line: a tenth of a page

    m_view.ScrollToPosition(CPoint(50, 300));
    EXPECT_EQ(h->value(), 50);
    EXPECT_EQ(v->value(), 300);

    // The user drags the bar: the view learns the new position.
    v->setValue(850);
    EXPECT_EQ(m_view.GetScrollPosition(), CPoint(50, 850));

    // Past the end is kept within range.
    m_view.ScrollToPosition(CPoint(5000, 5000));
    EXPECT_EQ(m_view.GetScrollPosition(), CPoint(1000 - client.width(), 2000 - client.height()));
    EXPECT_EQ(v->value(), v->maximum());
}

TEST_F(ScrollViewHostTest, TroughClicksScrollByTheViewsPage)
{
    m_view.SetScrollSizes(MM_TEXT, CSize(1000, 2000));   // page: a tenth, 200 down
    QCoreApplication::processEvents();
    QScrollBar* v = m_pHost->verticalScrollBar();
    v->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(m_view.GetScrollPosition().y, 200);
    v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(m_view.GetScrollPosition().y, 220);
    v->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(m_view.GetScrollPosition().y, 20);
    m_view.SetScrollSizes(MM_TEXT, CSize(1000, 2000), CSize(50, 70));
    m_pHost->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(m_view.GetScrollPosition().x, 50);
}

TEST_F(ScrollViewHostTest, PaintsThroughOnDrawWithScrollOriginAndClip)
{
    m_view.SetScrollSizes(MM_TEXT, CSize(300, 2000));
    QCoreApplication::processEvents();
    m_view.ScrollToPosition(CPoint(0, 850));
    const int before = m_view.m_nPaints;
    m_pHost->viewport()->grab();
    EXPECT_GT(m_view.m_nPaints, before);
    EXPECT_EQ(m_view.m_ptOrigin, CPoint(0, -850));
    EXPECT_FALSE(m_view.m_bTopVisible);
    EXPECT_TRUE(m_view.m_bFarVisible);
}

TEST_F(ScrollViewHostTest, ResizeKeepsThePositionInRange)
{
    m_view.SetScrollSizes(MM_TEXT, CSize(300, 1000));
    QCoreApplication::processEvents();
    m_view.ScrollToPosition(CPoint(0, 10000));
    m_pHost->resize(300, 700);
    QCoreApplication::processEvents();
    const int client = m_pHost->viewport()->height();
    EXPECT_EQ(m_view.GetScrollPosition().y, std::max(0, 1000 - client));
    EXPECT_EQ(m_pHost->verticalScrollBar()->value(), m_view.GetScrollPosition().y);
}

namespace {

// Rows of text that say where they are, so a shifted picture shows.
class CPatternView : public CScrollView {
public:
    void OnDraw(CDC* pDC) override
    {
        const CRect clip = pDC->GetClipRect();
        m_clips.push_back(clip);
        for (int y = clip.top / 16 * 16; y < clip.bottom; y += 16)
            pDC->TextOut(4 + (y / 16) % 7, y, "row " + std::to_string(y / 16));
    }
    std::vector<CRect> m_clips;
};

QImage ShownPicture(QWidget* pWidget)
{
    QCoreApplication::processEvents();
    const QPoint at = pWidget->mapTo(pWidget->window(), QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(pWidget->window()->winId(), at.x(), at.y(), pWidget->width(), pWidget->height())
        .toImage();
}

} // namespace

// A tall pattern in a small window, shown once.
class ScrollViewHostScrolling : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pHost = ShowInWindow(m_view);
        m_view.SetScrollSizes(MM_TEXT, CSize(280, 5000));
        m_pViewport = m_pHost->viewport();
        ShownPicture(m_pViewport);
    }

    CPatternView m_view;
    std::unique_ptr<CScrollViewHost> m_pHost;
    QWidget* m_pViewport = nullptr;
};

TEST_F(ScrollViewHostScrolling, UserScrollingShiftsThePictureAndPaintsOnlyWhatComesIn)
{
    for (const int delta : {37, 160, -5, 1, -120, 400}) {
        SCOPED_TRACE(delta);
        m_view.m_clips.clear();
        QScrollBar* pBar = m_pHost->verticalScrollBar();
        pBar->setValue(pBar->value() + delta);
        const QImage shifted = ShownPicture(m_pViewport);
        ASSERT_EQ(m_view.GetScrollPosition().y, pBar->value());
        // Only a strip as high as the step was painted, unless the step left nothing in sight.
        ASSERT_FALSE(m_view.m_clips.empty());
        for (const CRect& clip : m_view.m_clips)
            EXPECT_LE(clip.Height(), std::min(std::abs(delta), m_pViewport->height()));
        // And the picture is the one a whole repaint gives.
        m_pViewport->update();
        EXPECT_EQ(shifted, ShownPicture(m_pViewport));
    }
}

TEST_F(ScrollViewHostScrolling, AViewScrollMovesTheBarsAndShiftsThePicture)
{
    for (const int y : {48, 50, 300, 290, 0, 4000}) {
        SCOPED_TRACE(y);
        const int nFrom = m_view.GetScrollPosition().y;
        m_view.m_clips.clear();
        m_view.ScrollToPosition(CPoint(0, y));
        const QImage shifted = ShownPicture(m_pViewport);
        EXPECT_EQ(m_pHost->verticalScrollBar()->value(), y);
        for (const CRect& clip : m_view.m_clips)
            EXPECT_LE(clip.Height(), std::min(std::abs(y - nFrom), m_pViewport->height()));
        m_pViewport->update();
        EXPECT_EQ(shifted, ShownPicture(m_pViewport));
    }
}
