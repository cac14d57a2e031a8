// fretly --play --to OUT.wav, heard by a real onset and pitch detector (aubio).
//
// Times: a note at column c of the first staff begins (c - 1) steps in; aubio must hear
// each onset within 40 ms of that (its analysis hop is 6 ms; it hears FluidSynth's
// attacks 5-15 ms late) and hear no other.
// Pitches: the median of aubiopitch's yinfft estimates from 80 to 350 ms after a note's
// onset, rounded to a key (later in a note the detector drifts to the octave as the
// fundamental fades). WholeFretboardIsHeardAtItsPitches shows how far that is exact:
// every key from E2 (40) to C#6 (85); above, this guitar's tone is heard an octave low,
// so there only the pitch class is checked. A chord has no one pitch: its pitch classes
// are measured instead.
#include <gtest/gtest.h>

#include "e2e/PlaySupport.h"

using namespace play;

namespace {

class PlayListening : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string missing = MissingForListening();
        if (!missing.empty())
            GTEST_SKIP() << missing;
        ASSERT_TRUE(m_dir.IsValid());
    }

    // Renders the song; the WAV file's path.
    std::filesystem::path Render(const CSong& song, const std::string& options = "")
    {
        const std::string name = "song" + std::to_string(++m_nSongs);
        const auto tab = m_dir.path / (name + ".tab");
        const auto wav = m_dir.path / (name + ".wav");
        EXPECT_TRUE(SaveSong(tab, song));
        int code = -1;
        const std::string out = e2e::Shell(e2e::Quote(e2e::FretlyExe()) + " --play " + e2e::Quote(tab.string()) +
                                               " --to " + e2e::Quote(wav.string()) + " " + options,
                                           &code, 120);
        EXPECT_EQ(code, 0) << out;
        EXPECT_EQ(out, "") << "nothing on a standard error that is no terminal";
        return wav;
    }

    CScratchDir m_dir{"fretly-listen"};
    int m_nSongs = 0;
};

// One note on each string, low to high, four columns apart.
CSong OpenStringRun()
{
    CSong song;
    for (int i = 0; i < 6; ++i)
        song.notes.push_back({0, 5 - i, 1 + 4 * i, "0"});
    return song;
}

std::vector<double> Times(std::initializer_list<int> steps, double dStep = kStep)
{
    std::vector<double> out;
    for (int step : steps)
        out.push_back(step * dStep);
    return out;
}

} // namespace

TEST_F(PlayListening, OpenStringRunSoundsEachStringInTurn)
{
    const auto wav = Render(OpenStringRun());
    EXPECT_TRUE(OnsetsMatch(Onsets(wav), Times({0, 4, 8, 12, 16, 20}), 0.04));
    const CPitchTrack pitches = Pitches(wav);
    const int expected[] = {40, 45, 50, 55, 59, 64};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(PitchOfNoteAt(pitches, i * 0.5), expected[i]) << "string " << 6 - i;

    const CWav sound = ReadWav(wav);
    EXPECT_EQ(sound.nRate, 44100);
    EXPECT_EQ(sound.nChannels, 2);
    EXPECT_EQ(sound.nBits, 16);
}

TEST_F(PlayListening, WholeFretboardIsHeardAtItsPitches)
{
    // The low E string chromatically from fret 0 to 24, then the high e the same way:
    // one staff of thirteen frets each, five columns apart.
    CSong song;
    song.nStaffs = 4;
    std::vector<int> keys;
    for (int s = 0; s < 4; ++s) {
        const int nRow = s < 2 ? 5 : 0;
        for (int k = 0; k < 13; ++k) {
            const int nFret = (s % 2) * 12 + k;
            if (s % 2 == 1 && k == 0)
                continue;   // fret 12 ended the staff before
            song.notes.push_back({s, nRow, 1 + 5 * k, std::to_string(nFret)});
            keys.push_back((nRow == 5 ? 40 : 64) + nFret);
        }
    }
    const auto wav = Render(song);
    const std::vector<double> onsets = Onsets(wav);
    ASSERT_EQ(onsets.size(), keys.size()) << "one onset a note, two-digit frets included";
    const CPitchTrack pitches = Pitches(wav);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const int heard = PitchOfNoteAt(pitches, onsets[i]);
        if (keys[i] <= 85)
            EXPECT_EQ(heard, keys[i]) << "note " << i;
        else
            EXPECT_EQ(heard % 12, keys[i] % 12) << "note " << i << ": key " << keys[i] << ", heard " << heard;
    }
}

