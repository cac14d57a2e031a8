#pragma once
// Views: the document's windows. A toolkit gives a view its window through CViewHost
// and delivers the window messages by calling the On... members.
#include <memory>

#include "framework/CmdTarget.h"
#include "framework/DC.h"

class CAccessibleText;
class CDocument;
class CPrintInfo;

// What a view needs of its window; the Qt host implements it, tests fake it.
class CViewHost {
public:
    virtual ~CViewHost() = default;
    // Client area in device units, origin (0, 0).
    virtual CRect GetClientRect() const = 0;
    // Asks for a repaint of the whole client area.
    virtual void Invalidate(bool bErase) = 0;
    // Asks for a repaint of part of the client area (device units); a window that cannot
    // repaint a part repaints the whole.
    virtual void InvalidateRect(const CRect& /*rect*/) { Invalidate(true); }
    // Scroll range and position changed (scroll views).
    virtual void UpdateScrollBars(CSize sizeTotal, CSize sizePage, CSize sizeLine, CPoint ptPos) = 0;
    // The view scrolled to ptPos, its contents moving by (dx, dy) device units: the window
    // moves its bars there and shifts what it shows, repainting only what comes in. False
    // when it cannot; the view then updates the bars and has the whole repainted.
    virtual bool ScrollWindow(int /*dx*/, int /*dy*/, CPoint /*ptPos*/) { return false; }
    // A device context of the window for measuring text.
    virtual std::unique_ptr<CDC> GetDC() = 0;
    // A print or preview job holds the view's drawing fields from its OnBeginPrinting to
    // its OnEndPrinting; the window repaints meanwhile from what it showed before.
    virtual void FreezeForPrinting(bool /*bFreeze*/) {}
};

class CView : public CCmdTarget {
public:
    CView() = default;
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }

    void SetHost(CViewHost* pHost) { m_pHost = pHost; }
    CViewHost* GetHost() const { return m_pHost; }
    CRect GetClientRect() const;
    void Invalidate(bool bErase = true);
    void InvalidateRect(const CRect& rect);

    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnPrepareDC(CDC* pDC);

    // Window messages, delivered by the host. The defaults do nothing ("Default").
    virtual int OnCreate();
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);

    // The framework's default message processing.
    void Default() {}

    // What assistive technology is told of the view's text, made on the first call and
    // kept until released; nullptr for views without text. Until then the view does no
    // work for assistive technology at all.
    virtual CAccessibleText* GetAccessibleText() { return nullptr; }
    virtual void ReleaseAccessibleText() {}

    // Standard print commands (ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW),
    // bound by views that print. ID_FILE_PRINT_DIRECT prints without the Print dialog,
    // on the printer the command line named or else the default one.
    void OnFilePrint();
    void OnFilePrintPreview();

    // Notes which command is running, so OnFilePrint can tell a direct print.
    bool OnCmdMsg(UINT nID) override;

    // Printing hooks, called by the print and preview loops in this order:
    // OnPreparePrinting (false ends the job), OnBeginPrinting, for each page OnPrepareDC
    // and OnPrint, OnEndPrinting.
    virtual bool OnPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    // Opens the job: the Print dialog unless the job is direct or a preview. False when
    // cancelled or no printer is there.
    bool DoPreparePrinting(CPrintInfo* pInfo);

protected:
    CDocument* m_pDocument = nullptr;

private:
    friend class CDocument;
    CViewHost* m_pHost = nullptr;
    UINT m_nCmdRunning = 0;
};

class CScrollView : public CView {
public:
    static const CSize sizeDefault;

    void SetScrollSizes(int nMapMode, CSize sizeTotal, const CSize& sizePage = sizeDefault,
                        const CSize& sizeLine = sizeDefault);
    CPoint GetScrollPosition() const { return m_ptScroll; }
    // Scrolls, keeping the position within the scroll range.
    void ScrollToPosition(CPoint pt);
    CSize GetTotalSize() const { return m_totalLog; }
    CSize GetPageSize() const { return m_pageDev; }
    CSize GetLineSize() const { return m_lineDev; }

    // The host's scroll bars moved (user scrolling).
    void OnHostScroll(CPoint pt);
    // The host's client area changed size: keep the position within range.
    void OnHostResize();

    void OnPrepareDC(CDC* pDC) override;

private:
    CPoint ClampScroll(CPoint pt) const;
    void NotifyHost();

    CSize m_totalLog;
    CSize m_pageDev;
    CSize m_lineDev;
    CPoint m_ptScroll;
};
