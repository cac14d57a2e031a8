// Plain-text import and text export of documents of 1,000 and 100,000 staffs, in memory.
// Bytes processed is the text's size, so the rates read as MB/s. bench/import_bigfile.sh
// times the whole program on 100 MB files.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/BenchDocument.h"
#include "document/FretlyDoc.h"
#include "interop/PlainTextExport.h"
#include "interop/PlainTextImport.h"

namespace {

void BM_ImportPlainText(benchmark::State& state)
{
    const int nStaffs = static_cast<int>(state.range(0));
    std::string text;
    {
        CFretlyDoc source;
        AfxFillBenchDocument(source, nStaffs);
        ExportPlainText(source, text);
    }
    for (auto _ : state) {
        CFretlyDoc doc;
        CPlainTextImport report;
        if (!ImportPlainText(text, doc, report) || doc.m_nStaffs != nStaffs)
            state.SkipWithError("the import did not give back every staff");
        benchmark::DoNotOptimize(doc.m_nStaffs);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ImportPlainText)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One system of six lines, each a sixth of the text: every staff is cut from it.
void BM_ImportOneLongSystem(benchmark::State& state)
{
    const std::size_t nColumns = static_cast<std::size_t>(state.range(0));
    std::string text;
    std::string body;
    for (std::size_t c = 0; c < nColumns; c += 8)
        body += "-12-5h7-";
    for (const char* name : {"e", "B", "G", "D", "A", "E"})
        text += std::string(name) + "|" + body + "|\n";
    for (auto _ : state) {
        CFretlyDoc doc;
        CPlainTextImport report;
        ImportPlainText(text, doc, report);
        benchmark::DoNotOptimize(doc.m_nStaffs);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ImportOneLongSystem)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_ExportPlainText(benchmark::State& state)
{
    const int nStaffs = static_cast<int>(state.range(0));
    CFretlyDoc doc;
    AfxFillBenchDocument(doc, nStaffs);
    std::string text;
    for (auto _ : state) {
        ExportPlainText(doc, text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ExportPlainText)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
