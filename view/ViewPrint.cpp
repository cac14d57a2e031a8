// Printing: the tablature as plain monospaced text, a page-number line on every page, the
// header block on the first page(s), then as many whole staffs per page as fit. Every page
// is worked out from its number alone, so any range prints the same as a whole print.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "document/FretlyDoc.h"
#include "framework/PrintInfo.h"
#include "framework/UserInterface.h"
#include "resources/Resource.h"
#include "view/FretlyView.h"

namespace {

constexpr int kLinesPerStaff = 8;

// The comment's next line: everything up to the first CR or LF.
std::string TakeLine(std::string& strRest)
{
    std::string line = strRest.substr(0, strRest.find_first_of("\r\n"));
    // The line and its CR LF go; a last line without them empties the text.
    if (strRest.size() < line.size() + 2)
        strRest.clear();
    else
        strRest.erase(0, line.size() + 2);
    return line;
}

} // namespace

bool CFretlyView::OnPreparePrinting(CPrintInfo* pInfo) { return DoPreparePrinting(pInfo); }

int CFretlyView::CountHeaderLines(int nPart) const
{
    const CFretlyDoc* pDoc = GetDocument();
    int nCount = 0;
    if (nPart == 1) {
        nCount = pDoc->m_bFairUse ? 7 : 4;
        for (const std::string* pField : {&pDoc->m_strAlbum, &pDoc->m_strArtist, &pDoc->m_strSongTitle,
                                          &pDoc->m_strTranscriber, &pDoc->m_strEmail}) {
            if (!pField->empty())
                ++nCount;
        }
        ++nCount;
    }
    const std::string& comments = pDoc->m_strComments;
    if (!comments.empty()) {
        nCount += static_cast<int>(std::count(comments.begin(), comments.end(), '\n'));
        if (comments.back() != '\n')
            ++nCount;
        ++nCount;
    }
    return nCount;
}

// A page holds at least one body line, whatever the printer reports, so that the page
// arithmetic never divides by zero.
int CFretlyView::PrintLinesPerPage() const { return std::max(1, m_cyPrintable / std::max(1, m_cyChar)); }

int CFretlyView::HeaderPageLines() const
{
    // Labels and banner stay together on page 1 even on a page too short for them; the
    // lines they overrun are not counted again, so the comment does not repeat.
    const int L = CountHeaderLines(1);
    const int B = L - CountHeaderLines(2);
    return L - std::max(0, B - PrintLinesPerPage());
}

int CFretlyView::HeaderPages(int nLines) const
{
    const int lpp = PrintLinesPerPage();
    return nLines / lpp + (nLines % lpp > 0 ? 1 : 0);
}

void CFretlyView::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    m_pSavedFont = std::move(m_pFont);
    m_pFont = std::make_unique<CFont>();
    // Without the printer font the job still prints, in whatever font the printer has.
    if (!m_pFont->CreatePointFont(100, "Courier New", pDC))
        AfxMessageBox(IDS_CREATE_FONT_FAILED, MB_OK);
    m_cxSavedChar = m_cxChar;
    m_cySavedChar = m_cyChar;
    pDC->SelectObject(m_pFont.get());
    const CSize cell = pDC->GetTextExtent("A");
    m_cxChar = cell.cx;
    m_cyChar = cell.cy;

    const int cy = m_cyChar;
    m_xMargin = 8 * m_cxChar;
    const int t = static_cast<int>(1.5 * cy);
    m_yMargin = t + 8;
    m_cyPrintable = pDC->GetDeviceCaps(VERTRES) - t;
    m_cyStaffPrint = kLinesPerStaff * cy;
    m_cyHeader = CountHeaderLines(1) * cy;
    // A page too short for one staff still takes one (cut off at the foot of the page)
    // rather than none, which would leave the staffs unprinted and the count undefined.
    m_nStaffsPerPage = std::max(1, m_cyStaffPrint > 0 ? m_cyPrintable / m_cyStaffPrint : 1);

    const int nStaffs = GetDocument()->m_nStaffs;
    const int L = HeaderPageLines();
    const int HP = HeaderPages(L);
    const int R = L - (HP - 1) * PrintLinesPerPage();
    m_nStaffsFirstPage =
        m_cyStaffPrint > 0 ? std::max(0, (m_cyPrintable - R * cy) / m_cyStaffPrint) : 0;
    if (nStaffs < m_nStaffsFirstPage)
        m_nStaffsFirstPage = nStaffs;

    const int nRest = nStaffs - m_nStaffsFirstPage;
    const int nPages = HP + nRest / m_nStaffsPerPage + (nRest % m_nStaffsPerPage > 0 ? 1 : 0);
    pInfo->SetMaxPage(static_cast<UINT>(nPages));
}

