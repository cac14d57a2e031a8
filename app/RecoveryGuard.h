#pragma once
// The recovery copy in the running program: its debounce timer, the start-up offer of
// copies that earlier runs left, and a clean end on SIGTERM, SIGHUP and SIGINT (the copy
// is brought up to date, then the program ends) and when the display goes away.
#include <QObject>
#include <QTimer>

#include "framework/RecoveryCopy.h"

class QSocketNotifier;
class CFrameWnd;
class CDocument;

class CRecoveryGuard : public QObject, public CRecoveryTimer {
    Q_OBJECT
public:
    CRecoveryGuard();
    ~CRecoveryGuard() override;

    // Start-up, before the file information dialog: offers the copies of runs that
    // ended without saving, then keeps a copy of the document while it has unsaved
    // changes, and takes over the termination signals. Command-line printing never
    // gets here.
    void OnStartup(CFrameWnd* pFrame, CDocument* pDoc);
    // The main window closed through the save prompt: the work was saved or the user
    // chose not to keep it, so the copy goes.
    void OnNormalEnd();
    // Brings the copy up to date now (the program is about to end).
    void Flush();

    CRecoveryCopy& GetCopy() { return m_copy; }

    void Start(int nMilliseconds) override { m_timer.start(nMilliseconds); }
    void Stop() override { m_timer.stop(); }

private:
    void OnSignal();
    void InstallSignalHandlers();

    QTimer m_timer;
    CRecoveryCopy m_copy;
    QSocketNotifier* m_pNotifier = nullptr;
    bool m_bStarted = false;
};

// The guard of this run, or nullptr.
CRecoveryGuard* AfxGetRecoveryGuard();
