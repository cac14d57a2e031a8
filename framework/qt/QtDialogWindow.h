#pragma once
// A dialog window built from a dialog template: controls in template (tab) order, placed
// in pixels from dialog units, and reached by control ID for data exchange. Buttons and
// keys go to the CDialog: OK to OnOK, Cancel and Escape to OnCancel, other buttons to its
// message map, the close box of a modeless window to OnClose.
#include <QDialog>

#include <functional>
#include <cstddef>
#include <map>
#include <utility>
#include <vector>
#include <string>

#include "framework/Dialog.h"
#include "framework/DialogLayout.h"
#include "framework/qt/DialogUnits.h"
#include "framework/qt/TextCodec.h"
#include "framework/DialogTemplate.h"

class CQtDialogWindow : public QDialog, public CDialogControls {
    Q_OBJECT
public:
    // The property holding a control's ID, for finding controls (tests, the application).
    static constexpr const char* kControlIdProperty = "fretlyControlId";
    // Longer texts are shown in part and read-only (multi-line and one-line edits).
    static constexpr std::size_t kMaxEditableBytes = 1024 * 1024;
    static constexpr std::size_t kMaxEditableLineBytes = 64 * 1024;

    CQtDialogWindow(CDialog& dlg, const DlgTemplate& tmpl, bool bModal, QWidget* pOwner);
    ~CQtDialogWindow() override;

    CDialog& GetDialog() const { return m_dlg; }
    const DlgTemplate& GetTemplate() const { return m_tmpl; }
    const CDialogBaseUnits& GetBaseUnits() const { return m_units; }
    bool IsModalDialog() const { return m_bModal; }
    // The control with this ID, or nullptr.
    QWidget* GetControl(int nID) const;
    // The client rectangle in pixels that the template asks for.
    QSize GetClientSize() const;

    // Called once from the destructor (the user interface forgets the window).
    void SetOnDestroyed(std::function<void()> fn) { m_fnOnDestroyed = std::move(fn); }

    // CDialogControls
    std::string GetControlText(int nID) const override;
    void SetControlText(int nID, const std::string& text) override;
    int GetCheck(int nID) const override;
    void SetCheck(int nID, int nCheck) override;

    // A button of the dialog was pressed (also Enter on the default button).
    void OnButton(int nID);

public slots:
    void accept() override;
    void reject() override;

protected:
    void closeEvent(QCloseEvent* pEvent) override;

private:
    void CreateControls();
    QWidget* CreateControl(const DlgControlTemplate& ctl);
    // Ties fields to their labels and words texts in columns, for screen readers.
    void NameForReaders(const std::vector<QWidget*>& placed);
    // Tells the layout how much room the control's text needs in the dialog's face.
    void AddToLayout(CDialogLayout& layout, QWidget* pWidget, const DlgControlTemplate& ctl) const;
    // Ends the window when the CDialog's handler ended the dialog.
    void FinishIfEnded();
    QString ReadWidgetText(const QWidget* pWidget) const;
    // Shows a text too long to edit in part and read-only; false when it is not one.
    bool SetPreviewText(QWidget* pWidget, int nID, const std::string& bytes);

    // Text given to a control, to hand back the same bytes when the user left it alone.
    struct CGivenText {
        std::string bytes;
        QString shown;
        bool bPreview = false;   // too long to edit: shown in part, read-only, kept as given
    };

    CDialog& m_dlg;
    const DlgTemplate& m_tmpl;
    bool m_bModal;
    CDialogBaseUnits m_units;
    std::map<int, QWidget*> m_controls;
    std::map<int, CGivenText> m_given;
    std::function<void()> m_fnOnDestroyed;
};
