// The note model: pitches, times, measures, techniques and the settings lines.
#include <gtest/gtest.h>

#include "core/interop/InteropTestSupport.h"
#include "interop/NoteModel.h"

namespace {

CStaffMusic Read(const std::vector<std::string>& strings, const std::string& text = "", const std::string& comments = "")
{
    CStaff staff;
    FillStaff(staff, strings, text);
    CStaffMusic music;
    CNoteReader(AfxReadSongSettings(comments)).ReadStaff(staff, music);
    EXPECT_EQ(music.m_nSteps, CNoteReader::CountSteps(staff)) << "the cheap count disagrees with the reading";
    return music;
}

// The notes of one string row alone.
CStaffMusic ReadRow0(const std::string& row, const std::string& comments = "") { return Read({row}, "", comments); }

} // namespace

TEST(NoteModel, OpenStringsAndFretsGiveStandardTuningPitches)
{
    const CStaffMusic music = Read({"0---", "0---", "0---", "0---", "0---", "3-12"});
    ASSERT_EQ(music.m_notes.size(), 7u);
    const int expected[] = {64, 59, 55, 50, 45, 43};
    for (int r = 0; r < 6; ++r) {
        EXPECT_EQ(music.m_notes[static_cast<std::size_t>(r)].m_nRow, r);
        EXPECT_EQ(music.m_notes[static_cast<std::size_t>(r)].m_nPitch, expected[r]) << "row " << r;
    }
    // A two-digit number is one note, at its first digit's column.
    const CTabNote& twelve = music.m_notes[6];
    EXPECT_EQ(twelve.m_nFret, 12);
    EXPECT_EQ(twelve.m_nPitch, 52);
    EXPECT_EQ(twelve.m_nColumn, 3);
    EXPECT_EQ(twelve.m_nStep, 2);
    EXPECT_EQ(twelve.m_nSteps, 2) << "lasts to the end of the staff's music";
}

TEST(NoteModel, ColumnsAreStepsBarLinesAreMeasureEndsAndTrailingFillerTakesNoTime)
{
    //            step: 0123 45678
    const CStaffMusic music = Read({"--3-|-5-7-------", "----|----", "----|----"});
    // 8 steps up to the 7; the bar column takes none; the dashes after the 7 take none.
    EXPECT_EQ(music.m_nSteps, 8);
    ASSERT_EQ(music.m_measures.size(), 2u);
    EXPECT_EQ(music.m_measures[0].m_nFirstStep, 0);
    EXPECT_EQ(music.m_measures[0].m_nSteps, 4);
    EXPECT_TRUE(music.m_measures[0].m_bBarAtEnd);
    EXPECT_EQ(music.m_measures[1].m_nFirstStep, 4);
    EXPECT_EQ(music.m_measures[1].m_nSteps, 4);
    EXPECT_FALSE(music.m_measures[1].m_bBarAtEnd);

    ASSERT_EQ(music.m_notes.size(), 3u);
    // The 3 starts after a two-step rest and lasts to the bar line, not across it.
    EXPECT_EQ(music.m_notes[0].m_nStep, 2);
    EXPECT_EQ(music.m_notes[0].m_nSteps, 2);
    EXPECT_EQ(music.m_notes[1].m_nStep, 5);
    EXPECT_EQ(music.m_notes[1].m_nSteps, 2) << "until the next note column";
    EXPECT_EQ(music.m_notes[2].m_nStep, 7);
    EXPECT_EQ(music.m_notes[2].m_nSteps, 1);
}

TEST(NoteModel, DoubleBarsLeadingBarsAndEmptyStaffsMakeNoEmptyMeasures)
{
    const CStaffMusic bars = Read({"|-0-||-2-|", "|---||---|"});
    ASSERT_EQ(bars.m_measures.size(), 2u);
    EXPECT_EQ(bars.m_nSteps, 6);
    EXPECT_TRUE(bars.m_measures[1].m_bBarAtEnd);

    const CStaffMusic empty = Read({});
    EXPECT_EQ(empty.m_nSteps, 0);
    EXPECT_TRUE(empty.m_measures.empty());
    EXPECT_TRUE(empty.m_notes.empty());
}

TEST(NoteModel, ChordNotesShareAStepAndComeInRowOrder)
{
    const CStaffMusic music = Read({"--0", "--1", "--0", "--2", "--3", "---"});
    ASSERT_EQ(music.m_notes.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(music.m_notes[i].m_nStep, 2);
        EXPECT_EQ(music.m_notes[i].m_nRow, static_cast<int>(i));
    }
    EXPECT_EQ(music.m_notes[4].m_nPitch, 48) << "C3 on the A string";
}

