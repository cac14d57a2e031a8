// The editing pane: creation, layout, the update rule and drawing.
#include "view/FretlyView.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "document/FretlyDoc.h"
#include "framework/UserInterface.h"
#include "resources/Resource.h"
#include "view/TabAccessible.h"

BEGIN_MESSAGE_MAP(CFretlyView, CScrollView)
ON_COMMAND(ID_EDIT_VERTICALBAR, OnEditVerticalBar)
ON_COMMAND(ID_EDIT_INSERTSTAFF, OnEditInsertStaff)
ON_COMMAND(ID_EDIT_DELETESTAFF, OnEditDeleteStaff)
ON_COMMAND(ID_EDIT_DELETECOLUMN, OnEditDeleteColumn)
ON_COMMAND(ID_EDIT_INSERTCOLUMN, OnEditInsertColumn)
ON_COMMAND(ID_EDIT_MERGEUP, OnEditMergeUp)
ON_COMMAND(ID_EDIT_MOVEDOWN, OnEditMoveDown)
ON_COMMAND_BASE(ID_FILE_PRINT, CView::OnFilePrint)
ON_COMMAND_BASE(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
ON_COMMAND_BASE(ID_FILE_PRINT_PREVIEW, CView::OnFilePrintPreview)
END_MESSAGE_MAP()

namespace {

constexpr int LINES_PER_STAFF = 8;
constexpr COLORREF CURSOR_TEXT = RGB(255, 255, 255);
constexpr COLORREF CURSOR_STRING_BK = RGB(0, 0, 255);
constexpr COLORREF CURSOR_TEXT_ROW_BK = RGB(255, 0, 0);

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Integer division rounding towards minus infinity, for coordinates above the grid.
long long FloorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

} // namespace

CFretlyView::CFretlyView() : m_xMargin(8), m_yMargin(8), m_bInitialUpdatePending(1) {}

CFretlyView::~CFretlyView() = default;

CFretlyDoc* CFretlyView::GetDocument() const { return static_cast<CFretlyDoc*>(m_pDocument); }

int CFretlyView::OnCreate()
{
    if (CScrollView::OnCreate() == -1)
        return -1;
    m_pFont = std::make_unique<CFont>();
    // The view still works without the font (the device's default face is used), so
    // say so and carry on.
    if (!m_pFont->CreatePointFont(100, "Courier New"))
        AfxMessageBox(IDS_CREATE_FONT_FAILED, MB_OK);
    return 0;
}

CSize CFretlyView::ComputeTotalSize() const
{
    const int nStaffs = GetDocument() != nullptr ? GetDocument()->m_nStaffs : 0;
    return CSize(2 * (m_xMargin + 39 * m_cxChar), 2 * (4 * nStaffs * m_cyChar + m_yMargin));
}

void CFretlyView::OnInitialUpdate()
{
    CScrollView::OnInitialUpdate();

    if (GetHost() != nullptr) {
        if (std::unique_ptr<CDC> pDC = GetHost()->GetDC()) {
            CFont* pOldFont = pDC->SelectObject(m_pFont.get());
            CSize size = pDC->GetTextExtent("A");
            m_cxChar = size.cx;
            m_cyChar = size.cy;
            pDC->SelectObject(pOldFont);
        }
    }

    m_sizeTotal = ComputeTotalSize();
    SetScrollSizes(MM_TEXT, m_sizeTotal);

    m_nCurStaff = 0;
    m_nCurRow = 0;
    m_nCurCol = 1;
    m_nCursorWidth = 1;
    m_chLastTyped = 0;
    m_bInitialUpdatePending = 0;
    // A document opened into a view that was scrolled down shows its top, where the
    // cursor now is, not the old document's scroll position.
    ScrollToPosition(CPoint(0, 0));
    if (m_pAccessible)
        m_pAccessible->OnDocumentReset();
}

void CFretlyView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    // The document updates its views while it is being made, before the cell size and
    // the cursor exist.
    if (m_bInitialUpdatePending)
        return;
    CFretlyDoc* pDoc = GetDocument();
    if (pDoc == nullptr)
        return;
    const int nInputStaff = std::exchange(m_nInputStaff, -1);

    if (m_nCurCol > LAST_MUSIC_COLUMN) {
        if (m_nCurStaff == pDoc->m_nStaffs - 1)
            pDoc->InsertStaff(m_nCurStaff);
        m_nCurCol = 1;
        ++m_nCurStaff;
    }

    // Staffs that came or went move every staff after them.
    const bool bStaffsMoved = pDoc->m_bStaffCountChanged;
    if (pDoc->m_bStaffCountChanged) {
        m_sizeTotal = ComputeTotalSize();
        SetScrollSizes(MM_TEXT, m_sizeTotal);
        pDoc->m_bStaffCountChanged = false;
    }

    // Keep the cursor's whole staff in sight.
    const CRect client = GetClientRect();
    CPoint pos = GetScrollPosition();
    const int x = m_nCurCol == 1 ? 0 : m_xMargin + m_nCurCol * m_cxChar;
    const int y = m_yMargin + LINES_PER_STAFF * m_nCurStaff * m_cyChar;
    if (x < pos.x)
        pos.x = x;
    else if (x > pos.x + client.Width())
        pos.x = x - client.Width();
    if (y < pos.y)
        pos.y = y;
    else if (y + LINES_PER_STAFF * m_cyChar > pos.y + client.Height())
        pos.y = y + LINES_PER_STAFF * m_cyChar - client.Height();
    // A scroll shifts what the window shows (or has it all repainted), so input still
    // repaints only its staffs.
    ScrollToPosition(pos);

    if (nInputStaff >= 0 && !bStaffsMoved && m_cxChar > 0 && m_cyChar > 0) {
        InvalidateRect(StaffBand(nInputStaff));
        if (m_nCurStaff != nInputStaff)
            InvalidateRect(StaffBand(m_nCurStaff));
    } else {
        CScrollView::OnUpdate(pSender, lHint, pHint);
    }
    if (m_pAccessible)
        m_pAccessible->OnViewUpdated();
}

