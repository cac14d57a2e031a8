#include "framework/qt/QtAccessibleTab.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QLabel>
#include <QSizeGrip>
#include <QStatusBar>
#include <QToolButton>

#include <algorithm>
#include <climits>

#include "framework/View.h"
#include "framework/qt/ScrollViewHost.h"
#include "framework/qt/TextCodec.h"

namespace {

constexpr const char* kIndicatorProperty = "fretlyIndicator";

// One character per cell, so that offsets stay columns: the text's bytes as Latin-1.
QString Cells(std::string_view bytes) { return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())); }

int ToInt(long long n) { return static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX)); }

// A lock-key indicator: blank while the key is off, which a reader would skip.
class CQtAccessibleIndicator : public QAccessibleWidget {
public:
    explicit CQtAccessibleIndicator(QWidget* pWidget) : QAccessibleWidget(pWidget, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const auto* pLabel = qobject_cast<const QLabel*>(widget());
        const QString indicator = widget()->property(kIndicatorProperty).toString();
        const bool bOn = pLabel != nullptr && !pLabel->text().isEmpty();
        return indicator + (bOn ? QStringLiteral(" on") : QStringLiteral(" off"));
    }
};

QAccessibleInterface* FretlyAccessibleFactory(const QString&, QObject* pObject)
{
    if (auto* pHost = qobject_cast<CScrollViewHost*>(pObject)) {
        if (pHost->GetView() != nullptr && pHost->GetView()->GetAccessibleText() != nullptr)
            return new CQtAccessibleTab(pHost);
        return nullptr;
    }
    if (pObject != nullptr && pObject->isWidgetType() && pObject->property(kIndicatorProperty).isValid())
        return new CQtAccessibleIndicator(static_cast<QWidget*>(pObject));
    if (auto* pGrip = qobject_cast<QSizeGrip*>(pObject))
        return new QAccessibleWidget(pGrip, QAccessible::Grip, QStringLiteral("Size grip"));
    return nullptr;
}

// Qt 6.4 tells AT-SPI of a new description with the object's path where the protocol
// wants the new text, and a screen reader that says what it is given (Orca) then says
// nothing. So the change goes out as AT-SPI defines it, on the connection Qt opened to
// the accessibility bus and for the object path Qt gave the interface; false where that
// connection is not there (no accessibility bus: Qt's own event is all there is).
bool SendDescriptionChange(QAccessibleInterface* pIface, const QString& description)
{
    QDBusConnection bus(QStringLiteral("a11y"));
    if (!bus.isConnected())
        return false;
    const QString path = QStringLiteral("/org/a11y/atspi/accessible/") + QString::number(QAccessible::uniqueId(pIface));
    QDBusMessage signal =
        QDBusMessage::createSignal(path, QStringLiteral("org.a11y.atspi.Event.Object"), QStringLiteral("PropertyChange"));
    QDBusArgument root;
    root.beginStructure();
    root << bus.baseService() << QDBusObjectPath(QStringLiteral("/org/a11y/atspi/accessible/root"));
    root.endStructure();
    signal << QStringLiteral("accessible-description") << 0 << 0 << QVariant::fromValue(QDBusVariant(description))
           << QVariant::fromValue(root);
    return bus.send(signal);
}

} // namespace

void AfxInstallAccessibleFactory()
{
    static const bool bInstalled = [] {
        QAccessible::installFactory(FretlyAccessibleFactory);
        return true;
    }();
    (void)bInstalled;
}

void AfxMarkIndicatorPane(QWidget* pPane, const QString& indicator)
{
    pPane->setProperty(kIndicatorProperty, indicator);
}

