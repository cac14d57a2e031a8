#pragma once
// The platform seam on Qt: message boxes, modal and modeless dialogs from the dialog
// templates, the system beep and the Open / Save As dialogs. Constructing one installs
// it as the user interface; destroying it uninstalls it.
//
// Unattended (offscreen or minimal platform: nobody sees the screen), nothing waits for
// an answer: a message box writes its text to standard error and takes its default
// button, a dialog or file dialog is cancelled at once, and so are the toolkit's own
// standard dialogs (print, page setup, preview). Tests that answer boxes through the
// offscreen platform construct an attended interface, the default.
#include <QIcon>
#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>

#include "framework/UserInterface.h"

class CQtDialogWindow;
class CQtPrintingSystem;

class CQtUserInterface : public CUserInterface {
public:
    explicit CQtUserInterface(bool bUnattended = false);
    ~CQtUserInterface() override;
    CQtUserInterface(const CQtUserInterface&) = delete;
    CQtUserInterface& operator=(const CQtUserInterface&) = delete;

    // The main window: owner of message boxes, dialogs and modeless windows, and the
    // window whose client corner modeless template positions count from.
    void SetMainWindow(QWidget* pMainWindow) { m_pMainWindow = pMainWindow; }
    QWidget* GetMainWindow() const { return m_pMainWindow; }

    // True where no person can see or answer a window (QGuiApplication must exist).
    static bool NobodyToAnswer();
    bool IsUnattended() const { return m_bUnattended; }

    int MessageBox(const std::string& text, const std::string& caption, UINT nType) override;
    int RunModal(CDialog& dlg) override;
    void Beep() override;
    bool GetFileName(const CFileDialogRequest& request, std::string& path) override;
    bool CreateModeless(CDialog& dlg) override;
    void ActivateModeless(CDialog& dlg) override;
    void DestroyModeless(CDialog& dlg) override;
    // The icons compiled into the program's resources.
    std::string LoadIconImage(UINT nIDResource, int nSize) override;

    // The window of a modeless dialog, or nullptr.
    CQtDialogWindow* GetModelessWindow(const CDialog& dlg) const;
    // The top-left corner (global pixels) a template position (x, y) in dialog units maps to:
    // counted from the owner's client corner, kept inside the available screen area for a
    // window of frame size frameSize.
    QPoint ModelessPosition(const CQtDialogWindow& wnd, QSize frameSize) const;

private:
    class CPlacementWatcher;

    QWidget* Owner() const;
    // Places pWnd again once the main window has its final frame.
    void WatchOwnerFrame(CQtDialogWindow* pWnd);

    bool m_bUnattended;
    std::unique_ptr<QObject> m_pDialogGuard;   // cancels standard dialogs while unattended
    QPointer<QWidget> m_pMainWindow;
    QPointer<QObject> m_pPlacementWatcher;
    std::map<const CDialog*, QPointer<CQtDialogWindow>> m_modeless;
    // Printing comes with the user interface, its dialogs owned by the same window.
    std::unique_ptr<CQtPrintingSystem> m_pPrinting;
};

// The program's icon nIDResource at both of its sizes, for a window; an empty icon when
// the program has none of that ID.
QIcon AfxLoadIcon(UINT nIDResource);
