// The performance: MIDI events and timing of each staff.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "core/interop/InteropTestSupport.h"
#include "interop/Performance.h"

namespace {

struct CPlayed {
    std::uint64_t nOn, nOff;
    int nChannel, nKey, nVelocity;
};

// Every event of every staff, checked for order, and the notes they sound.
struct CHeard {
    std::vector<CMidiEvent> events;
    std::vector<CStaffTiming> staffs;
    std::vector<CPlayed> notes;   // in note-on order
};

CHeard Hear(CPerformance& performance)
{
    CHeard heard;
    std::vector<CMidiEvent> events;
    CStaffTiming timing;
    while (performance.NextStaff(events, timing)) {
        std::map<std::pair<int, int>, std::size_t> sounding;
        for (std::size_t i = 0; i < events.size(); ++i) {
            const CMidiEvent& e = events[i];
            EXPECT_GE(e.m_nTick, timing.m_nStartTick);
            EXPECT_LE(e.m_nTick, timing.m_nEndTick) << "an event outside its staff";
            if (i > 0) {
                EXPECT_LE(events[i - 1].m_nTick, e.m_nTick) << "events out of order";
            }
            const int nChannel = e.m_nStatus & 0x0F;
            if ((e.m_nStatus & 0xF0) == 0x90) {
                EXPECT_EQ(sounding.count({nChannel, e.m_nData1}), 0u) << "a key struck twice without a note-off";
                sounding[{nChannel, e.m_nData1}] = heard.notes.size();
                heard.notes.push_back({e.m_nTick, 0, nChannel, e.m_nData1, e.m_nData2});
            } else if ((e.m_nStatus & 0xF0) == 0x80) {
                auto it = sounding.find({nChannel, e.m_nData1});
                EXPECT_NE(it, sounding.end()) << "a note-off for a key not sounding";
                if (it == sounding.end())
                    continue;
                heard.notes[it->second].nOff = e.m_nTick;
                sounding.erase(it);
            }
            heard.events.push_back(e);
        }
        EXPECT_TRUE(sounding.empty()) << "a note still sounds at the end of staff " << timing.m_nStaff;
        heard.staffs.push_back(timing);
    }
    return heard;
}

int PitchWheelAtEnd(const std::vector<CMidiEvent>& events, int nChannel)
{
    int nValue = 8192;
    for (const CMidiEvent& e : events)
        if (e.m_nStatus == (0xE0 | nChannel))
            nValue = e.m_nData1 | (e.m_nData2 << 7);
    return nValue;
}

} // namespace

TEST(Performance, NotesSoundAtTheirStepsOnTheirStringsChannel)
{
    CFretlyDoc doc;
    FillDoc(doc, {{{"0---|-3", "", "", "", "", "--5"}}});
    CPerformance performance(doc);
    EXPECT_EQ(performance.GetTempo(), 120);
    EXPECT_EQ(performance.GetMicrosecondsPerQuarter(), 500000u);
    EXPECT_EQ(performance.GetStepTicks(), 120);
    const CHeard heard = Hear(performance);
    ASSERT_EQ(heard.notes.size(), 3u);
    EXPECT_EQ(heard.notes[0].nKey, 64);
    EXPECT_EQ(heard.notes[0].nChannel, 0);
    EXPECT_EQ(heard.notes[0].nOn, 0u);
    EXPECT_EQ(heard.notes[0].nOff, 240u) << "until the next note column";
    EXPECT_EQ(heard.notes[1].nKey, 45);
    EXPECT_EQ(heard.notes[1].nChannel, 5);
    EXPECT_EQ(heard.notes[1].nOn, 240u);
    EXPECT_EQ(heard.notes[1].nOff, 480u) << "until the bar line";
    EXPECT_EQ(heard.notes[2].nKey, 67);
    EXPECT_EQ(heard.notes[2].nOn, 600u) << "the bar line takes no time";
    EXPECT_EQ(heard.notes[2].nOff, 720u);
    ASSERT_EQ(heard.staffs.size(), 1u);
    EXPECT_EQ(heard.staffs[0].m_barTicks, (std::vector<std::uint64_t>{0, 480}));
    EXPECT_EQ(heard.staffs[0].m_nEndTick, 720u);

    // Each string's channel is set up once, before anything sounds.
    int nPrograms = 0;
    for (const CMidiEvent& e : heard.events)
        nPrograms += (e.m_nStatus & 0xF0) == 0xC0 && e.m_nData1 == CPerformance::kProgram && e.m_nTick == 0;
    EXPECT_EQ(nPrograms, 6);
}

