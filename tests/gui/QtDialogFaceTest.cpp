// The dialogs built from the templates in faces other than the one they were drawn for:
// every text shows whole and no control covers another, in a wide fixed-pitch face and in
// every face installed here.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "framework/qt/QtDialogWindow.h"
#include "resources/Resource.h"

namespace {

const UINT kDialogs[] = {IDD_FILEINFO, IDD_ABOUTBOX, IDD_TABHINTS};

// What is wrong with the dialog as shown, one line per fault; empty when nothing is.
std::vector<std::string> LayoutFaults(const CQtDialogWindow& wnd)
{
    std::vector<std::string> faults;
    std::vector<QWidget*> controls;
    for (QWidget* pChild : wnd.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (pChild->property(CQtDialogWindow::kControlIdProperty).isValid())
            controls.push_back(pChild);
    auto name = [](const QWidget* p) {
        const auto* pLabel = qobject_cast<const QLabel*>(p);
        const auto* pButton = qobject_cast<const QAbstractButton*>(p);
        const QString text = pLabel ? pLabel->text() : pButton ? pButton->text() : QString(p->metaObject()->className());
        return "\"" + text.left(30).toStdString() + "\"";
    };
    for (size_t i = 0; i < controls.size(); ++i) {
        const QWidget* p = controls[i];
        if (!wnd.rect().contains(p->geometry()))
            faults.push_back(name(p) + " lies outside the dialog");
        for (size_t j = i + 1; j < controls.size(); ++j)
            if (p->geometry().intersects(controls[j]->geometry()))
                faults.push_back(name(p) + " covers " + name(controls[j]));
        const QFontMetrics fm = p->fontMetrics();
        if (const auto* pLabel = qobject_cast<const QLabel*>(p); pLabel != nullptr && !pLabel->text().isEmpty()) {
            const QRect room = pLabel->contentsRect();
            const QRect needed = fm.boundingRect(room, Qt::TextWordWrap | Qt::TextExpandTabs, pLabel->text(),
                                                 8 * wnd.GetBaseUnits().CxAvgChar());
            if (needed.height() > room.height() || needed.width() > room.width())
                faults.push_back(name(p) + " is clipped");
        } else if (const auto* pButton = qobject_cast<const QPushButton*>(p)) {
            const int cxMargin = p->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, p);
            if (fm.horizontalAdvance(pButton->text()) + 2 * cxMargin > p->width() || fm.height() > p->height())
                faults.push_back(name(p) + " is clipped");
        } else if (const auto* pBox = qobject_cast<const QCheckBox*>(p)) {
            if (pBox->sizeHint().width() > p->width())
                faults.push_back(name(p) + " is clipped");
        }
    }
    return faults;
}

// The template as it stands, but drawn in this face.
DlgTemplate InFace(UINT nID, const QString& family, int nPointSize)
{
    DlgTemplate tmpl = *FindDialogTemplate(nID);
    tmpl.fontFace = family.toStdString();
    tmpl.nFontPointSize = nPointSize;
    return tmpl;
}

} // namespace

// A fixed-pitch face is what a machine with no sans face gives for the dialog font, and
// the widest a user is likely to meet.
TEST(QtDialogFace, FixedPitchFaceShowsEveryTextWithoutCoveringControls)
{
    GuiApp();
    const QString family = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    for (UINT nID : kDialogs) {
        for (int nPoints : {8, 11}) {
            SCOPED_TRACE("dialog " + std::to_string(nID) + ", " + family.toStdString() + " " +
                         std::to_string(nPoints) + " pt");
            const DlgTemplate tmpl = InFace(nID, family, nPoints);
            CDialog dlg(nID);
            CQtDialogWindow wnd(dlg, tmpl, nID != IDD_TABHINTS, nullptr);
            ASSERT_TRUE(QFontInfo(wnd.font()).fixedPitch()) << QFontInfo(wnd.font()).family().toStdString();
            EXPECT_EQ(LayoutFaults(wnd), std::vector<std::string>());
        }
    }
}

TEST(QtDialogFace, EveryInstalledLatinFaceShowsEveryTextWithoutCoveringControls)
{
    GuiApp();
    int nFaces = 0;
    for (const QString& family : QFontDatabase::families(QFontDatabase::Latin)) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        ++nFaces;
        for (UINT nID : kDialogs) {
            SCOPED_TRACE("dialog " + std::to_string(nID) + ", " + family.toStdString());
            const DlgTemplate tmpl = InFace(nID, family, 8);
            CDialog dlg(nID);
            CQtDialogWindow wnd(dlg, tmpl, true, nullptr);
            EXPECT_EQ(LayoutFaults(wnd), std::vector<std::string>());
        }
    }
    EXPECT_GT(nFaces, 0);
}
