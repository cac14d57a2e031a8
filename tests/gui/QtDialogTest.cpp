// Modal dialogs built from the templates: controls, tab order, pixel geometry, data
// exchange, and the buttons and keys that end them.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "GuiTestSupport.h"
#include "document/FileInfoDlg.h"
#include "framework/qt/QtDialogWindow.h"
#include "framework/qt/QtUserInterface.h"

namespace {

int ControlId(const QWidget* pWidget) { return pWidget->property(CQtDialogWindow::kControlIdProperty).toInt(); }

template <typename T>
T* Control(QWidget* pDialog, int nID)
{
    return qobject_cast<T*>(static_cast<CQtDialogWindow*>(pDialog)->GetControl(nID));
}

void PressKey(QWidget* pWidget, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(pWidget, &press);
}

// An About-like dialog whose own button reaches its message map.
class CButtonDlg : public CDialog {
public:
    CButtonDlg() : CDialog(IDD_ABOUTBOX) {}
    void OnTabHintsButton()
    {
        ++m_nHints;
        EndDialog(IDOK);
    }
    int m_nHints = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CButtonDlg, CDialog)
ON_COMMAND(IDC_TABHINTS, OnTabHintsButton)
END_MESSAGE_MAP()

class QtDialogTest : public ::testing::Test {
protected:
    void SetUp() override { GuiApp(); }
    CQtUserInterface m_ui;
};

} // namespace

TEST(DialogUnits, ConvertCornersWithRounding)
{
    const CDialogBaseUnits units(6, 13);
    EXPECT_EQ(units.ToPixelsX(139), 209);   // 208.5 rounds up
    EXPECT_EQ(units.ToPixelsY(217), 353);   // 352.625
    EXPECT_EQ(units.ToPixels(7, 7, 50, 14), QRect(11, 11, 75, 23));
}

TEST(DialogUnits, AverageWidthIsTheFiftyTwoLettersOverFiftyTwo)
{
    GuiApp();
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    const QFontMetrics fm(font);
    const int cx52 = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const CDialogBaseUnits units = CDialogBaseUnits::FromFont(font);
    EXPECT_EQ(units.CxAvgChar(), static_cast<int>(std::lround(cx52 / 52.0)));
    EXPECT_EQ(units.CyChar(), fm.height());
    EXPECT_GT(units.CxAvgChar(), 3);
}