TEST(Performance, StaffsFollowEachOtherAndTheTotalIsKnownWithoutPlaying)
{
    CFretlyDoc doc;
    FillDoc(doc, {{{"0-0-|"}}, {{""}}, {{"-2--2---|---"}}}, "Tempo: 90\r\nStep: 1/8\r\n");
    CPerformance performance(doc);
    EXPECT_EQ(performance.GetTempo(), 90);
    EXPECT_EQ(performance.GetStepTicks(), 240);
    EXPECT_EQ(performance.GetTotalTicks(), (4u + 0u + 8u) * 240u);
    const CHeard heard = Hear(performance);
    ASSERT_EQ(heard.staffs.size(), 3u);
    EXPECT_EQ(heard.staffs[1].m_nStartTick, heard.staffs[1].m_nEndTick) << "an empty staff lasts no time";
    EXPECT_EQ(heard.staffs[2].m_nStartTick, 960u);
    EXPECT_EQ(heard.staffs[2].m_nEndTick, performance.GetTotalTicks());
    EXPECT_EQ(heard.staffs[2].m_nFirstBar, 2) << "bars are counted across staffs";
    EXPECT_EQ(heard.notes.back().nOn, 960u + 4 * 240);

    // From the third staff at another tempo: its time starts at 0, its bars at 1.
    CPerformance from(doc, 2, 200);
    EXPECT_EQ(from.GetTempo(), 200);
    EXPECT_EQ(from.GetTotalTicks(), 8u * 240u);
    const CHeard later = Hear(from);
    ASSERT_EQ(later.staffs.size(), 1u);
    EXPECT_EQ(later.staffs[0].m_nStaff, 2);
    EXPECT_EQ(later.staffs[0].m_nFirstBar, 1);
    EXPECT_EQ(later.notes.front().nOn, 240u);
    EXPECT_EQ(later.notes.front().nKey, 66);
    EXPECT_DOUBLE_EQ(from.TicksToSeconds(480), 0.3);
}

TEST(Performance, LegatoNotesOverlapAndBendsComeBackToCentre)
{
    CFretlyDoc doc;
    FillDoc(doc, {{{"5h7--7b9r7--5/7---"}}});
    CPerformance performance(doc);
    std::vector<CMidiEvent> events;
    CStaffTiming timing;
    ASSERT_TRUE(performance.NextStaff(events, timing));
    CPerformance again(doc);
    const CHeard heard = Hear(again);
    ASSERT_EQ(heard.notes.size(), 5u) << "the bend's 9 and release's 7 are not notes";
    // The hammered 7 begins before the 5 stops, at the same tick, and softer.
    EXPECT_EQ(heard.notes[0].nOff, heard.notes[1].nOn);
    EXPECT_LT(heard.notes[1].nVelocity, heard.notes[0].nVelocity);
    auto firstOf = [&](int nStatus, int nKey) {
        for (std::size_t i = 0; i < events.size(); ++i)
            if (events[i].m_nStatus == nStatus && events[i].m_nData1 == nKey)
                return i;
        return events.size();
    };
    EXPECT_LT(firstOf(0x90, 71), firstOf(0x80, 69)) << "the 7's note-on comes before the 5's note-off";
    // The slide glides by pitch bend toward +2 semitones, and every bend ends at centre.
    int nHighest = 8192;
    for (const CMidiEvent& e : events)
        if (e.m_nStatus == 0xE0)
            nHighest = std::max(nHighest, e.m_nData1 | (e.m_nData2 << 7));
    EXPECT_EQ(nHighest, 8192 + 1365) << "a whole tone, the bend's and the slide's";
    EXPECT_EQ(PitchWheelAtEnd(events, 0), 8192);
}

TEST(Performance, DeadNotesAreShortAndATrillAlternates)
{
    CFretlyDoc doc;
    FillDoc(doc, {{{"x-------8*10----"}}});
    const CHeard heard = Hear(*std::make_unique<CPerformance>(doc));
    ASSERT_GE(heard.notes.size(), 3u);
    EXPECT_EQ(heard.notes[0].nKey, 64);
    EXPECT_EQ(heard.notes[0].nOff - heard.notes[0].nOn, 60u) << "a thirty-second note, not the 8 steps to the next note";
    for (std::size_t i = 1; i < heard.notes.size(); ++i)
        EXPECT_EQ(heard.notes[i].nKey, i % 2 == 1 ? 72 : 74) << "note " << i;
    EXPECT_EQ(heard.notes.back().nOff, 12u * 120u);
}
