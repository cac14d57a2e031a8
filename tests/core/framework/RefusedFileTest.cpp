// Files the document refuses, and files that must not be overwritten by a plain Save:
// whichever way such a file comes in, the document keeps no name that a Save would
// overwrite, and the file is not remembered.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/Archive.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/UserInterface.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "resources/Resource.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;

namespace {

// A one-line document that refuses a file whose line is "junk", as a reader tells the
// user and starts a new document.
class CPickyDoc : public CDocument {
public:
    std::string m_strLine;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar.WriteString(m_strLine + "\n");
            return;
        }
        ar.ReadString(m_strLine, 1000);
        if (m_strLine == "junk") {
            AfxMessageBox("not valid");
            OnNewDocument();
            SetLoadRejected();
        }
    }
    void DeleteContents() override { m_strLine.clear(); }
};

class CPlainView : public CView {
public:
    void OnDraw(CDC*) override {}
};

class CPlainFrame : public CFrameWnd {
public:
    int m_nPrintCommands = 0;
    void DestroyWindow() override {}
    bool OnCmdMsg(UINT nID) override
    {
        if (nID == ID_FILE_PRINT_DIRECT)
            ++m_nPrintCommands;
        return CFrameWnd::OnCmdMsg(nID);
    }
};

class CPickyApp : public CWinApp {
public:
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPickyApp, CWinApp)
ON_COMMAND(ID_FILE_NEW, OnFileNew)
ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
END_MESSAGE_MAP()

class RefusedFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scratch.IsValid());
        app.m_strProfilePath = (dir / "fretly.INI").string();
        app.LoadStdProfileSettings(4);
        app.AddDocTemplate(new CSingleDocTemplate(
            IDR_MAINFRAME, [] { return std::make_unique<CPickyDoc>(); },
            [] { return std::make_unique<CPlainFrame>(); }, [] { return std::make_unique<CPlainView>(); }));
    }
    void TearDown() override { app.DeleteDocTemplate(); }

    void Start(std::vector<std::string> args)
    {
        app.m_args = std::move(args);
        CCommandLineInfo info;
        app.ParseCommandLine(info);
        ASSERT_TRUE(app.ProcessShellCommand(info));
        frame = static_cast<CPlainFrame*>(app.m_pMainWnd);
        doc = static_cast<CPickyDoc*>(frame->GetActiveDocument());
    }
    std::string Write(const std::string& name, const std::string& text)
    {
        WriteFileBytes(dir / name, text);
        return (dir / name).string();
    }
    // After the refusal: untitled, so Save asks for a name; nothing remembered.
    void ExpectRefused(const std::string& path)
    {
        EXPECT_EQ(ui.messages.back().text, "not valid");
        EXPECT_TRUE(doc->GetPathName().empty());
        EXPECT_EQ(doc->GetTitle(), "Untitled");
        EXPECT_EQ(frame->GetWindowText(), "Untitled - Fretly");
        const std::size_t nRequests = ui.fileRequests.size();
        ui.fileAnswers = {""};   // cancel the Save As dialog
        frame->OnCmdMsg(ID_FILE_SAVE);
        EXPECT_EQ(ui.fileRequests.size(), nRequests + 1);
        EXPECT_EQ(ReadFileBytes(path), "junk\n");
        CRecentFileList& mru = *app.GetRecentFileList();
        for (int i = 0; i < mru.GetCount(); ++i)
            EXPECT_NE(mru[i], path);
    }

    CScratchDir scratch{"fretly-refused"};
    const fs::path dir = scratch.path;
    ScriptedUserInterface ui;
    CPickyApp app;
    CPlainFrame* frame = nullptr;
    CPickyDoc* doc = nullptr;
};

} // namespace

TEST_F(RefusedFile, OnTheCommandLine)
{
    const std::string junk = Write("junk.tab", "junk\n");
    Start({junk});
    ExpectRefused(junk);
}

TEST_F(RefusedFile, FromFileOpenAndFromADrop)
{
    Start({});
    const std::string junk = Write("junk.tab", "junk\n");
    ui.fileAnswers = {junk};
    frame->OnCmdMsg(ID_FILE_OPEN);
    ExpectRefused(junk);

    const std::string good = Write("good.tab", "good\n");
    frame->OnDropFiles({good, junk});
    ExpectRefused(junk);
    EXPECT_EQ(app.GetRecentFileList()->GetCount(), 1);   // the good one only
}

TEST_F(RefusedFile, ARecentFileThatTurnedBadLeavesTheList)
{
    Start({});
    const std::string path = Write("song.tab", "good\n");
    ASSERT_NE(app.OpenDocumentFile(path), nullptr);
    ASSERT_EQ(app.GetRecentFileList()->GetCount(), 1);
    app.OpenDocumentFile({});
    Write("song.tab", "junk\n");
    frame->OnCmdMsg(ID_FILE_MRU_FILE1);
    ExpectRefused(path);
    EXPECT_EQ(app.GetRecentFileList()->GetCount(), 0);
}

// Root passes every permission check, so the check looks at the mode bits as well.
TEST_F(RefusedFile, SaveOfAReadOnlyFileAsksForANameForEveryUser)
{
    Start({});
    const std::string path = Write("locked.tab", "old\n");
    ASSERT_NE(app.OpenDocumentFile(path), nullptr);
    ::chmod(path.c_str(), 0444);
    doc->m_strLine = "new";
    ui.fileAnswers = {""};
    frame->OnCmdMsg(ID_FILE_SAVE);
    EXPECT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ReadFileBytes(path), "old\n");

    // A file its owner may write is saved at once, also by root.
    ::chmod(path.c_str(), 0644);
    frame->OnCmdMsg(ID_FILE_SAVE);
    EXPECT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ReadFileBytes(path), "new\n");
}

// A refused file holds nothing of the user's: printing it would print a blank page.
TEST_F(RefusedFile, IsNotPrintedFromTheCommandLine)
{
    const std::string junk = Write("junk.tab", "junk\n");
    app.m_args = {"/p", junk};
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    EXPECT_FALSE(app.ProcessShellCommand(info));
    EXPECT_EQ(ui.messages.back().text, "not valid");
    auto* pFrame = static_cast<CPlainFrame*>(app.m_pMainWnd);
    ASSERT_NE(pFrame, nullptr);
    EXPECT_EQ(pFrame->m_nPrintCommands, 0);
    EXPECT_EQ(app.m_nExitCode, 1);
}
