// Opening and saving .tab documents of 1, 1,000 and 100,000 staffs, from and to disk
// through the framework (as File Open and File Save do) and in memory (the reader and
// writer alone). Bytes processed is the file's size, so the rates read as MB/s.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "bench/BenchDocument.h"
#include "document/FretlyDoc.h"
#include "framework/Archive.h"
#include "framework/MemFile.h"
#include "framework/Recovery.h"

namespace fs = std::filesystem;

namespace {

std::string SaveToMemory(CFretlyDoc& doc)
{
    std::string text;
    AfxDocumentText(doc, text);
    return text;
}

fs::path BenchFile(int nStaffs)
{
    return fs::temp_directory_path() / ("fretly-bench-" + std::to_string(::getpid()) + "-" + std::to_string(nStaffs) + ".tab");
}

void BM_OpenFile(benchmark::State& state)
{
    const int nStaffs = static_cast<int>(state.range(0));
    const fs::path path = BenchFile(nStaffs);
    std::uint64_t nBytes = 0;
    {
        CFretlyDoc source;
        AfxFillBenchDocument(source, nStaffs);
        if (!source.OnSaveDocument(path.string())) {
            state.SkipWithError("could not write the benchmark file");
            return;
        }
        nBytes = fs::file_size(path);
    }
    // Steady state: the document already holds a file of this size, as when the user
    // opens one file after another. BM_OpenFileFresh measures the first open.
    CFretlyDoc doc;
    doc.OnNewDocument();
    doc.OnOpenDocument(path.string());
    for (auto _ : state) {
        if (!doc.OnOpenDocument(path.string()))
            state.SkipWithError("open failed");
        benchmark::DoNotOptimize(doc.m_nStaffs);
    }
    if (doc.m_nStaffs != nStaffs)
        state.SkipWithError("wrong staff count after open");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * nBytes));
    state.counters["file_MB"] = static_cast<double>(nBytes) / 1e6;
    fs::remove(path);
}

// Opening into a document that has never held a file: the staffs' memory is new.
void BM_OpenFileFresh(benchmark::State& state)
{
    const int nStaffs = static_cast<int>(state.range(0));
    const fs::path path = BenchFile(nStaffs);
    {
        CFretlyDoc source;
        AfxFillBenchDocument(source, nStaffs);
        if (!source.OnSaveDocument(path.string())) {
            state.SkipWithError("could not write the benchmark file");
            return;
        }
    }
    const auto nBytes = fs::file_size(path);
    for (auto _ : state) {
        state.PauseTiming();
        auto pDoc = std::make_unique<CFretlyDoc>();
        pDoc->OnNewDocument();
        state.ResumeTiming();
        if (!pDoc->OnOpenDocument(path.string()))
            state.SkipWithError("open failed");
        state.PauseTiming();
        pDoc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * nBytes));
    fs::remove(path);
}

// Closing a document (the end of the program, or New over a big file): every staff
// given back.
void BM_CloseDocument(benchmark::State& state)
{
    const int nStaffs = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto pDoc = std::make_unique<CFretlyDoc>();
        AfxFillBenchDocument(*pDoc, nStaffs);
        state.ResumeTiming();
        pDoc.reset();
    }
    state.SetItemsProcessed(state.iterations() * nStaffs);
}

void BM_SaveFile(benchmark::State& state)
{
    const int nStaffs = static_cast<int>(state.range(0));
    const fs::path path = BenchFile(nStaffs);
    CFretlyDoc doc;
    AfxFillBenchDocument(doc, nStaffs);
    for (auto _ : state) {
        if (!doc.OnSaveDocument(path.string()))
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(path)));
    fs::remove(path);
}

void BM_ReadMemory(benchmark::State& state)
{
    const int nStaffs = static_cast<int>(state.range(0));
    std::string bytes;
    {
        CFretlyDoc source;
        AfxFillBenchDocument(source, nStaffs);
        bytes = SaveToMemory(source);
    }
    CFretlyDoc doc;
    doc.OnNewDocument();
    {
        CMemFile file(bytes, false);
        CArchive ar(&file, CArchive::load);
        doc.Serialize(ar);
    }
    for (auto _ : state) {
        CMemFile file(bytes, false);
        CArchive ar(&file, CArchive::load);
        doc.Serialize(ar);
        benchmark::DoNotOptimize(doc.m_nStaffs);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_WriteMemory(benchmark::State& state)
{
    CFretlyDoc doc;
    AfxFillBenchDocument(doc, static_cast<int>(state.range(0)));
    // One buffer for all iterations, so that the figure is the writer's and not the
    // cost of growing a fresh 56 MB string every time.
    CMemFile file;
    std::size_t nBytes = 0;
    for (auto _ : state) {
        file.Open({}, CFile::modeWrite | CFile::modeCreate);
        CArchive ar(&file, CArchive::store);
        doc.Serialize(ar);
        ar.Close();
        nBytes = file.View().size();
        benchmark::DoNotOptimize(file.View().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * nBytes));
}

} // namespace

BENCHMARK(BM_OpenFile)->Arg(1)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenFileFresh)->Arg(1)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CloseDocument)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveFile)->Arg(1)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadMemory)->Arg(1)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteMemory)->Arg(1)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
