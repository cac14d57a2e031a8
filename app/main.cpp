#include <QApplication>
#include <QFile>
#include <QIcon>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/FretlyApp.h"
#include "app/MainFrame.h"
#include "app/RecoveryGuard.h"
#include "app/TestScript.h"
#include "framework/StartDisplay.h"
#include "framework/qt/QtUserInterface.h"

// The one application object, made before main runs.
static CFretlyApp theApp;

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("fretly %s\n", kFretlyVersion);
            return 0;
        }
    }

    // With no display at all the toolkit would abort; printing runs offscreen instead.
    if (!AfxPrepareStartDisplay(argc, argv))
        return 1;

    // A big file named on the command line is read while the toolkit starts.
    CFretlyApp::StartReadAhead(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fretly"));
    QApplication::setApplicationVersion(QString::fromLatin1(kFretlyVersion));
    QIcon icon;
    icon.addFile(QStringLiteral(":/fretly/fretly-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/fretly/fretly-16.png"), QSize(16, 16));
    QApplication::setWindowIcon(icon);
    // The Hints window alone never keeps the program running.
    QApplication::setQuitOnLastWindowClosed(false);

    std::unique_ptr<CQtUserInterface> pUI = AfxMakeUserInterface();
    // Keeps a copy of unsaved work; started by InitInstance unless it only prints.
    CRecoveryGuard recovery;
    // Arguments Qt did not take (it removes its own, such as -platform).
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i)
        theApp.m_args.push_back(QFile::encodeName(args[i]).toStdString());
    // The toolkit may have taken arguments that were read as a file name.
    CFretlyApp::StartReadAhead(theApp.m_args);

    int nReturn = 0;
    if (theApp.InitInstance()) {
        if (auto* pFrame = dynamic_cast<CMainFrame*>(theApp.m_pMainWnd)) {
            QObject::connect(pFrame, &CMainFrame::frameClosed, &qapp, &QCoreApplication::quit, Qt::QueuedConnection);
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
