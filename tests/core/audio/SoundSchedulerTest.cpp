// The scheduler puts every event on its frame, whatever blocks the audio comes in, and
// fetches staffs only as the playing reaches them.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "audio/SoundScheduler.h"

namespace {

// Staffs of one quarter note each (480 ticks at 120 BPM: 22050 frames at 44.1 kHz),
// a note on at the start and off at the middle, a bar line halfway.
class CQuarterStaffs : public CSoundSource {
public:
    explicit CQuarterStaffs(int nStaffs) : m_nStaffs(nStaffs) {}
    int GetTicksPerQuarter() const override { return 480; }
    std::uint32_t GetMicrosPerQuarter() const override { return 500000; }
    std::uint64_t GetTotalTicks() const override { return 480u * static_cast<unsigned>(m_nStaffs); }
    int GetStaffCount() const override { return m_nStaffs; }
    bool NextStaff(CSoundStaff& staff) override
    {
        if (m_nGiven == m_nStaffs)
            return false;
        const std::uint64_t start = 480u * static_cast<unsigned>(m_nGiven);
        staff.nStaff = m_nGiven;
        staff.nStartTick = start;
        staff.nEndTick = start + 480;
        staff.nFirstBar = 1 + 2 * m_nGiven;
        staff.bars = {start, start + 240};
        const auto key = static_cast<std::uint8_t>(40 + m_nGiven);
        staff.events = {{start, 0x90, key, 96}, {start + 240, 0x80, key, 0}};
        ++m_nGiven;
        return true;
    }
    int m_nGiven = 0;

private:
    int m_nStaffs;
};

struct CRecordingSink : CSoundSink {
    void RenderFrames(int nFrames, float fFrom, float fTo) override
    {
        m_nFrames += static_cast<std::uint64_t>(nFrames);
        if (fFrom != 1 || fTo != 1) {
            EXPECT_LE(fTo, fFrom) << "a fade only falls";
            EXPECT_NEAR(fFrom, m_fLastGain, 1e-6) << "and falls without a step";
            m_nFaded += static_cast<std::uint64_t>(nFrames);
        }
        m_fLastGain = fTo;
    }
    void Send(const CSoundEvent& event) override { m_sent.emplace_back(m_nFrames, event.nData1 + (event.nStatus << 8)); }
    bool IsSilent() override { return m_bSilent; }
    std::uint64_t m_nFrames = 0;
    std::vector<std::pair<std::uint64_t, int>> m_sent;   // frame, status << 8 | key
    bool m_bSilent = false;
    std::uint64_t m_nFaded = 0;
    float m_fLastGain = 1;
};

std::vector<std::pair<std::uint64_t, int>> PlayAll(int nBlock, std::uint64_t* pFrames = nullptr)
{
    CQuarterStaffs source(3);
    CSoundScheduler scheduler(source, 44100, 1000, 300);
    CRecordingSink sink;
    while (!scheduler.IsFinished())
        scheduler.Render(nBlock, sink);
    if (pFrames != nullptr)
        *pFrames = sink.m_nFrames;
    return sink.m_sent;
}

} // namespace

TEST(SoundScheduler, EventsLandOnTheirFramesWhateverTheBlockSize)
{
    const std::vector<std::pair<std::uint64_t, int>> expected = {
        {0, 0x9028}, {11025, 0x8028}, {22050, 0x9029}, {33075, 0x8029}, {44100, 0x902A}, {55125, 0x802A}};
    for (int nBlock : {1, 7, 64, 4096, 1 << 20}) {
        std::uint64_t nFrames = 0;
        EXPECT_EQ(PlayAll(nBlock, &nFrames), expected) << "blocks of " << nBlock;
        EXPECT_EQ(nFrames, 3u * 22050 + 1000) << "the music and its whole tail, blocks of " << nBlock;
    }
}

