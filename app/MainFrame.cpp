#include "app/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#ifndef QT_NO_SESSIONMANAGER
#include <QSessionManager>
#endif

#include "app/FretlyApp.h"
#include "app/LockKeyStates.h"
#include "framework/Document.h"
#include "framework/View.h"
#include "framework/VirtualKeys.h"
#include "framework/WinApp.h"
#include "framework/qt/QtAccessibleTab.h"
#include "framework/qt/QtDialogWindow.h"
#include "framework/qt/QtUserInterface.h"
#include "framework/qt/ScrollViewHost.h"
#include "framework/qt/TextCodec.h"
#include "resources/MenuTables.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

namespace {

QString Text(const std::string& s) { return BytesToQString(s); }

// The virtual-key code of a Qt key for the accelerator table; 0 for keys it has none of.
UINT VirtualKey(int nQtKey)
{
    if (nQtKey >= Qt::Key_A && nQtKey <= Qt::Key_Z)
        return static_cast<UINT>('A' + (nQtKey - Qt::Key_A));
    if (nQtKey >= Qt::Key_F1 && nQtKey <= Qt::Key_F12)
        return VK_F1 + static_cast<UINT>(nQtKey - Qt::Key_F1);
    switch (nQtKey) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    default: return 0;
    }
}

} // namespace

CMainFrame::CMainFrame()
{
    setWindowIcon(AfxLoadIcon(IDR_MAINFRAME));
    // The framework's default place and size: most of the screen.
    if (QScreen* pScreen = QGuiApplication::primaryScreen()) {
        const QRect avail = pScreen->availableGeometry();
        resize(avail.width() * 3 / 4, avail.height() * 3 / 4);
        move(avail.left() + avail.width() / 16, avail.top() + avail.height() / 16);
    }
    qApp->installEventFilter(this);
#ifndef QT_NO_SESSIONMANAGER
    // Session end: the same save prompt as the close box; Cancel keeps the session.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        CDocument* pDoc = GetActiveDocument();
        if (pDoc == nullptr || !pDoc->IsModified())
            return;
        if (!manager.allowsInteraction() || !CanCloseFrame())
            manager.cancel();
        manager.release();
    });
#endif
}

CMainFrame::~CMainFrame()
{
    qApp->removeEventFilter(this);
    if (auto* pUI = dynamic_cast<CQtUserInterface*>(AfxGetUserInterface()); pUI && pUI->GetMainWindow() == this)
        pUI->SetMainWindow(nullptr);
    if (m_pViewHost != nullptr) {
        // The view outlives its window: detach before the host goes.
        delete m_pViewHost;
        m_pViewHost = nullptr;
    }
}

bool CMainFrame::LoadFrame(UINT nIDResource, CDocument* pDoc, CView* pView)
{
    BuildMenu();
    return CFrameWnd::LoadFrame(nIDResource, pDoc, pView);
}

int CMainFrame::OnCreate()
{
    // The frame's client: the view in its scroll area.
    if (CFrameWnd::OnCreate() == -1)
        return -1;
    auto* pScrollView = dynamic_cast<CScrollView*>(GetActiveView());
    if (pScrollView == nullptr)
        return -1;
    m_pViewHost = new CScrollViewHost(pScrollView, this);
    if (m_pViewHost->GetCreateResult() == -1)
        return -1;
    setCentralWidget(m_pViewHost);
    m_pViewHost->setFocus();
    if (auto* pUI = dynamic_cast<CQtUserInterface*>(AfxGetUserInterface()))
        pUI->SetMainWindow(this);

    // The toolbar along the top, fixed there, with tool tips and fly-by prompts.
    m_pToolBar = new QToolBar(QStringLiteral("Standard"), this);
    m_pToolBar->setObjectName(QStringLiteral("toolbar%1").arg(AFX_IDW_TOOLBAR));
    m_pToolBar->setMovable(false);
    m_pToolBar->setFloatable(false);
    m_pToolBar->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);   // no menu to hide the bars
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
    if (!LoadToolBar())
        return -1;

    BuildStatusBar();
    for (const auto& [nID, pPane] : m_indicators)
        AfxMarkIndicatorPane(pPane, Text(AfxLoadString(nID)));
    AfxNameWindowParts(this);
    return 0;
}

