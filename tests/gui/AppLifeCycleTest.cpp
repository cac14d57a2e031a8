// Start-up, the Hints window, closing with the save prompt, recent files and dropped files.
#include <gtest/gtest.h>

#include <QAction>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include <sstream>

#include "framework/qt/QtDialogWindow.h"
#include "gui/AppFixture.h"
#include "resources/Resource.h"
#include "support/TestFiles.h"

using namespace apptest;

namespace {

QWidget* Hints() { auto w = WindowsTitled(QStringLiteral("Tablature Hints")); return w.empty() ? nullptr : w[0]; }

void AnswerNextModal(std::vector<QString>* pSeen, const char* slot = "reject")
{
    WhenModal([pSeen, slot](QWidget* pModal) {
        QString text = pModal->property("text").toString();
        pSeen->push_back(text.isEmpty() ? pModal->windowTitle() : text);
        QMetaObject::invokeMethod(pModal, slot, Qt::QueuedConnection);
    });
}

} // namespace

TEST(AppLifeCycle, StartupShowsMainWindowHintsAndTheHeaderDialogOnce)
{
    AppFixture f;
    ASSERT_TRUE(f.Start());
    EXPECT_EQ(f.modalTitles, (std::vector<QString>{"Fretly - File Information"}));
    EXPECT_TRUE(f.mainVisibleAtHeaderDialog);
    EXPECT_EQ(f.hintsAtHeaderDialog, 1U);
    EXPECT_EQ(f.Frame()->windowTitle(), "Untitled - Fretly");
    ASSERT_NE(Hints(), nullptr);
    EXPECT_EQ(WindowsTitled(QStringLiteral("Tablature Hints")).size(), 1U);
    EXPECT_FALSE(f.Doc()->IsModified());   // the dialog was cancelled

    // The skipped call is spent: File New shows the dialog at once.
    std::vector<QString> seen;
    AnswerNextModal(&seen);
    f.Frame()->OnCmdMsg(ID_FILE_NEW);
    EXPECT_EQ(seen, (std::vector<QString>{"Fretly - File Information"}));
}

