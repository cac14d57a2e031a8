#pragma once
// The application: start-up, the document template and the About and Tab Hints commands.
#include "app/TabHintsDlg.h"
#include "app/Version.h"
#include "framework/WinApp.h"

class CFretlyApp : public CWinApp {
public:
    CFretlyApp();
    ~CFretlyApp() override;

    // Starts reading the file that args (without the program name) name, while the
    // rest of the program starts.
    static void StartReadAhead(const std::vector<std::string>& args);

    bool InitInstance() override;
    int ExitInstance() override;

    void OnAppAbout();
    void OnTabHints();

    CTabHintsDlg m_dlgHints;

    DECLARE_MESSAGE_MAP()
};