TEST(NoteModel, LinkedTechniquesJoinNotesOfOneString)
{
    const CStaffMusic music = Read({"5h7p5--3/5\\3", "----0-"});
    ASSERT_EQ(music.m_notes.size(), 7u);
    // Sorted by step, then row: 5(0) 7(2) 5(4) 0 on row 1 (4) 3(7) 5(9) 3(11).
    const CTabNote& n5 = music.m_notes[0];
    EXPECT_TRUE(n5.m_fTech & kTechHammerStart);
    ASSERT_EQ(n5.m_nLinkTo, 1);
    const CTabNote& n7 = music.m_notes[1];
    EXPECT_TRUE(n7.m_fTech & kTechHammerStop);
    EXPECT_TRUE(n7.m_fTech & kTechPullStart);
    ASSERT_EQ(n7.m_nLinkTo, 2) << "link indices follow the sort";
    EXPECT_EQ(music.m_notes[2].m_nFret, 5);
    EXPECT_TRUE(music.m_notes[2].m_fTech & kTechPullStop);
    EXPECT_EQ(music.m_notes[3].m_nRow, 1);
    EXPECT_EQ(music.m_notes[3].m_nLinkTo, -1);
    EXPECT_TRUE(music.m_notes[4].m_fTech & kTechSlideStart);
    EXPECT_EQ(music.m_notes[4].m_nLinkTo, 5);
    EXPECT_TRUE(music.m_notes[5].m_fTech & kTechSlideStop);
    EXPECT_TRUE(music.m_notes[5].m_fTech & kTechSlideStart);
    EXPECT_TRUE(music.m_notes[6].m_fTech & kTechSlideStop);

    // Nothing reaches across a bar line; a slide with nothing on one side slides in or out.
    const CStaffMusic cut = ReadRow0("5h|7--/9--9\\");
    ASSERT_EQ(cut.m_notes.size(), 4u);
    EXPECT_EQ(cut.m_notes[0].m_fTech, 0u);
    EXPECT_EQ(cut.m_notes[1].m_fTech & kTechHammerStop, 0u);
    EXPECT_TRUE(cut.m_notes[1].m_fTech & kTechSlideStart) << "7--/9 is a slide from the 7";
    EXPECT_EQ(cut.m_notes[3].m_fTech, kTechSlideOutDown);
    EXPECT_TRUE(ReadRow0("-/5").m_notes[0].m_fTech & kTechSlideInBelow);
    EXPECT_TRUE(ReadRow0("-\\5").m_notes[0].m_fTech & kTechSlideInAbove);
}

