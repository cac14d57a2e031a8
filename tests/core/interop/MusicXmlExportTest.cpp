// The MusicXML export, read back by a real XML parser and opened by MuseScore 3.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <set>

#include "core/interop/ExportTestSupport.h"
#include "interop/Performance.h"
#include "interop/SongExport.h"

namespace {

// The summary musicxml_summary.py prints of the export of doc; skips when python is missing.
std::string Summary(const CFretlyDoc& doc, CScratchDir& dir)
{
    const auto path = dir.path / "song.musicxml";
    WriteFileBytes(path, ExportMusicXmlBytes(doc));
    int nCode = -1;
    const std::string out = RunTool("musicxml_summary.py", path, &nCode);
    EXPECT_EQ(nCode, 0) << "the export is not well-formed XML:\n" << out;
    return out;
}

std::size_t Count(const std::vector<std::string>& lines, const std::string& line)
{
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

} // namespace

class MusicXmlExport : public testing::Test {
protected:
    void SetUp() override
    {
        const std::string missing = PythonModuleMissing("xml.etree.ElementTree");
        if (!missing.empty())
            GTEST_SKIP() << missing;
    }
    CScratchDir m_dir{"fretly-musicxml"};
};

TEST_F(MusicXmlExport, ATablatureStaffWithEveryNotesStringAndFret)
{
    CFretlyDoc doc;
    FillTechniqueSong(doc);
    const std::string out = Summary(doc, m_dir);
    EXPECT_EQ(LinesWith(out, "root ").at(0), "score-partwise 4.0");
    // Drop D and a capo: the lowest line is D2, all six lines named, the capo given.
    EXPECT_EQ(LinesWith(out, "staff ").at(0), "lines 6 tuning D02 A02 D03 G03 B03 E04 capo 2 clef TAB");

    // Every note, tied pieces too, carries string and fret, and its pitch is what the
    // note model says that string and fret sound.
    const std::vector<std::string> notes = LinesWith(out, "note ");
    ASSERT_FALSE(notes.empty());
    std::set<std::string> modelNotes;
    CNoteReader reader(AfxReadSongSettings(doc.m_strComments));
    CStaffMusic music;
    for (int s = 0; s < doc.m_nStaffs; ++s) {
        reader.ReadStaff(*doc.m_ppStaffs[static_cast<std::size_t>(s)], music);
        for (const CTabNote& note : music.m_notes)
            modelNotes.insert(std::to_string(note.m_nRow + 1) + " " + std::to_string(std::max(note.m_nFret, 0)) + " " +
                              std::to_string(note.m_nPitch));
    }
    std::set<std::string> written;
    for (const std::string& line : notes)
        written.insert(line.substr(0, line.rfind(' ')));
    EXPECT_EQ(written, modelNotes);

    // Every measure is filled to the length its time signature says.
    const std::vector<std::string> measures = LinesWith(out, "measure ");
    ASSERT_EQ(measures.size(), 4u);
    for (const std::string& line : measures) {
        int nNumber = 0, nLength = 0, nFilled = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d length %d filled %d", &nNumber, &nLength, &nFilled), 3) << line;
        EXPECT_EQ(nLength, nFilled) << "measure " << nNumber;
    }
}

TEST_F(MusicXmlExport, TechniquesBecomeTheirNotations)
{
    CFretlyDoc doc;
    FillTechniqueSong(doc);
    const std::vector<std::string> marks = LinesWith(Summary(doc, m_dir), "mark ");
    const std::pair<const char*, std::size_t> expected[] = {
        {"hammer-on:start", 1}, {"hammer-on:stop", 1}, {"pull-off:start", 1}, {"pull-off:stop", 1},
        {"slur:start", 2}, {"slur:stop", 2},
        {"slide:start", 2}, {"slide:stop", 2},        // 5/7, and (7)--/5 slides from the 7
        {"bend", 2}, {"release", 1},                  // 7b9r7: up, then back
        {"wavy-line:start", 1}, {"wavy-line:stop", 1}, {"trill-mark", 1}, {"tap", 1},
        {"harmonic", 2}, {"falloff", 1},
        // A notehead is every tied piece's: the x and the (7) each last a quarter and a sixteenth.
        {"notehead-x", 2}, {"notehead-normal-parentheses", 2},
    };
    for (const auto& [pszMark, nCount] : expected)
        EXPECT_EQ(Count(marks, pszMark), nCount) << pszMark;
}

TEST_F(MusicXmlExport, ChordNamesAreHarmonyAndOtherWordsAreText)
{
    CFretlyDoc doc;
    FillTechniqueSong(doc);
    const std::string out = Summary(doc, m_dir);
    const std::vector<std::string> harmony = LinesWith(out, "harmony ");
    ASSERT_EQ(harmony.size(), 4u) << out;
    EXPECT_EQ(harmony[0], "A 0 minor 'm' - offset 0");
    EXPECT_EQ(harmony[1], "C 0 major '' G offset 0");
    EXPECT_EQ(harmony[2], "F 1 minor-seventh 'm7' - offset 1") << "F#m7 stands one column into a note";
    EXPECT_EQ(harmony[3], "B -1 major '' - offset 0");
    EXPECT_EQ(LinesWith(out, "words "),
              (std::vector<std::string>{"'N.C.' offset 4", "'Chorus' offset 2", "'&' offset 0", "\"'x'\" offset 2"}))
        << "each at its column's step, counted from the note it stands over";
}

TEST_F(MusicXmlExport, NotesLongerThanOneValueAreTiedAndEmptySongsAreOneRestfulBar)
{
    CFretlyDoc doc;
    FillDoc(doc, {{{"0----|"}}});   // five sixteenths: a quarter tied to a sixteenth
    const std::string out = Summary(doc, m_dir);
    EXPECT_EQ(LinesWith(out, "note "), (std::vector<std::string>{"1 0 64 start", "1 0 64 stop"}));
    EXPECT_EQ(LinesWith(out, "measure "), (std::vector<std::string>{"1 length 5 filled 5"}));

    CFretlyDoc empty;
    FillDoc(empty, {{{}}}, "Tempo: 60");
    const std::string none = Summary(empty, m_dir);
    EXPECT_TRUE(LinesWith(none, "note ").empty());
    EXPECT_EQ(LinesWith(none, "measure "), (std::vector<std::string>{"1 length 16 filled 16"}));
}

// Header texts hold whatever a user typed or a file brought: nothing may break the XML,
// and each comes back as the text the editor shows.
TEST_F(MusicXmlExport, HostileHeaderTextComesBackAsWritten)
{
    struct Case {
        std::string value, shown;   // shown: the text as UTF-8
    } cases[] = {
        {"A & B <Band> \"q\" 'a' ]]> <!-- x -->", "A & B <Band> \"q\" 'a' ]]> <!-- x -->"},
        {std::string("nul\0 and \x01\x1b", 11), "nul\xEF\xBF\xBD and \xEF\xBF\xBD\xEF\xBF\xBD"},
        {"Caf\xE9 \x93quoted\x94", "Caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D"},
        {"Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC", "Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC"},
        {"</work-title><evil/>", "</work-title><evil/>"},
    };
    for (const Case& c : cases) {
        CFretlyDoc doc;
        FillDoc(doc, {{{"0"}}}, "line one\r\n" + c.value + "\r\n");
        doc.m_strSongTitle = doc.m_strArtist = doc.m_strAlbum = doc.m_strTranscriber = doc.m_strEmail = c.value;
        const std::string out = Summary(doc, m_dir);
        const std::vector<std::string> header = LinesWith(out, "header ");
        const std::string shown = c.shown;
        EXPECT_EQ(header, (std::vector<std::string>{
                              "work-title " + shown, "movement-title " + shown, "creator-composer " + shown,
                              "creator-transcriber " + shown, "source " + shown,
                              "misc-album " + shown, "misc-email " + shown,
                              "misc-comments line one\\n" + shown + "\\n"}))
            << out;
    }
}

// MuseScore 3 opens every export without a complaint, shows it as tablature, and the notes
// of the MIDI file it makes are ours: the same pitches at the same times, in the same
// order. MuseScore plays a slide as a run of notes and a trill as its main note, so
// what sounds inside a slide or a trill is left out on both sides.
TEST(MusicXmlMuseScore, MuseScoreReadsTheTablatureAndPlaysOurNotes)
{
    if (!e2e::HaveProgram("mscore3"))
        GTEST_SKIP() << "MuseScore 3 (mscore3) is not installed";
    const std::string missing = PythonModuleMissing("mido");
    if (!missing.empty())
        GTEST_SKIP() << missing;
    CScratchDir dir("fretly-mscore");
    const std::filesystem::path runtime = dir.path / "runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    const std::string env = "QT_QPA_PLATFORM=offscreen HOME=" + e2e::Quote(dir.path.string()) +
                            " XDG_RUNTIME_DIR=" + e2e::Quote(runtime.string()) + " XDG_CONFIG_HOME=" +
                            e2e::Quote((dir.path / "config").string()) + " XDG_DATA_HOME=" +
                            e2e::Quote((dir.path / "data").string()) + " ";

    int nStart = -1;
    const std::string version = e2e::Shell(env + "mscore3 --version", &nStart, 120);
    if (nStart != 0)
        GTEST_SKIP() << "MuseScore 3 could not start: " << version;

    std::array<CFretlyDoc, 3> songs;
    FillTechniqueSong(songs[0]);
    WriteFileBytes(dir.path / "blues.tab", ReadFileBytes(std::string(FRETLY_SOURCE_DIR) + "/docs/examples/blues.tab"));
    std::string message;
    ASSERT_TRUE(AfxLoadSong((dir.path / "blues.tab").string(), songs[1], message)) << message;
    FillDoc(songs[2], {{{"0-1-2-3-4-5-6-7-8-9-10-11-12-|", "", "", "", "", "3---2---0---|"}, "C"}},
            "Tuning: Eb Ab Db Gb Bb Eb\r\nStep: 1/8\r\nTempo: 72");

    for (std::size_t n = 0; n < songs.size(); ++n) {
        const CFretlyDoc& doc = songs[n];
        const auto xml = dir.path / ("song" + std::to_string(n) + ".musicxml");
        const auto ours = dir.path / ("ours" + std::to_string(n) + ".mid");
        const auto theirs = dir.path / ("theirs" + std::to_string(n) + ".mid");
        const auto mscx = dir.path / ("theirs" + std::to_string(n) + ".mscx");
        WriteFileBytes(xml, ExportMusicXmlBytes(doc));
        WriteFileBytes(ours, ExportMidiBytes(doc));

        int nCode = -1;
        const std::string log = e2e::Shell(env + "mscore3 -o " + e2e::Quote(theirs.string()) + " " +
                                               e2e::Quote(xml.string()) + " && " + env + "mscore3 -o " +
                                               e2e::Quote(mscx.string()) + " " + e2e::Quote(xml.string()),
                                           &nCode, 300);
        ASSERT_EQ(nCode, 0) << log;
        EXPECT_EQ(log.find("not a valid MusicXML file"), std::string::npos) << "song " << n << ":\n" << log;
        EXPECT_NE(ReadFileBytes(mscx).find("<StaffType group=\"tablature\">"), std::string::npos)
            << "song " << n << " is not shown as tablature";

        // Onsets inside a slide or a trill, in quarter notes.
        std::vector<std::pair<double, double>> ornaments;
        const double dStep = 1.0 / AfxReadSongSettings(doc.m_strComments).m_nStepsPerQuarter;
        CStaffMusic music;
        CNoteReader reader(AfxReadSongSettings(doc.m_strComments));
        double dStaffStart = 0;
        for (int s = 0; s < doc.m_nStaffs; ++s) {
            reader.ReadStaff(*doc.m_ppStaffs[static_cast<std::size_t>(s)], music);
            for (const CTabNote& note : music.m_notes) {
                const double dOn = dStaffStart + note.m_nStep * dStep;
                if ((note.m_fTech & kTechSlideStart) && note.m_nLinkTo >= 0)
                    ornaments.emplace_back(dOn, dStaffStart + music.m_notes[static_cast<std::size_t>(note.m_nLinkTo)].m_nStep * dStep);
                if (note.m_fTech & kTechTrill)
                    ornaments.emplace_back(dOn, dOn + note.m_nSteps * dStep);
            }
            dStaffStart += music.m_nSteps * dStep;
        }
        auto notesOf = [&](const std::filesystem::path& path) {
            int nToolCode = -1;
            const std::string out = RunTool("midi_notes.py", path, &nToolCode);
            EXPECT_EQ(nToolCode, 0) << out;
            std::vector<std::string> kept;
            for (const std::string& line : LinesWith(out, "")) {
                if (line.rfind("type ", 0) == 0)
                    continue;
                int a = 0, b = 1;
                if (std::sscanf(line.c_str(), "%d/%d", &a, &b) < 1)
                    continue;
                const double dOn = static_cast<double>(a) / b;
                const bool bInside = std::any_of(ornaments.begin(), ornaments.end(), [&](const auto& window) {
                    return dOn > window.first + 1e-9 && dOn < window.second - 1e-9;
                });
                if (!bInside)
                    kept.push_back(line.substr(0, line.rfind(' ')));
            }
            return kept;
        };
        const std::vector<std::string> ourNotes = notesOf(ours);
        EXPECT_FALSE(ourNotes.empty());
        EXPECT_EQ(notesOf(theirs), ourNotes) << "song " << n;
    }
}
