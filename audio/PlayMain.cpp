// The sound module's entry (fretly-audio.so): fretly --play SONG [--to OUT.wav]
// [--tempo BPM] [--from STAFF]. The launcher loads it only to play, so FluidSynth and its
// libraries cost the editor's start nothing.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

#include "audio/DesktopNotice.h"
#include "audio/FluidSynth.h"
#include "audio/PlayOptions.h"
#include "audio/PlayProgress.h"
#include "audio/SongFile.h"
#include "audio/SongSource.h"
#include "audio/SoundFont.h"
#include "audio/WavFile.h"
#include "desktop/SafeFileWriter.h"
#include "document/FretlyDoc.h"
#include "framework/CommandLine.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

namespace {

constexpr int kBlockFrames = 4096;
// How long a song may ring on after its last column: long enough for a guitar's notes
// to die away, short enough not to pad a file with silence.
constexpr std::uint64_t kTailFrames = 2 * kPlaySampleRate;
// The end of the tail fades out: a quarter of a second is too short to hear as a fade
// and long enough that no click is heard.
constexpr std::uint64_t kFadeFrames = kPlaySampleRate / 4;
// A sound server that stops asking for sound this long has gone.
constexpr int kStallSeconds = 10;

int Fail(const std::string& message)
{
    std::fprintf(stderr, "%s: %s\n", AfxLoadString(AFX_IDS_APP_TITLE).c_str(), message.c_str());
    if (AfxShouldNotifyDesktop())
        AfxNotifyDesktop(AfxLoadString(AFX_IDS_APP_TITLE), message);
    return 1;
}

sigset_t StopSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&set, sig);
    return set;
}

// A stop signal that has arrived, waiting up to nMillis for one; 0 when none came.
int TakeStopSignal(const sigset_t& set, long nMillis)
{
    struct timespec ts {nMillis / 1000, (nMillis % 1000) * 1'000'000};
    for (;;) {
        const int sig = ::sigtimedwait(&set, nullptr, &ts);
        if (sig > 0)
            return sig;
        if (errno != EINTR)
            return 0;
    }
}

