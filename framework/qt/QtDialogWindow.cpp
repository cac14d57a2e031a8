#include "framework/qt/QtDialogWindow.h"

#include "framework/StringTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTextOption>

#include <algorithm>
#include <climits>
#include <vector>

#include "framework/DialogLabels.h"
#include "framework/DialogLayout.h"
#include "framework/FrameworkResource.h"

namespace {

// A static text. Tab characters are expanded to tab stops every eight average character
// widths, so a symbol and its meaning stand in two columns.
class CStaticText : public QLabel {
public:
    CStaticText(const QString& text, Qt::Alignment align, int cxTab, QWidget* pParent)
        : QLabel(text, pParent), m_cxTab(cxTab)
    {
        setTextFormat(Qt::PlainText);
        setAlignment(align | Qt::AlignTop);
        setWordWrap(true);
    }

protected:
    void paintEvent(QPaintEvent* pEvent) override
    {
        if (!text().contains(QLatin1Char('\t'))) {
            QLabel::paintEvent(pEvent);
            return;
        }
        QPainter painter(this);
        QTextOption opt(alignment());
        opt.setTabStopDistance(m_cxTab);
        opt.setWrapMode(QTextOption::WordWrap);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRectF(contentsRect()), text(), opt);
    }

private:
    int m_cxTab;
};

// CR LF in the document, LF in the widget.
QString FromCrLf(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }
QString ToCrLf(QString text) { return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n")); }

} // namespace

CQtDialogWindow::CQtDialogWindow(CDialog& dlg, const DlgTemplate& tmpl, bool bModal, QWidget* pOwner)
    : QDialog(pOwner), m_dlg(dlg), m_tmpl(tmpl), m_bModal(bModal),
      m_units(1, 1)
{
    QFont font(BytesToQString(tmpl.fontFace));
    font.setPointSize(tmpl.nFontPointSize);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);
    // Whatever family fontconfig settled on is the one measured.
    m_units = CDialogBaseUnits::FromFont(this->font());

    Qt::WindowFlags flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint;
    flags |= tmpl.bToolWindow ? Qt::Tool : Qt::Dialog;
    setWindowFlags(flags);
    setWindowTitle(BytesToQString(tmpl.caption));
    setSizeGripEnabled(false);
    setFixedSize(GetClientSize());
    CreateControls();
    if (tmpl.bToolWindow) {
        // The sunken client edge of a tool window.
        auto* pEdge = new QFrame(this);
        pEdge->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        pEdge->setGeometry(rect());
        pEdge->lower();
    }
}

CQtDialogWindow::~CQtDialogWindow()
{
    if (m_fnOnDestroyed)
        m_fnOnDestroyed();
}

QSize CQtDialogWindow::GetClientSize() const
{
    return QSize(m_units.ToPixelsX(m_tmpl.cx), m_units.ToPixelsY(m_tmpl.cy));
}

void CQtDialogWindow::CreateControls()
{
    QWidget* pPrevTab = nullptr;
    QWidget* pFirstTab = nullptr;
    const QSize client = GetClientSize();
    CDialogLayout layout(CSize(client.width(), client.height()), CSize(m_units.ToPixelsX(1), m_units.ToPixelsY(1)));
    std::vector<QWidget*> placed;
    for (const DlgControlTemplate& ctl : m_tmpl.controls) {
        QWidget* pWidget = CreateControl(ctl);
        pWidget->setProperty(kControlIdProperty, ctl.nID);
        if (ctl.nID != IDC_STATIC)
            m_controls[ctl.nID] = pWidget;
        if (ctl.bTabStop) {
            if (pPrevTab != nullptr)
                QWidget::setTabOrder(pPrevTab, pWidget);
            else
                pFirstTab = pWidget;
            pPrevTab = pWidget;
        } else if (pWidget->focusPolicy() != Qt::NoFocus) {
            pWidget->setFocusPolicy(Qt::ClickFocus);
        }
        AddToLayout(layout, pWidget, ctl);
        placed.push_back(pWidget);
    }
    if (pFirstTab != nullptr)
        pFirstTab->setFocus(Qt::TabFocusReason);

    // A face wider than the template's (a fallback, a fixed-pitch face) would clip text:
    // give every control the room its text needs in the face actually used.
    layout.Fit();
    for (size_t i = 0; i < placed.size(); ++i) {
        const CRect& rc = layout.GetRect(static_cast<int>(i));
        if (m_tmpl.controls[i].kind == DlgControlKind::Icon)
            placed[i]->move(rc.left, rc.top);   // the icon keeps its own size
        else
            placed[i]->setGeometry(rc.left, rc.top, rc.Width(), rc.Height());
    }
    setFixedSize(layout.GetClientSize().cx, layout.GetClientSize().cy);
    NameForReaders(placed);
}

