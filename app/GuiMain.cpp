// The program's toolkit half, loaded by the launcher (main.cpp) once it has started
// reading the file named on the command line.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <memory>

#include "app/FretlyApp.h"
#include "app/MainFrame.h"
#include "app/RecoveryGuard.h"
#include "app/TestScript.h"
#include "app/Launcher.h"
#include "framework/CommandLine.h"
#include "framework/qt/QtUserInterface.h"
#include "resources/Resource.h"

// The one application object, made when this module is loaded.
static CFretlyApp theApp;

namespace {

// The user interface of this run: message boxes and dialogs shown as usual, except
// where nobody can answer them (offscreen), where their text goes to standard error.
// The benchmark measures the dialogs shown, offscreen too; an end-to-end test's script
// answers them itself.
std::unique_ptr<CQtUserInterface> MakeUserInterface(bool bEndWhenShown)
{
    if (bEndWhenShown)
        return std::make_unique<CQtUserInterface>(false);
    if (AfxHasTestScript())
        return AfxMakeScriptedUserInterface();
    return std::make_unique<CQtUserInterface>(CQtUserInterface::NobodyToAnswer());
}

// The program after its launcher (main.cpp) has started reading the file it names:
// the toolkit, the application and its event loop. bEndWhenShown is the benchmark's
// start: every modal dialog is cancelled as soon as it runs, and the program ends on the
// first idle turn of its event loop.
int RunGui(int argc, char* argv[], bool bEndWhenShown)
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fretly"));
    QApplication::setApplicationVersion(QString::fromLatin1(kFretlyVersion));
    QApplication::setWindowIcon(AfxLoadIcon(IDR_MAINFRAME));
    // The Hints window alone never keeps the program running.
    QApplication::setQuitOnLastWindowClosed(false);

    std::unique_ptr<CQtUserInterface> pUI = MakeUserInterface(bEndWhenShown);
    // Keeps a copy of unsaved work; started by InitInstance unless it only prints.
    CRecoveryGuard recovery;
    // The command line the launcher parsed, the toolkit's options (such as -platform)
    // already set apart.
    theApp.SetCommandLine(AfxGetCommandLine());

    QTimer closer;
    if (bEndWhenShown) {
        QObject::connect(&closer, &QTimer::timeout, [] {
            if (auto* pDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                pDialog->reject();
        });
        closer.start(0);
    }

    int nReturn = 0;
    if (theApp.InitInstance()) {
        if (auto* pFrame = dynamic_cast<CMainFrame*>(theApp.m_pMainWnd)) {
            QObject::connect(pFrame, &CMainFrame::frameClosed, &qapp, &QCoreApplication::quit, Qt::QueuedConnection);
            if (bEndWhenShown)
                QTimer::singleShot(0, &qapp, [] { QCoreApplication::exit(0); });
            // The main window may already be gone (closed from the start-up dialog).
            AfxRunTestScript(pFrame);
            if (pFrame->isVisible())
                nReturn = qapp.exec();
        }
    }
    // Closed through the save prompt: saved, or the user chose not to keep the changes.
    recovery.OnNormalEnd();
    nReturn = theApp.ExitInstance() != 0 ? 1 : nReturn;
    // Windows go while Qt is still there.
    theApp.m_dlgHints.DestroyWindow();
    theApp.DeleteDocTemplate();
    return nReturn;
}

} // namespace

extern "C" FRETLY_GUI_ENTRY int FretlyGuiMain(int argc, char* argv[]) { return RunGui(argc, argv, false); }

extern "C" FRETLY_GUI_ENTRY int FretlyGuiStartBenchmark(int argc, char* argv[]) { return RunGui(argc, argv, true); }
