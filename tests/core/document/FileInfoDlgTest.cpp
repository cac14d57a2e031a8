#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "TabTestSupport.h"
#include "document/FileInfoDlg.h"
#include "document/FretlyDoc.h"
#include "resources/DialogTemplates.h"
#include "support/ScriptedUserInterface.h"

namespace {

// Records in which order the data exchange touches the controls.
class CRecordingControls : public MapDialogControls {
public:
    std::string GetControlText(int nID) const override
    {
        order.emplace_back('T', nID);
        return MapDialogControls::GetControlText(nID);
    }
    void SetControlText(int nID, const std::string& text) override
    {
        order.emplace_back('T', nID);
        MapDialogControls::SetControlText(nID, text);
    }
    int GetCheck(int nID) const override
    {
        order.emplace_back('C', nID);
        return MapDialogControls::GetCheck(nID);
    }
    void SetCheck(int nID, int nCheck) override
    {
        order.emplace_back('C', nID);
        MapDialogControls::SetCheck(nID, nCheck);
    }
    mutable std::vector<std::pair<char, int>> order;
};

void FillHeader(CFretlyDoc& doc)
{
    doc.m_strArtist = "The Artist";
    doc.m_strSongTitle = "The Song";
    doc.m_strAlbum = "The Album";
    doc.m_strTranscriber = "Someone";
    doc.m_strEmail = "someone@example.org";
    doc.m_strComments = "line one\r\nline two\r\n";
    doc.m_bFairUse = false;
}

} // namespace

TEST(FileInfoDialog, StartsEmptyOnItsTemplate)
{
    CFileInfoDlg dlg;
    EXPECT_EQ(dlg.GetTemplateID(), 132u);
    EXPECT_EQ(dlg.m_bFairUse, 0);
    EXPECT_TRUE(dlg.m_strAlbum.empty() && dlg.m_strArtist.empty() && dlg.m_strComments.empty() &&
                dlg.m_strEmail.empty() && dlg.m_strTranscriber.empty() && dlg.m_strSongTitle.empty());
    const DlgTemplate* pTemplate = FindDialogTemplate(IDD_FILEINFO);
    ASSERT_NE(pTemplate, nullptr);
    EXPECT_EQ(pTemplate->caption, "Fretly - File Information");
}

TEST(FileInfoDialog, ExchangesTheFieldsInItsOwnOrder)
{
    CFileInfoDlg dlg;
    dlg.m_strAlbum = "al";
    dlg.m_strArtist = "ar";
    dlg.m_strComments = "c1\r\nc2";
    dlg.m_strEmail = "em";
    dlg.m_strTranscriber = "tr";
    dlg.m_strSongTitle = "ti";
    dlg.m_bFairUse = 1;
    CRecordingControls controls;
    dlg.AttachControls(&controls);
    ASSERT_TRUE(dlg.UpdateData(false));
    const std::vector<std::pair<char, int>> expected = {
        {'T', IDC_ALBUM}, {'T', IDC_ARTIST},       {'T', IDC_COMMENTS}, {'T', IDC_EMAIL},
        {'T', IDC_TRANSCRIBER}, {'T', IDC_SONGTITLE}, {'C', IDC_FAIRUSE},
    };
    EXPECT_EQ(controls.order, expected);
    EXPECT_EQ(controls.texts.at(IDC_ALBUM), "al");
    EXPECT_EQ(controls.texts.at(IDC_COMMENTS), "c1\r\nc2");
    EXPECT_EQ(controls.texts.at(IDC_SONGTITLE), "ti");
    EXPECT_EQ(controls.checks.at(IDC_FAIRUSE), 1);

    controls.order.clear();
    controls.texts[IDC_EMAIL] = "new@x";
    controls.checks[IDC_FAIRUSE] = 0;
    ASSERT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(controls.order, expected);
    EXPECT_EQ(dlg.m_strEmail, "new@x");
    EXPECT_EQ(dlg.m_bFairUse, 0);
    dlg.AttachControls(nullptr);
}

