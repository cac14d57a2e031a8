#include "framework/Dialog.h"

#include "framework/UserInterface.h"

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value)
{
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_controls.GetControlText(nIDC);
    else
        pDX->m_controls.SetControlText(nIDC, value);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_controls.GetCheck(nIDC);
    else
        pDX->m_controls.SetCheck(nIDC, value);
}

int CDialog::DoModal()
{
    m_bEnded = false;
    m_nModalResult = IDCANCEL;
    CUserInterface* pUI = AfxGetUserInterface();
    if (pUI == nullptr)
        return IDCANCEL;
    m_nModalResult = pUI->RunModal(*this);
    return m_nModalResult;
}

bool CDialog::UpdateData(bool bSaveAndValidate)
{
    if (m_pControls == nullptr)
        return false;
    CDataExchange dx(*m_pControls, bSaveAndValidate);
    DoDataExchange(&dx);
    return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::OnOK()
{
    if (!UpdateData(true))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bEnded = true;
}

CDialog::~CDialog()
{
    if (m_bHasWindow)
        DestroyWindow();
}

bool CDialog::Create(UINT nIDTemplate)
{
    m_nIDTemplate = nIDTemplate;
    // A window made again after an earlier one ended starts afresh.
    m_bEnded = false;
    m_nModalResult = 0;
    CUserInterface* pUI = AfxGetUserInterface();
    if (pUI == nullptr)
        return false;
    return pUI->CreateModeless(*this);
}

void CDialog::DestroyWindow()
{
    CUserInterface* pUI = AfxGetUserInterface();
    if (pUI != nullptr && m_bHasWindow)
        pUI->DestroyModeless(*this);
    m_bHasWindow = false;
}

void CDialog::OnClose() { DestroyWindow(); }
