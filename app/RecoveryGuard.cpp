#include "app/RecoveryGuard.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "document/FretlyDoc.h"
#include "document/TabSnapshot.h"
#include "framework/FrameWnd.h"
#include "framework/WinApp.h"

namespace {

CRecoveryGuard* g_pGuard = nullptr;
int g_signalPipe[2] = {-1, -1};
QtMessageHandler g_previousHandler = nullptr;
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

bool OnMainThread() { return qApp != nullptr && QThread::currentThread() == qApp->thread(); }

// Only async-signal-safe work here: the byte wakes the event loop, which does the rest.
void OnTerminationSignal(int nSignal)
{
    const int saved = errno;
    const unsigned char c = static_cast<unsigned char>(nSignal);
    [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &c, 1);
    errno = saved;
}

// Qt on X11 says "The X11 connection broke" and calls exit(1); on Wayland it says "The
// Wayland connection broke" and calls _exit(1), which runs nothing of ours. The warning
// comes first in both, on the thread that holds the document.
void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg && message.contains(QLatin1String("connection broke")) &&
        g_pGuard != nullptr && OnMainThread())
        g_pGuard->Flush();
    if (g_previousHandler != nullptr)
        g_previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// exit() from inside the running program (the toolkit's, when the display is gone) still
// leaves the work behind. The program then ends here: destroying the windows of a toolkit
// that has lost its display crashes. A normal end has no guard left by now.
void OnExit()
{
    if (g_pGuard == nullptr || !OnMainThread())
        return;
    g_pGuard->Flush();
    if (CWinApp* pApp = AfxGetApp())
        pApp->SaveStdProfileSettings();
    std::fflush(nullptr);
    ::_exit(1);
}

bool HasRecognitionLine(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        if (!line.empty() && line[0] == '#' && line.find(g_szRecognition) != std::string_view::npos)
            return true;
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return false;
}

// Reads a copy's text into the tablature document the way Open reads a file, leaving
// the file information dialog to the start-up step that follows.
bool LoadRecovered(CDocument& doc, const std::string& docPath, const std::string& text)
{
    auto* pDoc = dynamic_cast<CFretlyDoc*>(&doc);
    if (pDoc == nullptr)
        return AfxLoadRecoveredText(doc, docPath, text);
    // Text the reader would refuse (with its own message and a new document) is not read.
    if (!HasRecognitionLine(text))
        return false;
    if (docPath.empty()) {
        pDoc->m_bSkipHeaderDialog = true;
        pDoc->OnNewDocument();
    }
    pDoc->m_bSkipHeaderDialog = true;
    if (!AfxLoadDocumentText(doc, text))
        return false;
    if (!docPath.empty())
        doc.SetPathName(docPath);
    return true;
}

} // namespace

CRecoveryGuard* AfxGetRecoveryGuard() { return g_pGuard; }

CRecoveryGuard::CRecoveryGuard() : m_copy(AfxRecoveryFolder(), AfxRecoveryInstance(), this)
{
    // A long document's text is made on the writer thread, not between two keystrokes.
    m_copy.SetSnapshot(AfxSnapshotTab);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_copy.OnTimer(); });
    g_pGuard = this;
}

CRecoveryGuard::~CRecoveryGuard()
{
    if (g_pGuard == this)
        g_pGuard = nullptr;
    if (m_bStarted) {
        for (int nSignal : kSignals)
            std::signal(nSignal, SIG_DFL);
        qInstallMessageHandler(g_previousHandler);
    }
    m_copy.Attach(nullptr);
}

void CRecoveryGuard::InstallSignalHandlers()
{
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_pNotifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, [this] { OnSignal(); });
    struct sigaction sa {};
    sa.sa_handler = OnTerminationSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int nSignal : kSignals)
        ::sigaction(nSignal, &sa, nullptr);
}

void CRecoveryGuard::OnStartup(CFrameWnd* pFrame, CDocument* pDoc)
{
    if (m_bStarted || pDoc == nullptr)
        return;
    m_bStarted = true;
    InstallSignalHandlers();
    g_previousHandler = qInstallMessageHandler(OnQtMessage);
    static bool bAtExit = std::atexit(OnExit) == 0;
    (void)bAtExit;

    const bool bRecovered = m_copy.OfferOrphans(*pDoc, LoadRecovered);
    m_copy.Attach(pDoc);
    if (bRecovered) {
        if (pFrame != nullptr)
            pFrame->InitialUpdateFrame(pDoc, true);
        // This run's own copy first; the old one goes once it is written.
        m_copy.FlushNow();
    }
}

void CRecoveryGuard::OnNormalEnd()
{
    m_copy.Attach(nullptr);
    m_copy.Discard();
    m_copy.WaitIdle();
}

void CRecoveryGuard::Flush() { m_copy.FlushNow(); }

void CRecoveryGuard::OnSignal()
{
    unsigned char c = 0;
    if (::read(g_signalPipe[0], &c, 1) != 1)
        return;
    const int nSignal = c;
    // Nobody may be there to answer a save prompt: the copy keeps the work instead.
    Flush();
    if (CWinApp* pApp = AfxGetApp())
        pApp->SaveStdProfileSettings();
    // Ended by the signal, as the sender expects to see it.
    std::signal(nSignal, SIG_DFL);
    ::raise(nSignal);
    ::_exit(128 + nSignal);
}
