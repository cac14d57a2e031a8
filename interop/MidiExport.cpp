#include "interop/MidiExport.h"

#include <algorithm>
#include <string>
#include <vector>

#include "document/FretlyDoc.h"
#include "interop/ExportSink.h"
#include "interop/Performance.h"

namespace {

void PutBigEndian(std::string& out, std::uint32_t nValue, int nBytes)
{
    for (int i = nBytes - 1; i >= 0; --i)
        out += static_cast<char>((nValue >> (8 * i)) & 0xFF);
}

// A variable-length quantity: seven bits a byte, most significant first.
void PutVarLength(std::string& out, std::uint32_t nValue)
{
    char bytes[5];
    int n = 0;
    bytes[n++] = static_cast<char>(nValue & 0x7F);
    while ((nValue >>= 7) != 0)
        bytes[n++] = static_cast<char>(0x80 | (nValue & 0x7F));
    while (n > 0)
        out += bytes[--n];
}

// The largest delta time one variable-length quantity holds.
constexpr std::uint64_t kMaxDelta = 0x0FFFFFFF;

// Writes deltas that fit, inserting an empty text event where a gap is longer than one
// delta can say (a song of only empty staffs between notes could need it).
void PutDelta(std::string& out, std::uint64_t nDelta)
{
    while (nDelta > kMaxDelta) {
        PutVarLength(out, static_cast<std::uint32_t>(kMaxDelta));
        out += '\xFF';
        out += '\x01';
        out += '\0';
        nDelta -= kMaxDelta;
    }
    PutVarLength(out, static_cast<std::uint32_t>(nDelta));
}

void PutMeta(std::string& out, int nType, std::string_view data)
{
    out += '\xFF';
    out += static_cast<char>(nType);
    PutVarLength(out, static_cast<std::uint32_t>(data.size()));
    out.append(data);
}

void PutChunkHeader(CExportSink& sink, const char* pszType, std::uint64_t nLength)
{
    std::string header(pszType, 4);
    PutBigEndian(header, static_cast<std::uint32_t>(nLength), 4);
    sink.Write(header);
}

// The guitar track's events, handed to write in pieces; returns the track's length.
template <typename Write>
std::uint64_t GuitarTrack(CPerformance& performance, Write write)
{
    std::uint64_t nLength = 0;
    std::string out;
    auto flush = [&] {
        nLength += out.size();
        write(out);
        out.clear();
    };
    PutVarLength(out, 0);
    PutMeta(out, 0x03, "Steel-string guitar");

    performance.Rewind();
    std::vector<CMidiEvent> events;
    CStaffTiming timing;
    std::uint64_t nTick = 0;
    while (performance.NextStaff(events, timing)) {
        for (const CMidiEvent& event : events) {
            PutDelta(out, event.m_nTick - nTick);
            nTick = event.m_nTick;
            out += static_cast<char>(event.m_nStatus);
            out += static_cast<char>(event.m_nData1);
            const int nKind = event.m_nStatus & 0xF0;
            if (nKind != 0xC0 && nKind != 0xD0)
                out += static_cast<char>(event.m_nData2);
        }
        flush();
    }
    PutDelta(out, std::max(nTick, performance.GetTotalTicks()) - nTick);
    PutMeta(out, 0x2F, {});
    flush();
    return nLength;
}

} // namespace

void AfxExportMidi(const CFretlyDoc& doc, CExportSink& sink, int nTempo)
{
    CPerformance performance(doc, 0, nTempo);

    std::string header;
    PutBigEndian(header, 1, 2);   // format 1: tracks played together
    PutBigEndian(header, 2, 2);
    PutBigEndian(header, CPerformance::kTicksPerQuarter, 2);
    PutChunkHeader(sink, "MThd", header.size());
    sink.Write(header);

    std::string tempo;
    PutVarLength(tempo, 0);
    // Track names are bytes; the title is written as the document holds it.
    PutMeta(tempo, 0x03, doc.m_strSongTitle.empty() ? std::string_view("Fretly") : std::string_view(doc.m_strSongTitle));
    std::string microseconds;
    PutBigEndian(microseconds, performance.GetMicrosecondsPerQuarter(), 3);
    PutVarLength(tempo, 0);
    PutMeta(tempo, 0x51, microseconds);
    PutVarLength(tempo, 0);
    PutMeta(tempo, 0x2F, {});
    PutChunkHeader(sink, "MTrk", tempo.size());
    sink.Write(tempo);

    // The track's length comes before its bytes: measured in a first pass.
    const std::uint64_t nLength = GuitarTrack(performance, [](const std::string&) {});
    PutChunkHeader(sink, "MTrk", nLength);
    GuitarTrack(performance, [&](const std::string& bytes) { sink.Write(bytes); });
}