void AfxNameWindowParts(QWidget* pMainWindow)
{
    if (auto* pStatus = pMainWindow->findChild<QStatusBar*>())
        pStatus->setAccessibleName(QStringLiteral("Status bar"));
    // The toolbar's overflow button, shown only when the window is too narrow for it.
    for (auto* pButton : pMainWindow->findChildren<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        pButton->setAccessibleName(QStringLiteral("More tools"));
}

CQtAccessibleTab::CQtAccessibleTab(CScrollViewHost* pHost)
    : QAccessibleWidget(pHost, QAccessible::EditableText), m_pHost(pHost)
{
    if (CAccessibleText* pModel = Model())
        pModel->SetSink(this);
}

CAccessibleText* CQtAccessibleTab::Model() const
{
    CView* pView = m_pHost->GetView();
    return pView != nullptr ? pView->GetAccessibleText() : nullptr;
}

void* CQtAccessibleTab::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (t == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QAccessible::Role CQtAccessibleTab::role() const { return QAccessible::EditableText; }

QAccessible::State CQtAccessibleTab::state() const
{
    QAccessible::State st = QAccessibleWidget::state();
    st.editable = true;
    st.multiLine = true;
    st.selectableText = true;
    return st;
}

QString CQtAccessibleTab::text(QAccessible::Text t) const
{
    const CAccessibleText* pModel = Model();
    if (pModel == nullptr)
        return QAccessibleWidget::text(t);
    switch (t) {
    case QAccessible::Name:
        return BytesToQString(pModel->GetName());
    case QAccessible::Description:
        return BytesToQString(pModel->GetDescription());
    default:
        return QAccessibleWidget::text(t);
    }
}

void CQtAccessibleTab::selection(int, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
}

int CQtAccessibleTab::cursorPosition() const
{
    const CAccessibleText* pModel = Model();
    return pModel != nullptr ? ToInt(pModel->GetCaret()) : 0;
}

void CQtAccessibleTab::setCursorPosition(int position)
{
    if (CAccessibleText* pModel = Model())
        pModel->SetCaret(position);
}

int CQtAccessibleTab::characterCount() const
{
    const CAccessibleText* pModel = Model();
    return pModel != nullptr ? ToInt(pModel->GetLength()) : 0;
}

QString CQtAccessibleTab::text(int startOffset, int endOffset) const
{
    const CAccessibleText* pModel = Model();
    if (pModel == nullptr)
        return QString();
    if (endOffset < 0)
        endOffset = characterCount();
    std::string bytes;
    pModel->GetText(startOffset, endOffset, bytes);
    return Cells(bytes);
}

bool CQtAccessibleTab::UnitAt(long long nOffset, QAccessible::TextBoundaryType boundaryType, long long& nStart,
                              long long& nEnd) const
{
    const CAccessibleText* pModel = Model();
    const long long nLength = pModel != nullptr ? pModel->GetLength() : 0;
    if (nLength == 0)
        return false;
    switch (boundaryType) {
    case QAccessible::CharBoundary:
        if (nOffset < 0 || nOffset >= nLength)
            return false;
        nStart = nOffset;
        nEnd = nOffset + 1;
        return true;
    case QAccessible::WordBoundary:
        if (nOffset < 0 || nOffset >= nLength)
            return false;
        pModel->GetWordAt(nOffset, nStart, nEnd);
        return true;
    case QAccessible::NoBoundary:
        nStart = 0;
        nEnd = nLength;
        return true;
    default:   // lines, sentences and paragraphs are all the lines of the grid
        if (nOffset < 0 || nOffset > nLength)
            return false;
        pModel->GetLineAt(nOffset, nStart, nEnd);
        return true;
    }
}

QString CQtAccessibleTab::Range(long long nStart, long long nEnd, int* startOffset, int* endOffset) const
{
    *startOffset = ToInt(nStart);
    *endOffset = ToInt(nEnd);
    return text(*startOffset, *endOffset);
}

QString CQtAccessibleTab::UnitText(long long nOffset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                   int* endOffset) const
{
    long long nStart = 0, nEnd = 0;
    if (nOffset < 0 || !UnitAt(nOffset, boundaryType, nStart, nEnd)) {
        *startOffset = *endOffset = -1;
        return QString();
    }
    return Range(nStart, nEnd, startOffset, endOffset);
}

QString CQtAccessibleTab::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                       int* endOffset) const
{
    if (offset == -2)   // the caret, in AT-SPI's way of asking
        offset = cursorPosition();
    return UnitText(offset, boundaryType, startOffset, endOffset);
}

QString CQtAccessibleTab::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                           int* endOffset) const
{
    if (offset == -2)
        offset = cursorPosition();
    // The unit just before the one that holds the offset (the last one at the end).
    long long nBefore = offset - 1;
    long long nStart = 0, nEnd = 0;
    if (boundaryType == QAccessible::NoBoundary)
        nBefore = -1;
    else if (boundaryType != QAccessible::CharBoundary)
        nBefore = !UnitAt(std::min<long long>(offset, characterCount() - 1), boundaryType, nStart, nEnd) ? -1
                  : offset >= characterCount()                                                          ? nStart
                                                                                                        : nStart - 1;
    return UnitText(nBefore, boundaryType, startOffset, endOffset);
}