TEST(FileInfoDialog, FirstViewHeadersCallShowsNothing)
{
    ScriptedUserInterface ui;
    CFretlyDoc doc;
    doc.OnViewHeaders();
    EXPECT_TRUE(ui.dialogs.empty());
    doc.OnViewHeaders();
    EXPECT_EQ(ui.dialogs.size(), 1u);
}

TEST(FileInfoDialog, OkTakesEveryValueAndMarksModifiedEvenUnchanged)
{
    ScriptedUserInterface ui;
    CStartedDoc doc;
    FillHeader(doc);

    ui.dialogScripts.push_back([](CDialog&, MapDialogControls&) { return IDOK; });
    doc.OnViewHeaders();
    EXPECT_EQ(ui.lastControls.texts.at(IDC_ARTIST), "The Artist");
    EXPECT_EQ(ui.lastControls.texts.at(IDC_COMMENTS), "line one\r\nline two\r\n");
    EXPECT_EQ(ui.lastControls.checks.at(IDC_FAIRUSE), 0);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.m_strSongTitle, "The Song");

    doc.SetModifiedFlag(false);
    ui.dialogScripts.push_back([](CDialog&, MapDialogControls& c) {
        c.texts[IDC_ARTIST] = "A2";
        c.texts[IDC_SONGTITLE] = "T2";
        c.texts[IDC_ALBUM] = "B2";
        c.texts[IDC_TRANSCRIBER] = "X2";
        c.texts[IDC_EMAIL] = "E2";
        c.texts[IDC_COMMENTS] = "typed\r\nno final break";
        c.checks[IDC_FAIRUSE] = 1;
        return IDOK;
    });
    doc.OnViewHeaders();
    EXPECT_EQ(doc.m_strArtist, "A2");
    EXPECT_EQ(doc.m_strSongTitle, "T2");
    EXPECT_EQ(doc.m_strAlbum, "B2");
    EXPECT_EQ(doc.m_strTranscriber, "X2");
    EXPECT_EQ(doc.m_strEmail, "E2");
    EXPECT_EQ(doc.m_strComments, "typed\r\nno final break");
    EXPECT_TRUE(doc.m_bFairUse);
    EXPECT_TRUE(doc.IsModified());
}

TEST(FileInfoDialog, CancelLeavesTheDocumentAndForgetsWhatWasTyped)
{
    ScriptedUserInterface ui;
    CStartedDoc doc;
    FillHeader(doc);
    ui.dialogScripts.push_back([](CDialog&, MapDialogControls& c) {
        c.texts[IDC_ARTIST] = "typed then cancelled";
        c.checks[IDC_FAIRUSE] = 1;
        return IDCANCEL;
    });
    doc.OnViewHeaders();
    EXPECT_EQ(doc.m_strArtist, "The Artist");
    EXPECT_FALSE(doc.m_bFairUse);
    EXPECT_FALSE(doc.IsModified());

    doc.OnViewHeaders();   // opens again on the document's values
    EXPECT_EQ(ui.lastControls.texts.at(IDC_ARTIST), "The Artist");
    EXPECT_EQ(ui.lastControls.checks.at(IDC_FAIRUSE), 0);
}

TEST(FileInfoDialog, ViewHeadersCommandIsRoutedToTheDocument)
{
    ScriptedUserInterface ui;
    CStartedDoc doc;
    EXPECT_TRUE(doc.OnCmdMsg(ID_VIEW_HEADERS));
    EXPECT_EQ(ui.dialogs, std::vector<UINT>{IDD_FILEINFO});
}

TEST(FileInfoDialog, WithoutAUserInterfaceTheDialogIsCancelled)
{
    CStartedDoc doc;
    FillHeader(doc);
    doc.OnViewHeaders();
    EXPECT_EQ(doc.m_strArtist, "The Artist");
    EXPECT_FALSE(doc.IsModified());
}
