// Cost of the column operations on long tablatures: an Insert Column or Move Down
// that cascades through every staff, one that stops after a given number of staffs,
// and Merge Up, which touches two staffs whatever the length.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "document/FretlyDoc.h"

namespace {

// A staff filled as typing fills it: fret numbers with one filler between them up
// to column 76, a chord name and the staff's number in the text row.
CStaff FullStaff(int nIndex)
{
    static const char* const frets[] = {"3", "5", "7", "10", "12"};
    CStaff staff;
    for (int r = 0; r < STRING_ROWS; ++r) {
        int c = 1;
        for (int i = r;; ++i) {
            const size_t width = std::strlen(frets[i % 5]);
            if (c + static_cast<int>(width) - 1 > LAST_MUSIC_COLUMN)
                break;
            std::memcpy(staff.m_rows[r] + c, frets[i % 5], width);
            c += static_cast<int>(width) + 1;
        }
        staff.m_rows[r][LAST_MUSIC_COLUMN] = '9';
    }
    char label[16];
    const int nLen = std::snprintf(label, sizeof label, "Am %d", nIndex);
    std::memcpy(staff.m_rows[TEXT_ROW] + 1, label, static_cast<size_t>(nLen));
    return staff;
}

// A document and a copy of its staffs, so that every iteration starts from the same
// tablature; restoring it is not timed.
class CBenchTab {
public:
    // nFull full staffs, then empty ones up to nStaffs (an empty staff ends a cascade).
    CBenchTab(int nStaffs, int nFull)
    {
        for (int s = 0; s < nStaffs; ++s)
            m_original.push_back(s < nFull ? FullStaff(s) : CStaff());
        m_doc.m_ppStaffs.reserve(static_cast<size_t>(nStaffs) + 1);
        Restore();
    }

    void Restore()
    {
        m_doc.m_ppStaffs.resize(m_original.size());
        for (size_t s = 0; s < m_original.size(); ++s) {
            if (!m_doc.m_ppStaffs[s])
                m_doc.m_ppStaffs[s] = std::make_unique<CStaff>();
            *m_doc.m_ppStaffs[s] = m_original[s];
        }
        m_doc.m_nStaffs = static_cast<int>(m_original.size());
    }

    // Puts back staffs nFirst..nLast only, for operations that touch no others.
    void Restore(int nFirst, int nLast)
    {
        for (int s = nFirst; s <= nLast; ++s)
            *m_doc.m_ppStaffs[static_cast<size_t>(s)] = m_original[static_cast<size_t>(s)];
    }

    CStaff& Original(int nStaff) { return m_original[static_cast<size_t>(nStaff)]; }

    CFretlyDoc m_doc;

private:
    std::vector<CStaff> m_original;
};

// Times op alone; nTouched: how many leading staffs op can change (0: all).
template <typename Op>
void TimeEach(benchmark::State& state, CBenchTab& tab, Op op, int nTouched = 0)
{
    for (auto _ : state) {
        if (nTouched > 0)
            tab.Restore(0, nTouched - 1);
        else
            tab.Restore();
        const auto start = std::chrono::steady_clock::now();
        op(tab.m_doc);
        const auto stop = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(tab.m_doc.m_nStaffs);
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
}

// Insert Column at column 1 of the first of n full staffs: the whole cascade.
void BM_InsertColumnFullCascade(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    CBenchTab tab(n, n);
    TimeEach(state, tab, [](CFretlyDoc& doc) { doc.InsertColumns(0, 1, 1); });
    state.SetComplexityN(n);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_InsertColumnFullCascade)
    ->Arg(1000)->Arg(10000)->Arg(100000)
    ->UseManualTime()->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

// 100,000 staffs of which only the first k are full: the cost follows k, not the
// length of the tablature.
void BM_InsertColumnCascadeOfK(benchmark::State& state)
{
    const int k = static_cast<int>(state.range(0));
    CBenchTab tab(100000, k);
    // The cascade ends on the first empty staff, so staffs 0..k are all it changes.
    TimeEach(state, tab, [](CFretlyDoc& doc) { doc.InsertColumns(0, 1, 1); }, k + 1);
    state.SetComplexityN(k);
    state.SetItemsProcessed(state.iterations() * k);
}
BENCHMARK(BM_InsertColumnCascadeOfK)
    ->Arg(10)->Arg(1000)->Arg(10000)->Arg(99999)
    ->UseManualTime()->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

// Move Down from column 1 of the first of n full staffs: every staff moves down whole.
void BM_MoveDownFullCascade(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    CBenchTab tab(n, n);
    TimeEach(state, tab, [](CFretlyDoc& doc) { doc.MoveDown(0, 1); });
    state.SetComplexityN(n);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_MoveDownFullCascade)
    ->Arg(1000)->Arg(10000)->Arg(100000)
    ->UseManualTime()->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

// Merge Up in the middle of n full staffs whose right half was emptied on the
// merging staff: two staffs are touched whatever n is.
void BM_MergeUp(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    CBenchTab tab(n, n);
    const int nStaff = n / 2;
    for (int r = 0; r < STAFF_ROWS; ++r)
        std::memset(tab.Original(nStaff).m_rows[r] + 40, FillerFor(r), STAFF_COLUMNS - 40);
    for (auto _ : state) {
        tab.Restore(nStaff, nStaff + 1);
        const auto start = std::chrono::steady_clock::now();
        tab.m_doc.MergeUp(nStaff);
        const auto stop = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(tab.m_doc.m_ppStaffs[static_cast<size_t>(nStaff)]->m_rows[0][70]);
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
}
BENCHMARK(BM_MergeUp)
    ->Arg(1000)->Arg(100000)
    ->UseManualTime()->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
