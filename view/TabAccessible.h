#pragma once
// The editing pane as assistive technology sees it: the tablature's text a line or a range
// at a time (view/TabText.h), the cursor as the caret, words for where the cursor is, and
// an event for every move and edit. Made only when assistive technology asks (the view's
// GetAccessibleText); until then the view does nothing for it.
#include <string>
#include <vector>

#include "framework/AccessibleText.h"
#include "view/TabText.h"

class CFretlyView;

class CTabAccessible : public CAccessibleText {
public:
    explicit CTabAccessible(CFretlyView& view);

    // CAccessibleText
    std::string GetName() const override;
    std::string GetDescription() const override { return m_words; }
    long long GetLength() const override;
    void GetText(long long nStart, long long nEnd, std::string& out) const override;
    void GetLineAt(long long nOffset, long long& nStart, long long& nEnd) const override;
    void GetWordAt(long long nOffset, long long& nStart, long long& nEnd) const override;
    long long GetCaret() const override;
    void SetCaret(long long nOffset) override;
    CRect GetCharRect(long long nOffset) const override;
    long long GetOffsetAt(CPoint pt) const override;
    void ScrollTo(long long nStart, long long nEnd) override;
    int GetValue() const override;
    int GetMinimumValue() const override { return 1; }
    int GetMaximumValue() const override;
    void SetValue(int nValue) override;

    // From the view. Every update (every move and edit ends in one): report what changed.
    void OnViewUpdated();
    // A new document in the view: all of the text changed.
    void OnDocumentReset();
    // A move was refused with a beep: the place is said again.
    void OnMoveRefused();
    // The next change may run on over many staffs (Insert Column, Move Down).
    void ExpectFarChange();

    // Staffs reported per event when a whole document changes, so no event is huge.
    static constexpr int STAFFS_PER_EVENT = 1024;
    // How far a far-reaching change is followed.
    static constexpr int FAR_CHANGE_STAFFS = 256;

private:
    CTabText Text() const;
    // The cursor as the next paint shows it: staff, row and the column of its first cell.
    void GetCursor(int& nStaff, int& nRow, int& nCol) const;
    std::string Describe(bool bWithStaff) const;
    // Copies staffs [nFirst, nFirst + nCount) of the document as they are now.
    void TakeSnapshot(int nFirst, int nCount);
    void SnapshotAroundCursor();
    void ReportTextChange();
    // The whole text replaced, in events of at most STAFFS_PER_EVENT staffs each.
    void ReportNewText();
    void ReportPlace(bool bForceStaff);
    void MoveCursorTo(int nStaff, int nRow, int nCol);

    CFretlyView& m_view;
    // Staffs around the cursor as they were after the last update: what the next change
    // is compared with. Edits only ever touch the cursor's staff, the one before it
    // (Backspace at column 1) and those after it.
    std::vector<char> m_snapshot;
    int m_nSnapFirst = 0;
    int m_nSnapCount = 0;
    int m_nSnapStaffs = 0;   // the document's staff count then
    bool m_bNewTextReported = false;
    long long m_nCaret = -1;
    int m_nStaff = -1;       // the staff last named in the words
    int m_nStaffs = -1;
    std::string m_words;
};
