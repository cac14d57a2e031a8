#pragma once
// The window of a scrolling view: a scroll area that gives the view its paint, key, mouse,
// resize and scroll events, and maps the view's scroll sizes and position to its bars.
#include <QAbstractScrollArea>
#include <QPixmap>

#include "framework/View.h"

class CScrollViewHost : public QAbstractScrollArea, public CViewHost {
    Q_OBJECT
public:
    // Attaches itself to pView as its host and runs the view's OnCreate.
    explicit CScrollViewHost(CScrollView* pView, QWidget* pParent = nullptr);
    ~CScrollViewHost() override;

    CScrollView* GetView() const { return m_pView; }
    // OnCreate's result: 0, or -1 when the view refused creation.
    int GetCreateResult() const { return m_nCreateResult; }

    // CViewHost
    CRect GetClientRect() const override;
    void Invalidate(bool bErase) override;
    void InvalidateRect(const CRect& rect) override;
    void UpdateScrollBars(CSize sizeTotal, CSize sizePage, CSize sizeLine, CPoint ptPos) override;
    bool ScrollWindow(int dx, int dy, CPoint ptPos) override;
    std::unique_ptr<CDC> GetDC() override;
    void FreezeForPrinting(bool bFreeze) override;

protected:
    bool event(QEvent* pEvent) override;
    bool focusNextPrevChild(bool bNext) override;
    bool viewportEvent(QEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void DeliverKey(QKeyEvent* pEvent);
    // A click in a bar's trough scrolls by the view's page amount, not by the thumb size.
    void OnBarAction(Qt::Orientation orientation, int nAction);

    CScrollView* m_pView;
    int m_nCreateResult = 0;
    bool m_bSyncingBars = false;   // bars being set from the view: no echo back
    CSize m_sizePage;              // the view's page amounts
    int m_nFrozen = 0;             // print jobs holding the view's drawing fields
    QPixmap m_frozen;              // what the window showed when the job began
};
