// The editing pane as Qt's accessibility sees it: the text object's role, name, lines and
// caret through QAccessibleTextInterface, and what they read after keys; the dialogs'
// fields named by their labels.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QKeyEvent>

#include <memory>
#include <vector>

#include "GuiTestSupport.h"
#include "document/FretlyDoc.h"
#include "framework/Dialog.h"
#include "framework/qt/QtAccessibleTab.h"
#include "framework/qt/QtDialogWindow.h"
#include "framework/qt/ScrollViewHost.h"
#include "resources/DialogTemplates.h"
#include "resources/Resource.h"
#include "view/FretlyView.h"

namespace {

void Press(QWidget* pWidget, int nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, nKey, modifiers, text);
    QApplication::sendEvent(pWidget, &press);
    QKeyEvent release(QEvent::KeyRelease, nKey, modifiers, text);
    QApplication::sendEvent(pWidget, &release);
}

class QtAccessibleTabTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiApp();
        m_doc.AddView(&m_view);
        m_pHost = std::make_unique<CScrollViewHost>(&m_view);
        m_pHost->resize(700, 300);
        m_doc.OnNewDocument();
        m_doc.InsertStaff(0);
        m_view.OnInitialUpdate();
        m_pHost->show();
        m_pIface = QAccessible::queryAccessibleInterface(m_pHost.get());
    }
    void TearDown() override { m_pHost.reset(); }

    CFretlyDoc m_doc;
    CFretlyView m_view;
    std::unique_ptr<CScrollViewHost> m_pHost;
    QAccessibleInterface* m_pIface = nullptr;
};

TEST_F(QtAccessibleTabTest, ThePaneIsAMultiLineTextNamedTablature)
{
    ASSERT_NE(m_pIface, nullptr);
    EXPECT_EQ(m_pIface->role(), QAccessible::EditableText);
    EXPECT_EQ(m_pIface->text(QAccessible::Name), QStringLiteral("Tablature"));
    EXPECT_EQ(m_pIface->text(QAccessible::Description), QStringLiteral("staff 1 of 2, high E string, column 1: empty"));
    EXPECT_TRUE(m_pIface->state().multiLine);
    EXPECT_TRUE(m_pIface->state().focusable);
    QAccessibleTextInterface* pText = m_pIface->textInterface();
    ASSERT_NE(pText, nullptr);
    EXPECT_EQ(pText->characterCount(), 2 * 554);
    EXPECT_EQ(pText->cursorPosition(), 1);
    int nStart = 0, nEnd = 0;
    EXPECT_EQ(pText->textAtOffset(600, QAccessible::LineBoundary, &nStart, &nEnd), QString(78, QLatin1Char('-')) + "\n");
    EXPECT_EQ(nStart, 554);
    EXPECT_EQ(pText->textAfterOffset(1, QAccessible::LineBoundary, &nStart, &nEnd).size(), 79);
    EXPECT_EQ(nStart, 79);
    EXPECT_EQ(pText->textBeforeOffset(554, QAccessible::LineBoundary, &nStart, &nEnd), QStringLiteral("\n"));
    EXPECT_EQ(pText->textAtOffset(5, QAccessible::CharBoundary, &nStart, &nEnd), QStringLiteral("-"));
    EXPECT_EQ(pText->textAtOffset(2 * 554, QAccessible::CharBoundary, &nStart, &nEnd), QString());
    // The cell under the caret is where the screen shows it.
    const QRect rc = pText->characterRect(pText->cursorPosition());
    EXPECT_EQ(pText->offsetAtPoint(rc.center()), 1);
    QAccessibleValueInterface* pValue = m_pIface->valueInterface();
    ASSERT_NE(pValue, nullptr);
    EXPECT_EQ(pValue->currentValue().toInt(), 1);
    EXPECT_EQ(pValue->maximumValue().toInt(), 2);
}

// The events themselves reach a reader only where the platform's accessibility is active
// (tests/a11y/ checks them over AT-SPI); here, what the interface reads after each key.
TEST_F(QtAccessibleTabTest, KeysThroughTheWindowChangeWhatTheInterfaceReads)
{
    QAccessibleTextInterface* pText = m_pIface->textInterface();
    Press(m_pHost.get(), Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
    EXPECT_EQ(pText->text(0, 4), QStringLiteral("-7--"));
    EXPECT_EQ(pText->cursorPosition(), 2);
    EXPECT_EQ(m_pIface->text(QAccessible::Description), QStringLiteral("high E string, column 2: empty"));
    Press(m_pHost.get(), Qt::Key_Left);
    EXPECT_EQ(m_pIface->text(QAccessible::Description), QStringLiteral("high E string, column 1: 7"));
    for (int i = 0; i < 7; ++i)
        Press(m_pHost.get(), Qt::Key_Down);
    EXPECT_EQ(m_pIface->text(QAccessible::Description), QStringLiteral("staff 2 of 2, high E string, column 1: empty"));
    EXPECT_EQ(m_pIface->valueInterface()->currentValue().toInt(), 2);
    // The reader moves the caret: the cursor follows, as a click would put it.
    pText->setCursorPosition(554 + 3 * 79 + 10);
    EXPECT_EQ(m_view.m_nCurRow, 3);
    EXPECT_EQ(m_view.m_nCurCol, 10);
}

TEST(QtAccessibleDialogTest, FieldsAreNamedByTheirLabelsAndHintsReadAsWords)
{
    GuiApp();
    CDialog dlg(IDD_FILEINFO);
    CQtDialogWindow wnd(dlg, *FindDialogTemplate(IDD_FILEINFO), true, nullptr);
    auto name = [](QWidget* pWidget) { return QAccessible::queryAccessibleInterface(pWidget)->text(QAccessible::Name); };
    EXPECT_EQ(name(wnd.GetControl(IDC_SONGTITLE)), QStringLiteral("Title:"));
    EXPECT_EQ(name(wnd.GetControl(IDC_ARTIST)), QStringLiteral("Artist/Author:"));
    EXPECT_EQ(name(wnd.GetControl(IDC_COMMENTS)), QStringLiteral("Comments:"));
    // Tied, but nothing shown changes: no mnemonic, the same text.
    for (QLabel* pLabel : wnd.findChildren<QLabel*>()) {
        if (pLabel->buddy() != nullptr) {
            EXPECT_FALSE(pLabel->text().contains(QLatin1Char('&')));
        }
    }
    CDialog hints(IDD_TABHINTS);
    CQtDialogWindow hintsWnd(hints, *FindDialogTemplate(IDD_TABHINTS), false, nullptr);
    QStringList names;
    for (QLabel* pLabel : hintsWnd.findChildren<QLabel*>())
        names << name(pLabel);
    EXPECT_TRUE(names.contains(QStringLiteral("h: Hammer On"))) << names.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("(for creating chords)")));
}

TEST(QtAccessibleDialogTest, ALockKeyPaneReadsOnOrOff)
{
    GuiApp();
    AfxInstallAccessibleFactory();
    QLabel pane;
    AfxMarkIndicatorPane(&pane, QStringLiteral("CAP"));
    QAccessibleInterface* pIface = QAccessible::queryAccessibleInterface(&pane);
    EXPECT_EQ(pIface->text(QAccessible::Name), QStringLiteral("CAP off"));
    pane.setText(QStringLiteral("CAP"));
    EXPECT_EQ(pIface->text(QAccessible::Name), QStringLiteral("CAP on"));
}

} // namespace