void CQtDialogWindow::NameForReaders(const std::vector<QWidget*>& placed)
{
    // A screen reader names each field by its label, and reads a text set in tabbed
    // columns as words; nothing on screen changes (the labels carry no mnemonics).
    std::vector<CLabelledControl> controls;
    for (const DlgControlTemplate& ctl : m_tmpl.controls) {
        CLabelledControl::Kind kind = CLabelledControl::Kind::Other;
        if (ctl.kind == DlgControlKind::Static || ctl.kind == DlgControlKind::StaticCenter)
            kind = CLabelledControl::Kind::Label;
        else if (ctl.kind == DlgControlKind::Edit || ctl.kind == DlgControlKind::EditMultiline)
            kind = CLabelledControl::Kind::Field;
        controls.push_back({kind, CRect(ctl.x, ctl.y, ctl.x + ctl.cx, ctl.y + ctl.cy)});
    }
    const std::vector<int> labels = AfxFindFieldLabels(controls);
    for (size_t i = 0; i < placed.size(); ++i) {
        const DlgControlTemplate& ctl = m_tmpl.controls[i];
        if (labels[i] >= 0) {
            if (auto* pLabel = qobject_cast<QLabel*>(placed[labels[i]]))
                pLabel->setBuddy(placed[i]);
        }
        if (ctl.kind == DlgControlKind::Icon)
            placed[i]->setAccessibleName(QApplication::applicationName() + QStringLiteral(" icon"));
        else if (ctl.text.find('\t') != std::string::npos)
            placed[i]->setAccessibleName(BytesToQString(AfxSpokenLabel(ctl.text)));
    }
}

void CQtDialogWindow::AddToLayout(CDialogLayout& layout, QWidget* pWidget, const DlgControlTemplate& ctl) const
{
    const QRect rc = m_units.ToPixels(ctl.x, ctl.y, ctl.cx, ctl.cy);
    const CRect tmplRect(rc.left(), rc.top(), rc.right() + 1, rc.bottom() + 1);
    const QFontMetrics fm = pWidget->fontMetrics();
    const QString text = BytesToQString(ctl.text);
    switch (ctl.kind) {
    case DlgControlKind::Static:
    case DlgControlKind::StaticCenter: {
        if (text.isEmpty()) {
            layout.Add(tmplRect, 0);
            return;
        }
        const int cxTab = 8 * m_units.CxAvgChar();
        const int flags = Qt::TextWordWrap | Qt::TextExpandTabs;
        // A label of one line in the template stays one line; a longer text wraps, but
        // no word may stick out of it.
        int cxMin = 0;
        if (!text.contains(QLatin1Char('\n')) && ctl.cy <= 10) {
            cxMin = fm.boundingRect(QRect(0, 0, INT_MAX / 4, INT_MAX / 4), Qt::TextExpandTabs, text, cxTab).width();
        } else {
            for (const QString& word : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
                cxMin = std::max(cxMin, fm.horizontalAdvance(word));
        }
        layout.Add(tmplRect, cxMin, [fm, text, cxTab, flags](int cx) {
            return fm.boundingRect(QRect(0, 0, cx, INT_MAX / 4), flags, text, cxTab).height();
        });
        return;
    }
    case DlgControlKind::DefPushButton:
    case DlgControlKind::PushButton: {
        // The text and the style's frame around it; not the style's preferred size,
        // which asks more than the text needs.
        const QStyle* pStyle = pWidget->style();
        const int nFrame = pStyle->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, pWidget) +
                           pStyle->pixelMetric(QStyle::PM_ButtonDefaultIndicator, nullptr, pWidget);
        const int nMargin = pStyle->pixelMetric(QStyle::PM_ButtonMargin, nullptr, pWidget);
        const int cxText = fm.boundingRect(QRect(0, 0, INT_MAX / 4, INT_MAX / 4), Qt::TextShowMnemonic, text).width();
        layout.Add(tmplRect, cxText + 2 * (nFrame + nMargin), [cy = fm.height() + 2 * nFrame](int) { return cy; });
        return;
    }
    case DlgControlKind::AutoCheckBox: {
        // The box and its text side by side; the style's preferred height adds margins
        // the text does not need.
        const int cyBox = pWidget->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, pWidget);
        layout.Add(tmplRect, pWidget->sizeHint().width(), [cy = std::max(cyBox, fm.height())](int) { return cy; });
        return;
    }
    case DlgControlKind::Icon: {
        const int cx = pWidget->width();
        layout.Add(tmplRect, cx, [cx](int) { return cx; });
        return;
    }
    case DlgControlKind::Edit:
    case DlgControlKind::EditMultiline:
        layout.Add(tmplRect, 0);
        return;
    }
}