QAction* CMainFrame::MakeCommandAction(UINT nID, const QString& text, QObject* pParent)
{
    auto* pAction = new QAction(text, pParent);
    pAction->setData(nID);
    pAction->setStatusTip(Text(CFrameWnd::GetMessageString(nID)));
    connect(pAction, &QAction::triggered, this, [this, nID] { RunCommand(nID); });
    return pAction;
}

void CMainFrame::BuildMenu()
{
    QMenuBar* pBar = menuBar();
    pBar->clear();
    m_menuActions.clear();
    for (const MenuPopupDef& popup : AfxMainMenu()) {
        QMenu* pMenu = pBar->addMenu(Text(popup.text));
        for (const MenuItemDef& item : popup.items) {
            if (item.nFlags & MF_SEPARATOR) {
                pMenu->addSeparator();
                continue;
            }
            // "&New\tCtrl+N": the text after the tab is shown as the shortcut text only;
            // the keys themselves are the accelerator table's.
            QAction* pAction = MakeCommandAction(item.nID, Text(item.text), pMenu);
            pAction->setEnabled(!(item.nFlags & MF_GRAYED));
            pMenu->addAction(pAction);
            m_menuActions[item.nID] = pAction;
            if (item.nID == ID_FILE_MRU_FILE1) {
                m_pRecentPlaceholder = pAction;
                m_pFileMenu = pMenu;
            }
        }
        connect(pMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateMenus);
        // Back to "Ready" when the menu closes.
        connect(pMenu, &QMenu::aboutToHide, this, [this] { statusBar()->clearMessage(); });
    }
}

bool CMainFrame::LoadToolBar()
{
    const QPixmap strip(QStringLiteral(":/fretly/toolbar.png"));
    if (strip.isNull() || strip.width() < TOOLBAR_IMAGE_CX * TOOLBAR_IMAGE_COUNT)
        return false;
    m_pToolBar->setIconSize(QSize(TOOLBAR_IMAGE_CX, TOOLBAR_IMAGE_CY));
    int nImage = 0;
    for (UINT nID : AfxToolbarButtons()) {
        if (nID == ID_SEPARATOR) {
            m_pToolBar->addSeparator();
            continue;
        }
        QAction* pAction = MakeCommandAction(nID, Text(AfxCommandToolTip(nID)), m_pToolBar);
        pAction->setIcon(QIcon(strip.copy(nImage * TOOLBAR_IMAGE_CX, 0, TOOLBAR_IMAGE_CX, TOOLBAR_IMAGE_CY)));
        pAction->setToolTip(Text(AfxCommandToolTip(nID)));
        m_pToolBar->addAction(pAction);
        if (QWidget* pButton = m_pToolBar->widgetForAction(pAction)) {
            pButton->setFixedSize(TOOLBAR_BUTTON_CX, TOOLBAR_BUTTON_CY);
            pButton->setFocusPolicy(Qt::NoFocus);
        }
        ++nImage;
    }
    return true;
}

void CMainFrame::BuildStatusBar()
{
    QStatusBar* pStatus = statusBar();
    pStatus->setObjectName(QStringLiteral("statusbar%1").arg(AFX_IDW_STATUS_BAR));
    pStatus->setSizeGripEnabled(true);
    for (UINT nID : AfxStatusIndicators()) {
        if (nID == ID_SEPARATOR) {
            // The stretchable message pane; fly-by prompts cover it while they show.
            m_pMessagePane = new QLabel(Text(CFrameWnd::GetMessageString(ID_SEPARATOR)), pStatus);
            pStatus->addWidget(m_pMessagePane, 1);
            continue;
        }
        auto* pPane = new QLabel(pStatus);
        pPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pPane->setAlignment(Qt::AlignCenter);
        pPane->setMinimumWidth(pPane->fontMetrics().horizontalAdvance(Text(AfxLoadString(nID))) + 12);
        pStatus->addPermanentWidget(pPane);
        m_indicators[nID] = pPane;
    }
    UpdateIndicators();
    m_pIndicatorTimer = new QTimer(this);
    connect(m_pIndicatorTimer, &QTimer::timeout, this, &CMainFrame::UpdateIndicators);
    m_pIndicatorTimer->start(250);
}

