// The MIDI events a song sounds as, staff by staff (Performance.h).
#include "interop/Performance.h"

#include <algorithm>
#include <cmath>

#include "document/FretlyDoc.h"

namespace {

// Order of events at one tick: a note ends before the next begins on its string, a
// controller set for a note comes before its note-on, and a legato note's predecessor
// ends only after it has begun.
enum { kOrderOff = 0, kOrderControl = 1, kOrderOn = 2, kOrderLegatoOff = 3 };

constexpr int kNoteOff = 0x80;
constexpr int kNoteOn = 0x90;
constexpr int kControl = 0xB0;
constexpr int kProgramChange = 0xC0;
constexpr int kPitchWheel = 0xE0;
constexpr int kModulation = 1;

constexpr int kBendPoints = 8;   // pitch-bend events per glide

int Velocity(std::uint32_t fTech)
{
    if (fTech & kTechDead)
        return 64;
    if (fTech & kTechGhost)
        return 45;
    if (fTech & kTechTap)
        return 110;
    if (fTech & kTechLegatoStop)
        return 72;
    if (fTech & kTechHarmonic)
        return 90;
    return 96;
}

} // namespace

CPerformance::CPerformance(const CFretlyDoc& doc, int nFromStaff, int nTempo)
    : m_doc(doc),
      m_reader(AfxReadSongSettings(doc.m_strComments)),
      m_nFromStaff(std::clamp(nFromStaff, 0, std::max(0, doc.m_nStaffs - 1))),
      // A tempo past 1000 would leave a quarter note without a whole microsecond soon enough.
      m_nTempo(nTempo > 0 ? std::min(nTempo, 1000) : m_reader.GetSettings().m_nTempo),
      m_nNextStaff(m_nFromStaff)
{
}

int CPerformance::GetStaffCount() const { return m_doc.m_nStaffs; }

std::uint64_t CPerformance::GetTotalTicks() const
{
    if (!m_bTotalKnown) {
        std::uint64_t nSteps = 0;
        for (int s = m_nFromStaff; s < m_doc.m_nStaffs; ++s)
            nSteps += static_cast<std::uint64_t>(CNoteReader::CountSteps(*m_doc.m_ppStaffs[static_cast<std::size_t>(s)]));
        m_nTotalTicks = nSteps * static_cast<std::uint64_t>(GetStepTicks());
        m_bTotalKnown = true;
    }
    return m_nTotalTicks;
}

void CPerformance::Rewind()
{
    m_nNextStaff = m_nFromStaff;
    m_nNextTick = 0;
    m_nNextBar = 1;
}

void CPerformance::Add(std::uint64_t nTick, int nOrder, int nStatus, int nData1, int nData2)
{
    CMidiEvent event;
    event.m_nTick = nTick;
    event.m_nStatus = static_cast<std::uint8_t>(nStatus);
    event.m_nData1 = static_cast<std::uint8_t>(std::clamp(nData1, 0, 127));
    event.m_nData2 = static_cast<std::uint8_t>(std::clamp(nData2, 0, 127));
    m_keyed.push_back({nTick * 4 + static_cast<std::uint64_t>(nOrder), event});
}

void CPerformance::AddSetupEvents()
{
    for (int nChannel = 0; nChannel < STRING_ROWS; ++nChannel) {
        Add(0, kOrderControl, kProgramChange | nChannel, kProgram, 0);
        // Registered parameter 0, the pitch-bend range: 12 semitones, 0 cents; then the
        // null parameter, so a stray data entry changes nothing.
        const int cc[][2] = {{101, 0}, {100, 0}, {6, kPitchBendRange}, {38, 0}, {101, 127}, {100, 127}};
        for (const auto& pair : cc)
            Add(0, kOrderControl, kControl | nChannel, pair[0], pair[1]);
    }
}

void CPerformance::AddBendRamp(int nChannel, std::uint64_t nFrom, std::uint64_t nTo, double dFrom, double dTo)
{
    auto wheel = [](double dSemitones) {
        const double dValue = 8192.0 + dSemitones * 8192.0 / kPitchBendRange;
        return std::clamp(static_cast<int>(std::lround(dValue)), 0, 16383);
    };
    const int nPoints = nTo > nFrom ? kBendPoints : 1;
    for (int i = 1; i <= nPoints; ++i) {
        const double dSemitones = dFrom + (dTo - dFrom) * i / nPoints;
        const std::uint64_t nTick = nFrom + (nTo - nFrom) * static_cast<std::uint64_t>(i) / nPoints;
        const int nValue = wheel(dSemitones);
        Add(nTick, kOrderControl, kPitchWheel | nChannel, nValue & 0x7F, nValue >> 7);
    }
}