QWidget* CQtDialogWindow::CreateControl(const DlgControlTemplate& ctl)
{
    const QRect rc = m_units.ToPixels(ctl.x, ctl.y, ctl.cx, ctl.cy);
    const QString text = BytesToQString(ctl.text);
    QWidget* pWidget = nullptr;
    switch (ctl.kind) {
    case DlgControlKind::DefPushButton:
    case DlgControlKind::PushButton: {
        auto* pButton = new QPushButton(text, this);
        pButton->setDefault(ctl.kind == DlgControlKind::DefPushButton);
        pButton->setFocusPolicy(Qt::StrongFocus);
        const int nID = ctl.nID;
        connect(pButton, &QPushButton::clicked, this, [this, nID] { OnButton(nID); });
        pWidget = pButton;
        break;
    }
    case DlgControlKind::Static:
    case DlgControlKind::StaticCenter: {
        const Qt::Alignment align = ctl.kind == DlgControlKind::StaticCenter ? Qt::AlignHCenter : Qt::AlignLeft;
        const int cxTab = 8 * m_units.CxAvgChar();
        pWidget = new CStaticText(text, align, cxTab, this);
        break;
    }
    case DlgControlKind::Icon: {
        // An icon control takes the icon's own size, whatever the template says.
        auto* pLabel = new QLabel(this);
        const int cx = style()->pixelMetric(QStyle::PM_LargeIconSize);
        pLabel->setPixmap(QApplication::windowIcon().pixmap(cx, cx));
        pLabel->setGeometry(rc.x(), rc.y(), cx, cx);
        return pLabel;
    }
    case DlgControlKind::Edit: {
        auto* pEdit = new QLineEdit(this);
        pEdit->setMaxLength(INT_MAX);   // no length limit
        pWidget = pEdit;
        break;
    }
    case DlgControlKind::EditMultiline: {
        auto* pEdit = new QPlainTextEdit(this);
        pEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
        pEdit->setTabChangesFocus(true);
        pEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        pEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        pWidget = pEdit;
        break;
    }
    case DlgControlKind::AutoCheckBox:
        pWidget = new QCheckBox(text, this);
        break;
    }
    pWidget->setGeometry(rc);
    return pWidget;
}

QWidget* CQtDialogWindow::GetControl(int nID) const
{
    auto it = m_controls.find(nID);
    return it == m_controls.end() ? nullptr : it->second;
}

QString CQtDialogWindow::ReadWidgetText(const QWidget* pWidget) const
{
    if (auto* pEdit = qobject_cast<const QLineEdit*>(pWidget))
        return pEdit->text();
    if (auto* pMulti = qobject_cast<const QPlainTextEdit*>(pWidget)) {
        // Raw text: plain-text export would turn no-break spaces into blanks.
        QString text = pMulti->document()->toRawText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        text.replace(QChar::LineSeparator, QLatin1Char('\n'));
        return text;
    }
    if (auto* pButton = qobject_cast<const QAbstractButton*>(pWidget))
        return pButton->text();
    if (auto* pLabel = qobject_cast<const QLabel*>(pWidget))
        return pLabel->text();
    return QString();
}

std::string CQtDialogWindow::GetControlText(int nID) const
{
    const QWidget* pWidget = GetControl(nID);
    if (pWidget == nullptr)
        return std::string();
    auto it = m_given.find(nID);
    if (it != m_given.end() && it->second.bPreview)
        return it->second.bytes;   // read-only: never edited
    const QString shown = ReadWidgetText(pWidget);
    if (it != m_given.end() && it->second.shown == shown)
        return it->second.bytes;   // untouched: exactly the bytes given
    QString text = shown;
    if (qobject_cast<const QPlainTextEdit*>(pWidget) != nullptr)
        text = ToCrLf(text);
    const CTextEncoding enc =
        it != m_given.end() ? DetectTextEncoding(it->second.bytes) : CTextEncoding::Utf8;
    return QStringToBytes(text, enc);
}

