#include "framework/qt/ScrollViewHost.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

#include "framework/qt/KeyTranslation.h"
#include "framework/qt/QtAccessibleTab.h"
#include "framework/qt/QtDC.h"

namespace {
constexpr UINT MK_LBUTTON = 0x0001;
constexpr UINT MK_SHIFT = 0x0004;
constexpr UINT MK_CONTROL = 0x0008;

// The mouse message flags: buttons held and Shift / Ctrl.
UINT MouseFlags(const QMouseEvent* pEvent)
{
    UINT nFlags = pEvent->buttons().testFlag(Qt::LeftButton) ? MK_LBUTTON : 0;
    if (pEvent->modifiers().testFlag(Qt::ShiftModifier))
        nFlags |= MK_SHIFT;
    if (pEvent->modifiers().testFlag(Qt::ControlModifier))
        nFlags |= MK_CONTROL;
    return nFlags;
}
}

CScrollViewHost::CScrollViewHost(CScrollView* pView, QWidget* pParent)
    : QAbstractScrollArea(pParent), m_pView(pView)
{
    AfxInstallAccessibleFactory();
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The view's client area is painted white, like a window's default background.
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, Qt::white);
    viewport()->setPalette(pal);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    // Keys arrive as plain key events, not through an input method.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int nAction) { OnBarAction(Qt::Horizontal, nAction); });
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int nAction) { OnBarAction(Qt::Vertical, nAction); });
    if (m_pView != nullptr) {
        m_pView->SetHost(this);
        m_nCreateResult = m_pView->OnCreate();
    }
}

CScrollViewHost::~CScrollViewHost()
{
    if (m_pView != nullptr && m_pView->GetHost() == this) {
        // What assistive technology was told goes with the window that told it.
        m_pView->ReleaseAccessibleText();
        m_pView->SetHost(nullptr);
    }
}

CRect CScrollViewHost::GetClientRect() const
{
    const QSize size = viewport()->size();
    return CRect(0, 0, size.width(), size.height());
}

void CScrollViewHost::Invalidate(bool) { viewport()->update(); }

void CScrollViewHost::InvalidateRect(const CRect& rect)
{
    viewport()->update(QRect(rect.left, rect.top, rect.Width(), rect.Height()));
}

void CScrollViewHost::UpdateScrollBars(CSize sizeTotal, CSize sizePage, CSize sizeLine, CPoint ptPos)
{
    if (m_bSyncingBars)
        return;
    m_bSyncingBars = true;
    const QSize client = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, std::max(0, sizeTotal.cx - client.width()));
    v->setRange(0, std::max(0, sizeTotal.cy - client.height()));
    // The thumb shows how much of the extent the client shows; the page amount is kept
    // aside for clicks in the trough.
    m_sizePage = sizePage;
    h->setPageStep(std::max(1, client.width()));
    v->setPageStep(std::max(1, client.height()));
    h->setSingleStep(std::max(1, sizeLine.cx));
    v->setSingleStep(std::max(1, sizeLine.cy));
    h->setValue(ptPos.x);
    v->setValue(ptPos.y);
    m_bSyncingBars = false;
    viewport()->update();
}

bool CScrollViewHost::ScrollWindow(int dx, int dy, CPoint ptPos)
{
    if (m_bSyncingBars)
        return false;
    m_bSyncingBars = true;
    horizontalScrollBar()->setValue(ptPos.x);
    verticalScrollBar()->setValue(ptPos.y);
    m_bSyncingBars = false;
    if (m_nFrozen == 0)
        viewport()->scroll(dx, dy);
    else
        viewport()->update();
    return true;
}

std::unique_ptr<CDC> CScrollViewHost::GetDC() { return std::make_unique<CQtDC>(viewport()); }

void CScrollViewHost::OnBarAction(Qt::Orientation orientation, int nAction)
{
    if (nAction != QAbstractSlider::SliderPageStepAdd && nAction != QAbstractSlider::SliderPageStepSub)
        return;
    QScrollBar* pBar = orientation == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    const int nPage = std::max(1, orientation == Qt::Horizontal ? m_sizePage.cx : m_sizePage.cy);
    // The slider position already moved by the thumb size; the value is still the old one.
    const int nFrom = pBar->value();
    pBar->setSliderPosition(nAction == QAbstractSlider::SliderPageStepAdd ? nFrom + nPage : nFrom - nPage);
}