TEST_F(PlayListening, ChordSoundsAllItsStringsAtOnce)
{
    // E major (0 2 2 1 0 0 from the low string), then a lone high e.
    CSong song;
    const char* frets[] = {"0", "0", "1", "2", "2", "0"};   // rows 0-5
    for (int r = 0; r < 6; ++r)
        song.notes.push_back({0, r, 1, frets[r]});
    song.notes.push_back({0, 0, 17, "0"});
    const auto wav = Render(song);
    EXPECT_TRUE(OnsetsMatch(Onsets(wav), Times({0, 16}), 0.04)) << "six strings struck together are one onset";
    EXPECT_EQ(PitchOfNoteAt(Pitches(wav), 0) % 12, 4) << "the chord's bass, E";

    // The chord's pitch classes E, G# and B hold most of its energy.
    const std::vector<double> energy = PitchClassEnergy(ReadWav(wav), 0.2, 1.2);
    double chord = energy[4] + energy[8] + energy[11];
    double rest = 0;
    for (int pc = 0; pc < 12; ++pc)
        rest += (pc == 4 || pc == 8 || pc == 11) ? 0 : energy[static_cast<std::size_t>(pc)];
    EXPECT_GT(chord, 10 * rest);
    EXPECT_GT(energy[8], energy[1] + energy[3] + energy[6]) << "G# (from the G string's first fret) is there";
}

TEST_F(PlayListening, TwoDigitFretIsOneNote)
{
    CSong song;
    song.notes = {{0, 0, 1, "12"}, {0, 1, 9, "15"}, {0, 3, 17, "10"}};
    const auto wav = Render(song);
    EXPECT_TRUE(OnsetsMatch(Onsets(wav), Times({0, 8, 16}), 0.04)) << "not 1 then 2";
    const CPitchTrack pitches = Pitches(wav);
    EXPECT_EQ(PitchOfNoteAt(pitches, 0), 76);
    EXPECT_EQ(PitchOfNoteAt(pitches, 1), 74);
    EXPECT_EQ(PitchOfNoteAt(pitches, 2), 60);
}

TEST_F(PlayListening, TuningAndCapoLinesMoveThePitches)
{
    CSong song;
    song.notes = {{0, 5, 1, "0"}, {0, 4, 9, "0"}, {0, 0, 17, "2"}};
    song.comments = "Drop D, capo on the 2nd fret\r\nTuning: D A D G B E\r\nCapo: 2";
    const CPitchTrack pitches = Pitches(Render(song));
    EXPECT_EQ(PitchOfNoteAt(pitches, 0), 38 + 2) << "the low string tuned to D, then the capo";
    EXPECT_EQ(PitchOfNoteAt(pitches, 1), 45 + 2);
    EXPECT_EQ(PitchOfNoteAt(pitches, 2), 66 + 2);
}

TEST_F(PlayListening, EmptyColumnsAreSilence)
{
    // A note, a bar line that ends it, 36 empty columns, a note.
    CSong song;
    song.notes = {{0, 2, 1, "2"}, {0, 2, 40, "2"}};
    song.barLines = {{0, 3}};
    const auto wav = Render(song);
    // Columns 1-2 are steps 0-1, the bar line takes no time, column 40 is step 38.
    EXPECT_TRUE(OnsetsMatch(Onsets(wav), Times({0, 38}), 0.04));
    const CWav sound = ReadWav(wav);
    EXPECT_GT(LevelDb(sound, 0.05, 0.2), -40) << "the first note sounds";
    // Let go at 0.25 s, the string and the reverb die away by some 18 dB a second.
    EXPECT_LT(LevelDb(sound, 3.0, 4.7), -70) << "the empty columns are silent";
    EXPECT_GT(LevelDb(sound, 38 * kStep + 0.05, 38 * kStep + 0.2), -40) << "the last note sounds";

    // Without the bar line the first note is held to the second: the bar line let it go.
    song.barLines.clear();
    const CWav held = ReadWav(Render(song));
    EXPECT_GT(LevelDb(held, 1.0, 1.5), LevelDb(sound, 1.0, 1.5) + 6);
}

