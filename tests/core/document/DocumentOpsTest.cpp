#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TabTestSupport.h"
#include "document/FretlyDoc.h"
#include "framework/View.h"
#include "support/ScriptedUserInterface.h"

namespace {

void FillHeader(CFretlyDoc& doc)
{
    doc.m_strArtist = "Artist";
    doc.m_strSongTitle = "Song";
    doc.m_strAlbum = "Album";
    doc.m_strTranscriber = "Me";
    doc.m_strEmail = "me@example.org";
    doc.m_strComments = "Capo 2\r\n";
}

// Marks staff s so that tests can follow it through inserts and deletes.
void Mark(CFretlyDoc& doc, int s) { doc.m_ppStaffs[s]->m_rows[0][1] = static_cast<char>('A' + s); }
char MarkOf(const CFretlyDoc& doc, int s) { return doc.m_ppStaffs[s]->m_rows[0][1]; }

} // namespace

TEST(DocumentModel, ConstructionMakesOneEmptyStaffAndSkipsTheFirstHeaderDialog)
{
    ScriptedUserInterface ui;
    CFretlyDoc doc;
    // A document read at start-up from an empty file is never read into: it must
    // already have the staff the view puts its cursor on.
    ASSERT_EQ(doc.m_nStaffs, 1);
    ASSERT_EQ(doc.m_ppStaffs.size(), 1u);
    EXPECT_EQ(doc.m_ppStaffs[0]->GetLastUsedColumn(), 0);
    EXPECT_FALSE(doc.m_bStaffCountChanged);
    EXPECT_TRUE(doc.m_bSkipHeaderDialog);
    EXPECT_TRUE(doc.m_bFairUse);   // a file loaded at start-up behaves like a new document

    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(ui.dialogs.empty());
    EXPECT_FALSE(doc.m_bSkipHeaderDialog);
    EXPECT_EQ(doc.m_nStaffs, 1);
    EXPECT_EQ(doc.GetTitle(), "Untitled");
}

TEST(DocumentModel, NewDocumentReplacesTwentyStaffsAndTheHeader)
{
    ScriptedUserInterface ui;
    CStartedDoc doc;
    CCountingView view;
    doc.AddView(&view);
    for (int i = 0; i < 19; ++i)
        doc.InsertStaff(doc.m_nStaffs - 1);
    ASSERT_EQ(doc.m_nStaffs, 20);
    FillHeader(doc);
    doc.m_bFairUse = false;
    doc.m_bStaffCountChanged = false;

    ASSERT_TRUE(doc.OnNewDocument());   // the dialog is cancelled
    EXPECT_EQ(doc.m_nStaffs, 1);
    EXPECT_EQ(doc.m_ppStaffs.size(), 1u);
    EXPECT_EQ(doc.m_ppStaffs[0]->GetLastUsedColumn(), 0);
    for (const std::string* s : {&doc.m_strArtist, &doc.m_strSongTitle, &doc.m_strAlbum, &doc.m_strTranscriber,
                                 &doc.m_strEmail, &doc.m_strComments})
        EXPECT_TRUE(s->empty());
    EXPECT_TRUE(doc.m_bFairUse);
    EXPECT_FALSE(doc.m_bStaffCountChanged);
    EXPECT_EQ(ui.dialogs, std::vector<UINT>{IDD_FILEINFO});
    EXPECT_TRUE(ui.lastControls.texts.at(IDC_ARTIST).empty());
    EXPECT_EQ(ui.lastControls.checks.at(IDC_FAIRUSE), 1);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(view.m_nUpdates, 1);
    doc.RemoveView(&view);
}

TEST(DocumentModel, ConfirmingTheNewDocumentDialogLeavesItModified)
{
    ScriptedUserInterface ui;
    CStartedDoc doc;
    ui.dialogScripts.push_back([](CDialog&, MapDialogControls&) { return IDOK; });
    doc.OnNewDocument();
    EXPECT_TRUE(doc.IsModified());
}

