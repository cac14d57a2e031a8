#pragma once
// The platform seam: everything the program shows or sounds goes through one
// interface, so the toolkit-free code runs headless under a scripted implementation.
#include <cstddef>
#include <string>
#include <vector>

#include "framework/Types.h"
#include "framework/FrameworkResource.h"

class CDialog;

// Message box types, icons and default buttons.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_TYPEMASK = 0xF;
constexpr UINT MB_ICONHAND = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONASTERISK = 0x40;
constexpr UINT MB_ICONMASK = 0xF0;
constexpr UINT MB_DEFBUTTON1 = 0x0;
constexpr UINT MB_DEFBUTTON2 = 0x100;
constexpr UINT MB_DEFBUTTON3 = 0x200;
constexpr UINT MB_DEFMASK = 0xF00;

// Results are IDOK, IDCANCEL, IDYES and IDNO from framework/FrameworkResource.h.

// The button a message box of this type answers when nobody presses one.
int AfxDefaultButton(UINT nType);

struct CFileDialogRequest {
    bool bOpen = true;                   // Open or Save As
    std::string title;                   // dialog caption
    std::string initialName;             // proposed file name (Save As)
    std::vector<std::string> filters;    // e.g. "Fretly Files (*.tab)", "All Files (*.*)"
    std::string defaultExtension;        // e.g. ".TAB", appended when a name has none
};

class CUserInterface {
public:
    virtual ~CUserInterface() = default;

    // Shows a message box; returns IDOK, IDCANCEL, IDYES or IDNO.
    virtual int MessageBox(const std::string& text, const std::string& caption, UINT nType) = 0;
    // Runs a modal dialog from its template; returns IDOK or IDCANCEL.
    virtual int RunModal(CDialog& dlg) = 0;
    // The system's default beep.
    virtual void Beep() = 0;
    // Asks for a file name; returns false when the user cancels.
    virtual bool GetFileName(const CFileDialogRequest& request, std::string& path);
    // Modeless dialogs: create the window (shown at its template position), bring an
    // existing one to the front, destroy it. Implementations call SetHasWindow.
    virtual bool CreateModeless(CDialog& dlg);
    virtual void ActivateModeless(CDialog& dlg);
    virtual void DestroyModeless(CDialog& dlg);
    // The PNG image of an icon resource (the template's, IDI_DOCUMENT) at a pixel size;
    // empty when there is none.
    virtual std::string LoadIconImage(UINT nIDResource, int nSize);
};

// Installs the implementation used from now on (nullptr: none).
void AfxSetUserInterface(CUserInterface* pUI);
CUserInterface* AfxGetUserInterface();

// Message box with the application's title as caption.
int AfxMessageBox(const std::string& text, UINT nType = MB_OK);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK);
void AfxBeep();

// The program's icons: resource IDs and the names its image files go by; set once at start.
struct CIconEntry {
    UINT nID;
    const char* pszName;
};
void AfxSetProgramIcons(const CIconEntry* pEntries, std::size_t nCount);
// The name of icon resource nID ("fretly"), or nullptr when the program has no such icon.
const char* AfxIconResourceName(UINT nID);
