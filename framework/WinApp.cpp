#include "framework/WinApp.h"

#include <filesystem>
#include <typeinfo>

#include "framework/CommandLine.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/Printing.h"
#include "framework/ReadAhead.h"
#include "framework/UserInterface.h"
#include "framework/FrameworkResource.h"
#include "framework/StringTable.h"

namespace {

CWinApp* g_pApp = nullptr;

constexpr const char* kRecentSection = "Recent File List";
constexpr const char* kRecentEntry = "File%d";
constexpr const char* kSettingsSection = "Settings";
constexpr const char* kPreviewPages = "PreviewPages";

std::string FullPath(const std::string& path)
{
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

} // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp* AfxGetApp() { return g_pApp; }

CWinApp::CWinApp() { g_pApp = this; }

CWinApp::~CWinApp()
{
    DeleteDocTemplate();
    if (g_pApp == this)
        g_pApp = nullptr;
}

bool CWinApp::InitInstance() { return true; }

int CWinApp::ExitInstance()
{
    SaveStdProfileSettings();
    return m_nExitCode;
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    if (m_strProfilePath.empty())
        m_strProfilePath = CProfile::DefaultPath(CProfile::ExecutableBaseName());
    m_profile = CProfile(m_strProfilePath);
    m_profile.Load();
    if (nMaxMRU != 0) {
        m_pRecentFileList = std::make_unique<CRecentFileList>(kRecentSection, kRecentEntry, static_cast<int>(nMaxMRU));
        m_pRecentFileList->ReadList(m_profile);
    }
    m_nNumPreviewPages = m_profile.GetInt(kSettingsSection, kPreviewPages, 0);
}

bool CWinApp::SaveStdProfileSettings()
{
    if (m_strProfilePath.empty())
        return false;
    // Reread first so that settings another instance wrote meanwhile survive.
    m_profile.Load();
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList(m_profile);
    if (m_nNumPreviewPages != 0)
        m_profile.WriteInt(kSettingsSection, kPreviewPages, m_nNumPreviewPages);
    return m_profile.Save();
}

void CWinApp::AddDocTemplate(CSingleDocTemplate* pTemplate) { m_pDocTemplate.reset(pTemplate); }

void CWinApp::DeleteDocTemplate()
{
    m_pDocTemplate.reset();
    m_pMainWnd = nullptr;
}

void CWinApp::SetCommandLine(const CCommandLine& line)
{
    m_pCommandLine = &line;
    m_args = line.m_appArgs;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) const
{
    // The parse already done serves a plain CCommandLineInfo; one of a class of its own
    // reads the arguments through its own ParseParam.
    if (m_pCommandLine != nullptr && m_pCommandLine->m_appArgs == m_args &&
        typeid(rCmdInfo) == typeid(CCommandLineInfo))
        rCmdInfo = m_pCommandLine->m_info;
    else
        AfxParseCommandLine(m_args, rCmdInfo);
}

bool CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    // A file read ahead at start-up is taken by the open below or not at all.
    struct CEndReadAhead {
        ~CEndReadAhead() { AfxGetReadAhead().Cancel(); }
    } endReadAhead;
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
    case CCommandLineInfo::FileDDE:   // no DDE here: "/dde" starts like a plain start
        OnCmdMsg(ID_FILE_NEW);
        if (m_pMainWnd == nullptr)
            m_nExitCode = 1;
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        // The program ends when the named file cannot be opened; a script learns of it.
        if (OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr)
            return true;
        m_nExitCode = 1;
        return false;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo: {
        m_bShowMainWindow = false;
        // A print request without a file (the desktop's Print action started from a
        // launcher) prints nothing rather than a blank page, and says so.
        if (rCmdInfo.m_strFileName.empty()) {
            AfxMessageBox(IDS_PRINT_NO_FILE, MB_ICONEXCLAMATION);
            m_nExitCode = 1;
            return false;
        }
        m_bPrintJobDone = false;
        // A refused file was replaced by an empty document: nothing of it to print.
        CDocument* pDoc = OpenDocumentFile(rCmdInfo.m_strFileName);
        if (pDoc != nullptr && !pDoc->IsLoadRejected() && m_pMainWnd != nullptr) {
            // The view reads the printer named by "/pt" from here.
            m_pCmdInfo = &rCmdInfo;
            m_pMainWnd->OnCmdMsg(ID_FILE_PRINT_DIRECT);
            m_pCmdInfo = nullptr;
        }
        // Scripts learn from the exit status whether anything was printed.
        if (!m_bPrintJobDone)
            m_nExitCode = 1;
        return false;
    }
    case CCommandLineInfo::FileNothing:
        break;
    }
    return true;
}

