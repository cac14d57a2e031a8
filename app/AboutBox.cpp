#include "app/AboutBox.h"

#include "app/FretlyApp.h"
#include "framework/WinApp.h"

BEGIN_MESSAGE_MAP(CAboutBox, CDialog)
ON_COMMAND(IDC_TABHINTS, OnTablatureHints)
END_MESSAGE_MAP()

CAboutBox::CAboutBox() : CDialog(IDD_ABOUTBOX) {}

void CAboutBox::OnTablatureHints()
{
    // The box ends as if OK had been pressed, then the Hints window opens or comes forward.
    EndDialog(IDOK);
    if (auto* pApp = dynamic_cast<CFretlyApp*>(AfxGetApp()))
        pApp->OnTabHints();
}
