// Feeds arbitrary staffs and comments to the note model, the performance and the exports:
// nothing may crash, every note and event must lie inside its staff, every note-on must
// end, and the MusicXML must stay valid UTF-8 free of bytes XML cannot hold.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "document/FretlyDoc.h"
#include "interop/ExportSink.h"
#include "interop/MidiExport.h"
#include "interop/MusicXmlExport.h"
#include "interop/Performance.h"
#include "interop/XmlText.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

// The bytes up to the first NUL are the comments (and the title); the rest fills staff
// rows 78 bytes at a time, any byte at all.
void Fill(CFretlyDoc& doc, std::string_view bytes)
{
    doc.OnNewDocument();
    const std::size_t nEnd = std::min(bytes.find('\0'), bytes.size());
    doc.m_strComments = std::string(bytes.substr(0, nEnd));
    doc.m_strSongTitle = doc.m_strComments.substr(0, 40);
    bytes.remove_prefix(std::min(nEnd + 1, bytes.size()));
    int nRow = 0;
    while (!bytes.empty() && doc.m_nStaffs < 64) {
        const std::size_t n = std::min<std::size_t>(bytes.size(), STAFF_COLUMNS);
        bytes.substr(0, n).copy(doc.m_ppStaffs.back()->m_rows[nRow], n);
        bytes.remove_prefix(n);
        if (++nRow == STAFF_ROWS && !bytes.empty()) {
            nRow = 0;
            doc.InsertStaff(doc.m_nStaffs - 1);
        }
    }
}

void CheckMusic(const CFretlyDoc& doc)
{
    CNoteReader reader(AfxReadSongSettings(doc.m_strComments));
    CStaffMusic music;
    for (int s = 0; s < doc.m_nStaffs; ++s) {
        reader.ReadStaff(*doc.m_ppStaffs[static_cast<std::size_t>(s)], music);
        Check(music.m_nSteps == CNoteReader::CountSteps(*doc.m_ppStaffs[static_cast<std::size_t>(s)]));
        int nStep = 0;
        for (const CTabMeasure& measure : music.m_measures) {
            Check(measure.m_nFirstStep == nStep && measure.m_nSteps > 0);
            nStep += measure.m_nSteps;
        }
        Check(nStep == music.m_nSteps);
        for (std::size_t i = 0; i < music.m_notes.size(); ++i) {
            const CTabNote& note = music.m_notes[i];
            Check(note.m_nStep >= 0 && note.m_nSteps > 0 && note.m_nStep + note.m_nSteps <= music.m_nSteps);
            Check(note.m_nPitch >= 0 && note.m_nPitch <= 127);
            Check(note.m_nLinkTo == -1 || (note.m_nLinkTo > static_cast<int>(i) &&
                                           note.m_nLinkTo < static_cast<int>(music.m_notes.size())));
            Check(i == 0 || music.m_notes[i - 1].m_nStep <= note.m_nStep);
        }
    }
}

void CheckPerformance(const CFretlyDoc& doc)
{
    CPerformance performance(doc);
    std::vector<CMidiEvent> events;
    CStaffTiming timing;
    std::uint64_t nEnd = 0;
    while (performance.NextStaff(events, timing)) {
        Check(timing.m_nStartTick == nEnd);
        std::map<int, int> sounding;
        std::uint64_t nLast = timing.m_nStartTick;
        for (const CMidiEvent& e : events) {
            Check(e.m_nTick >= nLast && e.m_nTick <= timing.m_nEndTick);
            Check(e.m_nStatus >= 0x80 && e.m_nStatus < 0xF0 && e.m_nData1 < 0x80 && e.m_nData2 < 0x80);
            nLast = e.m_nTick;
            const int nKey = ((e.m_nStatus & 0x0F) << 8) | e.m_nData1;
            if ((e.m_nStatus & 0xF0) == 0x90) {
                Check(sounding[nKey]++ == 0);
            } else if ((e.m_nStatus & 0xF0) == 0x80) {
                Check(sounding[nKey]-- == 1);
            }
        }
        for (const auto& [nKey, nCount] : sounding)
            Check(nCount == 0);
        nEnd = timing.m_nEndTick;
    }
    Check(nEnd == performance.GetTotalTicks());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CFretlyDoc doc;
    Fill(doc, std::string_view(reinterpret_cast<const char*>(data), size));
    CheckMusic(doc);
    CheckPerformance(doc);
    CStringSink xml;
    AfxExportMusicXml(doc, xml);
    Check(AfxIsValidUtf8(xml.m_str));
    for (unsigned char ch : xml.m_str)
        Check(ch >= 0x20 || ch == '\n' || ch == '\t');
    CStringSink midi;
    AfxExportMidi(doc, midi);
    Check(midi.m_str.compare(0, 4, "MThd") == 0);
    return 0;
}
