#include "framework/qt/QtUserInterface.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>

#include "framework/Dialog.h"
#include "framework/qt/QtDialogWindow.h"
#include "framework/qt/QtPrinting.h"
#include "framework/qt/TextCodec.h"
#include "framework/DialogTemplate.h"
#include "framework/FrameworkResource.h"
#include "framework/StringTable.h"

namespace {

QMessageBox::Icon IconOf(UINT nType)
{
    switch (nType & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

struct BoxButton {
    QMessageBox::StandardButton button;
    int nResult;
    const char* pszName;   // as the button reads, for the unattended report
};

std::vector<BoxButton> ButtonsOf(UINT nType)
{
    const BoxButton ok{QMessageBox::Ok, IDOK, "OK"};
    const BoxButton cancel{QMessageBox::Cancel, IDCANCEL, "Cancel"};
    const BoxButton yes{QMessageBox::Yes, IDYES, "Yes"};
    const BoxButton no{QMessageBox::No, IDNO, "No"};
    switch (nType & MB_TYPEMASK) {
    case MB_OKCANCEL: return {ok, cancel};
    case MB_YESNO: return {yes, no};
    case MB_YESNOCANCEL: return {yes, no, cancel};
    default: return {ok};
    }
}

void WriteLine(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stderr);
    if (line.empty() || line.back() != '\n')
        std::fputc('\n', stderr);
    std::fflush(stderr);
}

void ReportSkippedDialog(const std::string& title) { WriteLine(AfxFormatString1(IDS_UNATTENDED_DIALOG, title)); }

// The toolkit's standard dialogs that wait in exec() for an answer; while unattended
// they are cancelled as soon as they are shown. Modeless windows (the Hints window, a
// print-status window) and progress windows are left alone.
class CUnattendedDialogGuard : public QObject {
public:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pEvent->type() != QEvent::Show)
            return false;
        auto* pDlg = qobject_cast<QDialog*>(pWatched);
        if (pDlg == nullptr || !pDlg->testAttribute(Qt::WA_ShowModal) || !IsStandardDialog(pDlg))
            return false;
        ReportSkippedDialog(pDlg->windowTitle().toStdString());
        // Queued: exec() starts its loop after the show, and the answer must reach that loop.
        QMetaObject::invokeMethod(pDlg, "reject", Qt::QueuedConnection);
        return false;
    }

private:
    static bool IsStandardDialog(const QObject* pDlg)
    {
        for (const char* pszClass : {"QMessageBox", "QFileDialog", "QAbstractPrintDialog", "QPageSetupDialog",
                                     "QPrintPreviewDialog", "QColorDialog", "QFontDialog", "QInputDialog"}) {
            if (pDlg->inherits(pszClass))
                return true;
        }
        return false;
    }
};

// The client corner of a window: below the menu bar of a main window.
QPoint ClientCorner(const QWidget* pOwner)
{
    int yClient = 0;
    if (auto* pMain = qobject_cast<const QMainWindow*>(pOwner)) {
        const QWidget* pMenu = pMain->menuWidget();
        if (pMenu != nullptr && pMenu->isVisible())
            yClient = pMenu->geometry().bottom() + 1;
    }
    return pOwner->mapToGlobal(QPoint(0, yClient));
}

} // namespace

