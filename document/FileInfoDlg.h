#pragma once
// The file information dialog: the header fields and the fair-use flag.
#include <string>

#include "framework/Dialog.h"
#include "resources/Resource.h"

class CFileInfoDlg : public CDialog {
public:
    enum { IDD = IDD_FILEINFO };

    explicit CFileInfoDlg(void* pParent = nullptr);
    ~CFileInfoDlg() override = default;

    std::string m_strAlbum;
    std::string m_strArtist;
    std::string m_strComments;
    std::string m_strEmail;
    std::string m_strTranscriber;
    std::string m_strSongTitle;
    int m_bFairUse;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
