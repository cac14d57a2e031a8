// Exporting documents of 1, 1,000 and 100,000 staffs to MusicXML and MIDI: into a sink
// that only counts (the exporters alone) and from a .tab file to a file on disk (all of
// fretly --export but the process). Bytes processed is the output's size. The walk of
// the performance and its total length (what a player needs before the first note) are
// timed too. peak_rss_MB is the process's peak resident memory after the run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "bench/BenchDocument.h"
#include "interop/ExportSink.h"
#include "interop/MidiExport.h"
#include "interop/MusicXmlExport.h"
#include "interop/Performance.h"
#include "interop/SongExport.h"

namespace fs = std::filesystem;

namespace {

class CCountingSink : public CExportSink {
public:
    void Write(std::string_view bytes) override { m_nBytes += bytes.size(); }
    std::uint64_t m_nBytes = 0;
};

double PeakRssMegabytes()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

template <typename Export>
void ExportToSink(benchmark::State& state, Export exportTo)
{
    CFretlyDoc doc;
    AfxFillBenchDocument(doc, static_cast<int>(state.range(0)));
    std::uint64_t nBytes = 0;
    for (auto _ : state) {
        CCountingSink sink;
        exportTo(doc, sink);
        nBytes = sink.m_nBytes;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(nBytes) * state.iterations());
    state.counters["output_MB"] = static_cast<double>(nBytes) / 1e6;
    state.counters["peak_rss_MB"] = PeakRssMegabytes();
}

void BM_MusicXmlToSink(benchmark::State& state)
{
    ExportToSink(state, [](const CFretlyDoc& doc, CExportSink& sink) { AfxExportMusicXml(doc, sink); });
}

void BM_MidiToSink(benchmark::State& state)
{
    ExportToSink(state, [](const CFretlyDoc& doc, CExportSink& sink) { AfxExportMidi(doc, sink); });
}

// The .tab file read as File Open reads it, exported and written safely.
void ExportFile(benchmark::State& state, const char* pszExtension)
{
    const int nStaffs = static_cast<int>(state.range(0));
    const fs::path dir = fs::temp_directory_path() / ("fretly-bench-export-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path song = dir / "song.tab";
    const fs::path out = dir / (std::string("song") + pszExtension);
    {
        CFretlyDoc doc;
        AfxFillBenchDocument(doc, nStaffs);
        if (!doc.OnSaveDocument(song.string())) {
            state.SkipWithError("could not write the song");
            return;
        }
    }
    for (auto _ : state) {
        std::vector<std::string> messages;
        if (AfxExportSong(song.string(), out.string(), messages) != 0)
            state.SkipWithError("export failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(fs::file_size(out)) * state.iterations());
    state.counters["output_MB"] = static_cast<double>(fs::file_size(out)) / 1e6;
    state.counters["peak_rss_MB"] = PeakRssMegabytes();
    fs::remove_all(dir);
}

void BM_MusicXmlFile(benchmark::State& state) { ExportFile(state, ".musicxml"); }
void BM_MidiFile(benchmark::State& state) { ExportFile(state, ".mid"); }

void BM_PerformanceTotalTicks(benchmark::State& state)
{
    CFretlyDoc doc;
    AfxFillBenchDocument(doc, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CPerformance performance(doc);
        benchmark::DoNotOptimize(performance.GetTotalTicks());
    }
}

void BM_PerformanceWalk(benchmark::State& state)
{
    CFretlyDoc doc;
    AfxFillBenchDocument(doc, static_cast<int>(state.range(0)));
    std::vector<CMidiEvent> events;
    CStaffTiming timing;
    std::uint64_t nEvents = 0;
    for (auto _ : state) {
        CPerformance performance(doc);
        nEvents = 0;
        while (performance.NextStaff(events, timing))
            nEvents += events.size();
    }
    state.counters["events"] = static_cast<double>(nEvents);
}

} // namespace

BENCHMARK(BM_MusicXmlToSink)->Arg(1)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MidiToSink)->Arg(1)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MusicXmlFile)->Arg(1)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MidiFile)->Arg(1)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PerformanceTotalTicks)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PerformanceWalk)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