TEST_F(PlayListening, TempoScalesTheTimes)
{
    const CSong run = OpenStringRun();
    EXPECT_TRUE(OnsetsMatch(Onsets(Render(run, "--tempo 60")), Times({0, 4, 8, 12, 16, 20}, 2 * kStep), 0.05));
    CSong fast = run;
    fast.comments = "Tempo: 240";
    EXPECT_TRUE(OnsetsMatch(Onsets(Render(fast)), Times({0, 4, 8, 12, 16, 20}, kStep / 2), 0.04));
    EXPECT_TRUE(OnsetsMatch(Onsets(Render(fast, "--tempo=60")), Times({0, 4, 8, 12, 16, 20}, 2 * kStep), 0.05))
        << "--tempo overrides the song's Tempo: line";
}

TEST_F(PlayListening, FromStartsAtThatStaff)
{
    CSong song;
    song.nStaffs = 3;
    song.notes = {{0, 5, 1, "0"}, {1, 0, 1, "5"}, {1, 0, 9, "7"}, {1, 2, 17, "0"}, {2, 4, 1, "3"}};
    const auto wav = Render(song, "--from 2");
    // Staff 2 begins at once and lasts to its last note's column (17 steps); staff 3 follows.
    EXPECT_TRUE(OnsetsMatch(Onsets(wav), Times({0, 8, 16, 17}), 0.04));
    const CPitchTrack pitches = Pitches(wav);
    EXPECT_EQ(PitchOfNoteAt(pitches, 0), 69) << "not staff 1's low E";
    EXPECT_EQ(PitchOfNoteAt(pitches, 1), 71);
    EXPECT_EQ(PitchOfNoteAt(pitches, 17 * kStep), 48);
}

TEST_F(PlayListening, WhatIsHeardIsWhatTheMidiExportSays)
{
    if (!e2e::HaveProgram("fluidsynth"))
        GTEST_SKIP() << "fluidsynth is not installed (Debian package fluidsynth)";
    // Techniques and a chord: hammer-on, pull-off, slide, bend and release, a dead note.
    CSong song;
    song.notes = {{0, 1, 1, "5h7"}, {0, 1, 9, "7p5"}, {0, 2, 17, "4/6"}, {0, 0, 25, "7b9r7"},
                  {0, 3, 33, "x"},  {0, 5, 37, "3"},  {0, 4, 37, "2"},  {0, 3, 37, "0"}};
    const auto ours = Render(song);
    const auto tab = m_dir.path / ("song" + std::to_string(m_nSongs) + ".tab");
    const auto mid = m_dir.path / "song.mid";
    const auto theirs = m_dir.path / "fluidsynth.wav";
    int code = -1;
    const std::string exported = e2e::Shell(e2e::Quote(e2e::FretlyExe()) + " --export " + e2e::Quote(tab.string()) +
                                                " " + e2e::Quote(mid.string()),
                                            &code);
    ASSERT_EQ(code, 0) << exported;
    // FluidSynth's own player, at our sample rate and gain, with the same soundfont.
    const std::string rendered = e2e::Shell("fluidsynth -ni -g 0.5 -r 44100 -F " + e2e::Quote(theirs.string()) + " " +
                                                e2e::Quote(SystemSoundFont()) + " " + e2e::Quote(mid.string()),
                                            &code);
    ASSERT_EQ(code, 0) << rendered;

    const std::vector<double> expected = Onsets(theirs);
    ASSERT_GE(expected.size(), 5u) << "FluidSynth played the exported file";
    EXPECT_TRUE(OnsetsMatch(Onsets(ours), expected, 0.03));
    const CPitchTrack ourPitches = Pitches(ours), theirPitches = Pitches(theirs);
    for (double t : expected)
        EXPECT_EQ(PitchOfNoteAt(ourPitches, t), PitchOfNoteAt(theirPitches, t)) << "the note at " << t << " s";
}