// A window manager frames the main window after Qt has placed it, pushing the client area
// down by the title bar; a modeless window placed from the client corner before that lands
// too high, and one moved before its own frame is known lands a title bar higher still.
// This watcher places such windows again from the owner's final frame until both are
// framed and in place, a moment after start-up.
class CQtUserInterface::CPlacementWatcher : public QObject {
public:
    CPlacementWatcher(CQtUserInterface& ui, QWidget* pOwner) : QObject(pOwner), m_ui(ui), m_pOwner(pOwner)
    {
        pOwner->installEventFilter(this);
        // Start-up only: a window manager frames within moments, and one that never does
        // must not keep the windows from being moved.
        QTimer::singleShot(5000, this, [this] { Finish(); });
    }
    void Track(CQtDialogWindow* pWnd)
    {
        m_windows.push_back({pWnd, 0});
        pWnd->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* pEvent) override
    {
        const QEvent::Type type = pEvent->type();
        // A window framed where it stands gets no Move; its first paint or activation comes.
        if (type != QEvent::Move && type != QEvent::Resize && type != QEvent::Show && type != QEvent::Paint &&
            type != QEvent::WindowActivate)
            return false;
        // Framed only by a frame that holds the client. Before the manager has set
        // _NET_FRAME_EXTENTS, Qt measures the frame from the parent window, and openbox makes
        // that 1x1 before it sizes it: a frame that small is not the final one.
        auto framed = [](const QWidget* pWidget) {
            const QRect frame = pWidget->frameGeometry();
            return pWidget->isVisible() && frame != pWidget->geometry() && frame.contains(pWidget->geometry());
        };
        bool bSettled = m_pOwner != nullptr && framed(m_pOwner);
        for (CPlaced& placed : m_windows) {
            CQtDialogWindow* pWnd = placed.pWnd;
            if (pWnd == nullptr || placed.nMoves >= kMaxMoves)
                continue;   // gone, or a manager that will not have it there
            if (!framed(pWnd)) {
                // Moved before its own frame is known, the manager would take the place for
                // the client's and put the frame a title bar higher; its framing moves it,
                // and it is placed then.
                bSettled = false;
                continue;
            }
            const QPoint target = m_ui.ModelessPosition(*pWnd, pWnd->frameGeometry().size());
            if (pWnd->pos() != target) {
                ++placed.nMoves;
                pWnd->move(target);
            }
            bSettled = bSettled && framed(pWnd) && pWnd->pos() == target;
        }
        // Without a window manager nothing is ever framed; nothing moves the windows then either.
        if (bSettled)
            Finish();
        return false;
    }

private:
    void Finish()
    {
        if (m_pOwner)
            m_pOwner->removeEventFilter(this);
        for (const CPlaced& placed : m_windows)
            if (placed.pWnd)
                placed.pWnd->removeEventFilter(this);
        m_windows.clear();
        deleteLater();
    }

    struct CPlaced {
        QPointer<CQtDialogWindow> pWnd;
        int nMoves;
    };
    static constexpr int kMaxMoves = 8;
    CQtUserInterface& m_ui;
    QPointer<QWidget> m_pOwner;
    std::vector<CPlaced> m_windows;
};

CQtUserInterface::CQtUserInterface(bool bUnattended)
    : m_bUnattended(bUnattended), m_pPrinting(std::make_unique<CQtPrintingSystem>([this] { return Owner(); }))
{
    AfxSetUserInterface(this);
    if (m_bUnattended && qApp != nullptr) {
        m_pDialogGuard = std::make_unique<CUnattendedDialogGuard>();
        qApp->installEventFilter(m_pDialogGuard.get());
    }
}

bool CQtUserInterface::NobodyToAnswer()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}


CQtUserInterface::~CQtUserInterface()
{
    // Windows of modeless dialogs go first, so no dialog is left pointing at them.
    while (!m_modeless.empty()) {
        auto it = m_modeless.begin();
        CDialog* pDlg = const_cast<CDialog*>(it->first);
        QPointer<CQtDialogWindow> pWnd = it->second;
        m_modeless.erase(it);
        pDlg->AttachControls(nullptr);
        pDlg->SetHasWindow(false);
        if (pWnd) {
            pWnd->SetOnDestroyed(nullptr);
            delete pWnd.data();
        }
    }
    if (AfxGetUserInterface() == this)
        AfxSetUserInterface(nullptr);
    m_pPrinting.reset();
    if (m_pDialogGuard && qApp != nullptr)
        qApp->removeEventFilter(m_pDialogGuard.get());
}

QWidget* CQtUserInterface::Owner() const
{
    if (QWidget* pModal = QApplication::activeModalWidget())
        return pModal;
    if (m_pMainWindow)
        return m_pMainWindow;
    return QApplication::activeWindow();
}

