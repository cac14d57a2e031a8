#pragma once
// Dialogs with data exchange. A dialog's controls are reached through CDialogControls,
// which the platform supplies while the dialog runs (Qt widgets, or a test's map).
#include <string>

#include "framework/CmdTarget.h"

// Access to the live controls of a running dialog, by control ID.
class CDialogControls {
public:
    virtual ~CDialogControls() = default;
    virtual std::string GetControlText(int nID) const = 0;
    virtual void SetControlText(int nID, const std::string& text) = 0;
    virtual int GetCheck(int nID) const = 0;
    virtual void SetCheck(int nID, int nCheck) = 0;
};

class CDataExchange {
public:
    CDataExchange(CDialogControls& controls, bool bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_controls(controls)
    {
    }
    bool m_bSaveAndValidate;   // true: controls to fields; false: fields to controls
    CDialogControls& m_controls;
};

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);

class CDialog : public CCmdTarget {
public:
    explicit CDialog(UINT nIDTemplate = 0) : m_nIDTemplate(nIDTemplate) {}
    // A window still attached goes with the object.
    ~CDialog() override;

    // Runs the dialog modally through the installed user interface; IDOK or IDCANCEL.
    // With no user interface installed the answer is IDCANCEL.
    virtual int DoModal();

    // Moves data between fields and controls; false when no controls are attached.
    bool UpdateData(bool bSaveAndValidate = true);

    // Called by the platform when the controls exist, before the dialog shows.
    virtual bool OnInitDialog();
    // Called by the platform for OK and Cancel; they end the dialog.
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int nResult);

    // Modeless use: the platform creates and destroys the window.
    virtual bool Create(UINT nIDTemplate);
    virtual void DestroyWindow();
    // The window's close box (modeless use): the window is destroyed, not hidden.
    virtual void OnClose();
    bool HasWindow() const { return m_bHasWindow; }

    UINT GetTemplateID() const { return m_nIDTemplate; }
    int GetModalResult() const { return m_nModalResult; }
    bool IsEnded() const { return m_bEnded; }

    // Set by the platform while the dialog's controls exist.
    void AttachControls(CDialogControls* pControls) { m_pControls = pControls; }
    CDialogControls* GetControls() const { return m_pControls; }
    void SetHasWindow(bool bHasWindow) { m_bHasWindow = bHasWindow; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    UINT m_nIDTemplate;

private:
    CDialogControls* m_pControls = nullptr;
    int m_nModalResult = 0;
    bool m_bEnded = false;
    bool m_bHasWindow = false;
};
