// The editing pane: the edit commands. Each hands the work on the staffs to the
// document, moves the cursor where the command takes it, and ends like every edit.
#include "document/FretlyDoc.h"
#include "framework/UserInterface.h"
#include "resources/Resource.h"
#include "view/FretlyView.h"

void CFretlyView::OnEditVerticalBar()
{
    BarLineStep();
    WrapStringRow();
    m_chLastTyped = 0;
    MarkModifiedAndRefresh();
}

void CFretlyView::OnEditInsertStaff()
{
    GetDocument()->InsertStaff(m_nCurStaff);
    ++m_nCurStaff;
    m_nCurCol = FIRST_MUSIC_COLUMN;
    m_chLastTyped = 0;
    MarkModifiedAndRefresh();
}

void CFretlyView::OnEditDeleteStaff()
{
    if (AfxMessageBox(IDS_DELETE_STAFF_QUESTION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) != IDYES)
        return;
    CFretlyDoc* pDoc = GetDocument();
    // On the only staff the document leaves a new empty staff in its place, so the
    // cursor always has a staff to stand on.
    pDoc->DeleteStaff(m_nCurStaff);
    if (m_nCurStaff > pDoc->m_nStaffs - 1)
        m_nCurStaff = pDoc->m_nStaffs - 1;
    m_chLastTyped = 0;
    MarkModifiedAndRefresh();
}

void CFretlyView::OnEditDeleteColumn()
{
    GetDocument()->DeleteColumn(m_nCurStaff, m_nCurCol);
    m_chLastTyped = 0;
    MarkModifiedAndRefresh();
}

void CFretlyView::OnEditInsertColumn()
{
    GetDocument()->InsertColumns(m_nCurStaff, m_nCurCol, 1);
    m_chLastTyped = 0;
    MarkModifiedAndRefresh();
}

void CFretlyView::OnEditMergeUp()
{
    GetDocument()->MergeUp(m_nCurStaff);
    m_chLastTyped = 0;
    MarkModifiedAndRefresh();
}

void CFretlyView::OnEditMoveDown()
{
    GetDocument()->MoveDown(m_nCurStaff, m_nCurCol);
    m_chLastTyped = 0;
    MarkModifiedAndRefresh();
}
