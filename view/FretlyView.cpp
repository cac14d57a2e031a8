#include "view/FretlyView.h"

#include "document/FretlyDoc.h"
#include "resources/Resource.h"

// Skeleton: the behaviour comes with the editing-view work.
BEGIN_MESSAGE_MAP(CFretlyView, CScrollView)
ON_COMMAND(ID_EDIT_VERTICALBAR, OnEditVerticalBar)
ON_COMMAND(ID_EDIT_INSERTSTAFF, OnEditInsertStaff)
ON_COMMAND(ID_EDIT_DELETESTAFF, OnEditDeleteStaff)
ON_COMMAND(ID_EDIT_DELETECOLUMN, OnEditDeleteColumn)
ON_COMMAND(ID_EDIT_INSERTCOLUMN, OnEditInsertColumn)
ON_COMMAND(ID_EDIT_MERGEUP, OnEditMergeUp)
ON_COMMAND(ID_EDIT_MOVEDOWN, OnEditMoveDown)
END_MESSAGE_MAP()

CFretlyView::CFretlyView() : m_xMargin(8), m_yMargin(8), m_bInitialUpdatePending(1) {}
CFretlyView::~CFretlyView() = default;
CFretlyDoc* CFretlyView::GetDocument() const { return static_cast<CFretlyDoc*>(m_pDocument); }
void CFretlyView::OnInitialUpdate() { CScrollView::OnInitialUpdate(); }
void CFretlyView::OnUpdate(CView* s, LPARAM l, CObject* h) { CScrollView::OnUpdate(s, l, h); }
void CFretlyView::OnDraw(CDC*) {}
int CFretlyView::OnCreate() { return 0; }
void CFretlyView::OnKeyDown(UINT, UINT, UINT) {}
void CFretlyView::OnChar(UINT, UINT, UINT) {}
void CFretlyView::OnLButtonDown(UINT, CPoint) {}
void CFretlyView::OnLButtonUp(UINT, CPoint) {}
void CFretlyView::OnEditVerticalBar() {}
void CFretlyView::OnEditInsertStaff() {}
void CFretlyView::OnEditDeleteStaff() {}
void CFretlyView::OnEditDeleteColumn() {}
void CFretlyView::OnEditInsertColumn() {}
void CFretlyView::OnEditMergeUp() {}
void CFretlyView::OnEditMoveDown() {}
void CFretlyView::WrapStringRow() {}
void CFretlyView::WrapTextRow() {}
