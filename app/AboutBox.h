#pragma once
// The About box: name, version, author and the Tablature Hints button.
#include "framework/Dialog.h"
#include "resources/Resource.h"

class CAboutBox : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };

    CAboutBox();
    ~CAboutBox() override = default;

    void OnTablatureHints();

    DECLARE_MESSAGE_MAP()
};
