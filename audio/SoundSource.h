#pragma once
// What a player sounds: MIDI channel events of one staff at a time, in tick order, with
// the song's timing. A source yields the staffs in order and never holds more than one,
// so a song of any length plays in constant memory.
#include <cstdint>
#include <vector>

struct CSoundEvent {
    std::uint64_t nTick = 0;     // from the start of what is played
    std::uint8_t nStatus = 0;    // channel message status byte (0x80-0xEF)
    std::uint8_t nData1 = 0;
    std::uint8_t nData2 = 0;
};

struct CSoundStaff {
    int nStaff = 0;                       // the staff's number in the document, 0-based
    std::uint64_t nStartTick = 0;         // where the staff begins
    std::uint64_t nEndTick = 0;           // where the next one begins
    int nFirstBar = 1;                    // the number of the bar it begins in
    std::vector<std::uint64_t> bars;      // ticks at which its bars begin (its start too, or not)
    std::vector<CSoundEvent> events;      // in tick order
};

class CSoundSource {
public:
    virtual ~CSoundSource() = default;
    virtual int GetTicksPerQuarter() const = 0;
    virtual std::uint32_t GetMicrosPerQuarter() const = 0;
    // The length of what is played, in ticks.
    virtual std::uint64_t GetTotalTicks() const = 0;
    // The document's staff count, for "staff n of N".
    virtual int GetStaffCount() const = 0;
    // Fills staff with the next staff (its vectors reused); false after the last.
    virtual bool NextStaff(CSoundStaff& staff) = 0;
};