void CPerformance::AddNote(const CTabNote& note, std::uint64_t nBase)
{
    const std::uint64_t nStep = static_cast<std::uint64_t>(GetStepTicks());
    const int nChannel = note.m_nRow;
    const std::uint64_t nOn = nBase + static_cast<std::uint64_t>(note.m_nStep) * nStep;
    std::uint64_t nOff = nOn + static_cast<std::uint64_t>(note.m_nSteps) * nStep;
    int nOffOrder = kOrderOff;
    const CTabNote* pTarget = note.m_nLinkTo >= 0 ? &m_music.m_notes[static_cast<std::size_t>(note.m_nLinkTo)] : nullptr;
    if (pTarget != nullptr) {
        // Held until the note it leads to begins.
        nOff = std::max(nOff, nBase + static_cast<std::uint64_t>(pTarget->m_nStep) * nStep);
        // A note-off after the next note-on of the same key would end that one instead.
        if (pTarget->m_nPitch != note.m_nPitch)
            nOffOrder = kOrderLegatoOff;
    }
    const std::uint32_t fTech = note.m_fTech;
    if (fTech & kTechDead)
        nOff = std::min(nOff, nOn + kTicksPerQuarter / 8);
    const std::uint64_t nLength = nOff - nOn;
    bool bBent = false;

    if (fTech & kTechSlideInBelow || fTech & kTechSlideInAbove) {
        const double dFrom = (fTech & kTechSlideInBelow) ? -2.0 : 2.0;
        AddBendRamp(nChannel, nOn, nOn, 0.0, dFrom);
        AddBendRamp(nChannel, nOn, nOn + std::min<std::uint64_t>(nLength / 4, nStep), dFrom, 0.0);
        bBent = true;
    }
    if (fTech & kTechBend) {
        const std::uint64_t nRise = (fTech & kTechRelease) ? nLength / 3 : nLength / 2;
        AddBendRamp(nChannel, nOn, nOn + nRise, 0.0, note.m_nBend);
        if (fTech & kTechRelease)
            AddBendRamp(nChannel, nOn + nRise, nOn + 2 * nRise, note.m_nBend, note.m_nRelease);
        bBent = true;
    } else if ((fTech & kTechSlideStart) && pTarget != nullptr) {
        const double dTo = std::clamp(pTarget->m_nPitch - note.m_nPitch, -kPitchBendRange, kPitchBendRange);
        AddBendRamp(nChannel, nOn + nLength / 2, nOff, 0.0, dTo);
        bBent = true;
    } else if (fTech & (kTechSlideOutUp | kTechSlideOutDown)) {
        AddBendRamp(nChannel, nOn + nLength / 2, nOff, 0.0, (fTech & kTechSlideOutUp) ? 5.0 : -5.0);
        bBent = true;
    }
    if (fTech & kTechVibrato) {
        Add(nOn, kOrderControl, kControl | nChannel, kModulation, 100);
        Add(nOff, kOrderControl, kControl | nChannel, kModulation, 0);
    }

    const int nVelocity = Velocity(fTech);
    if ((fTech & kTechTrill) && note.m_nFret >= 0) {
        const int nOther = note.m_nPitch + (note.m_nTrillFret - note.m_nFret);
        const std::uint64_t nEach = kTicksPerQuarter / 8;
        int nKey = note.m_nPitch;
        for (std::uint64_t t = nOn; t < nOff; t += nEach) {
            const std::uint64_t nEnd = std::min(t + nEach, nOff);
            Add(t, kOrderOn, kNoteOn | nChannel, nKey, t == nOn ? nVelocity : 72);
            Add(nEnd, nEnd == nOff ? nOffOrder : kOrderOff, kNoteOff | nChannel, nKey, 0);
            nKey = nKey == note.m_nPitch ? nOther : note.m_nPitch;
        }
    } else {
        Add(nOn, kOrderOn, kNoteOn | nChannel, note.m_nPitch, nVelocity);
        Add(nOff, nOffOrder, kNoteOff | nChannel, note.m_nPitch, 0);
    }
    if (bBent)
        Add(nOff, kOrderControl, kPitchWheel | nChannel, 0, 64);
}

bool CPerformance::NextStaff(std::vector<CMidiEvent>& events, CStaffTiming& timing)
{
    events.clear();
    if (m_nNextStaff >= m_doc.m_nStaffs)
        return false;
    m_keyed.clear();
    if (m_nNextStaff == m_nFromStaff)
        AddSetupEvents();

    m_reader.ReadStaff(*m_doc.m_ppStaffs[static_cast<std::size_t>(m_nNextStaff)], m_music);
    const std::uint64_t nBase = m_nNextTick;
    const std::uint64_t nStep = static_cast<std::uint64_t>(GetStepTicks());
    for (const CTabNote& note : m_music.m_notes)
        AddNote(note, nBase);
    std::stable_sort(m_keyed.begin(), m_keyed.end(),
                     [](const CKeyedEvent& a, const CKeyedEvent& b) { return a.m_nKey < b.m_nKey; });
    events.reserve(m_keyed.size());
    for (const CKeyedEvent& keyed : m_keyed)
        events.push_back(keyed.m_event);

    timing.m_nStaff = m_nNextStaff;
    timing.m_nStartTick = nBase;
    timing.m_nEndTick = nBase + static_cast<std::uint64_t>(m_music.m_nSteps) * nStep;
    timing.m_nFirstBar = m_nNextBar;
    timing.m_barTicks.clear();
    for (const CTabMeasure& measure : m_music.m_measures)
        timing.m_barTicks.push_back(nBase + static_cast<std::uint64_t>(measure.m_nFirstStep) * nStep);

    m_nNextBar += static_cast<int>(m_music.m_measures.size());
    m_nNextTick = timing.m_nEndTick;
    ++m_nNextStaff;
    return true;
}