int CQtUserInterface::MessageBox(const std::string& text, const std::string& caption, UINT nType)
{
    if (m_bUnattended) {
        // Said where a script's log can show it, and answered with the default button.
        const std::vector<BoxButton> buttons = ButtonsOf(nType);
        const int nAnswer = AfxDefaultButton(nType);
        WriteLine(caption + ": " + text);
        for (const BoxButton& b : buttons) {
            if (buttons.size() > 1 && b.nResult == nAnswer)
                WriteLine(AfxFormatString1(IDS_UNATTENDED_ANSWER, b.pszName));
        }
        return nAnswer;
    }
    QMessageBox box(IconOf(nType), BytesToQString(caption), BytesToQString(text), QMessageBox::NoButton,
                    Owner());
    box.setTextFormat(Qt::PlainText);
    const std::vector<BoxButton> buttons = ButtonsOf(nType);
    std::vector<QPushButton*> added;
    for (const BoxButton& b : buttons)
        added.push_back(box.addButton(b.button));
    std::size_t nDefault = (nType & MB_DEFMASK) >> 8;
    if (nDefault >= added.size())
        nDefault = 0;
    box.setDefaultButton(added[nDefault]);
    // Escape answers Cancel where there is one, OK in a box with OK alone.
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i].nResult == IDCANCEL || buttons.size() == 1)
            box.setEscapeButton(added[i]);
    }
    box.exec();
    QAbstractButton* pClicked = box.clickedButton();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (added[i] == pClicked)
            return buttons[i].nResult;
    }
    // Closed without an answer: the box's way out (Cancel, else its last button).
    return buttons.back().nResult;
}

int CQtUserInterface::RunModal(CDialog& dlg)
{
    const DlgTemplate* pTmpl = FindDialogTemplate(dlg.GetTemplateID());
    if (pTmpl == nullptr)
        return IDCANCEL;
    if (m_bUnattended) {
        ReportSkippedDialog(pTmpl->caption);
        return IDCANCEL;
    }
    CQtDialogWindow wnd(dlg, *pTmpl, true, Owner());
    if (pTmpl->x != 0 || pTmpl->y != 0)
        wnd.move(ModelessPosition(wnd, wnd.size()));
    dlg.AttachControls(&wnd);
    dlg.OnInitDialog();
    if (!dlg.IsEnded())
        wnd.exec();
    dlg.AttachControls(nullptr);
    return dlg.IsEnded() ? dlg.GetModalResult() : IDCANCEL;
}

void CQtUserInterface::Beep() { QApplication::beep(); }

