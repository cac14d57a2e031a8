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
    // The next change may touch more than the cursor's row, or run on over many staffs
    // (the edit commands, a bar line). Without this, an update that leaves the cursor on
    // its staff and row is taken to have changed that row at most.
    void ExpectWideChange();

    // Staffs reported per event when a whole document changes, so no event is huge.
    static constexpr int STAFFS_PER_EVENT = 1024;
    // How far a far-reaching change is followed.
    static constexpr int FAR_CHANGE_STAFFS = 256;
    // Staffs compared after every update: the cursor's and one either side.
    static constexpr int SNAPSHOT_STAFFS = 3;

private:
    CTabText Text() const;
    // The cursor as the next paint shows it: staff, row and the column of its first cell.
    void GetCursor(int& nStaff, int& nRow, int& nCol) const;
    std::string Describe(bool bWithStaff) const;
    // Copies staffs [nFirst, nFirst + nCount) of the document as they are now.
    void TakeSnapshot(int nFirst, int nCount);
    void SnapshotAroundCursor();
    // True when the text may have changed (then it was reported).
    bool ReportTextChange();
    // The whole text replaced, in events of at most STAFFS_PER_EVENT staffs each.
    void ReportNewText();
    void ReportPlace(bool bForceStaff, bool bTextChanged, int nStaff, int nRow, int nCol);
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
    int m_nStaff = -1;       // the cursor's staff and row at the last update
    int m_nRow = -1;
    bool m_bWideChange = false;
    // The view's cursor column and last typed character at the last update.
    int m_nRawCol = -1;
    char m_chRawLastTyped = 0;
    int m_nStaffs = -1;
    std::string m_words;
};