QString CQtAccessibleTab::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                          int* endOffset) const
{
    if (offset == -2)
        offset = cursorPosition();
    // The unit just after the one that holds the offset.
    long long nAfter = offset + 1;
    long long nStart = 0, nEnd = 0;
    if (boundaryType == QAccessible::NoBoundary)
        nAfter = -1;
    else if (boundaryType != QAccessible::CharBoundary)
        nAfter = UnitAt(offset, boundaryType, nStart, nEnd) ? nEnd : -1;
    if (nAfter >= characterCount())
        nAfter = -1;
    return UnitText(nAfter, boundaryType, startOffset, endOffset);
}

QRect CQtAccessibleTab::characterRect(int offset) const
{
    const CAccessibleText* pModel = Model();
    if (pModel == nullptr)
        return QRect();
    const CRect rc = pModel->GetCharRect(offset);
    const QPoint topLeft = m_pHost->viewport()->mapToGlobal(QPoint(rc.left, rc.top));
    return QRect(topLeft, QSize(rc.Width(), rc.Height()));
}

int CQtAccessibleTab::offsetAtPoint(const QPoint& point) const
{
    const CAccessibleText* pModel = Model();
    if (pModel == nullptr)
        return -1;
    const QPoint pt = m_pHost->viewport()->mapFromGlobal(point);
    return ToInt(pModel->GetOffsetAt(CPoint(pt.x(), pt.y())));
}

void CQtAccessibleTab::scrollToSubstring(int startIndex, int endIndex)
{
    if (CAccessibleText* pModel = Model())
        pModel->ScrollTo(startIndex, endIndex);
}

QString CQtAccessibleTab::attributes(int offset, int* startOffset, int* endOffset) const
{
    // Plain text throughout: one run with no attributes.
    *startOffset = offset < 0 ? -1 : 0;
    *endOffset = offset < 0 ? -1 : characterCount();
    return QString();
}

QVariant CQtAccessibleTab::currentValue() const
{
    const CAccessibleText* pModel = Model();
    return pModel != nullptr ? pModel->GetValue() : 0;
}

void CQtAccessibleTab::setCurrentValue(const QVariant& value)
{
    if (CAccessibleText* pModel = Model())
        pModel->SetValue(value.toInt());
}

QVariant CQtAccessibleTab::maximumValue() const
{
    const CAccessibleText* pModel = Model();
    return pModel != nullptr ? pModel->GetMaximumValue() : 1;
}

QVariant CQtAccessibleTab::minimumValue() const
{
    const CAccessibleText* pModel = Model();
    return pModel != nullptr ? pModel->GetMinimumValue() : 1;
}

void CQtAccessibleTab::OnTextChanged(long long nPos, std::string_view removed, std::string_view inserted)
{
    const int nAt = ToInt(nPos);
    if (removed.empty()) {
        QAccessibleTextInsertEvent event(m_pHost, nAt, Cells(inserted));
        QAccessible::updateAccessibility(&event);
    } else if (inserted.empty()) {
        QAccessibleTextRemoveEvent event(m_pHost, nAt, Cells(removed));
        QAccessible::updateAccessibility(&event);
    } else {
        QAccessibleTextUpdateEvent event(m_pHost, nAt, Cells(removed), Cells(inserted));
        QAccessible::updateAccessibility(&event);
    }
}

void CQtAccessibleTab::OnCaretMoved(long long nOffset)
{
    QAccessibleTextCursorEvent event(m_pHost, ToInt(nOffset));
    QAccessible::updateAccessibility(&event);
}

void CQtAccessibleTab::OnValueChanged()
{
    QAccessibleValueChangeEvent event(m_pHost, currentValue());
    QAccessible::updateAccessibility(&event);
}

void CQtAccessibleTab::OnDescriptionChanged()
{
    if (!QAccessible::isActive())
        return;
    if (SendDescriptionChange(this, text(QAccessible::Description)))
        return;
    QAccessibleEvent event(m_pHost, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}