TEST(DocumentModel, InsertStaffPlacesAnEmptyStaffAfterTheGivenOne)
{
    CStartedDoc doc;
    doc.InsertStaff(0);
    doc.InsertStaff(1);
    for (int s = 0; s < 3; ++s)
        Mark(doc, s);
    doc.SetModifiedFlag(false);
    doc.m_bStaffCountChanged = false;

    doc.InsertStaff(0);   // between A and B
    ASSERT_EQ(doc.m_nStaffs, 4);
    EXPECT_EQ(MarkOf(doc, 0), 'A');
    EXPECT_EQ(doc.m_ppStaffs[1]->GetLastUsedColumn(), 0);
    EXPECT_EQ(MarkOf(doc, 2), 'B');
    EXPECT_EQ(MarkOf(doc, 3), 'C');
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(doc.m_bStaffCountChanged);

    doc.InsertStaff(doc.m_nStaffs - 1);   // appends
    ASSERT_EQ(doc.m_nStaffs, 5);
    EXPECT_EQ(MarkOf(doc, 3), 'C');
    EXPECT_EQ(doc.m_ppStaffs[4]->GetLastUsedColumn(), 0);
    EXPECT_EQ(doc.m_ppStaffs.size(), 5u);

    doc.InsertStaff(-1);   // before the first
    EXPECT_EQ(doc.m_ppStaffs[0]->GetLastUsedColumn(), 0);
    EXPECT_EQ(MarkOf(doc, 1), 'A');
}

TEST(DocumentModel, DeleteStaffKeepsTheOrderOfTheOthersAndLeavesTheFlagAlone)
{
    CStartedDoc doc;
    for (int i = 0; i < 3; ++i)
        doc.InsertStaff(doc.m_nStaffs - 1);
    for (int s = 0; s < 4; ++s)
        Mark(doc, s);
    doc.SetModifiedFlag(false);
    doc.m_bStaffCountChanged = false;

    doc.DeleteStaff(1);
    ASSERT_EQ(doc.m_nStaffs, 3);
    EXPECT_EQ(MarkOf(doc, 0), 'A');
    EXPECT_EQ(MarkOf(doc, 1), 'C');
    EXPECT_EQ(MarkOf(doc, 2), 'D');
    EXPECT_TRUE(doc.m_bStaffCountChanged);
    EXPECT_FALSE(doc.IsModified());

    doc.DeleteStaff(2);
    ASSERT_EQ(doc.m_nStaffs, 2);
    EXPECT_EQ(MarkOf(doc, 1), 'C');
}

TEST(DocumentModel, DeletingTheOnlyStaffLeavesOneEmptyStaff)
{
    CStartedDoc doc;
    doc.m_ppStaffs[0]->m_rows[2][5] = '9';
    doc.m_bStaffCountChanged = false;
    doc.DeleteStaff(0);
    ASSERT_EQ(doc.m_nStaffs, 1);
    ASSERT_EQ(doc.m_ppStaffs.size(), 1u);
    EXPECT_EQ(doc.m_ppStaffs[0]->GetLastUsedColumn(), 0);
    EXPECT_TRUE(doc.m_bStaffCountChanged);
}

TEST(DocumentModel, OutOfRangeStaffOperationsTouchNothingOutside)
{
    CStartedDoc doc;
    doc.DeleteStaff(5);
    doc.DeleteStaff(-1);
    EXPECT_EQ(doc.m_nStaffs, 1);
    doc.SetBarLine(3, 10);
    doc.SetBarLine(0, 78);
    doc.SetBarLine(0, -1);
    EXPECT_EQ(Row(doc, 0, 0), std::string(78, '-'));
    EXPECT_EQ(doc.m_ppStaffs[0]->m_rows[0][78], '\0');
    doc.InsertStaff(7);   // treated as after the last
    EXPECT_EQ(doc.m_nStaffs, 2);
}

TEST(DocumentModel, BarLineCoversTheStringRowsOnly)
{
    CStartedDoc doc;
    CStaff& staff = *doc.m_ppStaffs[0];
    staff.m_rows[3][20] = '1';
    staff.m_rows[TEXT_ROW][20] = 'G';
    doc.SetModifiedFlag(false);
    doc.SetBarLine(0, 20);
    for (int r = 0; r < STRING_ROWS; ++r)
        EXPECT_EQ(staff.m_rows[r][20], '|') << r;
    EXPECT_EQ(staff.m_rows[TEXT_ROW][20], 'G');
    EXPECT_EQ(staff.m_rows[0][19], '-');
    EXPECT_EQ(staff.m_rows[0][21], '-');
    EXPECT_FALSE(doc.IsModified());
}
