#pragma once
// A started application for the GUI tests: its own profile folder, the Qt user
// interface, and the start-up header dialog answered.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStatusBar>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/FretlyApp.h"
#include "app/MainFrame.h"
#include "document/FretlyDoc.h"
#include "framework/qt/QtUserInterface.h"
#include "framework/qt/ScrollViewHost.h"
#include "gui/GuiTestSupport.h"
#include "view/FretlyView.h"

namespace apptest {

inline void SendKey(QWidget* pWidget, int nKey, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent over(QEvent::ShortcutOverride, nKey, mods, text);
    QApplication::sendEvent(pWidget, &over);
    QKeyEvent press(QEvent::KeyPress, nKey, mods, text);
    QApplication::sendEvent(pWidget, &press);
    QKeyEvent release(QEvent::KeyRelease, nKey, mods, text);
    QApplication::sendEvent(pWidget, &release);
}

inline void TypeText(QWidget* pWidget, const QString& text)
{
    for (QChar ch : text) {
        int nKey = ch.toUpper().unicode();
        if (ch == QLatin1Char('\r'))
            nKey = Qt::Key_Return;
        SendKey(pWidget, nKey, Qt::NoModifier, QString(ch));
    }
}

inline void Click(QWidget* pWidget, QPoint pt)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(pt), pWidget->mapToGlobal(QPointF(pt)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pWidget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pt), pWidget->mapToGlobal(QPointF(pt)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(pWidget, &release);
}

// Visible top-level windows with this caption.
inline std::vector<QWidget*> WindowsTitled(const QString& title)
{
    std::vector<QWidget*> found;
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (pWidget->isVisible() && pWidget->windowTitle() == title)
            found.push_back(pWidget);
    return found;
}

inline void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

class AppFixture {
public:
    explicit AppFixture(std::vector<std::string> args = {})
    {
        GuiApp();
        dir = std::filesystem::temp_directory_path() / ("fretly-gui-" + std::to_string(::getpid()) + "-" +
                                                         std::to_string(++counter));
        std::filesystem::create_directories(dir);
        ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        // The desktop registration finds its data folder unwritable, so every start here
        // also shows that a failed registration does not hold the program up, and no cache
        // tool is left running in a folder the test removes.
        std::ofstream((dir / "data").string()) << "not a folder";
        ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
        app.m_args = std::move(args);
    }
    ~AppFixture()
    {
        app.m_dlgHints.DestroyWindow();
        app.DeleteDocTemplate();
        Settle();
        std::filesystem::remove_all(dir);
        // Back to the test program's own folders, where Qt writes its settings at exit.
        ::setenv("XDG_CONFIG_HOME", (GuiTestHome() / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (GuiTestHome() / "data").c_str(), 1);
    }

    // Runs InitInstance, cancelling the header dialog; records the modal windows seen.
    bool Start()
    {
        WhenModal([this](QWidget* pModal) {
            modalTitles.push_back(pModal->windowTitle());
            hintsAtHeaderDialog = WindowsTitled(QStringLiteral("Tablature Hints")).size();
            mainVisibleAtHeaderDialog = Frame() != nullptr && Frame()->isVisible();
            QMetaObject::invokeMethod(pModal, "reject", Qt::QueuedConnection);
        });
        bool bOk = app.InitInstance();
        Settle();
        return bOk;
    }

    CMainFrame* Frame() const { return dynamic_cast<CMainFrame*>(app.m_pMainWnd); }
    CFretlyDoc* Doc() const { return Frame() ? dynamic_cast<CFretlyDoc*>(Frame()->GetActiveDocument()) : nullptr; }
    CFretlyView* View() const { return Frame() ? dynamic_cast<CFretlyView*>(Frame()->GetActiveView()) : nullptr; }
    QWidget* Host() const { return Frame()->GetViewHost(); }

    std::string Write(const std::string& name, const std::string& text) const
    {
        std::ofstream((dir / name).string(), std::ios::binary) << text;
        return (dir / name).string();
    }

    CQtUserInterface ui;
    CFretlyApp app;
    std::filesystem::path dir;
    std::vector<QString> modalTitles;
    std::size_t hintsAtHeaderDialog = 0;
    bool mainVisibleAtHeaderDialog = false;
    static inline int counter = 0;
};

} // namespace apptest
