#include "app/FretlyApp.h"

#include "app/AboutBox.h"
#include "app/MainFrame.h"
#include "app/RecoveryGuard.h"
#include "document/FretlyDoc.h"
#include "framework/DocTemplate.h"
#include "framework/UserInterface.h"
#include "resources/Resource.h"
#include "view/FretlyView.h"

BEGIN_MESSAGE_MAP(CFretlyApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
ON_COMMAND(ID_HELP_TABHINTS, OnTabHints)
ON_COMMAND_BASE(ID_FILE_NEW, CWinApp::OnFileNew)
ON_COMMAND_BASE(ID_FILE_OPEN, CWinApp::OnFileOpen)
ON_COMMAND_BASE(ID_FILE_PRINT_SETUP, CWinApp::OnFilePrintSetup)
END_MESSAGE_MAP()

CFretlyApp::CFretlyApp() : m_dlgHints(nullptr) {}

CFretlyApp::~CFretlyApp()
{
    // The Hints window and the frame go before the objects they show.
    m_dlgHints.DestroyWindow();
    DeleteDocTemplate();
}

bool CFretlyApp::InitInstance()
{
    Enable3dControlsStatic();
    LoadStdProfileSettings(4);

    AddDocTemplate(new CSingleDocTemplate(
        IDR_MAINFRAME, AfxNewTabDocument, [] { return std::make_unique<CMainFrame>(); },
        [] { return std::make_unique<CFretlyView>(); }));

    // No shell DDE on this platform; the desktop learns the document type, its icons
    // and the open and print commands on every start, unless a package installed them.
    RegisterShellFileTypes(true);

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo))
        return false;

    auto* pFrame = dynamic_cast<CMainFrame*>(m_pMainWnd);
    if (pFrame == nullptr)
        return false;
    pFrame->DragAcceptFiles(true);
    m_dlgHints.Create(IDD_TABHINTS);
    pFrame->SetActiveWindow();

    // Work left unsaved by an earlier run is offered back before the header dialog.
    if (CRecoveryGuard* pRecovery = AfxGetRecoveryGuard())
        pRecovery->OnStartup(pFrame, m_pMainWnd->GetActiveDocument());

    // The document's own first call to the header dialog was skipped while it was set
    // up; this one shows it over the visible main window.
    if (auto* pDoc = dynamic_cast<CFretlyDoc*>(m_pMainWnd->GetTopLevelFrame()->GetActiveDocument()))
        pDoc->OnViewHeaders();
    return true;
}

int CFretlyApp::ExitInstance()
{
    m_dlgHints.DestroyWindow();
    return CWinApp::ExitInstance();
}

void CFretlyApp::OnAppAbout()
{
    CAboutBox aboutDlg;
    aboutDlg.DoModal();
}

void CFretlyApp::OnTabHints()
{
    if (m_dlgHints.HasWindow()) {
        if (CUserInterface* pUI = AfxGetUserInterface())
            pUI->ActivateModeless(m_dlgHints);
        return;
    }
    m_dlgHints.Create(IDD_TABHINTS);
}