bool CQtUserInterface::GetFileName(const CFileDialogRequest& request, std::string& path)
{
    if (m_bUnattended) {
        ReportSkippedDialog(request.title);
        return false;
    }
    QFileDialog dialog(Owner(), BytesToQString(request.title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(request.bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.bOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QStringList filters;
    for (const std::string& f : request.filters)
        filters << BytesToQString(f);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    QString suffix = BytesToQString(request.defaultExtension);
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    if (!request.bOpen && !suffix.isEmpty())
        dialog.setDefaultSuffix(suffix);
    if (!request.initialName.empty())
        dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(request.initialName)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    QString chosen = dialog.selectedFiles().first();
    // A name typed without an extension gets the default one.
    if (!request.bOpen && !suffix.isEmpty() && !QFileInfo(chosen).fileName().contains(QLatin1Char('.')))
        chosen += QLatin1Char('.') + suffix;
    path = QFile::encodeName(chosen).toStdString();
    return true;
}

QPoint CQtUserInterface::ModelessPosition(const CQtDialogWindow& wnd, QSize frameSize) const
{
    const DlgTemplate& tmpl = wnd.GetTemplate();
    const CDialogBaseUnits& units = wnd.GetBaseUnits();
    QWidget* pOwner = m_pMainWindow ? m_pMainWindow.data() : wnd.parentWidget();
    QPoint pos(units.ToPixelsX(tmpl.x), units.ToPixelsY(tmpl.y));
    QScreen* pScreen = QGuiApplication::primaryScreen();
    if (pOwner != nullptr) {
        pos += ClientCorner(pOwner);
        pScreen = pOwner->screen();
    }
    if (pScreen != nullptr) {
        // Kept inside the work area: against the right or bottom edge rather than past it.
        const QRect avail = pScreen->availableGeometry();
        pos.setX(std::max(avail.left(), std::min(pos.x(), avail.right() + 1 - frameSize.width())));
        pos.setY(std::max(avail.top(), std::min(pos.y(), avail.bottom() + 1 - frameSize.height())));
    }
    return pos;
}

bool CQtUserInterface::CreateModeless(CDialog& dlg)
{
    if (GetModelessWindow(dlg) != nullptr) {
        ActivateModeless(dlg);
        return true;
    }
    const DlgTemplate* pTmpl = FindDialogTemplate(dlg.GetTemplateID());
    if (pTmpl == nullptr)
        return false;
    // Owned by the main window; never by whatever window is active, which may be a modal
    // dialog about to end (the About box's button opens the Hints window).
    auto* pWnd = new CQtDialogWindow(dlg, *pTmpl, false, m_pMainWindow.data());
    pWnd->setAttribute(Qt::WA_DeleteOnClose, false);
    const CDialog* pKey = &dlg;
    pWnd->SetOnDestroyed([this, pKey, pDlg = &dlg] {
        // The window went with its owner: the dialog object stays, with no window.
        auto it = m_modeless.find(pKey);
        if (it != m_modeless.end()) {
            m_modeless.erase(it);
            pDlg->AttachControls(nullptr);
            pDlg->SetHasWindow(false);
        }
    });
    m_modeless[pKey] = pWnd;
    dlg.AttachControls(pWnd);
    dlg.SetHasWindow(true);
    pWnd->move(ModelessPosition(*pWnd, pWnd->size()));
    dlg.OnInitDialog();
    if (!dlg.HasWindow())
        return false;
    // A template marked visible shows itself on creation; others wait to be shown.
    if (!pTmpl->bVisible)
        return true;
    pWnd->show();
    // Now that the frame is known, keep the whole window on the screen.
    const QSize frame = pWnd->frameGeometry().size();
    if (frame != pWnd->size())
        pWnd->move(ModelessPosition(*pWnd, frame));
    WatchOwnerFrame(pWnd);
    return true;
}

void CQtUserInterface::WatchOwnerFrame(CQtDialogWindow* pWnd)
{
    QWidget* pOwner = m_pMainWindow.data();
    // Only X11 has window managers that frame windows after they are placed; on Wayland
    // the compositor places top-level windows itself.
    if (pOwner == nullptr || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    if (!m_pPlacementWatcher)
        m_pPlacementWatcher = new CPlacementWatcher(*this, pOwner);
    static_cast<CPlacementWatcher*>(m_pPlacementWatcher.data())->Track(pWnd);
}

void CQtUserInterface::ActivateModeless(CDialog& dlg)
{
    CQtDialogWindow* pWnd = GetModelessWindow(dlg);
    if (pWnd == nullptr)
        return;
    pWnd->show();
    pWnd->raise();
    pWnd->activateWindow();
}

void CQtUserInterface::DestroyModeless(CDialog& dlg)
{
    auto it = m_modeless.find(&dlg);
    QPointer<CQtDialogWindow> pWnd;
    if (it != m_modeless.end()) {
        pWnd = it->second;
        m_modeless.erase(it);
    }
    dlg.AttachControls(nullptr);
    dlg.SetHasWindow(false);
    if (pWnd) {
        pWnd->SetOnDestroyed(nullptr);
        pWnd->hide();
        // Later: this may run inside one of the window's own event handlers.
        pWnd->deleteLater();
    }
}

CQtDialogWindow* CQtUserInterface::GetModelessWindow(const CDialog& dlg) const
{
    auto it = m_modeless.find(&dlg);
    return it == m_modeless.end() ? nullptr : it->second.data();
}
