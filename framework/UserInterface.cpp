#include "framework/UserInterface.h"

#include "framework/Dialog.h"

#include "framework/StringTable.h"

namespace {
CUserInterface* g_pUI = nullptr;
}

int AfxDefaultButton(UINT nType)
{
    const UINT type = nType & MB_TYPEMASK;
    const UINT def = nType & MB_DEFMASK;
    switch (type) {
    case MB_OKCANCEL:
        return def == MB_DEFBUTTON2 ? IDCANCEL : IDOK;
    case MB_YESNO:
        return def == MB_DEFBUTTON2 ? IDNO : IDYES;
    case MB_YESNOCANCEL:
        return def == MB_DEFBUTTON3 ? IDCANCEL : def == MB_DEFBUTTON2 ? IDNO : IDYES;
    default:
        return IDOK;
    }
}

bool CUserInterface::GetFileName(const CFileDialogRequest&, std::string&) { return false; }

bool CUserInterface::CreateModeless(CDialog&) { return false; }

void CUserInterface::ActivateModeless(CDialog&) {}

void CUserInterface::DestroyModeless(CDialog& dlg) { dlg.SetHasWindow(false); }

std::string CUserInterface::LoadIconImage(UINT, int) { return {}; }

void AfxSetUserInterface(CUserInterface* pUI) { g_pUI = pUI; }

CUserInterface* AfxGetUserInterface() { return g_pUI; }

int AfxMessageBox(const std::string& text, UINT nType)
{
    if (g_pUI == nullptr)
        return AfxDefaultButton(nType);
    return g_pUI->MessageBox(text, AfxLoadString(AFX_IDS_APP_TITLE), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType) { return AfxMessageBox(AfxLoadString(nIDPrompt), nType); }

void AfxBeep()
{
    if (g_pUI != nullptr)
        g_pUI->Beep();
}

namespace {

const CIconEntry* g_pIcons = nullptr;
std::size_t g_nIcons = 0;

} // namespace

void AfxSetProgramIcons(const CIconEntry* pEntries, std::size_t nCount)
{
    g_pIcons = pEntries;
    g_nIcons = nCount;
}

const char* AfxIconResourceName(UINT nID)
{
    for (std::size_t i = 0; i < g_nIcons; ++i)
        if (g_pIcons[i].nID == nID)
            return g_pIcons[i].pszName;
    return nullptr;
}