bool CScrollViewHost::event(QEvent* pEvent)
{
    // Tab and Shift+Tab are keys of the view, not focus moves.
    if (pEvent->type() == QEvent::KeyPress) {
        auto* pKey = static_cast<QKeyEvent*>(pEvent);
        if (pKey->key() == Qt::Key_Tab || pKey->key() == Qt::Key_Backtab) {
            keyPressEvent(pKey);
            return true;
        }
    }
    return QAbstractScrollArea::event(pEvent);
}

bool CScrollViewHost::focusNextPrevChild(bool) { return false; }

bool CScrollViewHost::viewportEvent(QEvent* pEvent)
{
    // The viewport's size is the view's client area: scroll bars coming and going change it.
    if (pEvent->type() == QEvent::Resize && m_pView != nullptr && !m_bSyncingBars)
        m_pView->OnHostResize();
    return QAbstractScrollArea::viewportEvent(pEvent);
}

void CScrollViewHost::FreezeForPrinting(bool bFreeze)
{
    if (bFreeze) {
        // Taken while the view still draws for the screen.
        if (m_nFrozen == 0)
            m_frozen = viewport()->grab();
        ++m_nFrozen;
        return;
    }
    if (m_nFrozen > 0 && --m_nFrozen == 0) {
        m_frozen = QPixmap();
        viewport()->update();
    }
}

void CScrollViewHost::paintEvent(QPaintEvent* pEvent)
{
    // The viewport has already filled the area with its white background.
    QPainter painter(viewport());
    if (m_pView == nullptr)
        return;
    if (m_nFrozen > 0) {
        // The view's font and cell are the printer's for now; show the screen as it was.
        painter.drawPixmap(0, 0, m_frozen);
        return;
    }
    CQtDC dc(&painter, viewport(), pEvent->rect());
    m_pView->OnPrepareDC(&dc);
    m_pView->OnDraw(&dc);
}

void CScrollViewHost::keyPressEvent(QKeyEvent* pEvent)
{
    if (m_pView == nullptr) {
        pEvent->ignore();
        return;
    }
    DeliverKey(pEvent);
}

void CScrollViewHost::DeliverKey(QKeyEvent* pEvent)
{
    const CKeyTranslation t = TranslateKey(pEvent->key(), pEvent->modifiers(), pEvent->text());
    if (!t.bKeyDown) {
        pEvent->ignore();
        return;
    }
    pEvent->accept();
    // The view may be replaced or the host destroyed by a handler (a modal dialog runs a
    // loop); keep only what is needed across the two calls.
    CScrollView* pView = m_pView;
    pView->OnKeyDown(t.nVirtKey, 1, t.nScanCode);
    if (t.nChar && m_pView == pView)
        pView->OnChar(*t.nChar, 1, t.nScanCode);
}

void CScrollViewHost::mousePressEvent(QMouseEvent* pEvent)
{
    setFocus(Qt::MouseFocusReason);
    if (m_pView == nullptr || pEvent->button() != Qt::LeftButton) {
        pEvent->ignore();
        return;
    }
    const QPoint pt = pEvent->position().toPoint();
    m_pView->OnLButtonDown(MouseFlags(pEvent), CPoint(pt.x(), pt.y()));
}

void CScrollViewHost::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (m_pView == nullptr || pEvent->button() != Qt::LeftButton) {
        pEvent->ignore();
        return;
    }
    const QPoint pt = pEvent->position().toPoint();
    m_pView->OnLButtonUp(MouseFlags(pEvent), CPoint(pt.x(), pt.y()));
}

void CScrollViewHost::scrollContentsBy(int dx, int dy)
{
    // Bars moved for the view: the view's call repaints (UpdateScrollBars, ScrollWindow).
    if (m_bSyncingBars || m_pView == nullptr)
        return;
    m_pView->OnHostScroll(CPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()));
    // What stays in sight only moves: the window shifts it and repaints what comes in. A
    // frozen window shows a picture pinned at its origin.
    if (m_nFrozen == 0)
        viewport()->scroll(dx, dy);
    else
        viewport()->update();
}
