// Where nobody can answer (offscreen, as a script runs the program), nothing waits: message
// boxes go to standard error with their default answer, dialogs are cancelled unshown.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "GuiTestSupport.h"
#include "document/FileInfoDlg.h"
#include "framework/qt/QtUserInterface.h"
#include "support/TestFiles.h"

namespace {

// Standard error of this process, caught in a file while the object lives.
class StderrCapture {
public:
    StderrCapture() : m_path(std::filesystem::temp_directory_path() / ("fretly-stderr-" + std::to_string(::getpid())))
    {
        std::fflush(stderr);
        m_nSaved = ::dup(2);
        const int fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, 2);
        ::close(fd);
    }
    ~StderrCapture()
    {
        Restore();
        std::filesystem::remove(m_path);
    }
    std::string Text()
    {
        Restore();
        return ReadFileBytes(m_path);
    }

private:
    void Restore()
    {
        if (m_nSaved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_nSaved, 2);
        ::close(m_nSaved);
        m_nSaved = -1;
    }
    std::filesystem::path m_path;
    int m_nSaved = -1;
};

// Fails the test instead of hanging it: closes any modal window that does come up.
class ModalWatch {
public:
    ModalWatch()
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget* pModal = QApplication::activeModalWidget()) {
                ++nShown;
                pModal->close();
            }
        });
        m_timer.start();
    }
    int nShown = 0;

private:
    QTimer m_timer;
};

class QtUnattendedTest : public ::testing::Test {
protected:
    void SetUp() override { GuiApp(); }
};

} // namespace

TEST_F(QtUnattendedTest, OffscreenIsAPlatformNobodyAnswers)
{
    EXPECT_TRUE(CQtUserInterface::NobodyToAnswer());
    EXPECT_FALSE(CQtUserInterface().IsUnattended());   // scripted tests answer their boxes
}

TEST_F(QtUnattendedTest, MessageBoxesGoToStandardErrorWithTheirDefaultAnswer)
{
    const struct {
        UINT nType;
        int nAnswer;
        const char* pszAnswerLine;   // nullptr: a box with one button says no answer
    } cases[] = {
        {MB_OK | MB_ICONEXCLAMATION, IDOK, nullptr},
        {MB_OKCANCEL, IDOK, "(answered OK: nobody is there to choose)"},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL, "(answered Cancel: nobody is there to choose)"},
        {MB_YESNO | MB_DEFBUTTON2, IDNO, "(answered No: nobody is there to choose)"},
        {MB_YESNOCANCEL, IDYES, "(answered Yes: nobody is there to choose)"},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL, "(answered Cancel: nobody is there to choose)"},
    };
    CQtUserInterface ui(true);
    ModalWatch watch;
    for (const auto& c : cases) {
        StderrCapture err;
        EXPECT_EQ(ui.MessageBox("Save changes to\nsong.tab?", "Fretly", c.nType), c.nAnswer) << c.nType;
        const std::string text = err.Text();
        std::string expected = "Fretly: Save changes to\nsong.tab?\n";
        if (c.pszAnswerLine != nullptr)
            expected += std::string(c.pszAnswerLine) + "\n";
        EXPECT_EQ(text, expected) << c.nType;
    }
    EXPECT_EQ(watch.nShown, 0);
}

TEST_F(QtUnattendedTest, DialogsAndFileDialogsAreCancelledUnshown)
{
    CQtUserInterface ui(true);
    ModalWatch watch;
    StderrCapture err;
    CFileInfoDlg dlg;
    dlg.m_strArtist = "Kept";
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_strArtist, "Kept");

    CFileDialogRequest request;
    request.bOpen = false;
    request.title = "Save As";
    std::string path = "unchanged";
    EXPECT_FALSE(ui.GetFileName(request, path));
    EXPECT_EQ(path, "unchanged");
    const std::string text = err.Text();
    EXPECT_NE(text.find("Fretly - File Information: not shown, as nobody is there to answer it; cancelled."),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Save As: not shown"), std::string::npos) << text;
    EXPECT_EQ(watch.nShown, 0);
}

TEST_F(QtUnattendedTest, TheToolkitsOwnDialogsAreCancelledToo)
{
    // Print, Print Setup and the like come straight from the toolkit.
    CQtUserInterface ui(true);
    ModalWatch watch;
    StderrCapture err;
    QPrinter printer;
    QPageSetupDialog setup(&printer);
    setup.setWindowTitle(QStringLiteral("Print Setup"));
    EXPECT_EQ(setup.exec(), QDialog::Rejected);
    QFileDialog files(nullptr, QStringLiteral("Open"));
    files.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(files.exec(), QDialog::Rejected);
    EXPECT_EQ(watch.nShown, 0);
    const std::string text = err.Text();
    EXPECT_NE(text.find("Print Setup: not shown"), std::string::npos) << text;
    EXPECT_NE(text.find("Open: not shown"), std::string::npos) << text;
}

TEST_F(QtUnattendedTest, AnAttendedInterfaceLeavesTheToolkitsDialogsToTheUser)
{
    // Once the unattended interface is gone its guard goes with it.
    { CQtUserInterface unattended(true); }
    CQtUserInterface ui;
    ModalWatch watch;
    QFileDialog files(nullptr, QStringLiteral("Open"));
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.exec();   // shown, and closed by the watch
    EXPECT_EQ(watch.nShown, 1);
}
