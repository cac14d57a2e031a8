#pragma once
// What a song sounds like, as MIDI channel events: the one source of the MIDI file export
// and of live playback, so both say the same notes at the same times (NoteModel.h reads
// the notes).
//
// Each string plays on a channel of its own (row 0 on channel 0 ... row 5 on channel 5),
// all General MIDI steel-string guitar, so a bend or slide on one string never bends
// another that rings. The first staff's events begin, at tick 0, with each channel's
// program change and a pitch-bend range of 12 semitones (registered parameter 0).
//
// How the techniques sound:
//   plain note      velocity 96, held until the next note column or the end of its measure
//   hammer-on, pull-off  legato: the first note is held until the second begins, whose
//                   note-on comes before the first note's note-off at the same tick, and
//                   the second is struck softer (velocity 72)
//   slide           legato as above; the first note's pitch glides toward the second's over
//                   the second half of the first note, by pitch bend (up to 12 semitones)
//   slide in, out   a glide of two semitones into the note / five out of its second half
//   bend, release   pitch bend up over the first half of the note (first third when it is
//                   released), released over the second third
//   vibrato         modulation wheel (controller 1) at 100 while the note sounds
//   trill           the two frets alternate in thirty-second notes
//   dead note       a short muted pluck: the string's open pitch (capo included), a
//                   thirty-second note long at most, velocity 64
//   tap 110, ghost 45, harmonic 90 (sounding the harmonic's pitch)
// Every pitch bend and controller a note sets is reset when it ends, so a staff's events
// leave every channel as they found it; every note-on has its note-off in the same staff.
#include <cstdint>
#include <vector>

#include "interop/NoteModel.h"

class CFretlyDoc;

struct CMidiEvent {
    std::uint64_t m_nTick = 0;     // from the start staff's beginning
    std::uint8_t m_nStatus = 0;    // 0x80-0xEF: message and channel
    std::uint8_t m_nData1 = 0;
    std::uint8_t m_nData2 = 0;     // unused for program change (0xC0)
};

struct CStaffTiming {
    int m_nStaff = 0;                       // index in the document, from 0
    std::uint64_t m_nStartTick = 0;
    std::uint64_t m_nEndTick = 0;
    int m_nFirstBar = 1;                    // number of its first measure, from 1 at the start staff
    std::vector<std::uint64_t> m_barTicks;  // the start of each of its measures
};

class CPerformance {
public:
    static constexpr int kTicksPerQuarter = 480;
    static constexpr int kProgram = 25;     // General MIDI steel-string guitar, counted from 0
    static constexpr int kPitchBendRange = 12;

    // Plays doc from staff nFromStaff (0-based, clamped to the document); nTempo > 0
    // replaces the song's tempo. The document must outlive this object and not change.
    explicit CPerformance(const CFretlyDoc& doc, int nFromStaff = 0, int nTempo = 0);

    const CSongSettings& GetSettings() const { return m_reader.GetSettings(); }
    int GetTempo() const { return m_nTempo; }   // quarter notes per minute
    std::uint32_t GetMicrosecondsPerQuarter() const { return static_cast<std::uint32_t>(60000000 / m_nTempo); }
    int GetStepTicks() const { return kTicksPerQuarter / GetSettings().m_nStepsPerQuarter; }
    double TicksToSeconds(std::uint64_t nTicks) const
    {
        return static_cast<double>(nTicks) * GetMicrosecondsPerQuarter() / (1e6 * kTicksPerQuarter);
    }
    int GetFirstStaff() const { return m_nFromStaff; }
    int GetStaffCount() const;

    // The length of the whole performance, from a scan of the staffs' columns (no events
    // made); counted once.
    std::uint64_t GetTotalTicks() const;

    // The next staff's events in tick order (replacing what events held) and its timing;
    // false when every staff has been given.
    bool NextStaff(std::vector<CMidiEvent>& events, CStaffTiming& timing);
    // Starts again at the start staff.
    void Rewind();

    // The notes of the staff NextStaff last gave.
    const CStaffMusic& GetStaffMusic() const { return m_music; }

private:
    struct CKeyedEvent {
        std::uint64_t m_nKey;   // tick * 4 + order among events of one tick
        CMidiEvent m_event;
    };
    void AddSetupEvents();
    void AddNote(const CTabNote& note, std::uint64_t nBase);
    void AddBendRamp(int nChannel, std::uint64_t nFrom, std::uint64_t nTo, double dFrom, double dTo);
    void Add(std::uint64_t nTick, int nOrder, int nStatus, int nData1, int nData2);

    const CFretlyDoc& m_doc;
    CNoteReader m_reader;
    int m_nFromStaff;
    int m_nTempo;
    int m_nNextStaff;
    std::uint64_t m_nNextTick = 0;
    int m_nNextBar = 1;
    mutable std::uint64_t m_nTotalTicks = 0;
    mutable bool m_bTotalKnown = false;
    CStaffMusic m_music;
    std::vector<CKeyedEvent> m_keyed;
};
