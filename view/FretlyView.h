#pragma once
// The editing pane: the tablature on a character grid, the cursor, keys, mouse and the
// edit commands.
#include <memory>
#include <string>
#include <string_view>

#include "framework/View.h"

class CFretlyDoc;
class CTabAccessible;

class CFretlyView : public CScrollView {
public:
    CFretlyView();
    ~CFretlyView() override;

    CFretlyDoc* GetDocument() const;

    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnDraw(CDC* pDC) override;

    // Printing (ViewPrint.cpp)
    bool OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;

    // Window messages
    int OnCreate() override;
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;

    // Edit commands
    void OnEditVerticalBar();
    void OnEditInsertStaff();
    void OnEditDeleteStaff();
    void OnEditDeleteColumn();
    void OnEditInsertColumn();
    void OnEditMergeUp();
    void OnEditMoveDown();

    // The cursor as the next paint shows it: nCol its first column, nWidth 2 where it
    // covers a two-digit fret number. Takes the current column in nCol.
    void GetPaintedCursor(int& nCol, int& nWidth) const;

    // Commands may change more than the cursor's row: assistive technology is warned.
    bool OnCmdMsg(UINT nID) override;

    // Assistive technology (view/TabAccessible.h).
    CAccessibleText* GetAccessibleText() override;
    void ReleaseAccessibleText() override;

    // Fields, in declaration order
    std::unique_ptr<CFont> m_pFont;
    std::unique_ptr<CFont> m_pSavedFont;
    int m_cxChar = 0;
    int m_cyChar = 0;
    int m_cxSavedChar = 0;
    int m_cySavedChar = 0;
    int m_xMargin;
    int m_yMargin;
    CSize m_sizeTotal;
    int m_nCurStaff = 0;
    int m_nCurRow = 0;
    int m_nCurCol = 1;
    int m_nCursorWidth = 1;
    char m_chLastTyped = 0;
    int m_bInitialUpdatePending;
    int m_cyPrintable = 0;
    int m_cyStaffPrint = 0;
    int m_cyHeader = 0;
    int m_nStaffsFirstPage = 0;
    int m_nStaffsPerPage = 0;

private:
    // Printed lines of the header block (nPart 1) or of the comment part alone (else).
    int CountHeaderLines(int nPart) const;
    // Printing layout shared by OnBeginPrinting and OnPrint.
    int PrintLinesPerPage() const;
    int HeaderPageLines() const;
    int HeaderPages(int nLines) const;
    // Draws comment lines from the front of strRest as body lines from k on; returns k.
    int PrintCommentFlow(CDC* pDC, std::string strRest, int k) const;
    // Draws whole staffs from s on as body lines from k on, while they fit; returns k.
    int PrintStaffBlock(CDC* pDC, int s, int k) const;
    void PrintLine(CDC* pDC, int k, std::string_view text) const;

    void WrapStringRow();
    void WrapTextRow();

    // The scroll extent for the document's current staff count.
    CSize ComputeTotalSize() const;
    // Staffs that may intersect the DC's paint area, as a range of indices (empty when
    // nFirst > nLast).
    void GetStaffsToPaint(CDC* pDC, int& nFirst, int& nLast) const;
    // Text row and string row character handling (OnChar).
    void OnTextRowChar(UINT nChar);
    void OnStringRowChar(UINT nChar);
    // Enter on a string row: one string down, back to the start of the entry just typed.
    void ChordStep();
    // Backspace's move: one column left, to column 76 of the previous staff from column 1.
    void BackspaceLeft();
    // '|' and Insert Vertical Bar: the bar across the six strings, cursor two columns on.
    void BarLineStep();
    // Every change ends here: mark the document modified, then let the views update.
    void MarkModifiedAndRefresh();
    void Refresh();
    // A move that cannot be made: the beep, and the place said again to a screen reader.
    void RefuseMove();
    // A key or click changes at most the cursor's staff and the one it moves to; the
    // update after it repaints those two bands alone when no staff came or went (-1: no
    // input running, the update repaints everything).
    void BeginInput() { m_nInputStaff = m_nCurStaff; }
    void EndInput() { m_nInputStaff = -1; }
    // The device rectangle of a staff's eight lines, with a cell spare either side.
    CRect StaffBand(int nStaff) const;
    int m_nInputStaff = -1;

    // Made only when assistive technology asks for it.
    std::unique_ptr<CTabAccessible> m_pAccessible;

    DECLARE_MESSAGE_MAP()
};