void CMainFrame::UpdateIndicators()
{
    const CLockKeyStates states = QueryLockKeyStates();
    const std::pair<UINT, bool> panes[] = {
        {ID_INDICATOR_CAPS, states.bCaps}, {ID_INDICATOR_NUM, states.bNum}, {ID_INDICATOR_SCRL, states.bScroll}};
    for (const auto& [nID, bOn] : panes) {
        auto it = m_indicators.find(nID);
        if (it != m_indicators.end())
            it->second->setText(bOn ? Text(AfxLoadString(nID)) : QString());
    }
}

QLabel* CMainFrame::GetIndicator(UINT nID) const
{
    auto it = m_indicators.find(nID);
    return it == m_indicators.end() ? nullptr : it->second;
}

QString CMainFrame::GetMessagePaneText() const
{
    const QString temporary = statusBar()->currentMessage();
    return temporary.isEmpty() && m_pMessagePane != nullptr ? m_pMessagePane->text() : temporary;
}

QAction* CMainFrame::GetCommandAction(UINT nID) const
{
    auto it = m_menuActions.find(nID);
    if (it != m_menuActions.end())
        return it->second;
    if (m_pToolBar != nullptr) {
        for (QAction* pAction : m_pToolBar->actions())
            if (!pAction->isSeparator() && pAction->data().toUInt() == nID)
                return pAction;
    }
    return nullptr;
}

void CMainFrame::UpdateMenus()
{
    // Every command with a handler stays enabled; nothing has an update handler.
    for (auto& [nID, pAction] : m_menuActions) {
        if (pAction != m_pRecentPlaceholder)
            pAction->setEnabled(IsCommandRouted(nID));
    }
    if (m_pFileMenu == nullptr || m_pRecentPlaceholder == nullptr)
        return;
    for (QAction* pAction : m_recentActions)
        delete pAction;
    m_recentActions.clear();

    CWinApp* pApp = AfxGetApp();
    CRecentFileList* pList = pApp != nullptr ? pApp->GetRecentFileList() : nullptr;
    if (pList == nullptr || pList->GetCount() == 0) {
        m_pRecentPlaceholder->setText(QStringLiteral("Recent File"));
        m_pRecentPlaceholder->setVisible(true);
        m_pRecentPlaceholder->setEnabled(false);
        return;
    }
    m_pRecentPlaceholder->setVisible(false);
    const std::string curDir = QDir::currentPath().toStdString();
    for (int i = 0; i < pList->GetCount(); ++i) {
        const UINT nID = ID_FILE_MRU_FILE1 + static_cast<UINT>(i);
        QAction* pAction = MakeCommandAction(nID, Text(pList->GetMenuText(i, curDir)), m_pFileMenu);
        m_pFileMenu->insertAction(m_pRecentPlaceholder, pAction);
        m_recentActions.push_back(pAction);
    }
}

void CMainFrame::RunCommand(UINT nID)
{
    statusBar()->clearMessage();
    OnCmdMsg(nID);
}

