// The editing pane: cursor keys, typing, the mouse and wrapping at the end of a staff.
#include <algorithm>

#include "document/FretlyDoc.h"
#include "framework/UserInterface.h"
#include "framework/VirtualKeys.h"
#include "view/FretlyView.h"
#include "view/TabAccessible.h"

namespace {

// The arrow block and the keypad share their scan codes (framework/VirtualKeys.h).
// Keypad keys with Num Lock on have virtual-key codes above this and type instead.
constexpr UINT LAST_MOVING_VKEY = 50;

constexpr UINT CHAR_BACKSPACE = 8;
constexpr UINT CHAR_ENTER = 13;

bool IsLetter(char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }

// The tablature symbols a string row takes besides digits.
bool IsTabSymbol(UINT nChar)
{
    switch (nChar) {
    case 'h': case 'p': case 'b': case 'r': case '/': case '\\': case 'v': case '*':
    case '^': case 't': case 'x': case '|': case CHAR_ENTER: case CHAR_BACKSPACE: case ' ':
        return true;
    default:
        return false;
    }
}

} // namespace

void CFretlyView::Refresh() { GetDocument()->UpdateAllViews(nullptr, 0, nullptr); }

void CFretlyView::MarkModifiedAndRefresh()
{
    GetDocument()->SetModifiedFlag(true);
    Refresh();
}

void CFretlyView::OnKeyDown(UINT nChar, UINT /*nRepCnt*/, UINT nFlags)
{
    BeginInput();
    CFretlyDoc* pDoc = GetDocument();
    if (pDoc != nullptr && nChar <= LAST_MOVING_VKEY) {
        // Up and Down from a cursor over two digits land under the second digit; straight
        // after typing, one column right of the cursor.
        const int nColumnShift = m_chLastTyped != 0 ? m_nCursorWidth : m_nCursorWidth - 1;
        switch (nFlags & 0xFF) {
        case SCAN_UP:
            if (m_nCurStaff == 0 && m_nCurRow == 0) {
                RefuseMove();
                break;
            }
            m_nCurCol += nColumnShift;
            if (m_nCurRow > 0) {
                --m_nCurRow;
            } else {
                m_nCurRow = TEXT_ROW;
                --m_nCurStaff;
            }
            m_chLastTyped = 0;
            Refresh();
            break;
        case SCAN_DOWN:
            if (m_nCurStaff == pDoc->m_nStaffs - 1 && m_nCurRow == TEXT_ROW) {
                RefuseMove();
                break;
            }
            m_nCurCol += nColumnShift;
            if (m_nCurRow < TEXT_ROW) {
                ++m_nCurRow;
            } else {
                m_nCurRow = 0;
                ++m_nCurStaff;
            }
            m_chLastTyped = 0;
            Refresh();
            break;
        case SCAN_LEFT:
            if (m_nCurStaff == 0 && m_nCurCol == FIRST_MUSIC_COLUMN) {
                RefuseMove();
            } else if (--m_nCurCol < FIRST_MUSIC_COLUMN) {
                m_nCurCol = LAST_MUSIC_COLUMN;
                --m_nCurStaff;
            }
            m_chLastTyped = 0;
            Refresh();
            break;
        case SCAN_RIGHT:
            m_nCurCol += m_chLastTyped != 0 ? 1 : m_nCursorWidth;
            m_chLastTyped = 0;
            Refresh();
            break;
        case SCAN_DELETE: {
            char* row = pDoc->m_ppStaffs[m_nCurStaff]->m_rows[m_nCurRow];
            for (int i = 0; i < m_nCursorWidth; ++i)
                row[m_nCurCol + i] = FillerFor(m_nCurRow);
            m_chLastTyped = 0;
            // Erasing cells is an edit like any other: closing the window should ask to save.
            MarkModifiedAndRefresh();
            break;
        }
        default:
            break;
        }
    }
    EndInput();
    Default();
}

