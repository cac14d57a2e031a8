#include "audio/SongSource.h"

#include "interop/Performance.h"

namespace {

class CPerformanceSource : public CSoundSource {
public:
    CPerformanceSource(const CFretlyDoc& doc, int nFromStaff, int nTempo) : m_performance(doc, nFromStaff, nTempo) {}

    int GetTicksPerQuarter() const override { return CPerformance::kTicksPerQuarter; }
    std::uint32_t GetMicrosPerQuarter() const override { return m_performance.GetMicrosecondsPerQuarter(); }
    std::uint64_t GetTotalTicks() const override { return m_performance.GetTotalTicks(); }
    int GetStaffCount() const override { return m_performance.GetStaffCount(); }

    bool NextStaff(CSoundStaff& staff) override
    {
        if (!m_performance.NextStaff(m_events, m_timing))
            return false;
        staff.nStaff = m_timing.m_nStaff;
        staff.nStartTick = m_timing.m_nStartTick;
        staff.nEndTick = m_timing.m_nEndTick;
        staff.nFirstBar = m_timing.m_nFirstBar;
        staff.bars.assign(m_timing.m_barTicks.begin(), m_timing.m_barTicks.end());
        staff.events.clear();
        staff.events.reserve(m_events.size());
        for (const CMidiEvent& event : m_events)
            staff.events.push_back({event.m_nTick, event.m_nStatus, event.m_nData1, event.m_nData2});
        return true;
    }

private:
    CPerformance m_performance;
    std::vector<CMidiEvent> m_events;
    CStaffTiming m_timing;
};

} // namespace

std::unique_ptr<CSoundSource> AfxMakeSongSource(const CFretlyDoc& doc, int nFromStaff, int nTempo)
{
    return std::make_unique<CPerformanceSource>(doc, nFromStaff, nTempo);
}
