// Loading the profile file of 100,000 lines, as start-up does (LoadStdProfileSettings) and
// as exit does (SaveStdProfileSettings rereads it, rewrites the recent list and saves).
// The hostile profiles: every line a section of its own, every line a key of one section,
// and a mix with repeated sections and keys in changing case.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "framework/Profile.h"
#include "framework/WinApp.h"

namespace fs = std::filesystem;

namespace {

constexpr int kLines = 100000;

std::string Hostile(int nKind)
{
    std::string text;
    for (int i = 0; i < kLines; ++i) {
        switch (nKind) {
        case 0: text += "[Section" + std::to_string(i) + "]\n"; break;
        case 1: text += (i == 0 ? "[Recent File List]\n" : "Key" + std::to_string(i) + "=/music/song.tab\n"); break;
        default:
            // Sections and keys that come back, in other case, among new ones.
            if (i % 3 == 0)
                text += (i % 2 ? "[recent file list]\n" : "[Section" + std::to_string(i % 5000) + "]\n");
            else
                text += (i % 2 ? "FILE" : "file") + std::to_string(i % 20000) + " = /a/" + std::to_string(i) + "\r\n";
            break;
        }
    }
    return text;
}

const char* KindName(int nKind) { return nKind == 0 ? "sections" : nKind == 1 ? "keys" : "mixed"; }

void BM_ProfileFromText(benchmark::State& state)
{
    const std::string text = Hostile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CProfile profile;
        profile.FromText(text);
        benchmark::DoNotOptimize(profile.GetString("Recent File List", "File1"));
    }
    state.SetLabel(KindName(static_cast<int>(state.range(0))));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ProfileFromText)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Start-up and exit of the application against the file on disk.
void BM_ProfileStartAndExit(benchmark::State& state)
{
    const fs::path path = fs::temp_directory_path() / ("fretly-bench-" + std::to_string(::getpid()) + ".INI");
    const std::string text = Hostile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        state.ResumeTiming();
        CWinApp app;
        app.m_strProfilePath = path.string();
        app.LoadStdProfileSettings(4);
        app.AddToRecentFileList("/music/new.tab");
        benchmark::DoNotOptimize(app.SaveStdProfileSettings());
    }
    state.SetLabel(KindName(static_cast<int>(state.range(0))));
    fs::remove(path);
}
BENCHMARK(BM_ProfileStartAndExit)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
