#pragma once
// The Tablature Hints window: a modeless reference card of the tablature symbols.
#include "framework/Dialog.h"
#include "resources/Resource.h"

class CTabHintsDlg : public CDialog {
public:
    enum { IDD = IDD_TABHINTS };

    explicit CTabHintsDlg(void* pParent = nullptr);
    ~CTabHintsDlg() override = default;

    // The close box, Close on the system menu, Alt+F4: the window goes for good, so the
    // next request makes a new one at its template place.
    void OnClose() override;
    // Enter and Escape close it like the close box: never hidden while it exists.
    void OnOK() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()
};