TEST(AppLifeCycle, HintsWindowOneAtMostReopenedAtItsPlaceAfterClose)
{
    AppFixture f;
    ASSERT_TRUE(f.Start());
    QWidget* pFirst = Hints();
    ASSERT_NE(pFirst, nullptr);
    const QPoint home = pFirst->pos();
    pFirst->move(home + QPoint(-40, 30));
    const QPoint moved = pFirst->pos();

    f.Frame()->OnCmdMsg(ID_HELP_TABHINTS);   // only brings it forward, where it is
    Settle();
    EXPECT_EQ(WindowsTitled(QStringLiteral("Tablature Hints")).size(), 1U);
    EXPECT_EQ(Hints(), pFirst);
    EXPECT_EQ(Hints()->pos(), moved);

    pFirst->close();   // the close box
    Settle();
    EXPECT_EQ(Hints(), nullptr);
    EXPECT_FALSE(f.app.m_dlgHints.HasWindow());
    f.Frame()->OnCmdMsg(ID_HELP_TABHINTS);
    Settle();
    ASSERT_NE(Hints(), nullptr);
    EXPECT_EQ(Hints()->pos(), home);

    // Hidden while the main window is minimised, shown again after.
    f.Frame()->setWindowState(Qt::WindowMinimized);
    QEvent change(QEvent::WindowStateChange);
    QApplication::sendEvent(f.Frame(), &change);
    EXPECT_EQ(Hints(), nullptr);
    EXPECT_TRUE(f.app.m_dlgHints.HasWindow());
    f.Frame()->setWindowState(Qt::WindowNoState);
    QApplication::sendEvent(f.Frame(), &change);
    ASSERT_NE(Hints(), nullptr);

    // Enter never leaves it hidden while it exists.
    SendKey(Hints(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(Hints() != nullptr, f.app.m_dlgHints.HasWindow());
    if (Hints() == nullptr)
        f.Frame()->OnCmdMsg(ID_HELP_TABHINTS);
    Settle();
    ASSERT_NE(Hints(), nullptr);

    // Escape closes it like the close box: never hidden but existing.
    SendKey(Hints(), Qt::Key_Escape);
    Settle();
    EXPECT_EQ(Hints(), nullptr);
    EXPECT_FALSE(f.app.m_dlgHints.HasWindow());

    // The About box's button closes the box and opens the window.
    WhenModal([](QWidget* pModal) {
        for (QPushButton* pButton : pModal->findChildren<QPushButton*>())
            if (pButton->text() == "Tablature Hints")
                QMetaObject::invokeMethod(pButton, "click", Qt::QueuedConnection);
    });
    f.Frame()->OnCmdMsg(ID_APP_ABOUT);
    Settle();
    EXPECT_TRUE(WindowsTitled(QStringLiteral("About fretly")).empty());
    EXPECT_NE(Hints(), nullptr);
}

TEST(AppLifeCycle, ClosingAsksToSaveAModifiedDocument)
{
    AppFixture f;
    ASSERT_TRUE(f.Start());
    TypeText(f.Host(), "3");
    std::vector<QString> seen;
    AnswerNextModal(&seen);   // Escape: Cancel
    f.Frame()->close();
    Settle();
    EXPECT_EQ(seen, (std::vector<QString>{"Save changes to Untitled?"}));
    EXPECT_TRUE(f.Frame()->isVisible());
    EXPECT_NE(Hints(), nullptr);

    WhenModal([&](QWidget* pModal) {
        for (QPushButton* pButton : pModal->findChildren<QPushButton*>())
            if (pButton->text().remove('&') == "No")
                QMetaObject::invokeMethod(pButton, "click", Qt::QueuedConnection);
    });
    f.Frame()->GetCommandAction(ID_APP_EXIT)->trigger();
    Settle();
    EXPECT_FALSE(f.Frame()->isVisible());
    EXPECT_EQ(Hints(), nullptr);   // it goes with the main window
}

TEST(AppLifeCycle, RecentFilesMenuAndProfileBytes)
{
    AppFixture f;
    ASSERT_TRUE(f.Start());
    std::vector<std::string> files;
    for (int i = 1; i <= 5; ++i) {
        files.push_back((f.dir / ("song" + std::to_string(i) + ".tab")).string());
        ASSERT_TRUE(f.Doc()->OnSaveDocument(files.back()));
    }
    for (const std::string& path : files) {
        std::vector<QString> seen;
        AnswerNextModal(&seen);   // the header dialog after each open
        ASSERT_NE(f.app.OpenDocumentFile(path), nullptr);
    }
    EXPECT_EQ(f.Frame()->windowTitle(), "song5.tab - Fretly");
    f.Frame()->UpdateMenus();
    QMenu* pFile = f.Frame()->menuBar()->actions()[0]->menu();
    std::vector<QString> recent;
    for (QAction* pAction : pFile->actions())
        if (pAction->isVisible() && pAction->text().startsWith('&') && pAction->text()[1].isDigit())
            recent.push_back(pAction->text());
    ASSERT_EQ(recent.size(), 4U);   // the fifth pushed out the oldest
    EXPECT_TRUE(recent[0].startsWith("&1 ") && recent[0].endsWith("song5.tab"));
    EXPECT_TRUE(recent[3].endsWith("song2.tab"));
    for (const QString& text : recent)
        EXPECT_LE(text.size() - 3, 30);

    f.app.ExitInstance();
    const auto ini = f.dir / (CProfile::ExecutableBaseName() + ".INI");
    EXPECT_EQ(ReadFileBytes(ini), "[Recent File List]\nFile1=" + files[4] + "\nFile2=" + files[3] + "\nFile3=" +
                                 files[2] + "\nFile4=" + files[1] + "\n");
}

TEST(AppLifeCycle, DroppedFilesOpenInTurnAskingToSaveBeforeEach)
{
    AppFixture f;
    ASSERT_TRUE(f.Start());
    std::vector<std::string> files;
    for (const char* name : {"a.tab", "b.tab", "c.tab"}) {
        files.push_back((f.dir / name).string());
        ASSERT_TRUE(f.Doc()->OnSaveDocument(files.back()));
    }
    TypeText(f.Host(), "1");

    // Each open: a save prompt while modified (No), then the header dialog (OK marks the
    // document modified only until the open completes).
    int nPrompts = 0;
    auto* pTimer = new QTimer;
    pTimer->setInterval(5);
    QObject::connect(pTimer, &QTimer::timeout, [&] {
        QWidget* pModal = QApplication::activeModalWidget();
        if (pModal == nullptr || !pModal->isVisible())
            return;
        if (pModal->property("text").toString().startsWith("Save changes")) {
            ++nPrompts;
            for (QPushButton* pButton : pModal->findChildren<QPushButton*>())
                if (pButton->text().remove('&') == "No")
                    pButton->click();
        } else {
            QMetaObject::invokeMethod(pModal, "reject");
        }
    });
    pTimer->start();

    QMimeData mime;
    QList<QUrl> urls;
    for (const std::string& path : files)
        urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
    mime.setUrls(urls);
    // Offscreen Qt delivers no drop without a drag in progress: hand over the drop's data.
    EXPECT_TRUE(f.Frame()->acceptDrops());
    ASSERT_TRUE(f.Frame()->DropFiles(&mime));
    Settle();
    delete pTimer;
    EXPECT_EQ(nPrompts, 1);
    EXPECT_EQ(f.Frame()->windowTitle(), "c.tab - Fretly");
    EXPECT_EQ(f.app.GetRecentFileList()->GetCount(), 3);
}

TEST(AppLifeCycle, MissingFileOnTheCommandLineEndsWithoutAWindow)
{
    AppFixture f({"/nonexistent-dir/none.tab"});
    std::vector<QString> seen;
    AnswerNextModal(&seen, "accept");
    EXPECT_FALSE(f.app.InitInstance());
    Settle();
    EXPECT_EQ(seen, (std::vector<QString>{"/nonexistent-dir/none.tab was not found."}));
    EXPECT_TRUE(f.Frame() == nullptr || !f.Frame()->isVisible());
    EXPECT_EQ(Hints(), nullptr);
}