void CQtDialogWindow::SetControlText(int nID, const std::string& bytes)
{
    QWidget* pWidget = GetControl(nID);
    if (pWidget == nullptr)
        return;
    if (SetPreviewText(pWidget, nID, bytes))
        return;
    QString text = BytesToQString(bytes);
    if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget)) {
        pEdit->setText(text);
    } else if (auto* pMulti = qobject_cast<QPlainTextEdit*>(pWidget)) {
        pMulti->setPlainText(FromCrLf(text));
    } else if (auto* pButton = qobject_cast<QAbstractButton*>(pWidget)) {
        pButton->setText(text);
    } else if (auto* pLabel = qobject_cast<QLabel*>(pWidget)) {
        pLabel->setText(text);
    }
    m_given[nID] = {bytes, ReadWidgetText(pWidget)};
}

bool CQtDialogWindow::SetPreviewText(QWidget* pWidget, int nID, const std::string& bytes)
{
    auto* pEdit = qobject_cast<QLineEdit*>(pWidget);
    auto* pMulti = qobject_cast<QPlainTextEdit*>(pWidget);
    if (pEdit == nullptr && pMulti == nullptr)
        return false;
    if (pEdit != nullptr)
        pEdit->setReadOnly(false);
    else
        pMulti->setReadOnly(false);
    const std::size_t nMax = pEdit != nullptr ? kMaxEditableLineBytes : kMaxEditableBytes;
    if (bytes.size() <= nMax)
        return false;
    // Laying out hundreds of megabytes in an edit takes minutes and gigabytes: show the
    // start read-only, say so, and hand back exactly the bytes given.
    std::size_t nShown = nMax;
    while (nShown > 0 && (static_cast<unsigned char>(bytes[nShown]) & 0xC0) == 0x80)
        --nShown;   // not in the middle of a UTF-8 sequence
    QString text = BytesToQString(std::string_view(bytes).substr(0, nShown));
    const QString note = BytesToQString(AfxFormatString2(IDS_TEXT_TOO_LONG_TO_EDIT, std::to_string(nShown),
                                                         std::to_string(bytes.size())));
    if (pEdit != nullptr) {
        pEdit->setText(text + QLatin1Char(' ') + note);
        pEdit->setCursorPosition(0);
        pEdit->setReadOnly(true);
    } else {
        pMulti->setPlainText(FromCrLf(text) + QStringLiteral("\n\n") + note);
        pMulti->setReadOnly(true);
    }
    m_given[nID] = {bytes, QString(), true};
    return true;
}

int CQtDialogWindow::GetCheck(int nID) const
{
    auto* pBox = qobject_cast<QCheckBox*>(GetControl(nID));
    return pBox != nullptr && pBox->isChecked() ? 1 : 0;
}

void CQtDialogWindow::SetCheck(int nID, int nCheck)
{
    if (auto* pBox = qobject_cast<QCheckBox*>(GetControl(nID)))
        pBox->setChecked(nCheck != 0);
}

void CQtDialogWindow::OnButton(int nID)
{
    if (nID == IDOK)
        m_dlg.OnOK();
    else if (nID == IDCANCEL)
        m_dlg.OnCancel();
    else
        m_dlg.OnCmdMsg(static_cast<UINT>(nID));
    FinishIfEnded();
}

void CQtDialogWindow::accept() { OnButton(IDOK); }

void CQtDialogWindow::reject()
{
    // Escape, as the Cancel button.
    m_dlg.OnCancel();
    FinishIfEnded();
}

void CQtDialogWindow::closeEvent(QCloseEvent* pEvent)
{
    // Whatever the handlers decide, the window itself is ended by FinishIfEnded or
    // destroyed by the user interface; never just hidden.
    pEvent->ignore();
    if (m_bModal) {
        m_dlg.OnCancel();
        FinishIfEnded();
    } else {
        m_dlg.OnClose();
    }
}

void CQtDialogWindow::FinishIfEnded()
{
    if (!m_dlg.IsEnded())
        return;
    if (m_bModal) {
        if (isVisible())
            done(m_dlg.GetModalResult());
    } else if (m_dlg.HasWindow()) {
        // A modeless dialog that ends goes away for good, so it is never left hidden.
        m_dlg.DestroyWindow();
    }
}
