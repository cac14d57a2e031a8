#pragma once
// The application: start-up, the document template and the About and Tab Hints commands.
#include "app/TabHintsDlg.h"
#include "resources/Version.h"
#include "framework/WinApp.h"

class CFretlyApp : public CWinApp {
public:
    CFretlyApp();
    ~CFretlyApp() override;

    bool InitInstance() override;
    int ExitInstance() override;

    void OnAppAbout();
    void OnTabHints();

    CTabHintsDlg m_dlgHints;

    DECLARE_MESSAGE_MAP()
};

