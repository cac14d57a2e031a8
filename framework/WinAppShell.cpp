// The application's shell registration: the document template's type, told to the
// desktop the freedesktop way.
#include <algorithm>
#include <cctype>
#include <filesystem>

#include "framework/DocTemplate.h"
#include "desktop/ShellRegistration.h"
#include "framework/UserInterface.h"
#include "framework/WinApp.h"
#include "framework/FrameworkResource.h"
#include "framework/StringTable.h"

void CWinApp::RegisterShellFileTypes(bool bCompat)
{
    if (!m_pDocTemplate)
        return;
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return;

    CShellFileType type;
    // A fixed id rather than the executable's name, so a renamed or rebuilt program
    // keeps the same entry and the same association.
    type.appId = AfxLoadString(AFX_IDS_APP_TITLE);
    std::transform(type.appId.begin(), type.appId.end(), type.appId.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    type.exePath = exe.string();
    type.appName = AfxLoadString(AFX_IDS_APP_TITLE);
    type.genericName = AfxLoadString(IDS_SHELL_GENERIC_NAME);
    type.comment = AfxLoadString(IDS_SHELL_COMMENT);
    type.filterExt = m_pDocTemplate->GetDocString(CSingleDocTemplate::filterExt);
    type.regFileTypeId = m_pDocTemplate->GetDocString(CSingleDocTemplate::regFileTypeId);
    type.regFileTypeName = m_pDocTemplate->GetDocString(CSingleDocTemplate::regFileTypeName);
    if (type.regFileTypeId.empty())
        return;
    if (bCompat) {
        type.printActionName = AfxLoadString(IDS_SHELL_PRINT);
        if (CUserInterface* pUI = AfxGetUserInterface()) {
            for (int size : {16, 32}) {
                type.appIcons[size] = pUI->LoadIconImage(m_pDocTemplate->GetResourceID(), size);
                type.docIcons[size] = pUI->LoadIconImage(IDI_DOCUMENT, size);
            }
            std::erase_if(type.appIcons, [](const auto& e) { return e.second.empty(); });
            std::erase_if(type.docIcons, [](const auto& e) { return e.second.empty(); });
        }
    }
    CShellRegistration registration(std::move(type));
    registration.Register();   // a failure is not reported; the program runs on
}
