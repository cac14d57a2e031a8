// The application and document file commands and the command routing, headless.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/Archive.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "resources/Resource.h"
#include "support/FakePrinter.h"
#include "support/ScriptedUserInterface.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> g_log;   // which class handled a command

// A one-line document: "TEXT\n" with the line as content.
class CLineDoc : public CDocument {
public:
    std::string m_strLine;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar.WriteString(m_strLine + "\n");
        } else {
            m_strLine.clear();
            ar.ReadString(m_strLine, 1000);
        }
    }
    void DeleteContents() override { m_strLine.clear(); }
    void OnDocCmd() { g_log.push_back("doc"); }
    void OnShared() { g_log.push_back("doc-shared"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CLineDoc, CDocument)
ON_COMMAND(2, OnDocCmd)
ON_COMMAND(10, OnShared)
END_MESSAGE_MAP()

class CLineView : public CView {
public:
    int m_nInitialUpdates = 0;
    void OnInitialUpdate() override { ++m_nInitialUpdates; }
    void OnDraw(CDC*) override {}
    void OnViewCmd() { g_log.push_back("view"); }
    void OnPrintDirect() { g_log.push_back("print-direct"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CLineView, CView)
ON_COMMAND_BASE(ID_FILE_PRINT, CView::OnFilePrint)
ON_COMMAND(ID_FILE_PRINT_DIRECT, OnPrintDirect)
ON_COMMAND(1, OnViewCmd)
ON_COMMAND(10, OnViewCmd)
END_MESSAGE_MAP()

class CTestFrame : public CFrameWnd {
public:
    bool m_bDestroyed = false;
    int m_nCreateResult = 0;
    int OnCreate() override { return m_nCreateResult; }
    void DestroyWindow() override { m_bDestroyed = true; }
    void OnFrameCmd() { g_log.push_back("frame"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
ON_COMMAND(3, OnFrameCmd)
ON_COMMAND(11, OnFrameCmd)
END_MESSAGE_MAP()

class CTestApp : public CWinApp {
public:
    void OnAppCmd() { g_log.push_back("app"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
ON_COMMAND(ID_FILE_NEW, OnFileNew)
ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
ON_COMMAND(4, OnAppCmd)
ON_COMMAND(11, OnAppCmd)
END_MESSAGE_MAP()

class AppCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log.clear();
        dir = fs::temp_directory_path() / ("fretly-cmd-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        app.m_strProfilePath = (dir / "fretly.INI").string();
        app.LoadStdProfileSettings(4);
        app.AddDocTemplate(new CSingleDocTemplate(
            IDR_MAINFRAME, [] { return std::make_unique<CLineDoc>(); },
            [] { return std::make_unique<CTestFrame>(); }, [] { return std::make_unique<CLineView>(); }));
        CCommandLineInfo info;
        ASSERT_TRUE(app.ProcessShellCommand(info));
        frame = static_cast<CTestFrame*>(app.m_pMainWnd);
        doc = static_cast<CLineDoc*>(frame->GetActiveDocument());
    }
    void TearDown() override
    {
        app.DeleteDocTemplate();
        fs::remove_all(dir);
    }
    std::string Write(const std::string& name, const std::string& text)
    {
        std::ofstream((dir / name).string(), std::ios::binary) << text;
        return (dir / name).string();
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    ScriptedUserInterface ui;
    CTestApp app;
    fs::path dir;
    CTestFrame* frame = nullptr;
    CLineDoc* doc = nullptr;
};

} // namespace

TEST_F(AppCommands, StartupMakesFrameShowsItAndCaptionsUntitled)
{
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->IsWindowVisible());
    EXPECT_EQ(frame->GetWindowText(), "Untitled - Fretly");
    EXPECT_EQ(static_cast<CLineView*>(frame->GetActiveView())->m_nInitialUpdates, 1);
}

TEST_F(AppCommands, RoutingOrderViewDocumentTemplateFrameApplication)
{
    EXPECT_TRUE(frame->OnCmdMsg(1));
    EXPECT_TRUE(frame->OnCmdMsg(2));
    EXPECT_TRUE(frame->OnCmdMsg(3));
    EXPECT_TRUE(frame->OnCmdMsg(4));
    EXPECT_TRUE(frame->OnCmdMsg(10));   // view before document
    EXPECT_TRUE(frame->OnCmdMsg(11));   // frame before application
    EXPECT_EQ(g_log, (std::vector<std::string>{"view", "doc", "frame", "app", "view", "frame"}));
    EXPECT_FALSE(frame->OnCmdMsg(ID_EDIT_COPY));   // no handler anywhere
    EXPECT_FALSE(frame->IsCommandRouted(ID_EDIT_COPY));
    EXPECT_TRUE(frame->IsCommandRouted(ID_FILE_SAVE));   // the document base
    EXPECT_TRUE(frame->IsCommandRouted(ID_APP_EXIT));    // the application base
    EXPECT_TRUE(frame->IsCommandRouted(ID_FILE_PRINT));  // the view base
    // The recent-file placeholder has no handler while the list is empty.
    EXPECT_FALSE(frame->IsCommandRouted(ID_FILE_MRU_FILE1));
}

TEST_F(AppCommands, PrintCommandsReachTheViewAndSayWhenNothingCanPrint)
{
    EXPECT_TRUE(frame->OnCmdMsg(ID_FILE_PRINT));
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, "Could not start print job.");
}

TEST_F(AppCommands, SavePromptThreeAnswers)
{
    doc->m_strLine = "riff";
    doc->SetModifiedFlag(true);

    ui.messageAnswers = {IDCANCEL};
    EXPECT_TRUE(frame->OnCmdMsg(ID_FILE_NEW));
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, "Save changes to Untitled?");
    EXPECT_EQ(ui.messages[0].nType, MB_YESNOCANCEL | MB_ICONEXCLAMATION);
    EXPECT_EQ(doc->m_strLine, "riff");   // Cancel: nothing happened
    EXPECT_TRUE(doc->IsModified());

    ui.messageAnswers = {IDYES};
    ui.fileAnswers = {(dir / "kept").string()};   // typed without an extension
    EXPECT_TRUE(frame->OnCmdMsg(ID_FILE_NEW));
    EXPECT_EQ(Read((dir / "kept.TAB").string()), "riff\n");
    EXPECT_EQ(ui.fileRequests.back().initialName, "Untitled.TAB");
    EXPECT_EQ(doc->m_strLine, "");        // and then the new document
    EXPECT_EQ(frame->GetWindowText(), "Untitled - Fretly");

    doc->m_strLine = "lost";
    doc->SetModifiedFlag(true);
    ui.messageAnswers = {IDNO};
    EXPECT_TRUE(frame->OnCmdMsg(ID_FILE_NEW));
    EXPECT_EQ(doc->m_strLine, "");
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(AppCommands, YesWithCancelledSaveAsKeepsTheDocument)
{
    doc->m_strLine = "riff";
    doc->SetModifiedFlag(true);
    ui.messageAnswers = {IDYES};   // and no file name: the Save As dialog is cancelled
    EXPECT_FALSE(frame->CanCloseFrame());
    EXPECT_EQ(doc->m_strLine, "riff");
}

TEST_F(AppCommands, SaveAsProposalsAndExtensions)
{
    EXPECT_EQ(AfxProposeSaveName("My Song", ".TAB"), "My.TAB");
    EXPECT_EQ(AfxProposeSaveName("a#b", ".TAB"), "a.TAB");
    EXPECT_EQ(AfxProposeSaveName("x%y;z", ".TAB"), "x.TAB");
    EXPECT_EQ(AfxProposeSaveName("dir/f", ".TAB"), "dir.TAB");
    EXPECT_EQ(AfxProposeSaveName("back\\slash", ".TAB"), "back.TAB");

    doc->m_strLine = "x";
    ui.fileAnswers = {(dir / "song.tab").string()};   // has an extension: kept
    EXPECT_TRUE(frame->OnCmdMsg(ID_FILE_SAVE));
    ASSERT_EQ(ui.fileRequests.size(), 1U);
    const CFileDialogRequest& req = ui.fileRequests[0];
    EXPECT_FALSE(req.bOpen);
    EXPECT_EQ(req.title, "Save As");
    EXPECT_EQ(req.filters, (std::vector<std::string>{"Fretly Files (*.tab)", "All Files (*.*)"}));
    EXPECT_TRUE(fs::exists(dir / "song.tab"));
    EXPECT_FALSE(fs::exists(dir / "song.tab.TAB"));
    EXPECT_EQ(frame->GetWindowText(), "song.tab - Fretly");
    EXPECT_EQ((*app.GetRecentFileList())[0], (dir / "song.tab").string());

    // Save on a titled document writes in place without asking.
    doc->m_strLine = "y";
    EXPECT_TRUE(frame->OnCmdMsg(ID_FILE_SAVE));
    EXPECT_EQ(ui.fileRequests.size(), 1U);
    EXPECT_EQ(Read((dir / "song.tab").string()), "y\n");

    // Save As on a titled document proposes its path.
    ui.fileAnswers = {(dir / "other.tab").string()};
    EXPECT_TRUE(frame->OnCmdMsg(ID_FILE_SAVE_AS));
    EXPECT_EQ(ui.fileRequests.back().initialName, (dir / "song.tab").string());
    EXPECT_EQ(doc->GetTitle(), "other.tab");
}

TEST_F(AppCommands, SaveOnVanishedOrReadOnlyFileGoesToSaveAs)
{
    const std::string path = Write("gone.tab", "a\n");
    ASSERT_NE(app.OpenDocumentFile(path), nullptr);
    fs::remove(path);
    ui.fileAnswers = {""};   // cancel
    EXPECT_TRUE(frame->OnCmdMsg(ID_FILE_SAVE));
    EXPECT_EQ(ui.fileRequests.size(), 1U);

    const std::string ro = Write("ro.tab", "b\n");
    ASSERT_NE(app.OpenDocumentFile(ro), nullptr);
    ::chmod(ro.c_str(), 0444);
    // root writes anywhere; take an unprivileged identity for the attempt (real and
    // effective, since the check may ask either; root stays the saved one to come back).
    const bool bRoot = ::geteuid() == 0;
    if (bRoot && ::setresuid(65534, 65534, 0) != 0) {
        GTEST_SKIP() << "running as root and cannot switch to an unprivileged user to test permissions";
    }
    ui.fileAnswers = {""};
    frame->OnCmdMsg(ID_FILE_SAVE);
    if (bRoot) {
        ASSERT_EQ(::setresuid(0, 0, 0), 0);
    }
    EXPECT_EQ(ui.fileRequests.size(), 2U);
    EXPECT_EQ(Read(ro), "b\n");
}

TEST_F(AppCommands, OpenDialogFiltersAndRecentFileList)
{
    std::vector<std::string> files;
    for (int i = 1; i <= 5; ++i)
        files.push_back(Write("f" + std::to_string(i) + ".tab", "line" + std::to_string(i) + "\n"));
    ui.fileAnswers = {files[0]};
    EXPECT_TRUE(frame->OnCmdMsg(ID_FILE_OPEN));
    EXPECT_TRUE(ui.fileRequests[0].bOpen);
    EXPECT_EQ(ui.fileRequests[0].title, "Open");
    EXPECT_EQ(ui.fileRequests[0].filters, (std::vector<std::string>{"Fretly Files (*.tab)", "All Files (*.*)"}));
    EXPECT_EQ(doc->m_strLine, "line1");
    EXPECT_EQ(frame->GetWindowText(), "f1.tab - Fretly");

    for (int i = 1; i < 5; ++i)
        app.OpenDocumentFile(files[static_cast<std::size_t>(i)]);
    CRecentFileList& mru = *app.GetRecentFileList();
    ASSERT_EQ(mru.GetCount(), 4);
    EXPECT_EQ(mru[0], files[4]);
    EXPECT_EQ(mru[3], files[1]);   // f1 was pushed out

    // A recent file that fails to open is dropped; a good one opens.
    fs::remove(files[2]);
    EXPECT_TRUE(frame->OnCmdMsg(ID_FILE_MRU_FILE1 + 2));
    EXPECT_EQ(mru.GetCount(), 3);
    EXPECT_NE(ui.messages.back().text.find("f3.tab was not found."), std::string::npos);
    EXPECT_TRUE(frame->OnCmdMsg(ID_FILE_MRU_FILE1 + 2));
    EXPECT_EQ(doc->m_strLine, "line2");

    // Cancelling the save prompt does not drop the entry.
    doc->SetModifiedFlag(true);
    ui.messageAnswers = {IDCANCEL};
    frame->OnCmdMsg(ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(mru.GetCount(), 3);

    // Written back at exit, byte for byte.
    doc->SetModifiedFlag(false);
    app.m_nNumPreviewPages = 0;
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(Read(app.m_strProfilePath), "[Recent File List]\nFile1=" + files[1] + "\nFile2=" + files[4] +
                                              "\nFile3=" + files[3] + "\n");
    app.m_nNumPreviewPages = 2;
    app.ExitInstance();
    EXPECT_NE(Read(app.m_strProfilePath).find("\n\n[Settings]\nPreviewPages=2\n"), std::string::npos);
}

TEST_F(AppCommands, DroppedFilesOpenInTurnAndExitClosesAfterPrompt)
{
    const std::string a = Write("a.tab", "A\n");
    const std::string b = Write("b.tab", "B\n");
    frame->OnDropFiles({a, b});
    EXPECT_EQ(doc->m_strLine, "B");
    EXPECT_EQ(app.GetRecentFileList()->GetCount(), 2);
    EXPECT_EQ(frame->GetWindowText(), "b.tab - Fretly");

    doc->SetModifiedFlag(true);
    ui.messageAnswers = {IDCANCEL};
    EXPECT_TRUE(frame->OnCmdMsg(ID_APP_EXIT));
    EXPECT_FALSE(frame->m_bDestroyed);
    ui.messageAnswers = {IDNO};
    frame->OnCmdMsg(ID_APP_EXIT);
    EXPECT_TRUE(frame->m_bDestroyed);
}

TEST(AppStartup, MissingFileOnTheCommandLineFailsWithoutShowingAWindow)
{
    ScriptedUserInterface ui;
    CTestApp app;
    app.m_strProfilePath = (fs::temp_directory_path() / "fretly-none.INI").string();
    app.AddDocTemplate(new CSingleDocTemplate(
        IDR_MAINFRAME, [] { return std::make_unique<CLineDoc>(); }, [] { return std::make_unique<CTestFrame>(); },
        [] { return std::make_unique<CLineView>(); }));
    app.m_args = {"no-such-file.tab"};
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    EXPECT_FALSE(app.ProcessShellCommand(info));
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, (fs::current_path() / "no-such-file.tab").string() + " was not found.");
    ASSERT_NE(app.m_pMainWnd, nullptr);
    EXPECT_FALSE(app.m_pMainWnd->IsWindowVisible());
    EXPECT_EQ(app.m_nExitCode, 1);   // the program ends, and not as a success
}

TEST(AppStartup, FrameCreationFailureIsReported)
{
    ScriptedUserInterface ui;
    CTestApp app;
    app.AddDocTemplate(new CSingleDocTemplate(
        IDR_MAINFRAME, [] { return std::make_unique<CLineDoc>(); },
        [] {
            auto f = std::make_unique<CTestFrame>();
            f->m_nCreateResult = -1;
            return f;
        },
        [] { return std::make_unique<CLineView>(); }));
    CCommandLineInfo info;
    EXPECT_FALSE(app.ProcessShellCommand(info));
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, "Failed to create empty document.");
}

TEST(AppStartup, PrintSwitchOpensHiddenPrintsAndEnds)
{
    ScriptedUserInterface ui;
    CTestApp app;
    g_log.clear();
    const fs::path file = fs::temp_directory_path() / ("fretly-print-" + std::to_string(::getpid()) + ".tab");
    std::ofstream(file.string()) << "riff\n";
    app.AddDocTemplate(new CSingleDocTemplate(
        IDR_MAINFRAME, [] { return std::make_unique<CLineDoc>(); }, [] { return std::make_unique<CTestFrame>(); },
        [] { return std::make_unique<CLineView>(); }));
    app.m_args = {"/p", file.string()};
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    EXPECT_FALSE(app.ProcessShellCommand(info));   // the program ends after printing
    EXPECT_EQ(g_log, std::vector<std::string>{"print-direct"});
    ASSERT_NE(app.m_pMainWnd, nullptr);
    EXPECT_FALSE(app.m_pMainWnd->IsWindowVisible());
    fs::remove(file);
}

namespace {
// A view that prints its document's line through the framework's own print loop.
class CPrintingLineView : public CView {
public:
    void OnDraw(CDC* pDC) override { pDC->TextOut(0, 0, static_cast<CLineDoc*>(GetDocument())->m_strLine); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPrintingLineView, CView)
ON_COMMAND_BASE(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
END_MESSAGE_MAP()

void AddPrintingTemplate(CWinApp& app)
{
    app.AddDocTemplate(new CSingleDocTemplate(
        IDR_MAINFRAME, [] { return std::make_unique<CLineDoc>(); }, [] { return std::make_unique<CTestFrame>(); },
        [] { return std::make_unique<CPrintingLineView>(); }));
}
} // namespace

TEST(AppStartup, PrintToSwitchPrintsOnTheNamedPrinterWithoutADialog)
{
    ScriptedUserInterface ui;
    FakePrinter printer(CSize(10, 20), 600, 900);
    CTestApp app;
    AddPrintingTemplate(app);
    const fs::path file = fs::temp_directory_path() / ("fretly-printto-" + std::to_string(::getpid()) + ".tab");
    std::ofstream(file.string()) << "riff\n";
    app.m_args = {"/pt", file.string(), "Office", "driver", "port"};
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    EXPECT_FALSE(app.ProcessShellCommand(info));
    EXPECT_EQ(printer.log.front(), "open direct");
    EXPECT_EQ(printer.printerName, "Office");
    ASSERT_EQ(printer.pages.size(), 1U);
    EXPECT_EQ(FakePrinter::Texts(printer.pages[0]), std::vector<std::string>{"riff"});
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(app.ExitInstance(), 0);
    fs::remove(file);
}

TEST(AppStartup, PrintSwitchWithAMissingFileSaysSoAndPrintsNothing)
{
    ScriptedUserInterface ui;
    FakePrinter printer(CSize(10, 20), 600, 900);
    CTestApp app;
    AddPrintingTemplate(app);
    const std::string missing = (fs::temp_directory_path() / "fretly-no-such-file.tab").string();
    app.m_args = {"/p", missing};
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    EXPECT_FALSE(app.ProcessShellCommand(info));
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, missing + " was not found.");
    EXPECT_TRUE(printer.log.empty());
    EXPECT_EQ(app.ExitInstance(), 1);   // a script sees that nothing was printed
}

TEST(AppStartup, PrintSwitchWithoutAFilePrintsNothingAndSaysWhy)
{
    // The desktop's Print action started from a launcher gives "/p" alone.
    for (const char* sw : {"/p", "/pt", "-p"}) {
        ScriptedUserInterface ui;
        CTestApp app;
        g_log.clear();
        app.AddDocTemplate(new CSingleDocTemplate(
            IDR_MAINFRAME, [] { return std::make_unique<CLineDoc>(); }, [] { return std::make_unique<CTestFrame>(); },
            [] { return std::make_unique<CLineView>(); }));
        app.m_args = {sw};
        CCommandLineInfo info;
        app.ParseCommandLine(info);
        EXPECT_FALSE(app.ProcessShellCommand(info)) << sw;
        EXPECT_TRUE(g_log.empty());
        ASSERT_EQ(ui.messages.size(), 1U) << sw;
        EXPECT_EQ(ui.messages[0].text, "No file was named to print, so nothing was printed.");
        EXPECT_EQ(app.ExitInstance(), 1) << sw;   // a script sees that nothing was printed
    }
}

TEST(AppStartup, DdeSwitchStartsLikeAPlainStart)
{
    ScriptedUserInterface ui;
    CTestApp app;
    app.AddDocTemplate(new CSingleDocTemplate(
        IDR_MAINFRAME, [] { return std::make_unique<CLineDoc>(); }, [] { return std::make_unique<CTestFrame>(); },
        [] { return std::make_unique<CLineView>(); }));
    app.m_args = {"/dde"};
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    EXPECT_TRUE(app.ProcessShellCommand(info));
    ASSERT_NE(app.m_pMainWnd, nullptr);
    EXPECT_TRUE(app.m_pMainWnd->IsWindowVisible());
    EXPECT_EQ(app.m_pMainWnd->GetWindowText(), "Untitled - Fretly");
}

TEST_F(AppCommands, OpeningTheFileThatIsOpenOnlyBringsItForward)
{
    const std::string path = Write("same.tab", "disk\n");
    ASSERT_NE(app.OpenDocumentFile(path), nullptr);
    doc->m_strLine = "edited";
    doc->SetModifiedFlag(true);
    EXPECT_EQ(app.OpenDocumentFile(path), doc);
    EXPECT_TRUE(ui.messages.empty());   // no save prompt, nothing reread
    EXPECT_EQ(doc->m_strLine, "edited");
}
