// The editing pane for assistive technology: the text, the caret, the words for the
// cursor's place, and the events for moves and edits.
#include "view/TabAccessible.h"

#include <algorithm>
#include <cstring>

#include "document/FretlyDoc.h"
#include "view/FretlyView.h"

namespace {

constexpr size_t STAFF_BYTES = sizeof(CStaff::m_rows);

const char* StaffBytes(const CStaff& staff) { return &staff.m_rows[0][0]; }

// Text of staffs [nFirst, nLast] of a snapshot starting at staff nSnapFirst.
void AppendSnapshotStaffs(const std::vector<char>& snapshot, int nSnapFirst, int nFirst, int nLast, std::string& out)
{
    CStaff staff;
    for (int s = nFirst; s <= nLast; ++s) {
        std::memcpy(&staff.m_rows[0][0], snapshot.data() + (s - nSnapFirst) * STAFF_BYTES, STAFF_BYTES);
        CTabText::AppendStaff(staff, out);
    }
}

} // namespace

CTabAccessible::CTabAccessible(CFretlyView& view) : m_view(view)
{
    int nStaff = 0, nRow = 0, nCol = 0;
    GetCursor(nStaff, nRow, nCol);
    m_nCaret = CTabText::OffsetOf(nStaff, nRow, nCol);
    m_nStaff = nStaff;
    m_nRow = nRow;
    m_nStaffs = m_view.GetDocument() != nullptr ? m_view.GetDocument()->m_nStaffs : 0;
    m_words = Describe(true);
    SnapshotAroundCursor();
}

CTabText CTabAccessible::Text() const { return CTabText(*m_view.GetDocument()); }

std::string CTabAccessible::GetName() const { return "Tablature"; }

long long CTabAccessible::GetLength() const { return m_view.GetDocument() != nullptr ? Text().GetLength() : 0; }

void CTabAccessible::GetText(long long nStart, long long nEnd, std::string& out) const
{
    if (m_view.GetDocument() != nullptr)
        Text().GetText(nStart, nEnd, out);
}

void CTabAccessible::GetLineAt(long long nOffset, long long& nStart, long long& nEnd) const
{
    nStart = nEnd = 0;
    if (m_view.GetDocument() != nullptr)
        Text().GetLineAt(nOffset, nStart, nEnd);
}

void CTabAccessible::GetWordAt(long long nOffset, long long& nStart, long long& nEnd) const
{
    nStart = nEnd = 0;
    if (m_view.GetDocument() != nullptr)
        Text().GetWordAt(nOffset, nStart, nEnd);
}

void CTabAccessible::GetCursor(int& nStaff, int& nRow, int& nCol) const
{
    const CFretlyDoc* pDoc = m_view.GetDocument();
    const int nStaffs = pDoc != nullptr ? pDoc->m_nStaffs : 0;
    nStaff = std::clamp(m_view.m_nCurStaff, 0, std::max(0, nStaffs - 1));
    nRow = std::clamp(m_view.m_nCurRow, 0, TEXT_ROW);
    int nWidth = 1;
    nCol = m_view.m_nCurCol;
    if (nStaffs > 0 && nStaff == m_view.m_nCurStaff)
        m_view.GetPaintedCursor(nCol, nWidth);
    nCol = std::clamp(nCol, 0, STAFF_COLUMNS - 1);
}

long long CTabAccessible::GetCaret() const
{
    int nStaff = 0, nRow = 0, nCol = 0;
    GetCursor(nStaff, nRow, nCol);
    return CTabText::OffsetOf(nStaff, nRow, nCol);
}

std::string CTabAccessible::Describe(bool bWithStaff) const
{
    const CFretlyDoc* pDoc = m_view.GetDocument();
    if (pDoc == nullptr || pDoc->m_nStaffs == 0)
        return std::string();
    int nStaff = 0, nRow = 0, nCol = 0;
    GetCursor(nStaff, nRow, nCol);
    std::string words;
    if (bWithStaff)
        words = AfxDescribeStaff(nStaff, pDoc->m_nStaffs) + ", ";
    return words + AfxDescribeCell(*pDoc->m_ppStaffs[nStaff], nRow, nCol);
}