TEST(NoteModel, MarksAfterANoteShapeItWithoutAddingNotes)
{
    struct Case {
        const char* row;
        std::uint32_t fTech;
        int nBend, nRelease, nTrill;
    } cases[] = {
        {"7b9", kTechBend, 2, 0, 0},
        {"7b", kTechBend, 2, 0, 0},
        {"7b8r7", kTechBend | kTechRelease, 1, 0, 0},
        {"5b9r7", kTechBend | kTechRelease, 4, 2, 0},
        {"7v", kTechVibrato, 0, 0, 0},
        {"7~~~", kTechVibrato, 0, 0, 0},
        {"8*10", kTechTrill, 0, 0, 10},
        {"t12", kTechTap, 0, 0, 0},
        {"(7)", kTechGhost, 0, 0, 0},
        {"<12>", kTechHarmonic, 0, 0, 0},
        {"12^", kTechHarmonic, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const CStaffMusic music = ReadRow0(c.row);
        ASSERT_EQ(music.m_notes.size(), 1u) << c.row;
        const CTabNote& note = music.m_notes[0];
        EXPECT_EQ(note.m_fTech, c.fTech) << c.row;
        EXPECT_EQ(note.m_nBend, c.nBend) << c.row;
        EXPECT_EQ(note.m_nRelease, c.nRelease) << c.row;
        EXPECT_EQ(note.m_nTrillFret, c.nTrill) << c.row;
    }
    // A mark must touch its note: "7-b9" is a 7 and a 9.
    EXPECT_EQ(ReadRow0("7-b9").m_notes.size(), 2u);
    EXPECT_EQ(ReadRow0("7-b9").m_notes[0].m_fTech, 0u);
}

TEST(NoteModel, HarmonicsDeadNotesAndCapoSoundTheirOwnPitches)
{
    EXPECT_EQ(ReadRow0("12^").m_notes[0].m_nPitch, 76);
    EXPECT_EQ(ReadRow0("7^").m_notes[0].m_nPitch, 64 + 19);
    EXPECT_EQ(ReadRow0("<5>").m_notes[0].m_nPitch, 64 + 24);
    const CStaffMusic dead = Read({"-", "-", "-", "-", "-", "x"}, "", "Capo: 2");
    ASSERT_EQ(dead.m_notes.size(), 1u);
    EXPECT_EQ(dead.m_notes[0].m_nFret, -1);
    EXPECT_TRUE(dead.m_notes[0].m_fTech & kTechDead);
    EXPECT_EQ(dead.m_notes[0].m_nPitch, 42) << "the open string, with the capo";
    EXPECT_EQ(ReadRow0("3", "Capo: 2").m_notes[0].m_nPitch, 69);
}

TEST(NoteModel, TextRowWordsStandOverTheirSteps)
{
    const CStaffMusic music = Read({"0---|--3-", "-"}, "Am  Dm/F     far beyond");
    ASSERT_EQ(music.m_texts.size(), 4u);
    EXPECT_EQ(music.m_texts[0].m_strText, "Am");
    EXPECT_EQ(music.m_texts[0].m_nStep, 0);
    EXPECT_EQ(music.m_texts[1].m_strText, "Dm/F");
    EXPECT_EQ(music.m_texts[1].m_nColumn, 5);
    EXPECT_EQ(music.m_texts[1].m_nStep, 4) << "over a bar line: the step after it";
    EXPECT_EQ(music.m_texts[2].m_nStep, music.m_nSteps - 1) << "past the music: its last step";
}

TEST(SongSettings, TuningLinesInTheFormsPeopleWrite)
{
    struct Case {
        const char* line;
        std::array<int, 6> tuning;   // by row
        int nStrings;
    } cases[] = {
        {"Tuning: E A D G B E", {64, 59, 55, 50, 45, 40}, 6},
        {"Tuning: D A D G B E", {64, 59, 55, 50, 45, 38}, 6},
        {"tuning:DADGAD", {62, 57, 55, 50, 45, 38}, 6},
        {"  Tuning: Eb Ab Db Gb Bb Eb", {63, 58, 54, 49, 44, 39}, 6},
        {"Tuning: E2 A2 D3 G3 B3 E4", {64, 59, 55, 50, 45, 40}, 6},
        {"Tuning: C# F# B E G# C# (down a tone and a half)", {61, 56, 52, 47, 42, 37}, 6},
        {"Tuning: E-A-D-G-B-e", {64, 59, 55, 50, 45, 40}, 6},
        {"Tuning: Drop D", {64, 59, 55, 50, 45, 38}, 6},
        {"Tuning: standard", {64, 59, 55, 50, 45, 40}, 6},
        {"Tuning: E A D G", {43, 38, 33, 28, 45, 40}, 4},
        {"Tuning: B E A D G", {43, 38, 33, 28, 23, 40}, 5},
        {"Bass, 4 strings (G D A E, top to bottom): the top rows of the staffs.", {43, 38, 33, 28, 45, 40}, 4},
        {"Bass, 5 strings (G D A E B, top to bottom): the top rows of the staffs.", {43, 38, 33, 28, 23, 40}, 5},
    };
    for (const Case& c : cases) {
        const CSongSettings settings = AfxReadSongSettings(std::string("Some remark\r\n") + c.line + "\r\nMore");
        EXPECT_EQ(settings.m_tuning, c.tuning) << c.line;
        EXPECT_EQ(settings.m_nStrings, c.nStrings) << c.line;
        EXPECT_TRUE(settings.m_unreadLines.empty()) << c.line;
    }
    // Fret 2 on the low string of drop D is E2 again.
    EXPECT_EQ(Read({"-", "-", "-", "-", "-", "2"}, "", "Tuning: D A D G B E").m_notes[0].m_nPitch, 40);
}

TEST(SongSettings, CapoTempoAndStepLinesAndWhatIsNotASetting)
{
    const CSongSettings settings = AfxReadSongSettings("Capo: 3\r\nTempo: 96 bpm\nStep: 1/8\r");
    EXPECT_EQ(settings.m_nCapo, 3);
    EXPECT_EQ(settings.m_nTempo, 96);
    EXPECT_EQ(settings.m_nStepsPerQuarter, 2);
    EXPECT_TRUE(settings.m_unreadLines.empty());

    EXPECT_EQ(AfxReadSongSettings("Capo 2nd fret").m_nCapo, 2);
    EXPECT_EQ(AfxReadSongSettings("TEMPO = 140").m_nTempo, 140);
    EXPECT_EQ(AfxReadSongSettings("Capo: 2\r\nCapo: none").m_nCapo, 0) << "the last line wins";

    const CSongSettings defaults = AfxReadSongSettings(
        "Tuning is up to you\r\nCapos are great\r\nTempos vary\r\nTitle: Tempo: 90 in a remark");
    EXPECT_EQ(defaults.m_nTempo, 120);
    EXPECT_EQ(defaults.m_nCapo, 0);
    EXPECT_EQ(defaults.m_tuning, CSongSettings::kStandardTuning);
    EXPECT_TRUE(defaults.m_unreadLines.empty()) << "sentences are not settings";

    const CSongSettings bad = AfxReadSongSettings("Tuning: half step down\r\nTempo: 5\r\nCapo: 40\r\nStep: 1/3");
    EXPECT_EQ(bad.m_tuning, CSongSettings::kStandardTuning);
    EXPECT_EQ(bad.m_nTempo, 120);
    EXPECT_EQ(bad.m_nCapo, 0);
    EXPECT_EQ(bad.m_nStepsPerQuarter, 4);
    ASSERT_EQ(bad.m_unreadLines.size(), 4u);
    EXPECT_EQ(bad.m_unreadLines[0], "Tuning: half step down");
}