UINT CMainFrame::FindAccelerator(int nQtKey, Qt::KeyboardModifiers modifiers)
{
    const UINT vk = VirtualKey(nQtKey);
    if (vk == 0)
        return 0;
    UINT fState = 0;
    if (modifiers & Qt::ControlModifier)
        fState |= FCONTROL;
    if (modifiers & Qt::ShiftModifier)
        fState |= FSHIFT;
    if (modifiers & Qt::AltModifier)
        fState |= FALT;
    for (const AccelDef& accel : AfxAcceleratorTable(IDR_MAINFRAME)) {
        if (accel.nKey == vk && (accel.fVirt & (FCONTROL | FSHIFT | FALT)) == fState)
            return accel.nCmd;
    }
    return 0;
}

bool CMainFrame::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    // Accelerators are taken before the focus widget (the view) sees the key, also
    // those whose command has no handler: such a key then does nothing at all.
    if (pEvent->type() == QEvent::KeyPress || pEvent->type() == QEvent::ShortcutOverride) {
        auto* pWidget = qobject_cast<QWidget*>(pWatched);
        if (pWidget != nullptr && pWidget->window() == this && isEnabled()) {
            auto* pKey = static_cast<QKeyEvent*>(pEvent);
            const UINT nCmd = FindAccelerator(pKey->key(), pKey->modifiers());
            if (nCmd != 0) {
                if (pEvent->type() == QEvent::ShortcutOverride) {
                    // Claim the key so no Qt shortcut takes it; the press comes next.
                    pEvent->accept();
                    return true;
                }
                pKey->accept();
                if (IsCommandRouted(nCmd))
                    RunCommand(nCmd);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(pWatched, pEvent);
}

void CMainFrame::SetWindowText(const std::string& text)
{
    CFrameWnd::SetWindowText(text);
    setWindowTitle(Text(text));
}

void CMainFrame::ShowWindow(bool bShow)
{
    CFrameWnd::ShowWindow(bShow);
    setVisible(bShow);
}

bool CMainFrame::IsWindowVisible() const { return isVisible(); }

void CMainFrame::ActivateFrame()
{
    if (!isVisible())
        return;
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    if (m_pViewHost != nullptr)
        m_pViewHost->setFocus();
}

void CMainFrame::SetActiveWindow()
{
    activateWindow();
    if (m_pViewHost != nullptr)
        m_pViewHost->setFocus();
}

void CMainFrame::OnClose() { close(); }

void CMainFrame::DestroyWindow()
{
    // The owned Hints window goes with the main window.
    if (auto* pApp = dynamic_cast<CFretlyApp*>(AfxGetApp()))
        pApp->m_dlgHints.DestroyWindow();
    hide();
    emit frameClosed();
}

void CMainFrame::closeEvent(QCloseEvent* pEvent)
{
    if (!CanCloseFrame()) {
        pEvent->ignore();
        return;
    }
    pEvent->accept();
    DestroyWindow();
}

void CMainFrame::changeEvent(QEvent* pEvent)
{
    // The owned Hints window is hidden while the main window is minimised.
    if (pEvent->type() == QEvent::WindowStateChange) {
        auto* pApp = dynamic_cast<CFretlyApp*>(AfxGetApp());
        auto* pUI = dynamic_cast<CQtUserInterface*>(AfxGetUserInterface());
        if (pApp != nullptr && pUI != nullptr && pApp->m_dlgHints.HasWindow()) {
            if (QWidget* pHints = pUI->GetModelessWindow(pApp->m_dlgHints))
                pHints->setVisible(!isMinimized());
        }
    }
    QMainWindow::changeEvent(pEvent);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* pEvent)
{
    if (pEvent->mimeData()->hasUrls())
        pEvent->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* pEvent)
{
    if (DropFiles(pEvent->mimeData()))
        pEvent->acceptProposedAction();
}

bool CMainFrame::DropFiles(const QMimeData* pData)
{
    std::vector<std::string> paths;
    for (const QUrl& url : pData->urls()) {
        if (url.isLocalFile())
            paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    if (paths.empty())
        return false;
    // Opened after the drop has finished, so the prompts and dialogs run outside it.
    QTimer::singleShot(0, this, [this, paths] { OnDropFiles(paths); });
    return true;
}
