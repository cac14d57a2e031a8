#pragma once
// Turns a sound source's ticks into sample frames and drives a synthesizer with them:
// each Render call asks the sink for audio up to the next event, hands it the event,
// and so on, so events land on the frame they belong to whatever the block size. Staffs
// are fetched from the source one at a time, as the playing position reaches them.
//
// The position, staff and bar are atomics: a live player's audio thread renders while
// another thread shows them.
#include <atomic>
#include <cstdint>

#include "audio/SoundSource.h"

class CSoundSink {
public:
    virtual ~CSoundSink() = default;
    // Produces the next nFrames frames of audio, their loudness going linearly from
    // fFrom to fTo (1: as the synth makes it; a fade at the very end).
    virtual void RenderFrames(int nFrames, float fFrom, float fTo) = 0;
    // Applies a channel message from now on.
    virtual void Send(const CSoundEvent& event) = 0;
    // True when nothing sounds any more (the last note has died away).
    virtual bool IsSilent() = 0;
};

class CSoundScheduler {
public:
    // nTailFrames: how long the song may ring on after its end; its last nFadeFrames fade
    // out, so that what still rings is never cut off with a click.
    CSoundScheduler(CSoundSource& source, int nSampleRate, std::uint64_t nTailFrames, std::uint64_t nFadeFrames);

    // Renders up to nFrames frames; returns how many (fewer only at the end).
    int Render(int nFrames, CSoundSink& sink);
    // bStopAtSilence: once the sink falls silent in the tail, only the fade is left (live
    // playing: the reverb still rings); otherwise the tail always runs its full length
    // (a file's length is known beforehand).
    void SetStopAtSilence(bool bStopAtSilence) { m_bStopAtSilence = bStopAtSilence; }
    bool IsFinished() const { return m_bFinished.load(); }

    // The frame a tick sounds at (rounded to the nearest frame).
    std::uint64_t FrameOfTick(std::uint64_t nTick) const;
    // The end of the music and the whole length with its tail, in frames.
    std::uint64_t GetMusicFrames() const { return m_nMusicFrames; }
    std::uint64_t GetTotalFrames() const { return m_nMusicFrames + m_nTailFrames; }
    // Where the sound ends: GetTotalFrames(), or sooner once silence was met.
    std::uint64_t GetEndFrame() const { return m_nEndFrame; }
    int GetSampleRate() const { return m_nSampleRate; }

    // Where the playing is: frame, document staff (0-based, -1 before the first) and bar
    // (the source's numbering).
    std::uint64_t GetFrame() const { return m_nFrame.load(std::memory_order_relaxed); }
    int GetStaff() const { return m_nStaff.load(std::memory_order_relaxed); }
    int GetBar() const { return m_nBar.load(std::memory_order_relaxed); }

private:
    // The tick of whatever comes next in the loaded staff (staff start, bar, event), or
    // UINT64_MAX when the staff is used up.
    std::uint64_t NextMarkTick() const;
    // Passes everything of the loaded staff that is due at the current frame.
    void DispatchDue(CSoundSink& sink);
    bool LoadNextStaff();

    CSoundSource& m_source;
    int m_nSampleRate;
    std::uint64_t m_nTailFrames;
    std::uint64_t m_nMusicFrames;
    std::uint64_t m_nFadeFrames;
    std::uint64_t m_nEndFrame;
    bool m_bStopAtSilence = false;

    CSoundStaff m_staff;
    bool m_bHaveStaff = false;
    bool m_bStaffStarted = false;
    bool m_bSourceDone = false;
    bool m_bSilenceMet = false;
    std::size_t m_nNextBar = 0;
    std::size_t m_nNextEvent = 0;
    int m_nBarsBegun = 0;

    std::atomic<std::uint64_t> m_nFrame{0};
    std::atomic<int> m_nStaff{-1};
    std::atomic<int> m_nBar{0};
    std::atomic<bool> m_bFinished{false};
};
