// The cost of one keystroke in the editing view: the character, the update it causes and
// a repaint of the whole window, in documents of 1, 1,000 and 100,000 staffs with the
// cursor near the end. A repaint must cost the same whatever the document's length.
// Two windows: 800 x 600 (five staffs on screen, but a one-staff document has only one
// to draw) and 800 x 128, one staff high, where every document draws the same amount.
#include <benchmark/benchmark.h>

#include <memory>

#include "document/FretlyDoc.h"
#include "document/TabSnapshot.h"
#include "framework/AccessibleText.h"
#include "framework/RecoveryCopy.h"
#include "framework/View.h"
#include "view/FretlyView.h"

namespace {

const CSize kCell(8, 16);
CRect g_client(0, 0, 800, 600);

// Draws nothing; measures text with fixed metrics; the paint area is the whole window.
class CNullDC : public CDC {
public:
    int GetDeviceCaps(int) const override { return 0; }

protected:
    void DrawText(int, int, std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
    CSize MeasureText(std::string_view text) const override
    {
        return CSize(kCell.cx * static_cast<int>(text.size()), kCell.cy);
    }
    CRect GetClipBox() const override { return g_client; }
};

// Never expires: what a keystroke costs the recovery copy, not the copy itself.
class CIdleTimer : public CRecoveryTimer {
public:
    void Start(int) override {}
    void Stop() override {}
};

class CNullHost : public CViewHost {
public:
    CRect GetClientRect() const override { return g_client; }
    void Invalidate(bool) override {}
    void UpdateScrollBars(CSize, CSize, CSize, CPoint) override {}
    std::unique_ptr<CDC> GetDC() override { return std::make_unique<CNullDC>(); }
};

// A screen reader's end of the pane: takes a copy of everything it is told, as the toolkit
// does when it turns the events into its own strings.
class CCopyingSink : public CAccessibleTextSink {
public:
    explicit CCopyingSink(CAccessibleText& text) : m_text(text) {}
    void OnTextChanged(long long nPos, std::string_view removed, std::string_view inserted) override
    {
        m_last.assign(removed).append(inserted);
        benchmark::DoNotOptimize(nPos);
    }
    void OnCaretMoved(long long nOffset) override { benchmark::DoNotOptimize(nOffset); }
    void OnValueChanged() override { benchmark::DoNotOptimize(m_text.GetValue()); }
    void OnDescriptionChanged() override { m_last = m_text.GetDescription(); }

private:
    CAccessibleText& m_text;
    std::string m_last;
};

// bAccessible: assistive technology listens (the pane's accessible text made, events copied).
void RunKeystroke(benchmark::State& state, bool bAccessible)
{
    const int nStaffs = static_cast<int>(state.range(0));
    g_client = CRect(0, 0, 800, static_cast<int>(state.range(1)));
    CFretlyDoc doc;
    CNullHost host;
    CFretlyView view;
    doc.AddView(&view);
    view.SetHost(&host);
    view.OnCreate();
    doc.OnNewDocument();
    for (int i = 1; i < nStaffs; ++i)
        doc.InsertStaff(i - 1);
    view.OnInitialUpdate();
    CIdleTimer timer;
    CRecoveryCopy recovery("/nonexistent/fretly-bench", "bench", &timer);
    if (state.range(2) != 0)
        recovery.Attach(&doc);

    // Cursor on the second staff from the end (the only staff when there is one), as a
    // click would put it there after scrolling down.
    const int nTarget = nStaffs > 1 ? nStaffs - 2 : 0;
    view.OnHostScroll(CPoint(0, 8 + 8 * nTarget * kCell.cy));
    const CPoint pos = view.GetScrollPosition();
    view.OnLButtonDown(0, CPoint(8 + 10 * kCell.cx - pos.x, 8 + 8 * nTarget * kCell.cy + 2 * kCell.cy - pos.y));
    std::unique_ptr<CCopyingSink> pSink;
    if (bAccessible) {
        CAccessibleText* pText = view.GetAccessibleText();
        pSink = std::make_unique<CCopyingSink>(*pText);
        pText->SetSink(pSink.get());
    }

    CNullDC dc;
    for (auto _ : state) {
        view.m_nCurCol = 10;            // type over the same cell every time
        view.OnChar('5', 1, 0);         // OnChar, which runs the update
        view.OnPrepareDC(&dc);
        view.OnDraw(&dc);               // and the repaint the update asked for
    }
    if (view.m_nCurStaff != nTarget)
        state.SkipWithError("the cursor is not where the benchmark put it");
}

void BM_Keystroke(benchmark::State& state) { RunKeystroke(state, false); }

// The same keystroke with assistive technology listening, against the same without it.
void BM_KeystrokeAccessible(benchmark::State& state) { RunKeystroke(state, state.range(3) != 0); }

} // namespace

// What bringing the recovery copy up to date costs the UI thread once typing has paused:
// the snapshot the program takes (thread 1), against making the whole text there (0).
// The text and the disk write are the writer thread's.
void BM_RecoverySnapshot(benchmark::State& state)
{
    CFretlyDoc doc;
    doc.OnNewDocument();
    for (int i = 1; i < state.range(0); ++i)
        doc.InsertStaff(i - 1);
    for (auto _ : state) {
        if (state.range(1) != 0) {
            auto makeText = AfxSnapshotTab(doc);
            benchmark::DoNotOptimize(&makeText);
        } else {
            std::string text;
            AfxDocumentText(doc, text);
            benchmark::DoNotOptimize(text.data());
        }
    }
}

BENCHMARK(BM_Keystroke)
    ->ArgNames({"staffs", "height", "recovery"})
    ->ArgsProduct({{1, 1000, 100000}, {600, 128}, {0, 1}});
BENCHMARK(BM_KeystrokeAccessible)
    ->ArgNames({"staffs", "height", "recovery", "a11y"})
    ->ArgsProduct({{1, 100000}, {600}, {0}, {0, 1}});
BENCHMARK(BM_RecoverySnapshot)
    ->ArgNames({"staffs", "snapshot"})
    ->ArgsProduct({{1000, 100000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