void CFretlyView::OnChar(UINT nChar, UINT /*nRepCnt*/, UINT /*nFlags*/)
{
    if (GetDocument() != nullptr) {
        BeginInput();
        if (m_nCurRow == TEXT_ROW)
            OnTextRowChar(nChar);
        else
            OnStringRowChar(nChar);
        EndInput();
    }
    Default();
}

void CFretlyView::BackspaceLeft()
{
    if (m_nCurCol <= FIRST_MUSIC_COLUMN) {
        if (m_nCurStaff > 0) {
            m_nCurCol = LAST_MUSIC_COLUMN;
            --m_nCurStaff;
        }
    } else {
        --m_nCurCol;
    }
}

void CFretlyView::OnTextRowChar(UINT nChar)
{
    CFretlyDoc* pDoc = GetDocument();
    if (nChar >= 0x20 && nChar <= 0x7E) {
        pDoc->m_ppStaffs[m_nCurStaff]->m_rows[TEXT_ROW][m_nCurCol] = static_cast<char>(nChar);
        ++m_nCurCol;
        WrapTextRow();
    } else if (nChar == CHAR_BACKSPACE) {
        BackspaceLeft();
        pDoc->m_ppStaffs[m_nCurStaff]->m_rows[TEXT_ROW][m_nCurCol] = ' ';
    } else if (nChar == CHAR_ENTER) {
        if (m_nCurStaff == pDoc->m_nStaffs - 1)
            pDoc->InsertStaff(m_nCurStaff);
        ++m_nCurStaff;
        m_nCurCol = FIRST_MUSIC_COLUMN;
    }
    m_chLastTyped = static_cast<char>(nChar);
    MarkModifiedAndRefresh();
}

void CFretlyView::OnStringRowChar(UINT nChar)
{
    char* row = GetDocument()->m_ppStaffs[m_nCurStaff]->m_rows[m_nCurRow];
    if (nChar >= '0' && nChar <= '9') {
        row[m_nCurCol] = static_cast<char>(nChar);
        // Typing over a two-digit number replaces it: its second digit goes.
        if (m_nCursorWidth == 2)
            row[m_nCurCol + 1] = '-';
        ++m_nCurCol;
        m_chLastTyped = static_cast<char>(nChar);
    } else if (!IsTabSymbol(nChar)) {
        return;
    } else if (nChar == '|') {
        BarLineStep();
    } else if (nChar == CHAR_ENTER) {
        ChordStep();
        m_chLastTyped = 0;
    } else if (nChar == CHAR_BACKSPACE) {
        BackspaceLeft();
        GetDocument()->m_ppStaffs[m_nCurStaff]->m_rows[m_nCurRow][m_nCurCol] = '-';
        m_chLastTyped = 0;
    } else if (nChar == ' ') {
        m_chLastTyped = 0;
        m_nCurCol += m_nCursorWidth;
    } else {
        row[m_nCurCol] = static_cast<char>(nChar);
        ++m_nCurCol;
        m_chLastTyped = static_cast<char>(nChar);
    }
    WrapStringRow();
    MarkModifiedAndRefresh();
}

void CFretlyView::BarLineStep()
{
    // The bar crosses all six strings, not just the cursor's.
    if (m_pAccessible)
        m_pAccessible->ExpectWideChange();
    GetDocument()->SetBarLine(m_nCurStaff, m_nCurCol);
    m_nCurCol += 2;
    m_chLastTyped = 0;
}

void CFretlyView::ChordStep()
{
    const CStaff& staff = *GetDocument()->m_ppStaffs[m_nCurStaff];
    const char* row = staff.m_rows[m_nCurRow];
    const int c = m_nCurCol;
    int k = 0;
    if (row[c - 1] != '-' && m_nCurRow < STRING_ROWS - 1) {
        // Walk back over the entry just typed while the string below is free there;
        // column 0 is the staff's edge, not part of any entry.
        const char* below = staff.m_rows[m_nCurRow + 1];
        while (c - 1 - k >= FIRST_MUSIC_COLUMN && below[c - 1 - k] == '-') {
            ++k;
            if (c - 1 - k < FIRST_MUSIC_COLUMN || row[c - 1 - k] == '-')
                break;
        }
    }
    m_nCurCol = c - k;
    ++m_nCurRow;
}

