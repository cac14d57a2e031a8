// The MIDI file: its bytes read back by hand and by mido, and sounded by FluidSynth.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numeric>
#include <stdexcept>

#include "core/interop/ExportTestSupport.h"
#include "interop/Performance.h"

namespace {

struct CTrack {
    std::vector<CMidiEvent> events;   // channel events, absolute ticks
    std::vector<std::pair<int, std::string>> metas;
    std::uint64_t nEndTick = 0;
};

struct CMidiFile {
    int nFormat = -1, nTracks = -1, nDivision = -1;
    std::vector<CTrack> tracks;
};

// A reader of our own for the file's layout: every chunk length must match its bytes and
// every track end with an end-of-track event.
CMidiFile ReadMidi(const std::string& bytes)
{
    CMidiFile file;
    std::size_t i = 0;
    auto need = [&](std::size_t n) {
        if (i + n > bytes.size())
            throw std::runtime_error("file ends early");
    };
    auto big = [&](int n) {
        need(static_cast<std::size_t>(n));
        std::uint32_t v = 0;
        for (int k = 0; k < n; ++k)
            v = (v << 8) | static_cast<unsigned char>(bytes[i++]);
        return v;
    };
    auto var = [&]() {
        std::uint32_t v = 0;
        for (int k = 0; k < 4; ++k) {
            need(1);
            const auto b = static_cast<unsigned char>(bytes[i++]);
            v = (v << 7) | (b & 0x7F);
            if ((b & 0x80) == 0)
                return v;
        }
        throw std::runtime_error("variable-length quantity longer than 4 bytes");
    };
    if (bytes.compare(0, 4, "MThd") != 0)
        throw std::runtime_error("no MThd");
    i = 4;
    if (big(4) != 6)
        throw std::runtime_error("header length");
    file.nFormat = static_cast<int>(big(2));
    file.nTracks = static_cast<int>(big(2));
    file.nDivision = static_cast<int>(big(2));
    while (i < bytes.size()) {
        if (bytes.compare(i, 4, "MTrk") != 0)
            throw std::runtime_error("no MTrk");
        i += 4;
        const std::uint32_t nLength = big(4);
        const std::size_t nEnd = i + nLength;
        CTrack track;
        std::uint64_t nTick = 0;
        bool bEnded = false;
        while (i < nEnd && !bEnded) {
            nTick += var();
            need(1);
            const auto status = static_cast<unsigned char>(bytes[i++]);
            if (status == 0xFF) {
                need(1);
                const int nType = static_cast<unsigned char>(bytes[i++]);
                const std::uint32_t n = var();
                need(n);
                track.metas.emplace_back(nType, bytes.substr(i, n));
                i += n;
                bEnded = nType == 0x2F;
            } else if (status >= 0x80 && status < 0xF0) {
                CMidiEvent e;
                e.m_nTick = nTick;
                e.m_nStatus = status;
                need(1);
                e.m_nData1 = static_cast<std::uint8_t>(bytes[i++]);
                if ((status & 0xF0) != 0xC0 && (status & 0xF0) != 0xD0) {
                    need(1);
                    e.m_nData2 = static_cast<std::uint8_t>(bytes[i++]);
                }
                track.events.push_back(e);
            } else {
                throw std::runtime_error("unexpected status byte");
            }
        }
        if (!bEnded || i != nEnd)
            throw std::runtime_error("track length does not match its events");
        track.nEndTick = nTick;
        file.tracks.push_back(std::move(track));
    }
    return file;
}

} // namespace

TEST(MidiExport, TempoTrackAndGuitarTrackHoldThePerformance)
{
    CFretlyDoc doc;
    FillTechniqueSong(doc);
    doc.m_strSongTitle = "Riff";
    const CMidiFile file = ReadMidi(ExportMidiBytes(doc));
    EXPECT_EQ(file.nFormat, 1);
    ASSERT_EQ(file.nTracks, 2);
    ASSERT_EQ(file.tracks.size(), 2u);
    EXPECT_EQ(file.nDivision, CPerformance::kTicksPerQuarter);

    const CTrack& tempo = file.tracks[0];
    ASSERT_GE(tempo.metas.size(), 3u);
    EXPECT_EQ(tempo.metas[0], std::make_pair(0x03, std::string("Riff")));
    EXPECT_EQ(tempo.metas[1], std::make_pair(0x51, std::string("\x09\x27\xC0", 3))) << "600000 us: 100 per minute";
    EXPECT_TRUE(tempo.events.empty());

    // Exactly the performance's events, at its ticks, ending at its length.
    CPerformance performance(doc);
    std::vector<CMidiEvent> expected, staff;
    CStaffTiming timing;
    while (performance.NextStaff(staff, timing))
        expected.insert(expected.end(), staff.begin(), staff.end());
    const CTrack& guitar = file.tracks[1];
    ASSERT_EQ(guitar.events.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(guitar.events[k].m_nTick, expected[k].m_nTick) << k;
        EXPECT_EQ(guitar.events[k].m_nStatus, expected[k].m_nStatus) << k;
        EXPECT_EQ(guitar.events[k].m_nData1, expected[k].m_nData1) << k;
        if ((expected[k].m_nStatus & 0xF0) != 0xC0) {
            EXPECT_EQ(guitar.events[k].m_nData2, expected[k].m_nData2) << k;
        }
    }
    EXPECT_EQ(guitar.nEndTick, performance.GetTotalTicks());
}

