#pragma once
// The application object: the one document template, the file commands of the
// application (New, Open, recent files, Exit), the profile settings and the command line.
#include <memory>
#include <string>
#include <vector>

#include "framework/CmdTarget.h"
#include "framework/CommandLineInfo.h"
#include "framework/Profile.h"
#include "framework/RecentFileList.h"

class CCommandLine;
class CDocument;
class CFrameWnd;
class CSingleDocTemplate;

class CWinApp : public CCmdTarget {
public:
    CWinApp();
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual bool InitInstance();
    // Writes the profile settings back; returns the exit code.
    virtual int ExitInstance();

    // Dialogs take the platform's own look here; kept for the start-up order.
    bool Enable3dControlsStatic() { return true; }
    // Reads the recent-file list (nMaxMRU entries) and "PreviewPages".
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    // Writes the recent-file list and "PreviewPages" (when not 0) and saves the file.
    bool SaveStdProfileSettings();

    // Takes ownership of the template.
    void AddDocTemplate(CSingleDocTemplate* pTemplate);
    CSingleDocTemplate* GetDocTemplate() const { return m_pDocTemplate.get(); }
    // Destroys the template with its document, frame and view.
    void DeleteDocTemplate();

    // Tells the desktop about the template's document type, its icons and the open and
    // (with bCompat) print commands; runs on every start and never reports a failure.
    void RegisterShellFileTypes(bool bCompat = false);

    // Takes the application's part of the program's command line, parsed once at start.
    void SetCommandLine(const CCommandLine& line);
    // Fills rCmdInfo from the command line set, or parses m_args when they were set alone.
    void ParseCommandLine(CCommandLineInfo& rCmdInfo) const;
    // Carries out the command line; false ends the program.
    bool ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    // Opens a file in the one document; the path joins the recent-file list.
    virtual CDocument* OpenDocumentFile(const std::string& path);
    virtual void AddToRecentFileList(const std::string& path);
    CRecentFileList* GetRecentFileList() const { return m_pRecentFileList.get(); }

    // Runs the Open or Save As dialog with the template's filters; on Save As a name
    // typed without an extension gets the template's (".TAB"). False when cancelled.
    bool DoPromptFileName(std::string& fileName, UINT nIDSTitle, bool bOpenFileDialog);

    // The recent-file commands form a range that the message map cannot list.
    bool OnCmdMsg(UINT nID) override;
    bool IsCommandHandled(UINT nID) const;

    // Framework handlers
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();
    bool OnOpenRecentFile(UINT nID);

    CFrameWnd* m_pMainWnd = nullptr;
    std::vector<std::string> m_args;     // the command line after the program name
    std::string m_strProfilePath;        // the INI file; set by LoadStdProfileSettings
    bool m_bShowMainWindow = true;       // false for command-line printing
    int m_nNumPreviewPages = 0;
    CCommandLineInfo* m_pCmdInfo = nullptr;   // the command line being carried out (printing)
    bool m_bPrintJobDone = false;   // the last print job reached the printer in full
    int m_nExitCode = 0;            // nonzero: the command line failed (nothing printed, file not opened)
    int m_nSaveCancels = 0;              // counts "Cancel" answers to the save prompt

    DECLARE_MESSAGE_MAP()

private:
    const CCommandLine* m_pCommandLine = nullptr;
    std::unique_ptr<CSingleDocTemplate> m_pDocTemplate;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;
    CProfile m_profile;
};

// The application object constructed last and not yet destroyed.
CWinApp* AfxGetApp();
