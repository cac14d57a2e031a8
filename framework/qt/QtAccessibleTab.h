#pragma once
// A scrolling view's window as assistive technology sees it, where the view has text to
// tell (CView::GetAccessibleText): a multi-line text object with a name, the words for the
// caret's place as its description, its lines, its caret and a value, and the events of
// every move and edit, which Qt passes on to AT-SPI.
#include <QAccessibleWidget>

#include "framework/AccessibleText.h"

class CScrollViewHost;

class CQtAccessibleTab : public QAccessibleWidget,
                         public QAccessibleTextInterface,
                         public QAccessibleValueInterface,
                         public CAccessibleTextSink {
public:
    explicit CQtAccessibleTab(CScrollViewHost* pHost);

    // QAccessibleInterface
    void* interface_cast(QAccessible::InterfaceType t) override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                             int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                            int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // QAccessibleValueInterface: the cursor's staff, 1 to the staff count.
    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override { return 1; }

    // CAccessibleTextSink
    void OnTextChanged(long long nPos, std::string_view removed, std::string_view inserted) override;
    void OnCaretMoved(long long nOffset) override;
    void OnValueChanged() override;
    void OnDescriptionChanged() override;

private:
    CAccessibleText* Model() const;
    // The unit of the boundary type holding nOffset, [nStart, nEnd).
    bool UnitAt(long long nOffset, QAccessible::TextBoundaryType boundaryType, long long& nStart,
                long long& nEnd) const;
    QString Range(long long nStart, long long nEnd, int* startOffset, int* endOffset) const;
    // The text of the unit holding nOffset, or nothing (offsets -1) where there is none.
    QString UnitText(long long nOffset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                     int* endOffset) const;

    CScrollViewHost* m_pHost;
};

// Installs, once, what tells assistive technology about Fretly's own widgets: the text
// view above and the lock-key indicators of a status bar (see AfxMarkIndicatorPane).
void AfxInstallAccessibleFactory();
// A status-bar pane that shows its indicator text only while the key is on: it is read as
// "CAP on" or "CAP off" rather than as nothing.
void AfxMarkIndicatorPane(QWidget* pPane, const QString& indicator);
// Names the parts of a main window that Qt leaves unnamed: the status bar, its size grip,
// the toolbar's overflow button.
void AfxNameWindowParts(QWidget* pMainWindow);