CDocument* CWinApp::OpenDocumentFile(const std::string& path)
{
    if (!m_pDocTemplate)
        return nullptr;
    CDocument* pDoc = m_pDocTemplate->GetDocument();
    // The file is open already: just bring it to the front.
    if (pDoc != nullptr && !pDoc->GetPathName().empty() && pDoc->GetPathName() == FullPath(path)) {
        if (m_pMainWnd != nullptr)
            m_pMainWnd->ActivateFrame();
        return pDoc;
    }
    pDoc = m_pDocTemplate->OpenDocumentFile(path, m_bShowMainWindow);
    if (pDoc != nullptr && !path.empty() && !pDoc->IsLoadRejected())
        AddToRecentFileList(pDoc->GetPathName());
    if (m_pMainWnd != nullptr)
        m_pMainWnd->OnUpdateFrameTitle();
    return pDoc;
}

void CWinApp::AddToRecentFileList(const std::string& path)
{
    if (m_pRecentFileList)
        m_pRecentFileList->Add(path);
}

bool CWinApp::DoPromptFileName(std::string& fileName, UINT nIDSTitle, bool bOpenFileDialog)
{
    CUserInterface* pUI = AfxGetUserInterface();
    if (pUI == nullptr)
        return false;
    CFileDialogRequest request;
    request.bOpen = bOpenFileDialog;
    request.title = AfxLoadString(nIDSTitle);
    request.initialName = fileName;
    if (m_pDocTemplate) {
        request.filters.push_back(m_pDocTemplate->GetDocString(CSingleDocTemplate::filterName));
        request.defaultExtension = m_pDocTemplate->GetDocString(CSingleDocTemplate::filterExt);
    }
    request.filters.push_back(AfxLoadString(AFX_IDS_ALLFILTER));
    std::string chosen;
    if (!pUI->GetFileName(request, chosen) || chosen.empty())
        return false;
    if (!bOpenFileDialog && !request.defaultExtension.empty() &&
        !std::filesystem::path(chosen).has_extension())
        chosen += request.defaultExtension;
    fileName = chosen;
    return true;
}

bool CWinApp::OnCmdMsg(UINT nID)
{
    if (nID >= ID_FILE_MRU_FILE1 && nID <= ID_FILE_MRU_LAST)
        return OnOpenRecentFile(nID);
    return CCmdTarget::OnCmdMsg(nID);
}

bool CWinApp::IsCommandHandled(UINT nID) const
{
    if (nID >= ID_FILE_MRU_FILE1 && nID <= ID_FILE_MRU_LAST)
        return m_pRecentFileList && static_cast<int>(nID - ID_FILE_MRU_FILE1) < m_pRecentFileList->GetCount();
    return HasCmdHandler(nID);
}

void CWinApp::OnFileNew()
{
    if (m_pDocTemplate)
        m_pDocTemplate->OpenDocumentFile({}, m_bShowMainWindow);
    if (m_pMainWnd != nullptr)
        m_pMainWnd->OnUpdateFrameTitle();
}

void CWinApp::OnFileOpen()
{
    std::string name;
    if (!DoPromptFileName(name, AFX_IDS_OPENFILE, true))
        return;
    OpenDocumentFile(name);
}

void CWinApp::OnFilePrintSetup()
{
    if (CPrintingSystem* pSystem = AfxGetPrintingSystem())
        pSystem->PrintSetup();
    else
        AfxMessageBox(AFX_IDP_COMMAND_FAILURE);   // nothing to set up: say so
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd != nullptr)
        m_pMainWnd->OnClose();
}

bool CWinApp::OnOpenRecentFile(UINT nID)
{
    const int nIndex = static_cast<int>(nID - ID_FILE_MRU_FILE1);
    if (!m_pRecentFileList || nIndex >= m_pRecentFileList->GetCount())
        return false;
    const std::string path = (*m_pRecentFileList)[nIndex];
    const int nCancelsBefore = m_nSaveCancels;
    // Only a file that failed to open, or was refused as not valid, leaves the list;
    // cancelling the save prompt does not.
    CDocument* pDoc = OpenDocumentFile(path);
    if ((pDoc == nullptr && m_nSaveCancels == nCancelsBefore) || (pDoc != nullptr && pDoc->IsLoadRejected()))
        m_pRecentFileList->Remove(nIndex);
    return true;
}
