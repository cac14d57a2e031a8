// Message boxes and file dialogs: the icon, buttons, default button and caption asked for,
// and the answer mapped back to IDOK / IDCANCEL / IDYES / IDNO.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include "GuiTestSupport.h"
#include "framework/qt/QtUserInterface.h"

namespace {

struct SeenBox {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString caption;
    QString text;
};

class QtMessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { GuiApp(); }

    // Shows a box, records it and answers with the given button (NoButton: Escape;
    // Ok with bEnter: the Enter key).
    int Show(UINT nType, QMessageBox::StandardButton answer, bool bEnter = false)
    {
        m_seen = SeenBox();
        WhenModal([this, answer, bEnter](QWidget* pModal) {
            auto* pBox = qobject_cast<QMessageBox*>(pModal);
            ASSERT_NE(pBox, nullptr);
            m_seen.icon = pBox->icon();
            for (QAbstractButton* b : pBox->buttons())
                m_seen.buttons << pBox->standardButton(b);
            m_seen.defaultButton = pBox->standardButton(pBox->defaultButton());
            m_seen.caption = pBox->windowTitle();
            m_seen.text = pBox->text();
            if (bEnter) {
                QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                QCoreApplication::sendEvent(pBox, &enter);
            } else if (answer == QMessageBox::NoButton) {
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(pBox, &esc);
            } else {
                pBox->button(answer)->click();
            }
        });
        return m_ui.MessageBox("Save changes to Untitled?", "Fretly", nType);
    }

    CQtUserInterface m_ui;
    SeenBox m_seen;
};

} // namespace

TEST_F(QtMessageBoxTest, IconsFollowTheType)
{
    const std::pair<UINT, QMessageBox::Icon> cases[] = {{MB_ICONHAND, QMessageBox::Critical},
                                                        {MB_ICONQUESTION, QMessageBox::Question},
                                                        {MB_ICONEXCLAMATION, QMessageBox::Warning},
                                                        {MB_ICONASTERISK, QMessageBox::Information},
                                                        {0, QMessageBox::NoIcon}};
    for (const auto& [nIcon, icon] : cases) {
        EXPECT_EQ(Show(MB_OK | nIcon, QMessageBox::Ok), IDOK);
        EXPECT_EQ(m_seen.icon, icon) << nIcon;
    }
    EXPECT_EQ(m_seen.caption, QStringLiteral("Fretly"));
    EXPECT_EQ(m_seen.text, QStringLiteral("Save changes to Untitled?"));
}

TEST_F(QtMessageBoxTest, ButtonsAndAnswers)
{
    using B = QMessageBox;
    EXPECT_EQ(Show(MB_OKCANCEL, B::Cancel), IDCANCEL);
    EXPECT_EQ(m_seen.buttons.size(), 2);
    EXPECT_TRUE(m_seen.buttons.contains(B::Ok) && m_seen.buttons.contains(B::Cancel));
    EXPECT_EQ(Show(MB_YESNO, B::Yes), IDYES);
    EXPECT_EQ(Show(MB_YESNO, B::No), IDNO);
    EXPECT_EQ(m_seen.buttons.size(), 2);
    EXPECT_EQ(Show(MB_YESNOCANCEL | MB_ICONEXCLAMATION, B::No), IDNO);
    EXPECT_EQ(m_seen.buttons.size(), 3);
    EXPECT_EQ(Show(MB_YESNOCANCEL, B::Cancel), IDCANCEL);
}

TEST_F(QtMessageBoxTest, DefaultButtonAnswersEnter)
{
    using B = QMessageBox;
    EXPECT_EQ(Show(MB_YESNOCANCEL, B::Ok, true), IDYES);
    EXPECT_EQ(m_seen.defaultButton, B::Yes);
    EXPECT_EQ(Show(MB_YESNOCANCEL | MB_DEFBUTTON2, B::Ok, true), IDNO);
    EXPECT_EQ(m_seen.defaultButton, B::No);
    EXPECT_EQ(Show(MB_YESNOCANCEL | MB_DEFBUTTON3, B::Ok, true), IDCANCEL);
    EXPECT_EQ(m_seen.defaultButton, B::Cancel);
    EXPECT_EQ(Show(MB_OKCANCEL | MB_DEFBUTTON2, B::Ok, true), IDCANCEL);
    // A default past the last button falls back to the first.
    EXPECT_EQ(Show(MB_OK | MB_DEFBUTTON3, B::Ok, true), IDOK);
}

TEST_F(QtMessageBoxTest, EscapeCancelsOrAcknowledges)
{
    EXPECT_EQ(Show(MB_YESNOCANCEL, QMessageBox::NoButton), IDCANCEL);
    EXPECT_EQ(Show(MB_OKCANCEL, QMessageBox::NoButton), IDCANCEL);
    EXPECT_EQ(Show(MB_OK | MB_ICONHAND, QMessageBox::NoButton), IDOK);
}

TEST_F(QtMessageBoxTest, SaveAsAddsTheDefaultExtensionAndOffersTheFilters)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CFileDialogRequest req;
    req.bOpen = false;
    req.title = "Save As";
    req.initialName = (QDir(dir.path()).filePath(QStringLiteral("Untitled.TAB"))).toStdString();
    req.filters = {"Fretly Files (*.tab)", "All Files (*.*)"};
    req.defaultExtension = ".TAB";
    QStringList filters;
    QString title, proposed;
    WhenModal([&](QWidget* pModal) {
        auto* pDialog = qobject_cast<QFileDialog*>(pModal);
        ASSERT_NE(pDialog, nullptr);
        filters = pDialog->nameFilters();
        title = pDialog->windowTitle();
        proposed = QFileInfo(pDialog->selectedFiles().value(0)).fileName();
        pDialog->selectFile(QDir(dir.path()).filePath(QStringLiteral("riff")));
        QMetaObject::invokeMethod(pDialog, "accept");
    });
    std::string path;
    ASSERT_TRUE(m_ui.GetFileName(req, path));
    EXPECT_EQ(path, QDir(dir.path()).filePath(QStringLiteral("riff.TAB")).toStdString());
    EXPECT_EQ(filters, QStringList({"Fretly Files (*.tab)", "All Files (*.*)"}));
    EXPECT_EQ(title, QStringLiteral("Save As"));
    EXPECT_EQ(proposed, QStringLiteral("Untitled.TAB"));
}

TEST_F(QtMessageBoxTest, CancelledFileDialogGivesNoName)
{
    CFileDialogRequest req;
    req.title = "Open";
    req.filters = {"Fretly Files (*.tab)", "All Files (*.*)"};
    WhenModal([](QWidget* pModal) { qobject_cast<QDialog*>(pModal)->reject(); });
    std::string path = "unchanged";
    EXPECT_FALSE(m_ui.GetFileName(req, path));
    EXPECT_EQ(path, "unchanged");
}