TEST(MidiExport, AnEmptySongIsAValidFileWithNoNotes)
{
    CFretlyDoc doc;
    FillDoc(doc, {{{}}});
    const CMidiFile file = ReadMidi(ExportMidiBytes(doc));
    ASSERT_EQ(file.tracks.size(), 2u);
    for (const CMidiEvent& e : file.tracks[1].events)
        EXPECT_NE(e.m_nStatus & 0xF0, 0x90);
    EXPECT_EQ(file.tracks[1].nEndTick, 0u);
}

TEST(MidiExport, MidoReadsTheNotesWeWrote)
{
    const std::string missing = PythonModuleMissing("mido");
    if (!missing.empty())
        GTEST_SKIP() << missing;
    CFretlyDoc doc;
    FillTechniqueSong(doc);
    CScratchDir dir("fretly-midi");
    const auto path = dir.path / "song.mid";
    WriteFileBytes(path, ExportMidiBytes(doc));
    int nCode = -1;
    const std::string out = RunTool("midi_notes.py", path, &nCode);
    ASSERT_EQ(nCode, 0) << out;
    EXPECT_EQ(LinesWith(out, "type ").at(0).substr(0, 10), "1 tracks 2");

    // Our own note-ons, in the order the tool prints them (onset, then pitch).
    CPerformance performance(doc);
    std::vector<std::pair<std::uint64_t, int>> ours;
    std::vector<CMidiEvent> events;
    CStaffTiming timing;
    while (performance.NextStaff(events, timing))
        for (const CMidiEvent& e : events)
            if ((e.m_nStatus & 0xF0) == 0x90 && e.m_nData2 > 0)
                ours.emplace_back(e.m_nTick, e.m_nData1);
    std::sort(ours.begin(), ours.end());
    std::vector<std::string> expected;
    for (const auto& [nTick, nKey] : ours) {
        // mido's onset as a reduced fraction of quarter notes.
        std::uint64_t a = nTick, b = CPerformance::kTicksPerQuarter;
        const std::uint64_t g = std::gcd(a, b);
        a /= g;
        b /= g;
        expected.push_back(std::to_string(a) + (b == 1 ? "" : "/" + std::to_string(b)) + " " + std::to_string(nKey));
    }
    std::vector<std::string> heard;
    for (const std::string& line : LinesWith(out, "")) {
        if (line.rfind("type ", 0) == 0)
            continue;
        heard.push_back(line.substr(0, line.rfind(' ')));
    }
    EXPECT_EQ(heard, expected);
}

// FluidSynth renders the exported file with the system's General MIDI soundfont: it must
// sound, for as long as the song lasts.
TEST(MidiExport, FluidSynthSoundsTheFile)
{
    if (!e2e::HaveProgram("fluidsynth"))
        GTEST_SKIP() << "fluidsynth is not installed";
    const std::string soundFont = DefaultSoundFont();
    if (soundFont.empty())
        GTEST_SKIP() << "no General MIDI soundfont in /usr/share/sounds";
    CFretlyDoc doc;
    FillTechniqueSong(doc);
    CScratchDir dir("fretly-fluid");
    const auto mid = dir.path / "song.mid";
    const auto wav = dir.path / "song.wav";
    WriteFileBytes(mid, ExportMidiBytes(doc));
    int nCode = -1;
    const std::string log = e2e::Shell("fluidsynth -ni -g 1 -r 44100 -F " + e2e::Quote(wav.string()) + " " +
                                           e2e::Quote(soundFont) + " " + e2e::Quote(mid.string()),
                                       &nCode, 300);
    ASSERT_EQ(nCode, 0) << log;
    const std::string bytes = ReadFileBytes(wav);
    ASSERT_GT(bytes.size(), 44u) << log;
    ASSERT_EQ(bytes.compare(0, 4, "RIFF"), 0);
    // The samples follow the "data" chunk header; 16-bit stereo.
    const std::size_t nData = bytes.find("data");
    ASSERT_NE(nData, std::string::npos);
    double dSum = 0;
    std::size_t nSamples = 0;
    int nPeak = 0;
    for (std::size_t k = nData + 8; k + 1 < bytes.size(); k += 2, ++nSamples) {
        const auto v = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[k]) |
                                                  (static_cast<unsigned char>(bytes[k + 1]) << 8));
        nPeak = std::max(nPeak, std::abs(static_cast<int>(v)));
        dSum += static_cast<double>(v) * v;
    }
    const double dSeconds = static_cast<double>(nSamples) / 2 / 44100;
    EXPECT_GT(nPeak, 1000) << "the rendering is silent";
    EXPECT_GT(std::sqrt(dSum / static_cast<double>(nSamples)), 100.0) << "the rendering is all but silent";
    const double dSong = CPerformance(doc).TicksToSeconds(CPerformance(doc).GetTotalTicks());
    EXPECT_GE(dSeconds, dSong) << "shorter than the song";
}
