#include "framework/DC.h"

#include <utility>

namespace {
bool g_bFailFontCreation = false;
}

bool CFont::CreatePointFont(int nPointSize, const std::string& faceName, CDC*)
{
    m_nPointSize = nPointSize;
    m_strFaceName = faceName;
    m_bCreated = !g_bFailFontCreation && nPointSize > 0;
    return m_bCreated;
}

void CFont::SetFailCreation(bool bFail) { g_bFailFontCreation = bFail; }

CFont* CDC::SelectObject(CFont* pFont)
{
    CFont* pOld = m_pFont;
    m_pFont = pFont;
    OnFontSelected(pFont);
    return pOld;
}

bool CDC::TextOut(int x, int y, std::string_view text)
{
    DrawText(x + m_ptViewportOrg.x, y + m_ptViewportOrg.y, text);
    return true;
}

COLORREF CDC::SetTextColor(COLORREF c)
{
    return std::exchange(m_crText, c);
}

COLORREF CDC::SetBkColor(COLORREF c)
{
    return std::exchange(m_crBk, c);
}

int CDC::SetBkMode(int nMode)
{
    return std::exchange(m_nBkMode, nMode);
}

CPoint CDC::SetViewportOrg(CPoint pt)
{
    return std::exchange(m_ptViewportOrg, pt);
}

int CDC::SetMapMode(int nMode)
{
    return std::exchange(m_nMapMode, nMode);
}

bool CDC::RectVisible(const CRect& rect) const
{
    CRect dev(rect.left + m_ptViewportOrg.x, rect.top + m_ptViewportOrg.y,
              rect.right + m_ptViewportOrg.x, rect.bottom + m_ptViewportOrg.y);
    return dev.Intersects(GetClipBox());
}

CRect CDC::GetClipRect() const
{
    CRect dev = GetClipBox();
    return CRect(dev.left - m_ptViewportOrg.x, dev.top - m_ptViewportOrg.y, dev.right - m_ptViewportOrg.x,
                 dev.bottom - m_ptViewportOrg.y);
}