CRect CFretlyView::StaffBand(int nStaff) const
{
    const CPoint pos = GetScrollPosition();
    const int top = m_yMargin + LINES_PER_STAFF * nStaff * m_cyChar - pos.y;
    return CRect(m_xMargin - m_cxChar - pos.x, top, m_xMargin + (STAFF_COLUMNS + 1) * m_cxChar - pos.x,
                 top + LINES_PER_STAFF * m_cyChar);
}

CAccessibleText* CFretlyView::GetAccessibleText()
{
    if (!m_pAccessible)
        m_pAccessible = std::make_unique<CTabAccessible>(*this);
    return m_pAccessible.get();
}

void CFretlyView::ReleaseAccessibleText() { m_pAccessible.reset(); }

bool CFretlyView::OnCmdMsg(UINT nID)
{
    if (m_pAccessible)
        m_pAccessible->ExpectWideChange();
    return CScrollView::OnCmdMsg(nID);
}

void CFretlyView::RefuseMove()
{
    AfxBeep();
    if (m_pAccessible)
        m_pAccessible->OnMoveRefused();
}

void CFretlyView::GetPaintedCursor(int& nCol, int& nWidth) const
{
    // A two-digit fret number is one unit for the cursor, unless a number is being
    // typed digit by digit. The cursor's cells stay within the music columns 1-76.
    nWidth = 1;
    const CFretlyDoc* pDoc = GetDocument();
    if (pDoc == nullptr || m_nCurStaff < 0 || m_nCurStaff >= pDoc->m_nStaffs || m_nCurRow < 0 || m_nCurRow > TEXT_ROW ||
        nCol < 0 || nCol >= STAFF_COLUMNS)
        return;
    const char* row = pDoc->m_ppStaffs[m_nCurStaff]->m_rows[m_nCurRow];
    if (m_nCurRow != TEXT_ROW && m_chLastTyped == 0 && IsDigit(row[nCol])) {
        if (nCol - 1 >= FIRST_MUSIC_COLUMN && IsDigit(row[nCol - 1])) {
            nWidth = 2;
            --nCol;
        } else if (nCol + 1 <= LAST_MUSIC_COLUMN && IsDigit(row[nCol + 1])) {
            nWidth = 2;
        }
    }
}

