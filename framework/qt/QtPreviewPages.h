#pragma once
// The pages of a print preview, drawn when they are shown. The preview window's own page
// widget lays out, counts, scrolls and zooms empty sheets of paper; this layer lies over
// its view and draws on each sheet in sight the page that belongs there, kept as a
// recording for the few pages seen last. So opening the preview costs about the same for
// ten pages as for ten thousand; what still grows with the page count is the page
// widget's own empty sheet and scene item per page (about 3 KB each).
#include <QPicture>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <list>
#include <unordered_map>

class QGraphicsItem;
class QGraphicsView;
class QPrintPreviewWidget;
class QPrinter;

class CQtPreviewPages : public QWidget {
    Q_OBJECT
public:
    // drawPage(n, painter) draws page n with painter, in the printer's page coordinates.
    CQtPreviewPages(QPrintPreviewWidget* pPreview, QPrinter* pPrinter,
                    std::function<void(int, QPainter&)> drawPage);
    ~CQtPreviewPages() override;

    // False when the preview widget has no view to lie over (the pages are then drawn
    // the old way, all at once).
    bool IsActive() const;

    // The pages were laid out again (paper, orientation, printer): nothing drawn before
    // holds, and the sheets are new.
    void Restart();
    // Draws the pages that the current page brings into sight, where not drawn yet, of
    // nPages pages in all.
    void ShowCurrent(int nPages);

    // How many pages are held drawn: kKept, or the number in sight when more are.
    int KeptCount() const { return static_cast<int>(m_kept.size()); }
    static constexpr int kKept = 12;
    // Sheets shown smaller than this (pixels high) stay blank: no one reads text that small.
    static constexpr int kLegibleHeight = 40;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    bool eventFilter(QObject* pObj, QEvent* pEvent) override;

private:
    struct CKeptPage {
        int nPage;
        QPicture picture;
    };
    // The recording of page n, drawn now if it is not kept.
    const QPicture& Page(int nPage);
    void Trim(std::size_t nKeep);
    // The page number of a sheet of the preview's scene (0: not a sheet).
    int PageOfSheet(const QGraphicsItem* pSheet);
    void FollowViewport();

    QPrintPreviewWidget* m_pPreview;
    QPointer<QGraphicsView> m_pView;
    QPrinter* m_pPrinter;
    std::function<void(int, QPainter&)> m_drawPage;
    std::list<CKeptPage> m_kept;   // most recently used first
    std::unordered_map<const QGraphicsItem*, int> m_sheets;   // sheet to page number
    bool m_bSheetsStale = true;
    std::size_t m_nInSight = 0;   // while painting: pages in sight, all to be kept
};
