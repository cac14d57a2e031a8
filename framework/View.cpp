#include "framework/View.h"

#include <algorithm>
#include <utility>

#include "framework/Document.h"
#include "framework/UserInterface.h"
#include "framework/FrameworkResource.h"

const CSize CScrollView::sizeDefault(0, 0);

CView::~CView()
{
    if (m_pDocument != nullptr)
        m_pDocument->RemoveView(this);
}

CRect CView::GetClientRect() const { return m_pHost ? m_pHost->GetClientRect() : CRect(); }

void CView::Invalidate(bool bErase)
{
    if (m_pHost != nullptr)
        m_pHost->Invalidate(bErase);
}

void CView::InvalidateRect(const CRect& rect)
{
    if (m_pHost != nullptr && !rect.IsRectEmpty())
        m_pHost->InvalidateRect(rect);
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(true); }

void CView::OnPrepareDC(CDC*) {}

int CView::OnCreate() { return 0; }
void CView::OnKeyDown(UINT, UINT, UINT) {}
void CView::OnChar(UINT, UINT, UINT) {}
void CView::OnLButtonDown(UINT, CPoint) {}
void CView::OnLButtonUp(UINT, CPoint) {}

bool CView::OnCmdMsg(UINT nID)
{
    const UINT nOuter = std::exchange(m_nCmdRunning, nID);
    const bool bHandled = CCmdTarget::OnCmdMsg(nID);
    m_nCmdRunning = nOuter;
    return bHandled;
}

void CScrollView::SetScrollSizes(int, CSize sizeTotal, const CSize& sizePage, const CSize& sizeLine)
{
    m_totalLog = sizeTotal;
    m_pageDev = sizePage;
    if (m_pageDev.cx == 0)
        m_pageDev.cx = m_totalLog.cx / 10;
    if (m_pageDev.cy == 0)
        m_pageDev.cy = m_totalLog.cy / 10;
    m_lineDev = sizeLine;
    if (m_lineDev.cx == 0)
        m_lineDev.cx = m_pageDev.cx / 10;
    if (m_lineDev.cy == 0)
        m_lineDev.cy = m_pageDev.cy / 10;
    m_ptScroll = ClampScroll(m_ptScroll);
    NotifyHost();
}

CPoint CScrollView::ClampScroll(CPoint pt) const
{
    CRect client = GetClientRect();
    int maxX = std::max(0, m_totalLog.cx - client.Width());
    int maxY = std::max(0, m_totalLog.cy - client.Height());
    return CPoint(std::clamp(pt.x, 0, maxX), std::clamp(pt.y, 0, maxY));
}

void CScrollView::ScrollToPosition(CPoint pt)
{
    CPoint clamped = ClampScroll(pt);
    if (clamped == m_ptScroll)
        return;
    const CPoint old = std::exchange(m_ptScroll, clamped);
    if (GetHost() != nullptr && GetHost()->ScrollWindow(old.x - clamped.x, old.y - clamped.y, clamped))
        return;
    NotifyHost();
    Invalidate(true);
}

void CScrollView::OnHostScroll(CPoint pt)
{
    m_ptScroll = ClampScroll(pt);
}

void CScrollView::OnHostResize()
{
    m_ptScroll = ClampScroll(m_ptScroll);
    NotifyHost();
}

void CScrollView::NotifyHost()
{
    if (GetHost() != nullptr)
        GetHost()->UpdateScrollBars(m_totalLog, m_pageDev, m_lineDev, m_ptScroll);
}

void CScrollView::OnPrepareDC(CDC* pDC)
{
    pDC->SetMapMode(MM_TEXT);
    if (pDC->IsPrinting())
        pDC->SetViewportOrg(CPoint(0, 0));
    else
        pDC->SetViewportOrg(CPoint(-m_ptScroll.x, -m_ptScroll.y));
}
