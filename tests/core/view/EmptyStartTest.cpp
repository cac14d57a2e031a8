// The editor started on an empty file: the document is read from the file without a
// File New before it, and the view paints and takes keys at once.
#include <gtest/gtest.h>

#include <filesystem>

#include "document/FretlyDoc.h"
#include "support/FakeViewHost.h"
#include "support/RecordingDC.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestFiles.h"
#include "view/FretlyView.h"

TEST(EmptyStart, ViewOfAnEmptyFilePaintsAndTakesAFret)
{
    CScratchDir scratch("fretly-start");
    const std::filesystem::path path = scratch.path / "empty.tab";
    WriteFileBytes(path, "");
    for (const std::string& source : {path.string(), std::string("/dev/null")}) {
        SCOPED_TRACE(source);
        ScriptedUserInterface ui;
        CFretlyDoc doc;
        CFretlyView view;
        FakeViewHost host(CRect(0, 0, 800, 600), CSize(8, 16));
        doc.AddView(&view);
        view.SetHost(&host);
        view.OnCreate();
        ASSERT_TRUE(doc.OnOpenDocument(source));
        view.OnInitialUpdate();
        RecordingDC dc(host.cell, host.client);
        view.OnPrepareDC(&dc);
        view.OnDraw(&dc);
        view.OnChar('5', 1, 0);
        ASSERT_EQ(doc.m_nStaffs, 1);
        EXPECT_NE(std::string(doc.m_ppStaffs[0]->m_rows[0], STAFF_COLUMNS).find('5'), std::string::npos);
        doc.RemoveView(&view);
    }
}
