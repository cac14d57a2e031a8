#include "framework/qt/QtPreviewPages.h"

#include <QEvent>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include <algorithm>

CQtPreviewPages::CQtPreviewPages(QPrintPreviewWidget* pPreview, QPrinter* pPrinter,
                                 std::function<void(int, QPainter&)> drawPage)
    : m_pPreview(pPreview), m_pView(pPreview->findChild<QGraphicsView*>()), m_pPrinter(pPrinter),
      m_drawPage(std::move(drawPage))
{
    setObjectName(QStringLiteral("previewPages"));
    if (m_pView == nullptr)
        return;
    // Lies over the view's viewport, as its sibling: the viewport scrolls under it, and
    // every part of the viewport that is painted again has this painted over it.
    setParent(m_pView);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    m_pView->viewport()->installEventFilter(this);
    // A search tree over thousands of sheets costs more to build, in time and memory,
    // than a plain pass over them costs each time the window asks what is in sight.
    if (m_pView->scene() != nullptr)
        m_pView->scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
    FollowViewport();
    raise();
    show();
}

CQtPreviewPages::~CQtPreviewPages() = default;

bool CQtPreviewPages::IsActive() const { return m_pView != nullptr; }

void CQtPreviewPages::Restart()
{
    m_kept.clear();
    m_sheets.clear();
    m_bSheetsStale = true;
    update();
}

void CQtPreviewPages::ShowCurrent(int nPages)
{
    const int nCurrent = std::clamp(m_pPreview->currentPage(), 1, std::max(1, nPages));
    int nFirst = nCurrent;
    int nLast = nCurrent;
    // Facing pages stand in pairs 2-3, 4-5, ...; page 1 stands alone.
    if (m_pPreview->viewMode() == QPrintPreviewWidget::FacingPagesView) {
        if (nCurrent % 2 != 0)
            nFirst = std::max(1, nCurrent - 1);
        else
            nLast = std::min(nPages, nCurrent + 1);
    }
    for (int n = nFirst; n <= nLast; ++n)
        Page(n);
}

const QPicture& CQtPreviewPages::Page(int nPage)
{
    auto it = std::find_if(m_kept.begin(), m_kept.end(), [nPage](const CKeptPage& k) { return k.nPage == nPage; });
    if (it != m_kept.end()) {
        m_kept.splice(m_kept.begin(), m_kept, it);
        return m_kept.front().picture;
    }
    m_kept.push_front(CKeptPage{nPage, QPicture()});
    QPainter painter(&m_kept.front().picture);
    m_drawPage(nPage, painter);
    painter.end();
    Trim(std::max<std::size_t>(kKept, m_nInSight));
    return m_kept.front().picture;
}

void CQtPreviewPages::Trim(std::size_t nKeep)
{
    while (m_kept.size() > nKeep)
        m_kept.pop_back();
}

int CQtPreviewPages::PageOfSheet(const QGraphicsItem* pSheet)
{
    if (m_bSheetsStale && m_pView->scene() != nullptr) {
        // The window adds one sheet per page, in page order, all at the same depth; the
        // scene stacks such items in the order they were added.
        m_sheets.clear();
        const QList<QGraphicsItem*> sheets = m_pView->scene()->items(Qt::AscendingOrder);
        m_sheets.reserve(static_cast<std::size_t>(sheets.size()));
        int nPage = 0;
        for (const QGraphicsItem* pItem : sheets) {
            if (pItem->parentItem() == nullptr)
                m_sheets.emplace(pItem, ++nPage);
        }
        m_bSheetsStale = false;
    }
    const auto it = m_sheets.find(pSheet);
    return it != m_sheets.end() ? it->second : 0;
}

void CQtPreviewPages::FollowViewport()
{
    if (m_pView != nullptr)
        setGeometry(m_pView->viewport()->geometry());
}

bool CQtPreviewPages::eventFilter(QObject* pObj, QEvent* pEvent)
{
    if (m_pView != nullptr && pObj == m_pView->viewport() &&
        (pEvent->type() == QEvent::Resize || pEvent->type() == QEvent::Move || pEvent->type() == QEvent::Show))
        FollowViewport();
    return QWidget::eventFilter(pObj, pEvent);
}

void CQtPreviewPages::paintEvent(QPaintEvent* pEvent)
{
    if (m_pView == nullptr)
        return;
    const int nResolution = m_pPrinter->resolution();
    const QRectF paper(QPointF(0, 0), QSizeF(m_pPrinter->pageLayout().fullRectPixels(nResolution).size()));
    const QRect printable = m_pPrinter->pageLayout().paintRectPixels(nResolution);
    QPainterPath margins;
    margins.addRect(paper);
    margins.addRect(QRectF(printable));

    QPainter painter(this);
    const QList<QGraphicsItem*> sheets = m_pView->items(pEvent->rect());
    // Lowest page first, so the kept recordings end with the pages in sight.
    std::vector<std::pair<int, const QGraphicsItem*>> shown;
    for (const QGraphicsItem* pSheet : sheets) {
        if (const int nPage = PageOfSheet(pSheet))
            shown.emplace_back(nPage, pSheet);
    }
    std::sort(shown.begin(), shown.end());
    m_nInSight = shown.size();
    for (const auto& [nPage, pSheet] : shown) {
        const QTransform toView = pSheet->sceneTransform() * m_pView->viewportTransform();
        const QRectF onView = toView.mapRect(paper);
        if (!onView.intersects(QRectF(pEvent->rect())) || onView.height() < kLegibleHeight)
            continue;
        painter.setTransform(toView);
        painter.setClipRect(paper);
        painter.drawPicture(printable.topLeft(), Page(nPage));
        // What lies in the paper's margins is shown washed out, as the window shows it.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 180));
        painter.drawPath(margins);
    }
    m_nInSight = 0;
}
