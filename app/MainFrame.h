#pragma once
// The main frame: menu bar, toolbar, status bar and accelerators built from the tables of
// resource 128, the editing view as its client, dropped files and the save prompt on close.
#include <QMainWindow>
#include <map>
#include <vector>

#include "framework/FrameWnd.h"

class QAction;
class QLabel;
class QMenu;
class QMimeData;
class QToolBar;
class QTimer;
class CScrollViewHost;
struct AccelDef;

class CMainFrame : public QMainWindow, public CFrameWnd {
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    // Attaches menu 128, the accelerators and icon 128, then creates the frame.
    bool LoadFrame(UINT nIDResource, CDocument* pDoc, CView* pView) override;
    int OnCreate() override;

    // CFrameWnd window services
    void SetWindowText(const std::string& text) override;
    void ShowWindow(bool bShow) override;
    bool IsWindowVisible() const override;
    void ActivateFrame() override;
    void DestroyWindow() override;
    void OnClose() override;

    void DragAcceptFiles(bool bAccept) { setAcceptDrops(bAccept); }
    void SetActiveWindow();

    // The command an accelerator key gives, or 0 (keys as Qt reports them).
    static UINT FindAccelerator(int nQtKey, Qt::KeyboardModifiers modifiers);

    // For tests and the status bar.
    QToolBar* GetToolBar() const { return m_pToolBar; }
    QAction* GetCommandAction(UINT nID) const;
    CScrollViewHost* GetViewHost() const { return m_pViewHost; }
    QString GetMessagePaneText() const;
    QLabel* GetIndicator(UINT nID) const;
    // Refreshes the recent-file entries and the enabled state of the menu items.
    void UpdateMenus();
    void UpdateIndicators();
    // The local files among dropped data, opened in turn once the drop is over; false
    // when there were none.
    bool DropFiles(const QMimeData* pData);

signals:
    // The window was closed for good (the application then ends).
    void frameClosed();

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;

private:
    void BuildMenu();
    bool LoadToolBar();
    void BuildStatusBar();
    QAction* MakeCommandAction(UINT nID, const QString& text, QObject* pParent);
    void RunCommand(UINT nID);

    QToolBar* m_pToolBar = nullptr;      // m_wndToolBar
    QLabel* m_pMessagePane = nullptr;    // m_wndStatusBar's first pane
    std::map<UINT, QLabel*> m_indicators;
    QMenu* m_pFileMenu = nullptr;
    QAction* m_pRecentPlaceholder = nullptr;
    std::vector<QAction*> m_recentActions;
    std::map<UINT, QAction*> m_menuActions;
    CScrollViewHost* m_pViewHost = nullptr;
    QTimer* m_pIndicatorTimer = nullptr;
};
