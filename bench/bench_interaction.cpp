// What a player feels: the time from a key, a click, a wheel turn or a command to the
// finished frame (the window's paint done and its backing store flushed), measured on the
// real widgets of the running editor on Qt's offscreen platform, whose raster painter
// paints every pixel into the backing store as on a desktop.
//
//   bench_interaction [--quick] [--reps N] [--no-preview] [--only-preview] [--only-commands]
//                     [--window WxH] [--staffs N]
//
// Prints one table: median and 99th percentile in milliseconds of each interaction, for
// documents of 1, 1,000 and 100,000 full staffs, the cursor at the start, the middle and
// the end, in windows of 1280 x 900 and 3840 x 2160; then the column and staff commands
// beside one copy of the whole document, the file information dialog, Print Preview
// (first page, page turn, peak memory) and Save.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPrintPreviewWidget>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "app/FretlyApp.h"
#include "app/MainFrame.h"
#include "bench/BenchDocument.h"
#include "document/FretlyDoc.h"
#include "framework/qt/QtUserInterface.h"
#include "framework/qt/ScrollViewHost.h"
#include "resources/Resource.h"
#include "view/FretlyView.h"

namespace fs = std::filesystem;

namespace {

using Clock = QElapsedTimer;

// Every frame of every window: an update request (a widget's repaint) or an expose (a
// window shown) is delivered here first and carried out at once, so the moment it
// returns is the moment the frame is painted and flushed.
class CFrameClock : public QObject {
public:
    CFrameClock() { m_clock.start(); }
    qint64 Now() const { return m_clock.nsecsElapsed(); }
    // This thread's processor time: what the work cost, whatever else the machine runs.
    static qint64 CpuNow()
    {
        timespec ts{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<qint64>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }

    int m_nFrames = 0;
    qint64 m_tLastFrame = 0;
    qint64 m_cpuLastFrame = 0;
    QObject* m_pLastWindow = nullptr;
    std::function<void(QObject*)> m_onFrame;   // called after each frame
    bool m_bTrace = qEnvironmentVariableIsSet("FRETLY_BENCH_TRACE");   // names what paints

protected:
    bool eventFilter(QObject* pObj, QEvent* pEvent) override
    {
        if (m_bTrace && pEvent->type() == QEvent::Paint) {
            const QRect r = static_cast<QPaintEvent*>(pEvent)->rect();
            std::fprintf(stderr, "paint %s %s %dx%d\n", pObj->metaObject()->className(),
                         qPrintable(pObj->objectName()), r.width(), r.height());
        }
        const bool bWidgetFrame = pEvent->type() == QEvent::UpdateRequest && pObj->isWidgetType() &&
                                  static_cast<QWidget*>(pObj)->isWindow();
        const bool bExpose = pEvent->type() == QEvent::Expose && qobject_cast<QWindow*>(pObj) != nullptr;
        if (!bWidgetFrame && !bExpose)
            return false;
        pObj->event(pEvent);
        ++m_nFrames;
        m_tLastFrame = Now();
        m_cpuLastFrame = CpuNow();
        m_pLastWindow = pObj;
        if (m_onFrame)
            m_onFrame(pObj);
        return true;
    }

private:
    Clock m_clock;
};

CFrameClock* g_pClock = nullptr;

// The processor time (milliseconds) of the last interaction TimeToFrame timed.
double g_cpuLast = 0;

// Runs act and waits for the frame it causes; milliseconds from act to that frame, or a
// negative number when no frame came within the bound.
double TimeToFrame(const std::function<void()>& act)
{
    const int nBefore = g_pClock->m_nFrames;
    const qint64 cpu0 = CFrameClock::CpuNow();
    const qint64 t0 = g_pClock->Now();
    act();
    QCoreApplication::sendPostedEvents();
    Clock bound;
    bound.start();
    while (g_pClock->m_nFrames == nBefore && bound.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    if (g_pClock->m_nFrames == nBefore) {
        std::fprintf(stderr, "bench_interaction: no frame came within 5 s of an interaction\n");
        return -1;
    }
    g_cpuLast = (g_pClock->m_cpuLastFrame - cpu0) / 1e6;
    return (g_pClock->m_tLastFrame - t0) / 1e6;
}

// Lets everything pending happen, frames included.
void Settle()
{
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

struct CStats {
    double median = 0, p99 = 0, max = 0;
    std::size_t n = 0;
};

CStats Summarise(std::vector<double> v)
{
    CStats s;
    v.erase(std::remove_if(v.begin(), v.end(), [](double d) { return d < 0; }), v.end());
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    s.n = v.size();
    s.median = v[v.size() / 2];
    // Nearest rank.
    s.p99 = v[std::min(v.size() - 1, static_cast<std::size_t>((v.size() * 99 + 99) / 100) - 1)];
    s.max = v.back();
    return s;
}

long ReadStatusKiB(const char* key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + std::strlen(key));
    }
    return -1;
}

// The peak resident size starts again from the present one.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// The one message box the commands ask (Delete Staff) is answered Yes; nothing beeps.
class CBenchUserInterface : public CQtUserInterface {
public:
    int MessageBox(const std::string&, const std::string&, UINT) override { return IDYES; }
    void Beep() override {}
    // Save As (the first save of a document made here) keeps the name it proposes.
    bool GetFileName(const CFileDialogRequest& request, std::string& path) override
    {
        path = request.initialName;
        return !request.bOpen && !path.empty();
    }
};

void SendKey(QWidget* pWidget, int nKey, const QString& text = {})
{
    QKeyEvent over(QEvent::ShortcutOverride, nKey, Qt::NoModifier, text);
    QApplication::sendEvent(pWidget, &over);
    QKeyEvent press(QEvent::KeyPress, nKey, Qt::NoModifier, text);
    QApplication::sendEvent(pWidget, &press);
    QKeyEvent release(QEvent::KeyRelease, nKey, Qt::NoModifier, text);
    QApplication::sendEvent(pWidget, &release);
}

void Click(QWidget* pWidget, QPoint pt)
{
    const QPointF global = pWidget->mapToGlobal(QPointF(pt));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(pt), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pWidget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pt), global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(pWidget, &release);
}

void Wheel(QWidget* pWidget, int nDelta)
{
    const QPointF pos(pWidget->width() / 2.0, pWidget->height() / 2.0);
    QWheelEvent wheel(pos, pWidget->mapToGlobal(pos), QPoint(), QPoint(0, nDelta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(pWidget, &wheel);
}

class CBench {
public:
    CBench(int nReps, bool bQuick) : m_nReps(nReps), m_bQuick(bQuick) {}

    bool Start()
    {
        // The start-up header dialog is answered Cancel as soon as it is up.
        auto* pTimer = new QTimer;
        pTimer->setInterval(5);
        QObject::connect(pTimer, &QTimer::timeout, [pTimer] {
            if (QWidget* pModal = QApplication::activeModalWidget()) {
                pTimer->stop();
                pTimer->deleteLater();
                QMetaObject::invokeMethod(pModal, "reject", Qt::QueuedConnection);
            }
        });
        pTimer->start();
        if (!m_app.InitInstance())
            return false;
        Settle();
        m_app.m_dlgHints.DestroyWindow();
        Settle();
        return Frame() != nullptr && View() != nullptr;
    }

    CMainFrame* Frame() const { return dynamic_cast<CMainFrame*>(m_app.m_pMainWnd); }
    CFretlyDoc* Doc() const { return dynamic_cast<CFretlyDoc*>(Frame()->GetActiveDocument()); }
    CFretlyView* View() const { return dynamic_cast<CFretlyView*>(Frame()->GetActiveView()); }
    CScrollViewHost* Host() const { return Frame()->GetViewHost(); }

    void Load(int nStaffs)
    {
        // No header dialog for a document made here.
        Doc()->m_bSkipHeaderDialog = true;
        AfxFillBenchDocument(*Doc(), nStaffs);
        Doc()->m_bStaffCountChanged = true;
        View()->OnInitialUpdate();
        Doc()->UpdateAllViews(nullptr, 0, nullptr);
        Settle();
        m_snapshot.clear();
        m_snapshot.reserve(static_cast<std::size_t>(nStaffs));
        for (const auto& p : Doc()->m_ppStaffs)
            m_snapshot.push_back(*p);
    }

    // The document back as Load made it (after a command changed it).
    void Restore()
    {
        CFretlyDoc* pDoc = Doc();
        const int n = static_cast<int>(m_snapshot.size());
        while (pDoc->m_nStaffs > n)
            pDoc->DeleteStaff(pDoc->m_nStaffs - 1);
        while (pDoc->m_nStaffs < n)
            pDoc->InsertStaff(pDoc->m_nStaffs - 1);
        for (int s = 0; s < n; ++s)
            *pDoc->m_ppStaffs[s] = m_snapshot[s];
    }

    // The cursor on staff s, row r, column c, in view, painted.
    void PutCursor(int s, int r, int c)
    {
        CFretlyView* pView = View();
        pView->m_nCurStaff = s;
        pView->m_nCurRow = r;
        pView->m_nCurCol = c;
        pView->m_chLastTyped = 0;
        Doc()->UpdateAllViews(nullptr, 0, nullptr);
        Settle();
    }

    void Resize(int cx, int cy)
    {
        Frame()->resize(cx, cy);
        Settle();
    }

    void Row(const std::string& what, const CStats& s, const CStats* pCpu = nullptr)
    {
        std::printf("  %-34s %9.3f %9.3f %9.3f %5zu", what.c_str(), s.median, s.p99, s.max, s.n);
        if (pCpu != nullptr)
            std::printf("   cpu %7.3f %7.3f", pCpu->median, pCpu->p99);
        std::printf("\n");
        std::fflush(stdout);
    }

    // What any frame of the whole view costs at least on this machine: filling its pixels
    // once, and shifting them by a wheel step (three lines), as the raster engine does.
    void PixelYardsticks()
    {
        const QSize size = Host()->viewport()->size();
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        const int nShift = std::min(size.height() - 1, 3 * std::max(1, View()->m_cyChar));
        std::vector<double> fill, fillCpu, shift, shiftCpu;
        for (int i = 0; i < m_nReps; ++i) {
            qint64 cpu0 = CFrameClock::CpuNow();
            qint64 t0 = g_pClock->Now();
            image.fill(i & 1 ? Qt::white : Qt::black);
            fill.push_back((g_pClock->Now() - t0) / 1e6);
            fillCpu.push_back((CFrameClock::CpuNow() - cpu0) / 1e6);
            cpu0 = CFrameClock::CpuNow();
            t0 = g_pClock->Now();
            uchar* pBits = image.bits();
            std::memmove(pBits, pBits + nShift * image.bytesPerLine(),
                         static_cast<std::size_t>(size.height() - nShift) * image.bytesPerLine());
            shift.push_back((g_pClock->Now() - t0) / 1e6);
            shiftCpu.push_back((CFrameClock::CpuNow() - cpu0) / 1e6);
        }
        const CStats fc = Summarise(fillCpu);
        const CStats sc = Summarise(shiftCpu);
        Row("(one fill of the view's pixels)", Summarise(fill), &fc);
        Row("(one shift of them by a wheel step)", Summarise(shift), &sc);
    }

    // The editing interactions with the cursor on staff s.
    void Interactions(int s)
    {
        QWidget* pHost = Host();
        QWidget* pViewport = Host()->viewport();
        const int nReps = m_nReps;
        std::vector<double> t, cpu;

        auto measure = [&](const char* name, const std::function<void()>& prepare, const std::function<void()>& act) {
            t.clear();
            cpu.clear();
            for (int i = 0; i < nReps; ++i) {
                if (prepare)
                    prepare();
                t.push_back(TimeToFrame(act));
                cpu.push_back(t.back() < 0 ? -1 : g_cpuLast);
            }
            const CStats c = Summarise(cpu);
            Row(name, Summarise(t), &c);
        };

        // A digit, typed where a note goes, the cell put back untimed.
        measure(
            "digit typed", [&] { PutCursor(s, 2, 10); }, [&] { SendKey(pHost, Qt::Key_5, QStringLiteral("5")); });
        measure(
            "two-digit fret (second digit)",
            [&] {
                PutCursor(s, 2, 10);
                SendKey(pHost, Qt::Key_1, QStringLiteral("1"));
                Settle();
            },
            [&] { SendKey(pHost, Qt::Key_2, QStringLiteral("2")); });
        Restore();
        PutCursor(s, 2, 10);
        int nStep = 0;
        measure("arrow move", nullptr, [&] { SendKey(pHost, (nStep++ & 1) ? Qt::Key_Left : Qt::Key_Right); });

        // A Down arrow from the text row of the lowest staff in sight onto the next one,
        // which must scroll (near the start, the last staff the top of the tablature shows).
        CFretlyView* pView = View();
        const int nBand = 8 * pView->m_cyChar;
        const int nHeight = pViewport->height();
        const int nScrollStaff = std::min(std::max(s, (nHeight - pView->m_yMargin) / nBand - 1), Doc()->m_nStaffs - 2);
        if (nScrollStaff >= 0) {
            measure(
                "move that scrolls",
                [&] {
                    PutCursor(nScrollStaff, 6, 10);
                    const int nTop = pView->m_yMargin + nBand * nScrollStaff;
                    pView->ScrollToPosition(CPoint(0, std::max(0, nTop + nBand - nHeight)));
                    Settle();
                },
                [&] { SendKey(pHost, Qt::Key_Down); });
        } else {
            std::printf("  %-34s (one staff: nothing to scroll to)\n", "move that scrolls");
        }

        PutCursor(s, 0, 10);
        // A cell in the middle of the window, then another: each click moves the cursor.
        nStep = 0;
        measure("click on a cell", nullptr, [&] {
            const int cy = View()->m_cyChar;
            const int cx = View()->m_cxChar;
            const int y = std::min(pViewport->height() / 2, 8 + 3 * cy) + (nStep & 1) * cy;
            Click(pViewport, QPoint(8 + (20 + (nStep & 1) * 7) * cx + cx / 2, y));
            ++nStep;
        });

        PutCursor(s, 0, 10);
        QScrollBar* pBar = Host()->verticalScrollBar();
        if (pBar->maximum() == 0) {
            std::printf("  %-34s (the whole tablature in sight: nothing to scroll)\n", "wheel, scroll-bar drag");
            Frame()->update();
        }
        nStep = 0;
        if (pBar->maximum() > 0)
            measure("wheel step", nullptr, [&] { Wheel(pViewport, (nStep++ & 1) ? 120 : -120); });

        PutCursor(s, 0, 10);
        // A drag of the thumb by 8 pixels of its track.
        const int nTrack = std::max(1, pBar->height());
        const int nDragStep = std::max(1, static_cast<int>((pBar->maximum() + pBar->pageStep()) * 8LL / nTrack));
        nStep = 0;
        pBar->setSliderDown(true);
        if (pBar->maximum() > 0)
            measure("scroll-bar drag step", nullptr, [&] {
            const int nFrom = pBar->sliderPosition();
            int nTo = (nStep++ & 1) ? nFrom - nDragStep : nFrom + nDragStep;
            if (nTo > pBar->maximum() || nTo < pBar->minimum())
                nTo = nFrom - (nTo - nFrom);
            pBar->setSliderPosition(nTo);
        });
        pBar->setSliderDown(false);

        PutCursor(s, 0, 10);
        const QSize size = Frame()->size();
        nStep = 0;
        measure("resize", nullptr, [&] {
            Frame()->resize((nStep++ & 1) ? size : size - QSize(40, 30));
        });
        Frame()->resize(size);
        Settle();

        measure("full expose", nullptr, [&] { Frame()->update(); });
        Restore();
    }

    void Commands()
    {
        CFretlyDoc* pDoc = Doc();
        const int nReps = m_bQuick ? 5 : std::max(5, m_nReps / 10);
        // One copy of the whole document, as a yardstick for the cascade: into memory the
        // process already holds (the copy itself), and into a new allocation (which adds
        // the system's clearing of fresh pages).
        std::vector<double> copies, copiesCpu, fresh, freshCpu;
        std::vector<CStaff> warm(pDoc->m_ppStaffs.size());
        for (int i = 0; i < nReps; ++i) {
            qint64 cpu0 = CFrameClock::CpuNow();
            qint64 t0 = g_pClock->Now();
            for (std::size_t s = 0; s < warm.size(); ++s)
                warm[s] = *pDoc->m_ppStaffs[s];
            copies.push_back((g_pClock->Now() - t0) / 1e6);
            copiesCpu.push_back((CFrameClock::CpuNow() - cpu0) / 1e6);

            cpu0 = CFrameClock::CpuNow();
            t0 = g_pClock->Now();
            std::vector<CStaff> copy;
            copy.reserve(pDoc->m_ppStaffs.size());
            for (const auto& p : pDoc->m_ppStaffs)
                copy.push_back(*p);
            fresh.push_back((g_pClock->Now() - t0) / 1e6);
            freshCpu.push_back((CFrameClock::CpuNow() - cpu0) / 1e6);
            if (copy.size() != warm.size() || std::memcmp(copy.back().m_rows, warm.back().m_rows, sizeof copy.back().m_rows))
                std::abort();
        }
        const CStats copy = Summarise(copies);
        const CStats copyCpu = Summarise(copiesCpu);
        Row("(one copy of the whole document)", copy, &copyCpu);
        const CStats freshStats = Summarise(freshCpu);
        Row("(the same into new memory)", Summarise(fresh), &freshStats);

        struct CCommand {
            const char* name;
            UINT nID;
            int nCol;
        };
        const CCommand commands[] = {{"Insert Column (staff 1)", ID_EDIT_INSERTCOLUMN, 1},
                                     {"Delete Column (staff 1)", ID_EDIT_DELETECOLUMN, 1},
                                     {"Insert Staff (staff 1)", ID_EDIT_INSERTSTAFF, 1},
                                     {"Delete Staff (staff 1)", ID_EDIT_DELETESTAFF, 1},
                                     {"Move Down (staff 1, col 10)", ID_EDIT_MOVEDOWN, 10},
                                     {"Merge Up (staff 1)", ID_EDIT_MERGEUP, 1}};
        for (const CCommand& cmd : commands) {
            if (cmd.nID == ID_EDIT_DELETESTAFF && pDoc->m_nStaffs == 1)
                continue;
            std::vector<double> t, cpu;
            QAction* pAction = Frame()->GetCommandAction(cmd.nID);
            for (int i = 0; i < nReps; ++i) {
                Restore();
                PutCursor(0, 0, cmd.nCol);
                t.push_back(TimeToFrame([&] { pAction->trigger(); }));
                cpu.push_back(t.back() < 0 ? -1 : g_cpuLast);
            }
            const CStats s = Summarise(t);
            const CStats c = Summarise(cpu);
            std::printf("  %-34s %9.3f %9.3f %9.3f %5zu   cpu %7.3f %7.3f   %.2f x copy (cpu %.2f x)\n", cmd.name,
                        s.median, s.p99, s.max, s.n, c.median, c.p99, copy.median > 0 ? s.median / copy.median : 0.0,
                        copyCpu.median > 0 ? c.median / copyCpu.median : 0.0);
            std::fflush(stdout);
        }
        Restore();
        PutCursor(0, 0, 1);
    }

    // The file information dialog opened (until its first frame) and closed (until the
    // command returns), over a comment of about 1 MB.
    void FileInfoDialog()
    {
        CFretlyDoc* pDoc = Doc();
        std::string comments;
        while (comments.size() < 1000000)
            comments += "A comment line of the kind a transcriber writes about the song and its parts.\r\n";
        pDoc->m_strComments = comments;
        std::vector<double> opened, closed;
        const int nReps = m_bQuick ? 3 : 10;
        for (int i = 0; i < nReps; ++i) {
            qint64 t0 = 0, tShown = -1, tReject = 0;
            g_pClock->m_onFrame = [&](QObject* pWindow) {
                QWidget* pModal = QApplication::activeModalWidget();
                if (tShown >= 0 || pModal == nullptr || pModal == Frame())
                    return;
                if (pWindow != pModal && pWindow != pModal->windowHandle())
                    return;
                tShown = g_pClock->m_tLastFrame;
                QTimer::singleShot(0, pModal, [pModal, &tReject] {
                    tReject = g_pClock->Now();
                    QMetaObject::invokeMethod(pModal, "reject");
                });
            };
            t0 = g_pClock->Now();
            Frame()->GetCommandAction(ID_VIEW_HEADERS)->trigger();
            const qint64 tDone = g_pClock->Now();
            g_pClock->m_onFrame = nullptr;
            opened.push_back(tShown >= 0 ? (tShown - t0) / 1e6 : -1);
            closed.push_back(tShown >= 0 ? (tDone - tReject) / 1e6 : -1);
            Settle();
        }
        Row("File Info dialog open (1 MB comm.)", Summarise(opened));
        Row("File Info dialog close", Summarise(closed));
        pDoc->m_strComments = "Generated for timing.\r\n";
    }

    // Print Preview opened until its first page is painted, then page turns, then closed;
    // the peak resident memory while it was open.
    void Preview(int nStaffs)
    {
        Load(nStaffs);
        const long nRssBefore = ReadStatusKiB("VmRSS:");
        ResetPeak();
        qint64 t0 = 0, tFirst = -1, tTurn = 0, cpu0 = 0, cpuFirst = 0;
        std::vector<double> turns, turnsCpu;
        qint64 cpuTurn = 0;
        QDialog* pPreview = nullptr;
        const int nTurns = m_bQuick ? 5 : 20;
        int nPages = 0;
        auto turn = [&] {
            QTimer::singleShot(0, pPreview, [&] {
                QAction* pNext = nullptr;
                for (QAction* pAction : pPreview->findChildren<QAction*>())
                    if (pAction->text() == QLatin1String("Next page"))
                        pNext = pAction;
                if (pNext == nullptr || static_cast<int>(turns.size()) >= nTurns) {
                    QMetaObject::invokeMethod(pPreview, "reject");
                    return;
                }
                cpuTurn = CFrameClock::CpuNow();
                tTurn = g_pClock->Now();
                pNext->trigger();
            });
        };
        g_pClock->m_onFrame = [&](QObject* pWindow) {
            auto* pModal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (pModal == nullptr || pModal->findChild<QPrintPreviewWidget*>() == nullptr)
                return;
            if (pWindow != pModal && pWindow != pModal->windowHandle())
                return;
            if (tFirst < 0) {
                tFirst = g_pClock->m_tLastFrame;
                cpuFirst = g_pClock->m_cpuLastFrame;
                pPreview = pModal;
                nPages = pModal->findChild<QPrintPreviewWidget*>()->pageCount();
                // FRETLY_BENCH_GRAB=file.png keeps a picture of the first page shown.
                if (const char* pGrab = std::getenv("FRETLY_BENCH_GRAB"))
                    pModal->grab().save(QString::fromLocal8Bit(pGrab));
                turn();
                return;
            }
            if (tTurn != 0) {
                turns.push_back((g_pClock->m_tLastFrame - tTurn) / 1e6);
                turnsCpu.push_back((g_pClock->m_cpuLastFrame - cpuTurn) / 1e6);
                tTurn = 0;
                turn();
            }
        };
        cpu0 = CFrameClock::CpuNow();
        t0 = g_pClock->Now();
        Frame()->GetCommandAction(ID_FILE_PRINT_PREVIEW)->trigger();
        g_pClock->m_onFrame = nullptr;
        Settle();
        const long nPeak = ReadStatusKiB("VmHWM:");
        char label[80];
        std::snprintf(label, sizeof label, "Preview %d staffs, first page", nStaffs);
        CStats first;
        first.n = tFirst >= 0 ? 1 : 0;
        first.median = first.p99 = first.max = tFirst >= 0 ? (tFirst - t0) / 1e6 : -1;
        CStats firstCpu = first;
        firstCpu.median = firstCpu.p99 = tFirst >= 0 ? (cpuFirst - cpu0) / 1e6 : -1;
        Row(label, first, &firstCpu);
        std::snprintf(label, sizeof label, "Preview %d staffs, page turn", nStaffs);
        const CStats turnCpu = Summarise(turnsCpu);
        Row(label, Summarise(turns), &turnCpu);
        std::printf("  %-34s %d pages; peak RSS %.1f MB (%.1f MB above the %.1f MB before)\n", "", nPages,
                    nPeak / 1024.0, (nPeak - nRssBefore) / 1024.0, nRssBefore / 1024.0);
        std::fflush(stdout);
    }

    void Save()
    {
        const fs::path dir = fs::temp_directory_path() / ("fretly-bench-save-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        Doc()->SetPathName((dir / "long.tab").string());
        std::vector<double> t;
        const int nReps = m_bQuick ? 3 : 10;
        for (int i = 0; i < nReps; ++i) {
            Doc()->SetModifiedFlag(true);
            Settle();
            const qint64 t0 = g_pClock->Now();
            Frame()->GetCommandAction(ID_FILE_SAVE)->trigger();
            QCoreApplication::sendPostedEvents();
            t.push_back((g_pClock->Now() - t0) / 1e6);
        }
        Row("Save (until the command returns)", Summarise(t));
        std::printf("  %-34s file of %.1f MB\n", "", fs::file_size(dir / "long.tab") / 1e6);
        fs::remove_all(dir);
    }

    CFretlyApp m_app;

private:
    int m_nReps;
    bool m_bQuick;
    std::vector<CStaff> m_snapshot;
};

} // namespace

int main(int argc, char** argv)
{
    int nReps = 200;
    bool bQuick = false, bPreview = true, bOnlyPreview = false, bOnlyCommands = false, bOnlySave = false;
    std::vector<std::pair<int, int>> sizes = {{1280, 900}, {3840, 2160}};
    std::vector<int> docs = {1, 1000, 100000};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--quick") {
            bQuick = true;
            nReps = 30;
        } else if (arg == "--reps" && i + 1 < argc) {
            nReps = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--no-preview") {
            bPreview = false;
        } else if (arg == "--only-preview") {
            bOnlyPreview = true;
        } else if (arg == "--only-save") {
            bOnlySave = true;
        } else if (arg == "--only-commands") {
            bOnlyCommands = true;
        } else if (arg == "--window" && i + 1 < argc) {
            // One window size only, e.g. 3840x2160.
            int cx = 0, cy = 0;
            if (std::sscanf(argv[++i], "%dx%d", &cx, &cy) == 2 && cx > 0 && cy > 0)
                sizes = {{cx, cy}};
        } else if (arg == "--staffs" && i + 1 < argc) {
            // One document size only.
            docs = {std::max(1, std::atoi(argv[++i]))};
        } else {
            std::fprintf(stderr, "usage: %s [--quick] [--reps N] [--no-preview] [--only-preview] [--only-commands] [--only-save]\n"
                         "       [--window WxH] [--staffs N]\n", argv[0]);
            return 2;
        }
    }

    // A scratch profile and data folder: nothing of the user's is read or written.
    const fs::path home = fs::temp_directory_path() / ("fretly-bench-home-" + std::to_string(::getpid()));
    fs::create_directories(home / "config");
    fs::create_directories(home / "data");
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication qapp(argc, argv);
    CFrameClock clock;
    g_pClock = &clock;
    qapp.installEventFilter(&clock);

    int nStatus = 0;
    {
        CBenchUserInterface ui;
        CBench bench(nReps, bQuick);
        if (!bench.Start()) {
            std::fprintf(stderr, "bench_interaction: the editor did not start\n");
            return 1;
        }
        ui.SetMainWindow(bench.Frame());

        std::printf("interaction (milliseconds, event to painted frame)  median       p99       max     n   cpu median  p99\n");
        if (bOnlySave) {
            bench.Load(100000);
            std::printf("save, 100,000 staffs\n");
            bench.Save();
        } else if (bOnlyCommands) {
            bench.Resize(1280, 900);
            for (int nStaffs : docs) {
                bench.Load(nStaffs);
                std::printf("commands at the first staff, %d staffs, 1280 x 900\n", nStaffs);
                bench.Commands();
            }
        } else if (!bOnlyPreview) {
            for (const auto& size : sizes) {
                bench.Resize(size.first, size.second);
                for (int nStaffs : docs) {
                    bench.Load(nStaffs);
                    const int positions[] = {0, nStaffs / 2, nStaffs - 1};
                    const char* names[] = {"start", "middle", "end"};
                    for (int p = 0; p < 3; ++p) {
                        if (nStaffs == 1 && p > 0)
                            break;
                        const QSize vp = bench.Host()->viewport()->size();
                        std::printf("%d x %d window (view %d x %d), %d staffs, cursor at the %s\n", size.first, size.second,
                                    vp.width(), vp.height(), nStaffs, names[p]);
                        if (nStaffs == docs.front() && p == 0)
                            bench.PixelYardsticks();
                        bench.Interactions(positions[p]);
                    }
                }
            }
            bench.Resize(1280, 900);
            for (int nStaffs : docs) {
                bench.Load(nStaffs);
                std::printf("commands at the first staff, %d staffs, 1280 x 900\n", nStaffs);
                bench.Commands();
            }
            bench.Load(1000);
            std::printf("dialogs, 1,000 staffs, 1280 x 900\n");
            bench.FileInfoDialog();
            bench.Load(100000);
            std::printf("save, 100,000 staffs\n");
            bench.Save();
        }
        if ((bPreview || bOnlyPreview) && !bOnlyCommands && !bOnlySave) {
            bench.Resize(1280, 900);
            std::printf("print preview, 1280 x 900\n");
            for (int nStaffs : {1000, 10000, 100000})
                bench.Preview(nStaffs);
        }
        bench.Doc()->SetModifiedFlag(false);
        bench.m_app.DeleteDocTemplate();
        Settle();
    }
    fs::remove_all(home);
    return nStatus;
}
