// Whole-process benchmark helper: the editor's start as main() makes it (profile,
// desktop registration, the file given on the command line, main window, Hints window,
// the start-up header dialog), ended as soon as everything has been shown: the header
// dialog is cancelled the moment it runs and the program quits on its first idle turn.
// Run it with QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QTimer>

#include "app/FretlyApp.h"
#include "app/MainFrame.h"
#include "framework/qt/QtUserInterface.h"

static CFretlyApp theApp;

int main(int argc, char* argv[])
{
    CFretlyApp::StartReadAhead(std::vector<std::string>(argv + 1, argv + argc));
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fretly"));
    QApplication::setQuitOnLastWindowClosed(false);
    CQtUserInterface ui;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i)
        theApp.m_args.push_back(QFile::encodeName(args[i]).toStdString());
    CFretlyApp::StartReadAhead(theApp.m_args);

    // Closes each modal dialog once its event loop runs, that is once it is on screen.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* pDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            pDialog->reject();
    });
    closer.start(0);

    int nReturn = 1;
    if (theApp.InitInstance()) {
        // exit, not quit: quit asks the windows to close, and the frame handles that itself.
        QTimer::singleShot(0, &qapp, [] { QCoreApplication::exit(0); });
        nReturn = qapp.exec();
    }
    theApp.ExitInstance();
    theApp.m_dlgHints.DestroyWindow();
    theApp.DeleteDocTemplate();
    return nReturn;
}