TEST_F(QtDialogTest, FileInformationDialogIsBuiltFromItsTemplate)
{
    CFileInfoDlg dlg;
    std::vector<int> ids;
    std::vector<int> tabIds;
    QRect commentsGeometry, expectedComments;
    QSize client, expectedClient;
    QString caption;
    WhenModal([&](QWidget* pModal) {
        auto* pWnd = static_cast<CQtDialogWindow*>(pModal);
        caption = pWnd->windowTitle();
        for (QObject* pChild : pWnd->children()) {
            auto* pWidget = qobject_cast<QWidget*>(pChild);
            if (pWidget != nullptr && pWidget->property(CQtDialogWindow::kControlIdProperty).isValid())
                ids.push_back(ControlId(pWidget));
        }
        // Follow Tab from the first control around the dialog once.
        QWidget* pStart = pWnd->GetControl(IDOK);
        QWidget* pWidget = pStart;
        do {
            if (pWidget->focusPolicy() & Qt::TabFocus)
                tabIds.push_back(ControlId(pWidget));
            pWidget = pWidget->nextInFocusChain();
        } while (pWidget != pStart && tabIds.size() < 40);
        static_cast<QPushButton*>(pWnd->GetControl(IDCANCEL))->click();
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    {
        // The pixel geometry in a face the template's texts fit (whatever the machine's
        // default sans face is); wider faces grow the dialog, see QtDialogFaceTest.
        DlgTemplate tmpl = *FindDialogTemplate(IDD_FILEINFO);
        tmpl.fontFace = "Liberation Sans";
        CQtDialogWindow wnd(dlg, tmpl, true, nullptr);
        ASSERT_EQ(QFontInfo(wnd.font()).family(), QStringLiteral("Liberation Sans"));
        const CDialogBaseUnits& units = wnd.GetBaseUnits();
        commentsGeometry = wnd.GetControl(IDC_COMMENTS)->geometry();
        expectedComments = units.ToPixels(7, 143, 182, 53);
        client = wnd.size();
        expectedClient = QSize(units.ToPixelsX(196), units.ToPixelsY(217));
    }
    EXPECT_EQ(caption, QStringLiteral("Fretly - File Information"));
    const std::vector<int> expectedIds = {IDOK,        IDCANCEL,      -1,        -1,           -1,
                                          -1,          -1,            IDC_ARTIST, IDC_SONGTITLE, IDC_ALBUM,
                                          IDC_TRANSCRIBER, IDC_EMAIL, IDC_COMMENTS, -1,       -1,
                                          IDC_FAIRUSE};
    EXPECT_EQ(ids, expectedIds);
    const std::vector<int> expectedTabs = {IDOK,      IDCANCEL,        IDC_ARTIST, IDC_SONGTITLE, IDC_ALBUM,
                                           IDC_TRANSCRIBER, IDC_EMAIL, IDC_COMMENTS, IDC_FAIRUSE};
    EXPECT_EQ(tabIds, expectedTabs);
    EXPECT_EQ(commentsGeometry, expectedComments);
    EXPECT_EQ(client, expectedClient);
}

TEST_F(QtDialogTest, DataExchangeKeepsBytesAndLineBreaks)
{
    CFileInfoDlg dlg;
    dlg.m_strArtist = "Mot\xF6rhead";              // Latin-1, left alone
    dlg.m_strAlbum = "Caf\xC3\xA9 Tacuba";          // UTF-8, edited
    dlg.m_strSongTitle = "Ace of Spades";
    dlg.m_strComments = "line one\r\nline two\r\n";
    dlg.m_strEmail = "Mot\xF6r";                   // Latin-1, edited
    dlg.m_bFairUse = 1;
    QString shownComments, shownArtist;
    bool bChecked = false;
    WhenModal([&](QWidget* pModal) {
        shownComments = Control<QPlainTextEdit>(pModal, IDC_COMMENTS)->toPlainText();
        shownArtist = Control<QLineEdit>(pModal, IDC_ARTIST)->text();
        bChecked = Control<QCheckBox>(pModal, IDC_FAIRUSE)->isChecked();
        Control<QLineEdit>(pModal, IDC_ALBUM)->setText(QString::fromUtf8("Caf\xC3\xA9 Tacuba \xE2\x82\xAC"));
        Control<QLineEdit>(pModal, IDC_EMAIL)->setText(QString::fromUtf8("Mot\xC3\xB6rhead"));
        Control<QPlainTextEdit>(pModal, IDC_COMMENTS)->setPlainText(QStringLiteral("first\nsecond"));
        Control<QCheckBox>(pModal, IDC_FAIRUSE)->setChecked(false);
        Control<QPushButton>(pModal, IDOK)->click();
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(shownComments, QStringLiteral("line one\nline two\n"));
    EXPECT_EQ(shownArtist, QString::fromUtf8("Mot\xC3\xB6rhead"));
    EXPECT_TRUE(bChecked);
    EXPECT_EQ(dlg.m_strArtist, "Mot\xF6rhead");
    EXPECT_EQ(dlg.m_strSongTitle, "Ace of Spades");
    EXPECT_EQ(dlg.m_strAlbum, "Caf\xC3\xA9 Tacuba \xE2\x82\xAC");
    EXPECT_EQ(dlg.m_strEmail, "Mot\xF6rhead");
    EXPECT_EQ(dlg.m_strComments, "first\r\nsecond");
    EXPECT_EQ(dlg.m_bFairUse, 0);
}

TEST_F(QtDialogTest, UntouchedFieldsComeBackExactlyEvenWithOddLineBreaks)
{
    CFileInfoDlg dlg;
    dlg.m_strComments = "lone\nfeed\r\nand a\xA0no-break";
    WhenModal([&](QWidget* pModal) { PressKey(Control<QPushButton>(pModal, IDOK), Qt::Key_Return); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_strComments, "lone\nfeed\r\nand a\xA0no-break");
}

TEST_F(QtDialogTest, EnterInASingleLineEditIsOk)
{
    CFileInfoDlg dlg;
    WhenModal([&](QWidget* pModal) {
        auto* pArtist = Control<QLineEdit>(pModal, IDC_ARTIST);
        pArtist->setText(QStringLiteral("typed"));
        PressKey(pArtist, Qt::Key_Return);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_strArtist, "typed");
}

TEST_F(QtDialogTest, EscapeAndCloseBoxCancelWithoutStoring)
{
    CFileInfoDlg dlg;
    dlg.m_strArtist = "before";
    WhenModal([&](QWidget* pModal) {
        Control<QLineEdit>(pModal, IDC_ARTIST)->setText(QStringLiteral("typed"));
        PressKey(pModal, Qt::Key_Escape);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_strArtist, "before");

    WhenModal([&](QWidget* pModal) {
        EXPECT_EQ(pModal->windowModality(), Qt::ApplicationModal);
        pModal->close();
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(QtDialogTest, EnterInTheCommentsMakesANewLineNotOk)
{
    CFileInfoDlg dlg;
    bool bStillOpen = false;
    WhenModal([&](QWidget* pModal) {
        auto* pComments = Control<QPlainTextEdit>(pModal, IDC_COMMENTS);
        pComments->setFocus();
        QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(pComments, &a);
        PressKey(pComments, Qt::Key_Return);
        QKeyEvent b(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
        QCoreApplication::sendEvent(pComments, &b);
        bStillOpen = pModal->isVisible();
        Control<QPushButton>(pModal, IDOK)->click();
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(bStillOpen);
    EXPECT_EQ(dlg.m_strComments, "a\r\nb");
}

TEST_F(QtDialogTest, OwnButtonReachesTheDialogsMessageMap)
{
    CButtonDlg dlg;
    QString buttonText;
    WhenModal([&](QWidget* pModal) {
        auto* pButton = Control<QPushButton>(pModal, IDC_TABHINTS);
        buttonText = pButton->text();
        pButton->click();
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nHints, 1);
    EXPECT_EQ(buttonText, QStringLiteral("Tablature Hints"));
}

TEST_F(QtDialogTest, MissingTemplateIsACancelNotACrash)
{
    CDialog dlg(4242);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

// Labels of one line show their whole text even where the sans face is wider than the
// template's, and never by covering another control.
TEST_F(QtDialogTest, OneLineLabelsShowTheirWholeTextWithoutCoveringControls)
{
    CButtonDlg dlg;
    int nClipped = 0;
    int nCovering = 0;
    int nLabels = 0;
    WhenModal([&](QWidget* pModal) {
        const QList<QLabel*> labels = pModal->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
        for (QLabel* pLabel : labels) {
            if (pLabel->text().isEmpty())
                continue;
            ++nLabels;
            for (QWidget* pOther : pModal->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                if (pOther != pLabel && qobject_cast<QPushButton*>(pOther) != nullptr &&
                    pOther->geometry().intersects(pLabel->geometry()))
                    ++nCovering;
            const QRect needed = pLabel->fontMetrics().boundingRect(pLabel->contentsRect(),
                                                                    Qt::TextWordWrap | Qt::TextExpandTabs,
                                                                    pLabel->text());
            if (needed.height() > pLabel->contentsRect().height() + 1)
                ++nClipped;
        }
        static_cast<CQtDialogWindow*>(pModal)->reject();
    });
    dlg.DoModal();
    EXPECT_GT(nLabels, 8);
    EXPECT_EQ(nCovering, 0);
    EXPECT_EQ(nClipped, 0);
}

// A comment block of many megabytes is shown in part, read-only, with a note, and comes
// back byte for byte on OK; a text that fits stays editable in the same dialog.
TEST_F(QtDialogTest, TextTooLongToEditIsShownInPartAndKeptWhole)
{
    CFileInfoDlg dlg;
    std::string comments;
    while (comments.size() < 3 * CQtDialogWindow::kMaxEditableBytes)
        comments += "caf\xC3\xA9 line of a long comment block\r\n";
    const std::string longArtist(CQtDialogWindow::kMaxEditableLineBytes + 5, 'a');
    dlg.m_strComments = comments;
    dlg.m_strArtist = longArtist;
    dlg.m_strAlbum = "Short";
    bool bCommentsReadOnly = false, bArtistReadOnly = false, bAlbumReadOnly = true;
    qsizetype nShown = 0;
    WhenModal([&](QWidget* pModal) {
        auto* pComments = Control<QPlainTextEdit>(pModal, IDC_COMMENTS);
        bCommentsReadOnly = pComments->isReadOnly();
        nShown = pComments->toPlainText().size();
        bArtistReadOnly = Control<QLineEdit>(pModal, IDC_ARTIST)->isReadOnly();
        bAlbumReadOnly = Control<QLineEdit>(pModal, IDC_ALBUM)->isReadOnly();
        Control<QPushButton>(pModal, IDOK)->click();
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(bCommentsReadOnly);
    EXPECT_TRUE(bArtistReadOnly);
    EXPECT_FALSE(bAlbumReadOnly);
    EXPECT_GT(nShown, 0);
    EXPECT_LT(static_cast<std::size_t>(nShown), CQtDialogWindow::kMaxEditableBytes + 1000);
    EXPECT_TRUE(dlg.m_strComments == comments);
    EXPECT_EQ(dlg.m_strArtist, longArtist);
    EXPECT_EQ(dlg.m_strAlbum, "Short");
}
