// Playing: how soon the first sound comes out of a song of 1 and of 100,000 staffs (the
// song file read as --play reads it, the synth made, the soundfont loaded, and audio
// rendered until a sample is not silent), and how fast a song renders to a file, as
// seconds of music a second ("music_s_per_s"; the real-time factor).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "audio/FluidSynth.h"
#include "audio/SongFile.h"
#include "audio/SongSource.h"
#include "audio/SoundFont.h"
#include "bench/BenchDocument.h"
#include "document/FretlyDoc.h"

namespace fs = std::filesystem;

namespace {

// The songs written for the run, removed when it ends.
struct CBenchSongs {
    ~CBenchSongs()
    {
        std::error_code ec;
        for (const fs::path& path : paths)
            fs::remove(path, ec);
    }
    std::vector<fs::path> paths;
} g_songs;

fs::path BenchSong(int nStaffs)
{
    const fs::path path = fs::temp_directory_path() /
                          ("fretly-bench-play-" + std::to_string(::getpid()) + "-" + std::to_string(nStaffs) + ".tab");
    if (!fs::exists(path)) {
        CFretlyDoc doc;
        doc.m_bSkipHeaderDialog = true;
        AfxFillBenchDocument(doc, nStaffs);
        doc.OnSaveDocument(path.string());
        g_songs.paths.push_back(path);
    }
    return path;
}

bool MakeSynth(CFluidSynth& synth, benchmark::State& state)
{
    const std::string soundFont = AfxFindSoundFont(AfxSoundFontCandidates(AfxXdgDataDirs()));
    std::string error;
    if (soundFont.empty() || !synth.Create(error) || !synth.LoadSoundFont(soundFont, error)) {
        state.SkipWithError(("no synth: " + soundFont + " " + error).c_str());
        return false;
    }
    return true;
}

bool AnySound(const std::vector<std::int16_t>& samples)
{
    for (std::int16_t s : samples)
        if (s != 0)
            return true;
    return false;
}

void BM_TimeToFirstSound(benchmark::State& state)
{
    const fs::path path = BenchSong(static_cast<int>(state.range(0)));
    std::vector<std::int16_t> block;
    for (auto _ : state) {
        std::string error;
        std::unique_ptr<CFretlyDoc> pDoc = AfxReadSongFile(path.string(), error);
        std::unique_ptr<CSoundSource> pSource = AfxMakeSongSource(*pDoc, 0, 0);
        CFluidSynth synth;
        if (!MakeSynth(synth, state))
            return;
        CSoundScheduler scheduler(*pSource, kPlaySampleRate, kPlaySampleRate, kPlaySampleRate / 4);
        // The blocks a sound server asks for.
        while (!scheduler.IsFinished() && synth.RenderInto(scheduler, 1024, block) > 0 && !AnySound(block)) {
        }
        benchmark::DoNotOptimize(block.data());
        state.PauseTiming();
        pDoc.reset();   // a 100,000-staff document takes a while to free; no part of the start
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TimeToFirstSound)->Arg(1)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderToFile(benchmark::State& state)
{
    // 20 staffs of the benchmark song: about three minutes of music.
    const fs::path path = BenchSong(20);
    std::string error;
    std::unique_ptr<CFretlyDoc> pDoc = AfxReadSongFile(path.string(), error);
    double dMusicSeconds = 0;
    std::vector<std::int16_t> block;
    for (auto _ : state) {
        std::unique_ptr<CSoundSource> pSource = AfxMakeSongSource(*pDoc, 0, 0);
        CFluidSynth synth;
        if (!MakeSynth(synth, state))
            return;
        CSoundScheduler scheduler(*pSource, kPlaySampleRate, 2 * kPlaySampleRate, kPlaySampleRate / 4);
        while (!scheduler.IsFinished())
            synth.RenderInto(scheduler, 4096, block);
        dMusicSeconds += static_cast<double>(scheduler.GetTotalFrames()) / kPlaySampleRate;
    }
    state.counters["music_s_per_s"] = benchmark::Counter(dMusicSeconds, benchmark::Counter::kIsRate);
    state.counters["music_s"] = dMusicSeconds / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RenderToFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();
