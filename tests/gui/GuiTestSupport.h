#pragma once
// Shared by the GUI tests: one QApplication for the whole test program (made on first
// use, whoever asks first), and a way to act on a modal window once its loop runs.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "support/TestFiles.h"

// The test program's own settings, data, cache and runtime folders, made before Qt starts
// and removed after Qt's last settings write at exit: no test reads what the user's home
// holds (~/.config/QtProject.conf and the like) or leaves anything there.
inline const std::filesystem::path& GuiTestHome()
{
    static const CScratchDir home("fretly-gui-home");
    return home.path;
}

inline QApplication* GuiApp()
{
    if (auto* pApp = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return pApp;
    const std::filesystem::path& home = GuiTestHome();
    for (const char* dir : {"config", "data", "cache", "runtime"})
        std::filesystem::create_directories(home / dir);
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);
    std::filesystem::permissions(home / "runtime", std::filesystem::perms::owner_all);
    ::setenv("XDG_RUNTIME_DIR", (home / "runtime").c_str(), 1);
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