void CTabAccessible::MoveCursorTo(int nStaff, int nRow, int nCol)
{
    CFretlyDoc* pDoc = m_view.GetDocument();
    if (pDoc == nullptr || pDoc->m_nStaffs == 0)
        return;
    // Where a click would put it: music columns only, the empty line counts as the text row.
    m_view.m_nCurStaff = std::clamp(nStaff, 0, pDoc->m_nStaffs - 1);
    m_view.m_nCurRow = std::clamp(nRow, 0, TEXT_ROW);
    m_view.m_nCurCol = std::clamp(nCol, FIRST_MUSIC_COLUMN, LAST_MUSIC_COLUMN);
    m_view.m_chLastTyped = 0;
    pDoc->UpdateAllViews(nullptr, 0, nullptr);
}

void CTabAccessible::SetCaret(long long nOffset)
{
    if (m_view.GetDocument() == nullptr)
        return;
    const CTabTextPos pos = Text().PositionAt(nOffset);
    MoveCursorTo(pos.nStaff, pos.nLine, pos.nCol);
}

CRect CTabAccessible::GetCharRect(long long nOffset) const
{
    if (GetLength() == 0)
        return CRect();
    const CTabTextPos pos = Text().PositionAt(nOffset);
    const CPoint scroll = m_view.GetScrollPosition();
    const long long nLine = static_cast<long long>(pos.nStaff) * CTabText::LINES_PER_STAFF + pos.nLine;
    const int x = m_view.m_xMargin + pos.nCol * m_view.m_cxChar - scroll.x;
    const long long y = m_view.m_yMargin + nLine * m_view.m_cyChar - scroll.y;
    const int yClamped = static_cast<int>(std::clamp<long long>(y, -(1LL << 30), 1LL << 30));
    return CRect(x, yClamped, x + m_view.m_cxChar, yClamped + m_view.m_cyChar);
}

long long CTabAccessible::GetOffsetAt(CPoint pt) const
{
    const CFretlyDoc* pDoc = m_view.GetDocument();
    if (pDoc == nullptr || pDoc->m_nStaffs == 0)
        return -1;
    const CPoint scroll = m_view.GetScrollPosition();
    const int cx = std::max(m_view.m_cxChar, 1);
    const int cy = std::max(m_view.m_cyChar, 1);
    const long long xGrid = static_cast<long long>(pt.x) + scroll.x - m_view.m_xMargin;
    const long long yGrid = static_cast<long long>(pt.y) + scroll.y - m_view.m_yMargin;
    if (xGrid < 0 || yGrid < 0)
        return -1;
    const long long nLine = yGrid / cy;
    const long long nStaff = nLine / CTabText::LINES_PER_STAFF;
    const long long nCol = xGrid / cx;
    if (nStaff >= pDoc->m_nStaffs || nCol > STAFF_COLUMNS)
        return -1;
    return CTabText::OffsetOf(static_cast<int>(nStaff), static_cast<int>(nLine % CTabText::LINES_PER_STAFF),
                              static_cast<int>(nCol));
}

void CTabAccessible::ScrollTo(long long nStart, long long /*nEnd*/)
{
    if (GetLength() == 0)
        return;
    const CTabTextPos pos = Text().PositionAt(nStart);
    const CPoint scroll = m_view.GetScrollPosition();
    const long long y = m_view.m_yMargin + static_cast<long long>(pos.nStaff) * CTabText::LINES_PER_STAFF * m_view.m_cyChar;
    const CRect client = m_view.GetClientRect();
    // Only when the staff is not in sight already, and then with its top at the top.
    if (y >= scroll.y && y + CTabText::LINES_PER_STAFF * m_view.m_cyChar <= scroll.y + client.Height())
        return;
    m_view.ScrollToPosition(CPoint(scroll.x, static_cast<int>(std::min<long long>(y, 1LL << 30))));
}

int CTabAccessible::GetValue() const
{
    int nStaff = 0, nRow = 0, nCol = 0;
    GetCursor(nStaff, nRow, nCol);
    return nStaff + 1;
}

int CTabAccessible::GetMaximumValue() const
{
    return m_view.GetDocument() != nullptr ? std::max(1, m_view.GetDocument()->m_nStaffs) : 1;
}

void CTabAccessible::SetValue(int nValue)
{
    int nStaff = 0, nRow = 0, nCol = 0;
    GetCursor(nStaff, nRow, nCol);
    MoveCursorTo(nValue - 1, nRow, nCol);
}