void CFretlyView::GetStaffsToPaint(CDC* pDC, int& nFirst, int& nLast) const
{
    const int nStaffs = GetDocument()->m_nStaffs;
    if (m_cyChar <= 0) {
        // Lines without height all fall on one line: only the cursor's staff matters.
        nFirst = nLast = std::clamp(m_nCurStaff, 0, nStaffs - 1);
        return;
    }
    // Only the staffs whose band of 8 lines meets the paint area; the per-staff
    // visibility test then settles the edges.
    const CRect clip = pDC->GetClipRect();
    const long long band = static_cast<long long>(LINES_PER_STAFF) * m_cyChar;
    const long long first = FloorDiv(static_cast<long long>(clip.top) - m_yMargin, band);
    const long long last = FloorDiv(static_cast<long long>(clip.bottom) - 1 - m_yMargin, band);
    nFirst = static_cast<int>(std::clamp<long long>(first, 0, nStaffs));
    nLast = static_cast<int>(std::clamp<long long>(last, -1, nStaffs - 1));
}

void CFretlyView::OnDraw(CDC* pDC)
{
    CFretlyDoc* pDoc = GetDocument();
    if (pDoc == nullptr || pDoc->m_nStaffs < 1)
        return;

    pDC->SelectObject(m_pFont.get());

    int nFirst = 0;
    int nLast = -1;
    GetStaffsToPaint(pDC, nFirst, nLast);
    for (int s = nFirst; s <= nLast; ++s) {
        const int top = m_yMargin + LINES_PER_STAFF * s * m_cyChar;
        const CRect rect(m_xMargin, top, m_xMargin + STAFF_COLUMNS * m_cxChar, top + STAFF_ROWS * m_cyChar);
        if (!pDC->RectVisible(rect))
            continue;
        const CStaff& staff = *pDoc->m_ppStaffs[s];
        for (int r = 0; r < STAFF_ROWS; ++r) {
            const char* row = staff.m_rows[r];
            pDC->TextOut(m_xMargin, top + r * m_cyChar, row, static_cast<int>(strnlen(row, STAFF_COLUMNS)));
        }
    }

    if (m_nCurStaff > pDoc->m_nStaffs - 1 || m_nCurStaff < 0) {
        m_nCurStaff = 0;
        m_nCurRow = 1;
        m_nCurCol = 1;
    }

    const COLORREF crOldText = pDC->GetTextColor();
    const COLORREF crOldBk = pDC->GetBkColor();
    const int nOldBkMode = pDC->GetBkMode();

    pDC->SetTextColor(CURSOR_TEXT);
    pDC->SetBkColor(m_nCurRow == TEXT_ROW ? CURSOR_TEXT_ROW_BK : CURSOR_STRING_BK);
    pDC->SetBkMode(OPAQUE);

    const char* row = pDoc->m_ppStaffs[m_nCurStaff]->m_rows[m_nCurRow];
    const int nColBefore = m_nCurCol;
    GetPaintedCursor(m_nCurCol, m_nCursorWidth);
    // Over three digits or more a later paint moves the cursor on, with no update.
    if (m_pAccessible && m_nCurCol != nColBefore)
        m_pAccessible->OnViewUpdated();

    pDC->TextOut(m_xMargin + m_nCurCol * m_cxChar,
                 m_yMargin + (LINES_PER_STAFF * m_nCurStaff + m_nCurRow) * m_cyChar, row + m_nCurCol,
                 m_nCursorWidth);

    pDC->SetTextColor(crOldText);
    pDC->SetBkColor(crOldBk);
    pDC->SetBkMode(nOldBkMode);
}
