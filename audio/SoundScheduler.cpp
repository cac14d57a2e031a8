#include "audio/SoundScheduler.h"

#include <algorithm>
#include <limits>

namespace {
constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();
} // namespace

CSoundScheduler::CSoundScheduler(CSoundSource& source, int nSampleRate, std::uint64_t nTailFrames,
                                 std::uint64_t nFadeFrames)
    : m_source(source), m_nSampleRate(nSampleRate), m_nTailFrames(nTailFrames), m_nMusicFrames(0),
      m_nFadeFrames(std::min(nFadeFrames, nTailFrames))
{
    m_nMusicFrames = FrameOfTick(m_source.GetTotalTicks());
    m_nEndFrame = GetTotalFrames();
    m_nBar.store(1);
}

std::uint64_t CSoundScheduler::FrameOfTick(std::uint64_t nTick) const
{
    // Exact in 128 bits: a tick count near 2^40 times a tempo near 2^24 and a rate near
    // 2^16 still fits, and the same tick always lands on the same frame.
    const int nTpq = std::max(1, m_source.GetTicksPerQuarter());
    const unsigned __int128 num = static_cast<unsigned __int128>(nTick) * m_source.GetMicrosPerQuarter() *
                                  static_cast<unsigned>(m_nSampleRate);
    const unsigned __int128 den = static_cast<unsigned __int128>(nTpq) * 1000000u;
    return static_cast<std::uint64_t>((num + den / 2) / den);
}

bool CSoundScheduler::LoadNextStaff()
{
    m_staff.events.clear();
    m_staff.bars.clear();
    m_bHaveStaff = m_source.NextStaff(m_staff);
    m_bStaffStarted = false;
    m_nNextBar = 0;
    m_nNextEvent = 0;
    return m_bHaveStaff;
}

std::uint64_t CSoundScheduler::NextMarkTick() const
{
    if (!m_bHaveStaff)
        return kNone;
    if (!m_bStaffStarted)
        return m_staff.nStartTick;
    std::uint64_t nTick = kNone;
    if (m_nNextBar < m_staff.bars.size())
        nTick = m_staff.bars[m_nNextBar];
    if (m_nNextEvent < m_staff.events.size())
        nTick = std::min(nTick, m_staff.events[m_nNextEvent].nTick);
    return nTick;
}

void CSoundScheduler::DispatchDue(CSoundSink& sink)
{
    const std::uint64_t nFrame = m_nFrame.load(std::memory_order_relaxed);
    for (;;) {
        std::uint64_t nTick = NextMarkTick();
        if (nTick == kNone) {
            if (m_bSourceDone || !LoadNextStaff()) {
                m_bSourceDone = true;
                return;
            }
            continue;
        }
        if (FrameOfTick(nTick) > nFrame)
            return;
        if (!m_bStaffStarted) {
            m_bStaffStarted = true;
            m_nStaff.store(m_staff.nStaff, std::memory_order_relaxed);
            m_nBar.store(m_staff.nFirstBar, std::memory_order_relaxed);
            m_nBarsBegun = 0;
        } else if (m_nNextBar < m_staff.bars.size() && m_staff.bars[m_nNextBar] == nTick) {
            // The staff's start is in its first bar already, whether listed or not.
            if (nTick > m_staff.nStartTick)
                m_nBar.store(m_staff.nFirstBar + ++m_nBarsBegun, std::memory_order_relaxed);
            ++m_nNextBar;
        } else {
            sink.Send(m_staff.events[m_nNextEvent++]);
        }
    }
}

int CSoundScheduler::Render(int nFrames, CSoundSink& sink)
{
    int nDone = 0;
    while (nDone < nFrames && !m_bFinished.load(std::memory_order_relaxed)) {
        DispatchDue(sink);
        const std::uint64_t nFrame = m_nFrame.load(std::memory_order_relaxed);
        std::uint64_t nTarget = nFrame + static_cast<std::uint64_t>(nFrames - nDone);
        float fFrom = 1, fTo = 1;
        const std::uint64_t nMark = NextMarkTick();
        if (nMark != kNone) {
            nTarget = std::min(nTarget, FrameOfTick(nMark));
        } else {
            // Everything is sent: the music ends, then its tail rings out and fades.
            if (nFrame >= m_nEndFrame) {
                m_bFinished.store(true);
                break;
            }
            if (m_bStopAtSilence && !m_bSilenceMet && nFrame >= m_nMusicFrames && sink.IsSilent()) {
                m_bSilenceMet = true;
                m_nEndFrame = std::min(m_nEndFrame, nFrame + m_nFadeFrames);
            }
            const std::uint64_t nFadeStart = m_nEndFrame - std::min(m_nFadeFrames, m_nEndFrame - m_nMusicFrames);
            if (nFrame < nFadeStart) {
                nTarget = std::min(nTarget, nFadeStart);
            } else {
                // Small pieces, so the loudness falls smoothly whatever the block size.
                nTarget = std::min({nTarget, m_nEndFrame, nFrame + 256});
                const auto nLength = static_cast<float>(m_nEndFrame - nFadeStart);
                fFrom = static_cast<float>(m_nEndFrame - nFrame) / nLength;
                fTo = static_cast<float>(m_nEndFrame - nTarget) / nLength;
            }
        }
        const auto nCount = static_cast<int>(nTarget - nFrame);
        if (nCount > 0) {
            sink.RenderFrames(nCount, fFrom, fTo);
            m_nFrame.store(nTarget, std::memory_order_relaxed);
            nDone += nCount;
        }
    }
    return nDone;
}
