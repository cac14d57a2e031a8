#include "document/FileInfoDlg.h"

CFileInfoDlg::CFileInfoDlg(void*) : CDialog(IDD), m_bFairUse(0) {}

void CFileInfoDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_ALBUM, m_strAlbum);
    DDX_Text(pDX, IDC_ARTIST, m_strArtist);
    DDX_Text(pDX, IDC_COMMENTS, m_strComments);
    DDX_Text(pDX, IDC_EMAIL, m_strEmail);
    DDX_Text(pDX, IDC_TRANSCRIBER, m_strTranscriber);
    DDX_Text(pDX, IDC_SONGTITLE, m_strSongTitle);
    DDX_Check(pDX, IDC_FAIRUSE, m_bFairUse);
}

BEGIN_MESSAGE_MAP(CFileInfoDlg, CDialog)
END_MESSAGE_MAP()