void CTabAccessible::TakeSnapshot(int nFirst, int nCount)
{
    const CFretlyDoc* pDoc = m_view.GetDocument();
    const int nStaffs = pDoc != nullptr ? pDoc->m_nStaffs : 0;
    nFirst = std::clamp(nFirst, 0, nStaffs);
    nCount = std::clamp(nCount, 0, nStaffs - nFirst);
    m_nSnapFirst = nFirst;
    m_nSnapCount = nCount;
    m_nSnapStaffs = nStaffs;
    m_snapshot.resize(static_cast<size_t>(nCount) * STAFF_BYTES);
    for (int i = 0; i < nCount; ++i)
        std::memcpy(m_snapshot.data() + i * STAFF_BYTES, StaffBytes(*pDoc->m_ppStaffs[nFirst + i]), STAFF_BYTES);
}

void CTabAccessible::SnapshotAroundCursor()
{
    int nStaff = 0, nRow = 0, nCol = 0;
    GetCursor(nStaff, nRow, nCol);
    // The staff before (Backspace at column 1 erases there), the cursor's, and the next (a
    // wrap carries a word onto it, Merge Up pulls from it); staffs inserted or deleted are
    // found by the change in count.
    TakeSnapshot(nStaff - 1, SNAPSHOT_STAFFS);
}

void CTabAccessible::ExpectWideChange()
{
    m_bWideChange = true;
    int nStaff = 0, nRow = 0, nCol = 0;
    GetCursor(nStaff, nRow, nCol);
    TakeSnapshot(nStaff - 1, FAR_CHANGE_STAFFS + 1);
}

bool CTabAccessible::ReportTextChange()
{
    const CFretlyDoc* pDoc = m_view.GetDocument();
    const int nStaffs = pDoc != nullptr ? pDoc->m_nStaffs : 0;
    const int nDelta = nStaffs - m_nSnapStaffs;
    const int a = m_nSnapFirst;
    const int b = m_nSnapFirst + m_nSnapCount - 1;
    auto same = [&](int nOld, int nNew) {
        return std::memcmp(m_snapshot.data() + (nOld - a) * STAFF_BYTES, StaffBytes(*pDoc->m_ppStaffs[nNew]),
                           STAFF_BYTES) == 0;
    };
    // Staffs before the snapshot are never touched, and those after it only move by the
    // change in count: the change lies between the first and the last staff that differ.
    int f = a;
    while (f <= b && f < nStaffs && same(f, f))
        ++f;
    if (f > b && nDelta == 0)
        return false;
    // No edit adds or removes more than a staff or two: this is another document, read
    // into the view (its first update comes before the view's reset).
    if (nDelta > 2 || nDelta < -2) {
        ReportNewText();
        m_bNewTextReported = true;
        return true;
    }
    int nOldLast = b;
    int nNewLast = b + nDelta;
    while (nOldLast >= f && nNewLast >= f && same(nOldLast, nNewLast)) {
        --nOldLast;
        --nNewLast;
    }
    std::string removed;
    std::string inserted;
    AppendSnapshotStaffs(m_snapshot, a, f, nOldLast, removed);
    for (int s = f; s <= nNewLast; ++s)
        CTabText::AppendStaff(*pDoc->m_ppStaffs[s], inserted);
    // Down to the cells that changed: typing a digit replaces one character.
    size_t nHead = 0;
    while (nHead < removed.size() && nHead < inserted.size() && removed[nHead] == inserted[nHead])
        ++nHead;
    size_t nTail = 0;
    while (nTail < removed.size() - nHead && nTail < inserted.size() - nHead &&
           removed[removed.size() - 1 - nTail] == inserted[inserted.size() - 1 - nTail])
        ++nTail;
    if (nHead + nTail == removed.size() && nHead + nTail == inserted.size())
        return true;
    if (GetSink() != nullptr) {
        const std::string_view r(removed.data() + nHead, removed.size() - nHead - nTail);
        const std::string_view i(inserted.data() + nHead, inserted.size() - nHead - nTail);
        GetSink()->OnTextChanged(f * CTabText::STAFF_CHARS + static_cast<long long>(nHead), r, i);
    }
    return true;
}

void CTabAccessible::ReportPlace(bool bForceStaff, bool bTextChanged, int nStaff, int nRow, int nCol)
{
    const int nStaffs = m_view.GetDocument() != nullptr ? m_view.GetDocument()->m_nStaffs : 0;
    const long long nCaret = CTabText::OffsetOf(nStaff, nRow, nCol);
    const bool bStaffChanged = bForceStaff || nStaff != m_nStaff || nStaffs != m_nStaffs;
    const bool bCaretMoved = nCaret != m_nCaret;
    // The words follow the caret's cell and what it holds: nothing else changes them.
    if (!bCaretMoved && !bStaffChanged && !bTextChanged)
        return;
    std::string words = Describe(bStaffChanged);
    m_nCaret = nCaret;
    m_nStaff = nStaff;
    m_nRow = nRow;
    m_nStaffs = nStaffs;
    if (bCaretMoved && GetSink() != nullptr)
        GetSink()->OnCaretMoved(nCaret);
    if (bStaffChanged && GetSink() != nullptr)
        GetSink()->OnValueChanged();
    if (words != m_words) {
        m_words = std::move(words);
        if (GetSink() != nullptr)
            GetSink()->OnDescriptionChanged();
    }
}

