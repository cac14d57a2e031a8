// The view's print commands. Printing is not built yet: the commands reach the view
// through the routing and say honestly that they failed.
#include "framework/UserInterface.h"
#include "framework/View.h"
#include "resources/Resource.h"

BEGIN_MESSAGE_MAP(CView, CCmdTarget)
ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
ON_COMMAND(ID_FILE_PRINT_DIRECT, OnFilePrint)
ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

void CView::OnFilePrint() { AfxMessageBox(AFX_IDP_COMMAND_FAILURE); }

void CView::OnFilePrintPreview() { AfxMessageBox(AFX_IDP_COMMAND_FAILURE); }
