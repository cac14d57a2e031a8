#pragma once
// Shared by the GUI tests: one QApplication for the whole test program (made on first
// use, whoever asks first), and a way to act on a modal window once its loop runs.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

inline QApplication* GuiApp()
{
    if (auto* pApp = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return pApp;
    // No test may need a display: offscreen unless the caller chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char arg0[] = "test_gui";
    static char* argv[] = {arg0, nullptr};
    return new QApplication(argc, argv);
}

// Runs fn on the active modal widget as soon as one is up (polling from the event loop),
// so a test can answer a message box or dialog that blocks in exec().
inline void WhenModal(std::function<void(QWidget*)> fn, QWidget* pNotThis = nullptr)
{
    auto* pTimer = new QTimer;
    pTimer->setInterval(5);
    QObject::connect(pTimer, &QTimer::timeout, [pTimer, fn, pNotThis] {
        QWidget* pModal = QApplication::activeModalWidget();
        if (pModal == nullptr || pModal == pNotThis || !pModal->isVisible())
            return;
        pTimer->stop();
        pTimer->deleteLater();
        fn(pModal);
    });
    pTimer->start();
}