void CFretlyView::WrapStringRow()
{
    if (m_nCurCol <= LAST_MUSIC_COLUMN)
        return;
    CFretlyDoc* pDoc = GetDocument();
    if (m_nCurStaff != pDoc->m_nStaffs - 1) {
        m_nCurCol = FIRST_MUSIC_COLUMN;
        ++m_nCurStaff;
        return;
    }

    // Carry the entry being typed at the end of the last staff to a new staff. The row's
    // own filler ends the entry (a blank on the text row, where the bar command can get
    // here); column 77, the staff's trailing edge, is never part of an entry.
    char* row = pDoc->m_ppStaffs[m_nCurStaff]->m_rows[m_nCurRow];
    const char filler = FillerFor(m_nCurRow);
    const int nStart = m_nCurCol - 1;
    int nFirst = nStart + 1;
    if (nStart <= LAST_MUSIC_COLUMN) {
        while (nFirst - 1 > 0 && row[nFirst - 1] != filler)
            --nFirst;
    }
    char carried[STAFF_COLUMNS];
    const int nCarried = nStart + 1 - nFirst;
    for (int i = 0; i < nCarried; ++i) {
        carried[i] = row[nFirst + i];
        row[nFirst + i] = filler;
    }

    pDoc->InsertStaff(m_nCurStaff);
    m_nCurCol = FIRST_MUSIC_COLUMN;
    ++m_nCurStaff;
    char* newRow = pDoc->m_ppStaffs[m_nCurStaff]->m_rows[m_nCurRow];
    for (int i = 0; i < nCarried; ++i)
        newRow[m_nCurCol++] = carried[i];
}

void CFretlyView::WrapTextRow()
{
    if (m_nCurCol <= LAST_MUSIC_COLUMN)
        return;
    CFretlyDoc* pDoc = GetDocument();
    if (m_nCurStaff == pDoc->m_nStaffs - 1)
        pDoc->InsertStaff(m_nCurStaff);

    // Carry the word being typed; a digit or a punctuation mark ends it.
    char* row = pDoc->m_ppStaffs[m_nCurStaff]->m_rows[TEXT_ROW];
    const int nStart = std::min(m_nCurCol - 1, LAST_MUSIC_COLUMN);
    int nFirst = nStart + 1;
    while (nFirst - 1 > 0 && IsLetter(row[nFirst - 1]))
        --nFirst;
    char carried[STAFF_COLUMNS];
    const int nCarried = nStart + 1 - nFirst;
    for (int i = 0; i < nCarried; ++i) {
        carried[i] = row[nFirst + i];
        row[nFirst + i] = ' ';
    }

    ++m_nCurStaff;
    m_nCurCol = FIRST_MUSIC_COLUMN;
    char* newRow = pDoc->m_ppStaffs[m_nCurStaff]->m_rows[TEXT_ROW];
    for (int i = 0; i < nCarried; ++i)
        newRow[m_nCurCol++] = carried[i];
}

void CFretlyView::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
    CFretlyDoc* pDoc = GetDocument();
    if (pDoc != nullptr) {
        BeginInput();
        const CPoint pos = GetScrollPosition();
        // A font that measured nothing has no grid to hit; map by pixels instead of
        // dividing by zero, and let the limits do the rest.
        const int cx = std::max(m_cxChar, 1);
        const int cy = std::max(m_cyChar, 1);
        const int yGrid = point.y + pos.y - m_yMargin;
        m_nCurCol = std::clamp((point.x + pos.x - m_xMargin) / cx, FIRST_MUSIC_COLUMN, LAST_MUSIC_COLUMN);
        m_nCurStaff = std::clamp(yGrid / (8 * cy), 0, pDoc->m_nStaffs - 1);
        m_nCurRow = std::clamp((yGrid - 8 * cy * m_nCurStaff) / cy, 0, TEXT_ROW);
        m_chLastTyped = 0;
        Refresh();
        EndInput();
    }
    Default();
}

void CFretlyView::OnLButtonUp(UINT, CPoint)
{
    Default();
}