TEST(SoundScheduler, TicksBecomeFramesExactlyAtAnyTempo)
{
    struct CTempo : CQuarterStaffs {
        CTempo(std::uint32_t us) : CQuarterStaffs(1), m_nUs(us) {}
        std::uint32_t GetMicrosPerQuarter() const override { return m_nUs; }
        std::uint32_t m_nUs;
    };
    CTempo fast(250000), slow(1000000), odd(60000000 / 97);
    EXPECT_EQ(CSoundScheduler(fast, 44100, 0, 0).FrameOfTick(480), 11025u);
    EXPECT_EQ(CSoundScheduler(slow, 44100, 0, 0).FrameOfTick(480), 44100u);
    // 618556 us a quarter: 27278.3 frames, rounded to the nearest.
    EXPECT_EQ(CSoundScheduler(odd, 44100, 0, 0).FrameOfTick(480), 27278u);
    // Ten million staffs of a sixteenth at 4 BPM do not overflow.
    CTempo crawl(15000000);
    EXPECT_EQ(CSoundScheduler(crawl, 44100, 0, 0).FrameOfTick(480ull * 10'000'000), 661500ull * 10'000'000);
}

TEST(SoundScheduler, StaffsAreFetchedOnlyAsThePlayingReachesThem)
{
    CQuarterStaffs source(1000);
    CSoundScheduler scheduler(source, 44100, 0, 0);
    CRecordingSink sink;
    scheduler.Render(100, sink);
    EXPECT_EQ(source.m_nGiven, 1);
    EXPECT_EQ(scheduler.GetStaff(), 0);
    scheduler.Render(22050, sink);   // into the second staff
    EXPECT_LE(source.m_nGiven, 3);
    EXPECT_EQ(scheduler.GetStaff(), 1);
}

TEST(SoundScheduler, ShowsTheStaffAndBarBeingPlayed)
{
    CQuarterStaffs source(2);
    CSoundScheduler scheduler(source, 44100, 0, 0);
    CRecordingSink sink;
    EXPECT_EQ(scheduler.GetStaff(), -1);
    std::vector<std::pair<int, int>> seen;   // staff, bar at each quarter of a staff
    for (int i = 0; i < 8; ++i) {
        scheduler.Render(5513, sink);
        seen.emplace_back(scheduler.GetStaff(), scheduler.GetBar());
    }
    const std::vector<std::pair<int, int>> expected = {{0, 1}, {0, 2}, {0, 2}, {1, 3}, {1, 3}, {1, 4}, {1, 4}, {1, 4}};
    EXPECT_EQ(seen, expected);
}

TEST(SoundScheduler, TheTailFadesOutAndALiveOneEndsSoonAfterSilence)
{
    {
        CQuarterStaffs source(1);
        CSoundScheduler scheduler(source, 44100, 5000, 1000);
        CRecordingSink sink;
        while (!scheduler.IsFinished())
            scheduler.Render(4096, sink);
        EXPECT_EQ(sink.m_nFrames, 22050u + 5000) << "a file's tail runs its full length";
        EXPECT_EQ(sink.m_nFaded, 1000u);
        EXPECT_NEAR(sink.m_fLastGain, 0, 1e-6) << "and ends in silence";
    }
    CQuarterStaffs source(1);
    CSoundScheduler scheduler(source, 44100, 44100, 1000);
    scheduler.SetStopAtSilence(true);
    CRecordingSink sink;
    scheduler.Render(22050 + 500, sink);
    EXPECT_FALSE(scheduler.IsFinished()) << "the note still rings";
    EXPECT_EQ(sink.m_nFaded, 0u);
    sink.m_bSilent = true;
    while (!scheduler.IsFinished())
        scheduler.Render(4096, sink);
    EXPECT_EQ(sink.m_nFrames, 22050u + 500 + 1000) << "silence leaves only the fade";
    EXPECT_EQ(sink.m_nFaded, 1000u);
    EXPECT_NEAR(sink.m_fLastGain, 0, 1e-6);
}

TEST(SoundScheduler, AnEmptySongIsOnlyItsTail)
{
    CQuarterStaffs source(0);
    CSoundScheduler scheduler(source, 44100, 300, 100);
    CRecordingSink sink;
    EXPECT_EQ(scheduler.Render(4096, sink), 300);
    EXPECT_TRUE(scheduler.IsFinished());
    EXPECT_TRUE(sink.m_sent.empty());
}
