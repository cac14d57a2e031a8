// Save, Save As and the save prompt of the document base.
#include <filesystem>

#include "desktop/SafeFileWriter.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/UserInterface.h"
#include "framework/WinApp.h"
#include "framework/FrameworkResource.h"
#include "framework/StringTable.h"

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
ON_COMMAND(ID_FILE_SAVE, OnFileSave)
ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

std::string AfxProposeSaveName(const std::string& title, const std::string& ext)
{
    // Characters that make a dubious file name end the proposal.
    std::string name = title.substr(0, title.find_first_of(" #%;/\\"));
    return name + ext;
}

bool CDocument::SaveModified()
{
    if (!IsModified())
        return true;

    std::string name;
    if (m_strPathName.empty()) {
        name = m_strTitle.empty() ? AfxLoadString(AFX_IDS_UNTITLED) : m_strTitle;
    } else {
        name = std::filesystem::path(m_strPathName).filename().string();
    }

    switch (AfxMessageBox(AfxFormatString1(AFX_IDP_ASK_TO_SAVE, name), MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDCANCEL:
        if (CWinApp* pApp = AfxGetApp())
            ++pApp->m_nSaveCancels;
        return false;
    case IDYES:
        // A failed or cancelled save keeps the document: nothing may be lost.
        if (!DoFileSave()) {
            if (CWinApp* pApp = AfxGetApp())
                ++pApp->m_nSaveCancels;
            return false;
        }
        break;
    default:   // IDNO: go on without saving
        break;
    }
    return true;
}

bool CDocument::DoSave(const std::string& path, bool bReplace)
{
    std::string newName = path;
    if (newName.empty()) {
        CWinApp* pApp = AfxGetApp();
        CSingleDocTemplate* pTemplate = pApp != nullptr ? pApp->GetDocTemplate() : nullptr;
        newName = m_strPathName;
        if (bReplace && newName.empty()) {
            std::string ext = pTemplate != nullptr ? pTemplate->GetDocString(CSingleDocTemplate::filterExt) : ".TAB";
            newName = AfxProposeSaveName(m_strTitle, ext);
        }
        if (pApp == nullptr || !pApp->DoPromptFileName(newName, AFX_IDS_SAVEFILE, false))
            return false;
    }

    // The old file is left as it was when the save fails (the save is atomic), so it
    // is not removed here either.
    if (!OnSaveDocument(newName))
        return false;

    if (bReplace) {
        SetPathName(newName);
        if (CWinApp* pApp = AfxGetApp())
            pApp->AddToRecentFileList(m_strPathName);
    }
    return true;
}

bool CDocument::DoFileSave()
{
    // Untitled, read-only or vanished: ask for a name.
    std::error_code ec;
    if (m_strPathName.empty() || !std::filesystem::exists(m_strPathName, ec) || AfxIsFileReadOnly(m_strPathName))
        return DoSave({});
    return DoSave(m_strPathName);
}

void CDocument::OnFileSave() { DoFileSave(); }

void CDocument::OnFileSaveAs() { DoSave({}); }