void CFretlyView::PrintLine(CDC* pDC, int k, std::string_view text) const
{
    pDC->TextOut(m_xMargin, m_yMargin + k * m_cyChar, text.data(), static_cast<int>(text.size()));
}

int CFretlyView::PrintCommentFlow(CDC* pDC, std::string strRest, int k) const
{
    const int lpp = PrintLinesPerPage();
    // Only on a page that is full already before the comment does this test differ from
    // testing after each line; there the comment starts on the next page instead.
    while (!strRest.empty() && k < lpp) {
        const std::string line = TakeLine(strRest);
        PrintLine(pDC, k, line);
        ++k;
    }
    // The blank line that closes the comment block, once the comment has ended.
    if (strRest.empty())
        ++k;
    return k;
}

int CFretlyView::PrintStaffBlock(CDC* pDC, int s, int k) const
{
    const CFretlyDoc* pDoc = GetDocument();
    // k == 0: a staff page always takes its first staff, even one taller than the page.
    while (s < pDoc->m_nStaffs && (k * m_cyChar + m_cyStaffPrint <= m_cyPrintable || k == 0)) {
        const CStaff& staff = *pDoc->m_ppStaffs[static_cast<std::size_t>(s)];
        for (int nRow = 0; nRow < STAFF_ROWS; ++nRow)
            PrintLine(pDC, k + nRow, std::string_view(staff.m_rows[nRow], strnlen(staff.m_rows[nRow], ROW_SIZE)));
        k += kLinesPerStaff;
        ++s;
    }
    return k;
}

void CFretlyView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    const CFretlyDoc* pDoc = GetDocument();
    const int p = static_cast<int>(pInfo->m_nCurPage);
    const int lpp = PrintLinesPerPage();
    pDC->SelectObject(m_pFont.get());

    char szNumber[16];
    std::snprintf(szNumber, sizeof szNumber, "%d", p);
    const std::string strPage =
        pDoc->m_strSongTitle.empty() ? "Page " + std::string(szNumber) : pDoc->m_strSongTitle + " - Page " + szNumber;
    pDC->TextOut(pDC->GetDeviceCaps(HORZRES) - m_cxChar * static_cast<int>(strPage.size()) - 8, 8, strPage.data(),
                 static_cast<int>(strPage.size()));

    const int B = CountHeaderLines(1) - CountHeaderLines(2);
    const int HP = HeaderPages(HeaderPageLines());
    int k = 0;
    if (p == 1) {
        if (pDoc->m_bFairUse) {
            for (const char* line : g_szDisclaimer)
                PrintLine(pDC, k++, line);
        }
        for (const char* line : g_szBanner)
            PrintLine(pDC, k++, line);
        ++k;
        const std::pair<const char*, const std::string*> fields[] = {
            {g_szLabelArtist, &pDoc->m_strArtist},           {g_szLabelTitle, &pDoc->m_strSongTitle},
            {g_szLabelAlbum, &pDoc->m_strAlbum},             {g_szLabelTranscriber, &pDoc->m_strTranscriber},
            {g_szLabelEmail, &pDoc->m_strEmail}};
        for (const auto& [label, pValue] : fields) {
            if (!pValue->empty())
                PrintLine(pDC, k++, std::string(label) + *pValue);
        }
        ++k;
        if (!pDoc->m_strComments.empty())
            k = PrintCommentFlow(pDC, pDoc->m_strComments, k);
        PrintStaffBlock(pDC, 0, k);
    } else if (p <= HP) {
        // Comment lines the earlier pages printed.
        std::string strRest = pDoc->m_strComments;
        for (int nSkip = (p - 1) * lpp - std::min(B, lpp); nSkip > 0 && !strRest.empty(); --nSkip)
            TakeLine(strRest);
        k = strRest.empty() ? 1 : PrintCommentFlow(pDC, strRest, 0);
        PrintStaffBlock(pDC, 0, k);
    } else {
        PrintStaffBlock(pDC, m_nStaffsFirstPage + (p - HP - 1) * m_nStaffsPerPage, 0);
    }
}

void CFretlyView::OnEndPrinting(CDC* pDC, CPrintInfo*)
{
    // The context lets go of the printer font before the font goes.
    if (pDC != nullptr && pDC->GetCurrentFont() == m_pFont.get())
        pDC->SelectObject(nullptr);
    m_pFont = std::move(m_pSavedFont);
    m_cxChar = m_cxSavedChar;
    m_cyChar = m_cySavedChar;
    m_xMargin = 8;
    m_yMargin = 8;
    m_pSavedFont.reset();
}