// Ends the process the way the signal would have, now that the sound is off.
[[noreturn]] void EndBySignal(int sig)
{
    std::fflush(stderr);
    std::signal(sig, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(sig);
    ::_exit(128 + sig);
}

// One line on a terminal, rewritten in place at most ten times a second.
class CProgressLine {
public:
    CProgressLine() : m_bTerminal(::isatty(STDERR_FILENO) != 0) {}
    void Show(const CSoundScheduler& scheduler, int nStaffs, bool bForce = false)
    {
        if (!m_bTerminal)
            return;
        struct timespec ts {};
        ::clock_gettime(CLOCK_MONOTONIC, &ts);
        const long long nMillis = ts.tv_sec * 1000LL + ts.tv_nsec / 1'000'000;
        if (!bForce && nMillis - m_nLastMillis < 100)
            return;
        m_nLastMillis = nMillis;
        const std::uint64_t nFrame = std::min(scheduler.GetFrame(), scheduler.GetMusicFrames());
        std::string line = AfxFormatPlayProgress(scheduler.GetStaff(), nStaffs, scheduler.GetBar(), nFrame,
                                                 scheduler.GetMusicFrames(), scheduler.GetSampleRate());
        if (line == m_strLast)
            return;
        m_strLast = line;
        const std::size_t nWidth = line.size();
        if (line.size() < m_nWidth)
            line.append(m_nWidth - line.size(), ' ');   // wipes the end of a longer line
        m_nWidth = nWidth;
        std::fprintf(stderr, "\r%s", line.c_str());
        std::fflush(stderr);
        m_bShown = true;
    }
    // Leaves the line as it stands; after a hang-up nothing more is written.
    void End(bool bTerminalGone = false)
    {
        if (m_bShown && !bTerminalGone)
            std::fputc('\n', stderr);
        m_bShown = false;
    }

private:
    bool m_bTerminal;
    bool m_bShown = false;
    std::size_t m_nWidth = 0;
    long long m_nLastMillis = -1000;
    std::string m_strLast;
};

int RenderToFile(CFluidSynth& synth, CSoundScheduler& scheduler, const std::string& path, int nStaffs,
                 const sigset_t& stopSignals)
{
    if (scheduler.GetTotalFrames() > AfxMaxWavFrames())
        return Fail(AfxFormatString2(IDS_PLAY_TOO_LONG_FOR_WAV,
                                     AfxFormatPlayTime(scheduler.GetMusicFrames(), kPlaySampleRate),
                                     AfxFormatPlayTime(AfxMaxWavFrames(), kPlaySampleRate)));
    CSafeFileWriter writer(path);
    const std::string header = AfxWavHeader(scheduler.GetTotalFrames(), kPlaySampleRate);
    int nError = writer.Begin();
    if (nError == 0)
        nError = writer.Write(header.data(), header.size());
    CProgressLine progress;
    std::vector<std::int16_t> block;
    block.reserve(kBlockFrames * 2);
    // Little-endian samples as the machine holds them (Debian's architectures that
    // Fretly builds for are little-endian).
    while (nError == 0 && !scheduler.IsFinished()) {
        if (const int sig = TakeStopSignal(stopSignals, 0)) {
            writer.Abort();   // no half-written file
            progress.End(sig == SIGHUP);
            EndBySignal(sig);
        }
        if (synth.RenderInto(scheduler, kBlockFrames, block) > 0)
            nError = writer.Write(block.data(), block.size() * sizeof(std::int16_t));
        progress.Show(scheduler, nStaffs);
    }
    if (nError == 0)
        nError = writer.Commit();
    progress.Show(scheduler, nStaffs, true);
    progress.End();
    if (nError != 0) {
        writer.Abort();
        const std::string why = nError > 0 ? std::strerror(nError) : "not a regular file";
        return Fail(AfxFormatString2(IDS_PLAY_WRITE_FAILED, path, why));
    }
    return 0;
}

int PlayLive(CFluidSynth& synth, CSoundScheduler& scheduler, int nStaffs, const sigset_t& stopSignals)
{
    scheduler.SetStopAtSilence(true);
    std::string error;
    if (!synth.StartAudio(scheduler, error))
        return Fail(AfxFormatString1(IDS_PLAY_NO_DEVICE, error));
    CProgressLine progress;
    std::uint64_t nLastPulled = 0;
    int nStalledTicks = 0;
    while (!scheduler.IsFinished()) {
        if (const int sig = TakeStopSignal(stopSignals, 100)) {
            synth.StopAudio();
            progress.End(sig == SIGHUP);
            EndBySignal(sig);
        }
        progress.Show(scheduler, nStaffs);
        const std::uint64_t nPulled = synth.GetFramesPulled();
        nStalledTicks = nPulled == nLastPulled ? nStalledTicks + 1 : 0;
        nLastPulled = nPulled;
        if (nStalledTicks >= kStallSeconds * 10) {
            synth.StopAudio();
            progress.End();
            return Fail(AfxFormatString1(IDS_PLAY_NO_DEVICE, synth.GetDriverName() + ": the sound stopped"));
        }
    }
    synth.StopAudio();
    progress.Show(scheduler, nStaffs, true);
    progress.End();
    return 0;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int FretlyPlayMain(const CCommandLine& line)
{
    // Held back from the start, in every thread the synth will make: a stop signal is
    // taken where the sound can be silenced first.
    const sigset_t stopSignals = StopSignals();
    ::pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    CPlayOptions options;
    std::string error;
    if (!AfxGetPlayOptions(line, options, error))
        return Fail(error);
    std::unique_ptr<CFretlyDoc> pDoc = AfxReadSongFile(options.strSong, error);
    if (pDoc == nullptr)
        return Fail(AfxFormatString2(IDS_PLAY_REFUSED, options.strSong, error));
    if (options.nFrom > std::max(1, pDoc->m_nStaffs))
        return Fail(AfxFormatString2(IDS_PLAY_FROM_PAST_END, std::to_string(options.nFrom),
                                     std::to_string(pDoc->m_nStaffs)));
    std::unique_ptr<CSoundSource> pSource = AfxMakeSongSource(*pDoc, options.nFrom - 1, options.nTempo);
    // Made before the synth, so that it outlives any audio thread the synth runs.
    CSoundScheduler scheduler(*pSource, kPlaySampleRate, kTailFrames, kFadeFrames);

    const std::vector<std::string> candidates = AfxSoundFontCandidates(AfxXdgDataDirs());
    const std::string soundFont = AfxFindSoundFont(candidates);
    if (soundFont.empty())
        return Fail(AfxFormatString1(IDS_PLAY_NO_SOUNDFONT, candidates.empty() ? "" : candidates.front()));
    CFluidSynth synth;
    if (!synth.Create(error))
        return Fail(AfxFormatString1(IDS_PLAY_SYNTH_FAILED, error));
    if (!synth.LoadSoundFont(soundFont, error))
        return Fail(AfxFormatString2(IDS_PLAY_SOUNDFONT_FAILED, soundFont, error));

    const int nStaffs = pSource->GetStaffCount();
    return options.strOut.empty() ? PlayLive(synth, scheduler, nStaffs, stopSignals)
                                  : RenderToFile(synth, scheduler, options.strOut, nStaffs, stopSignals);
}
