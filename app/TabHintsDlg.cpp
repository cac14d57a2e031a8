#include "app/TabHintsDlg.h"

BEGIN_MESSAGE_MAP(CTabHintsDlg, CDialog)
END_MESSAGE_MAP()

CTabHintsDlg::CTabHintsDlg(void*) : CDialog(IDD_TABHINTS) {}

void CTabHintsDlg::OnClose() { DestroyWindow(); }

void CTabHintsDlg::OnOK() { DestroyWindow(); }

void CTabHintsDlg::OnCancel() { DestroyWindow(); }
