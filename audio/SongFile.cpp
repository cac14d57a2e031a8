#include "audio/SongFile.h"

#include "document/FretlyDoc.h"
#include "framework/UserInterface.h"
#include "resources/StringTable.h"

namespace {

// Collects what would be shown, answering every box and dialog as nobody would.
class CCollectingUserInterface : public CUserInterface {
public:
    int MessageBox(const std::string& text, const std::string&, UINT nType) override
    {
        m_strText += (m_strText.empty() ? "" : "\n") + text;
        return AfxDefaultButton(nType);
    }
    int RunModal(CDialog&) override { return IDCANCEL; }
    void Beep() override {}
    const std::string& Text() const { return m_strText; }

private:
    std::string m_strText;
};

} // namespace

std::unique_ptr<CFretlyDoc> AfxReadSongFile(const std::string& path, std::string& error)
{
    CCollectingUserInterface ui;
    CUserInterface* pPrevious = AfxGetUserInterface();
    AfxSetUserInterface(&ui);
    auto pDoc = std::make_unique<CFretlyDoc>();
    pDoc->m_bSkipHeaderDialog = true;
    const bool bOpened = pDoc->OnOpenDocument(path);
    AfxSetUserInterface(pPrevious);
    if (bOpened && !pDoc->IsLoadRejected())
        return pDoc;
    error = ui.Text().empty() ? AfxLoadString(AFX_IDP_FAILED_TO_OPEN_DOC) : ui.Text();
    return nullptr;
}