void CTabAccessible::OnViewUpdated()
{
    m_bNewTextReported = false;
    // Typing, Delete and Backspace within a staff change the cursor's row alone: where the
    // cursor stayed on its row and nothing wider was done, that row is all there is to check.
    bool bTextChanged = true;
    const CFretlyDoc* pDoc = m_view.GetDocument();
    const int nCurStaff = m_view.m_nCurStaff;
    const int nCurRow = m_view.m_nCurRow;
    if (!m_bWideChange && pDoc != nullptr && pDoc->m_nStaffs == m_nSnapStaffs && nCurStaff == m_nStaff &&
        nCurRow == m_nRow && nCurStaff >= m_nSnapFirst && nCurStaff < m_nSnapFirst + m_nSnapCount) {
        const char* pCopy = m_snapshot.data() + (nCurStaff - m_nSnapFirst) * STAFF_BYTES + nCurRow * ROW_SIZE;
        bTextChanged = std::memcmp(pCopy, pDoc->m_ppStaffs[nCurStaff]->m_rows[nCurRow], STAFF_COLUMNS) != 0;
        // Nothing changed and the cursor's fields are as they were: so is all that is told.
        if (!bTextChanged && m_view.m_nCurCol == m_nRawCol && m_view.m_chLastTyped == m_chRawLastTyped)
            return;
    }
    m_bWideChange = false;
    m_nRawCol = m_view.m_nCurCol;
    m_chRawLastTyped = m_view.m_chLastTyped;
    if (bTextChanged)
        bTextChanged = ReportTextChange();
    int nStaff = 0, nRow = 0, nCol = 0;
    GetCursor(nStaff, nRow, nCol);
    ReportPlace(false, bTextChanged, nStaff, nRow, nCol);
    // What was compared is still what the document holds, unless the cursor left its staff.
    if (bTextChanged || std::max(0, nStaff - 1) != m_nSnapFirst || m_nSnapCount > SNAPSHOT_STAFFS)
        SnapshotAroundCursor();
}

void CTabAccessible::ReportNewText()
{
    const CFretlyDoc* pDoc = m_view.GetDocument();
    const int nStaffs = pDoc != nullptr ? pDoc->m_nStaffs : 0;
    if (GetSink() == nullptr)
        return;
    // What the old document held is gone; as with any widget whose text is replaced,
    // only its length is known. From the end, so each event's place stays right.
    std::string chunk;
    for (int s = m_nSnapStaffs; s > 0;) {
        const int n = std::min(s, STAFFS_PER_EVENT);
        s -= n;
        chunk.assign(static_cast<size_t>(n * CTabText::STAFF_CHARS), ' ');
        GetSink()->OnTextChanged(s * CTabText::STAFF_CHARS, chunk, std::string_view());
    }
    for (int s = 0; s < nStaffs; s += STAFFS_PER_EVENT) {
        chunk.clear();
        const int nLast = std::min(nStaffs, s + STAFFS_PER_EVENT);
        for (int t = s; t < nLast; ++t)
            CTabText::AppendStaff(*pDoc->m_ppStaffs[t], chunk);
        GetSink()->OnTextChanged(s * CTabText::STAFF_CHARS, std::string_view(), chunk);
    }
}

void CTabAccessible::OnDocumentReset()
{
    // Once for the new document, whether its first update told it already or not.
    if (!m_bNewTextReported)
        ReportNewText();
    m_bNewTextReported = false;
    m_nCaret = -1;
    int nStaff = 0, nRow = 0, nCol = 0;
    GetCursor(nStaff, nRow, nCol);
    ReportPlace(true, true, nStaff, nRow, nCol);
    SnapshotAroundCursor();
}

void CTabAccessible::OnMoveRefused()
{
    // Same words again: the cursor stays where it was.
    m_words = Describe(false);
    if (GetSink() != nullptr)
        GetSink()->OnDescriptionChanged();
}
