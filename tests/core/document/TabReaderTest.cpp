#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TabTestSupport.h"
#include "framework/View.h"
#include "support/ScriptedUserInterface.h"

namespace {

const std::string kDashes(78, '-');
const std::string kBlanks(78, ' ');

// The eight lines of one staff as the writer makes them.
std::vector<std::string> StaffLines(char mark)
{
    std::vector<std::string> lines;
    for (int r = 0; r < STRING_ROWS; ++r)
        lines.push_back("-" + std::string(1, mark) + std::string(76, '-'));
    lines.push_back(std::string(1, mark) + std::string(77, ' '));
    lines.push_back("");
    return lines;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class TabReader : public ::testing::Test {
protected:
    // Reads text into a document that has had its start-up header dialog call.
    void Read(const std::string& text) { LoadTab(doc, text); }

    ScriptedUserInterface ui;
    CStartedDoc doc;
};

} // namespace

TEST_F(TabReader, ValidFileUpdatesTheViewsAndShowsTheHeaderDialog)
{
    CCountingView view;
    doc.AddView(&view);
    Read(Lines(Banner() + std::vector<std::string>{"Title: T"} + StaffLines('1')));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(view.m_nUpdates, 1);
    EXPECT_EQ(ui.dialogs, std::vector<UINT>{IDD_FILEINFO});
    EXPECT_EQ(ui.lastControls.texts.at(IDC_SONGTITLE), "T");
    doc.RemoveView(&view);
}

TEST_F(TabReader, MissingBannerGivesTheMessageAndANewDocument)
{
    doc.m_bFairUse = false;
    Read(Lines(std::vector<std::string>{"Title: Lost", "some comment"} + StaffLines('1') + StaffLines('2')));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "This is not a valid Fretly file!\nMake sure you did not remove the\n\"Created with Fretly\" header line.");
    EXPECT_EQ(ui.messages[0].caption, "Fretly");
    EXPECT_EQ(ui.messages[0].nType, MB_ICONEXCLAMATION | MB_OK);
    EXPECT_EQ(doc.m_nStaffs, 1);
    EXPECT_EQ(doc.m_ppStaffs[0]->GetLastUsedColumn(), 0);
    EXPECT_TRUE(doc.m_strSongTitle.empty());
    EXPECT_TRUE(doc.m_strComments.empty());
    EXPECT_TRUE(doc.m_bFairUse);
    EXPECT_EQ(ui.dialogs, std::vector<UINT>{IDD_FILEINFO});   // the new document's dialog
    EXPECT_TRUE(ui.lastControls.texts.at(IDC_SONGTITLE).empty());
}

TEST_F(TabReader, RecognitionCountsOnlyInHashLinesButAnywhereInTheFile)
{
    Read(Lines({"File created with Fretly"}));
    EXPECT_EQ(ui.messages.size(), 1u);

    ui.messages.clear();
    Read(Lines(StaffLines('1') + std::vector<std::string>{"# trailer: File created with Fretly, really"}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(Row(doc, 0, 0)[1], '1');
    EXPECT_TRUE(doc.m_strComments.empty());

    Read("");
    EXPECT_EQ(ui.messages.size(), 1u);   // an empty archive is not a Fretly file
}

TEST_F(TabReader, HeaderLabelsAreFoundAnywhereAndSkipAFixedPrefix)
{
    Read(Lines(Banner() + std::vector<std::string>{
                              "Author/Artist: The Band",
                              "Title: The Song",
                              "Album: The Album",
                              "Transcribed by: Me",
                              "Email: me@example.org",
                              "x Title: shifted",            // label not at the start: fixed skip of 7
                              "Title:NoBlank",               // loses its first character
                              "Album:",                      // 7 characters or fewer: empty
                              "Author/Artist: A Title: B",   // only the artist
                          }));
    EXPECT_EQ(doc.m_strArtist, "A Title: B");
    EXPECT_EQ(doc.m_strSongTitle, "oBlank");
    EXPECT_EQ(doc.m_strAlbum, "");
    EXPECT_EQ(doc.m_strTranscriber, "Me");
    EXPECT_EQ(doc.m_strEmail, "me@example.org");
    EXPECT_TRUE(doc.m_strComments.empty());
}

TEST_F(TabReader, LabelOrderQuirkMovesATitleHoldingAlbumIntoTheAlbum)
{
    // The line an older writer made for this title (Fretly now writes "Album :").
    Read(Lines(Banner() + std::vector<std::string>{"Title: Live Album: Part 1"}));
    EXPECT_EQ(doc.m_strAlbum, "Live Album: Part 1");
    EXPECT_EQ(doc.m_strSongTitle, "");

    Read(Lines(Banner() + std::vector<std::string>{"Title: x", "Email: a Transcribed by: b"}));
    EXPECT_EQ(doc.m_strSongTitle, "x");
    EXPECT_EQ(doc.m_strTranscriber, "ibed by: b");   // the line minus its first 16 characters
    EXPECT_EQ(doc.m_strEmail, "");
}

TEST_F(TabReader, LongHeaderAndCommentLinesAreSplitAtEightyCharacters)
{
    const std::string title(100, 't');
    const std::string comment80(80, 'c');
    const std::string comment170 = std::string(80, 'a') + std::string(80, 'b') + "tail";
    Read(Lines(Banner() + std::vector<std::string>{"Title: " + title, comment80, comment170} + StaffLines('1')));
    EXPECT_EQ(doc.m_strSongTitle, std::string(73, 't'));
    // Only a piece of exactly 80 characters followed by its line end brings an empty line.
    EXPECT_EQ(doc.m_strComments, std::string(27, 't') + "\r\n" + comment80 + "\r\n\r\n" + std::string(80, 'a') +
                                     "\r\n" + std::string(80, 'b') + "\r\ntail\r\n");
}

TEST_F(TabReader, CommentsDropLeadingEmptyLinesAndKeepLaterOnes)
{
    Read(Lines(Banner() + std::vector<std::string>{"", "", "first", "", "", "second", ""} + StaffLines('1')));
    // The empty line before the staffs is taken off again.
    EXPECT_EQ(doc.m_strComments, "first\r\n\r\n\r\nsecond\r\n");
}

TEST_F(TabReader, FirstStaffTrimmingNeedsTheSeparatingEmptyLine)
{
    // No empty line between comments and the first staff: nothing is cut, so a comment
    // after the staffs is not joined onto the last comment line.
    Read(Lines(Banner() + std::vector<std::string>{"abc", "e|--3--"} + StaffLines('1') +
               std::vector<std::string>{"after"}));
    EXPECT_EQ(doc.m_strComments, "abc\r\ne|--3--\r\nafter\r\n");

    // Short comments are never trimmed.
    Read(Lines(Banner() + std::vector<std::string>{"a"} + StaffLines('1')));
    EXPECT_EQ(doc.m_strComments, "a\r\n");
}

TEST_F(TabReader, StaffLinesThatDoNotBeginWithADashAreComments)
{
    std::vector<std::string> named = {"e|---0---|", "B|---1---|", "G|---0---|",
                                      "D|---2---|", "A|---3---|", "E|-------|"};
    Read(Lines(Banner() + named));
    EXPECT_EQ(doc.m_nStaffs, 1);
    EXPECT_EQ(doc.m_ppStaffs[0]->GetLastUsedColumn(), 0);
    EXPECT_EQ(doc.m_strComments.substr(0, 12), "e|---0---|\r\n");
}

TEST_F(TabReader, RowsAreSanitisedByPosition)
{
    std::vector<std::string> block = {
        "- \tx-",                    // row 0 keeps blanks and tabs
        "- \t\v\f1-",                // row 1: white space becomes '-'
        "-\x01\x7f" "2-",            // row 2: controls and DEL become '-'
        "#3 Title: -",               // row 3: taken by position, no rule applies
        "-\xe9\xff" "4",             // row 4: high bytes are not printable in a staff
        "-5",
        "Am\t\x02 G\xc3\xa9",        // text row: non-printables become blanks
        "this line is skipped",
    };
    Read(Lines(Banner() + block));
    EXPECT_EQ(Row(doc, 0, 0), Padded("- \tx-", '-'));
    EXPECT_EQ(Row(doc, 0, 1), Padded("-----1-", '-'));
    EXPECT_EQ(Row(doc, 0, 2), Padded("---2-", '-'));
    EXPECT_EQ(Row(doc, 0, 3), Padded("#3-Title:-", '-'));
    EXPECT_EQ(Row(doc, 0, 4), Padded("---4", '-'));
    EXPECT_EQ(Row(doc, 0, 6), Padded("Am   G  ", ' '));
    EXPECT_TRUE(doc.m_strSongTitle.empty());
    EXPECT_TRUE(doc.m_strComments.empty());
    EXPECT_EQ(doc.m_nStaffs, 1);
}

TEST_F(TabReader, NulNeverShortensARowAndHighBytesStayInText)
{
    std::string nulRow0 = std::string("-1") + '\0' + "3-";
    std::string nulRow1 = std::string("-") + '\0' + "5";
    std::string nulText = std::string("C") + '\0' + "D";
    std::string artist = std::string("Bj\xc3\xb6rk ") + '\0' + "x";
    Read(Lines(Banner() + std::vector<std::string>{"Author/Artist: " + artist, "Caf\xe9 notes", "", nulRow0,
                                                   nulRow1, "-", "-", "-", "-", nulText, ""}));
    EXPECT_EQ(Row(doc, 0, 0), Padded("-1-3-", '-'));
    EXPECT_EQ(Row(doc, 0, 1), Padded("--5", '-'));
    EXPECT_EQ(Row(doc, 0, 6), Padded("C D", ' '));
    for (int r = 0; r < STAFF_ROWS; ++r)
        EXPECT_EQ(doc.m_ppStaffs[0]->m_rows[r][78], '\0');
    EXPECT_EQ(doc.m_strArtist, artist);
    EXPECT_EQ(doc.m_strComments, "Caf\xe9 notes\r\n");
}

TEST_F(TabReader, HighBytesInTheFirstRowAreKeptAsRead)
{
    Read(Lines(Banner() + std::vector<std::string>{"-\xe9-"}));
    EXPECT_EQ(Row(doc, 0, 0), Padded("-\xe9-", '-'));
}

TEST_F(TabReader, ShortAndLongStaffLinesKeepSeventyEightColumns)
{
    const std::string long79 = "-" + std::string(76, '1') + "78";   // 79 characters
    const std::string long80 = "-" + std::string(76, '2') + "789";  // 80: an empty line follows
    Read(Lines(Banner() + std::vector<std::string>{long79, "-3", long80, "-4", "-5", "-6", "text", "", "-x"}));
    EXPECT_EQ(Row(doc, 0, 0), long79.substr(0, 78));
    EXPECT_EQ(Row(doc, 0, 1), Padded("-3", '-'));
    EXPECT_EQ(Row(doc, 0, 2), long80.substr(0, 78));
    EXPECT_EQ(Row(doc, 0, 3), kDashes);              // the empty piece after 80 characters
    EXPECT_EQ(Row(doc, 0, 4), Padded("-4", '-'));
    EXPECT_EQ(Row(doc, 0, 5), Padded("-5", '-'));
    EXPECT_EQ(Row(doc, 0, 6), Padded("-6", ' '));
    // "text" was the line after the block and was skipped; the empty line is a comment.
    for (int r = 0; r < STAFF_ROWS; ++r)
        EXPECT_EQ(doc.m_ppStaffs[0]->m_rows[r][78], '\0') << r;
    ASSERT_EQ(doc.m_nStaffs, 2);
    EXPECT_EQ(Row(doc, 1, 0), Padded("-x", '-'));
}

TEST_F(TabReader, FourStringBassStaffsFillTheRowsByPosition)
{
    std::vector<std::string> file = Banner() + std::vector<std::string>{"-g--", "-d-5", "-a--", "-e3-", "Am", "",
                                                                          "-g-7", "-d--", "-a--", "-e--", "Dm", ""};
    Read(Lines(file));
    ASSERT_EQ(doc.m_nStaffs, 2);
    EXPECT_EQ(Row(doc, 0, 3), Padded("-e3-", '-'));
    EXPECT_EQ(Row(doc, 0, 4), Padded("Am", '-'));      // the text line fills a string row
    EXPECT_EQ(Row(doc, 0, 5), kDashes);               // the empty line
    EXPECT_EQ(Row(doc, 0, 6), Padded("-g-7", ' '));   // the next staff's first line
    // "-d--" is skipped; "-a--" starts the second block.
    EXPECT_EQ(Row(doc, 1, 0), Padded("-a--", '-'));
    EXPECT_EQ(Row(doc, 1, 1), Padded("-e--", '-'));
    EXPECT_EQ(Row(doc, 1, 2), Padded("Dm", '-'));
}

TEST_F(TabReader, CommentsBetweenStaffsJoinTheCommentBlock)
{
    Read(Lines(Banner() + std::vector<std::string>{"intro", ""} + StaffLines('1') +
               std::vector<std::string>{"verse two:", ""} + StaffLines('2') + std::vector<std::string>{"the end"}));
    ASSERT_EQ(doc.m_nStaffs, 2);
    EXPECT_EQ(Row(doc, 1, 0)[1], '2');
    EXPECT_EQ(doc.m_strComments, "intro\r\nverse two:\r\n\r\nthe end\r\n");
}

TEST_F(TabReader, StaffWithoutAnEmptyLineAfterItShiftsTheNextBlock)
{
    std::vector<std::string> first = StaffLines('1');
    first.pop_back();   // no empty line
    Read(Lines(Banner() + first + StaffLines('2')));
    // The second staff's first row was skipped; its second row starts a block.
    ASSERT_EQ(doc.m_nStaffs, 2);
    EXPECT_EQ(Row(doc, 1, 0), "-2" + std::string(76, '-'));
    EXPECT_EQ(Row(doc, 1, 5), Padded("2", '-'));   // the text row sanitised as a string row
    EXPECT_EQ(Row(doc, 1, 6), kBlanks);            // the empty line
}

TEST_F(TabReader, EndOfFileInsideABlockKeepsTheRowsRead)
{
    Read(Lines(Banner() + std::vector<std::string>{"-1", "-2", "-3"}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(Row(doc, 0, 2), Padded("-3", '-'));
    EXPECT_EQ(Row(doc, 0, 3), kDashes);
    EXPECT_EQ(Row(doc, 0, 6), kBlanks);

    // And a file that ends before its banner is seen is still rejected.
    Read(Lines({"-1", "-2"}));
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(TabReader, ReadingReplacesEverythingButTheFairUseFlag)
{
    for (int i = 0; i < 4; ++i)
        doc.InsertStaff(0);
    doc.m_strEmail = "old";
    doc.m_strComments = "old\r\n";
    doc.m_bFairUse = false;
    doc.m_bStaffCountChanged = false;
    std::vector<std::string> disclaimer(g_szDisclaimer, g_szDisclaimer + 3);
    Read(Lines(disclaimer + Banner() + StaffLines('1') + StaffLines('2') + StaffLines('3')));
    EXPECT_EQ(doc.m_nStaffs, 3);
    EXPECT_TRUE(doc.m_strEmail.empty());
    EXPECT_TRUE(doc.m_strComments.empty());
    EXPECT_FALSE(doc.m_bFairUse);
    EXPECT_TRUE(doc.m_bStaffCountChanged);

    doc.m_bFairUse = true;
    doc.m_bStaffCountChanged = false;
    Read(Lines(Banner() + StaffLines('1')));
    EXPECT_TRUE(doc.m_bFairUse);
    EXPECT_FALSE(doc.m_bStaffCountChanged);   // one staff: no staff was inserted
}

TEST_F(TabReader, LineEndsOfOtherSystemsReadAlike)
{
    std::vector<std::string> file = Banner() + std::vector<std::string>{"Title: T", "note"} + StaffLines('1');
    for (const char* eol : {"\n", "\r"}) {
        SCOPED_TRACE(testing::Message() << "line end " << testing::PrintToString(std::string(eol)));
        Read(Lines(file, eol));
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(doc.m_strSongTitle, "T");
        EXPECT_EQ(Row(doc, 0, 0)[1], '1');
        EXPECT_EQ(Row(doc, 0, 6)[0], '1');
        EXPECT_EQ(doc.m_strComments, "note\r\n");
    }
    // A lone CR inside a line ends it without eating the next line's first character.
    Read(Lines(Banner()) + "first\rsecond\r\n" + Lines(StaffLines('1')));
    EXPECT_EQ(doc.m_strComments, "first\r\nsecond\r\n");
}

TEST_F(TabReader, DocumentsRoundTripThroughTheirText)
{
    CStartedDoc source;
    source.m_strArtist = "Artist";
    source.m_strSongTitle = "Song";
    source.m_strAlbum = "Record";
    source.m_strTranscriber = "Me";
    source.m_strEmail = "me@example.org";
    source.m_strComments = "Capo 2\r\n\r\nPlay softly";
    for (int i = 0; i < 2; ++i)
        source.InsertStaff(source.m_nStaffs - 1);
    for (int s = 0; s < 3; ++s) {
        source.SetBarLine(s, 20 + s);
        source.m_ppStaffs[s]->m_rows[s][5] = '1' + s;
        source.m_ppStaffs[s]->m_rows[TEXT_ROW][5] = 'A' + s;
        source.m_ppStaffs[s]->m_rows[2][77] = 'x';
    }
    std::string text = SaveTab(source);
    Read(text);
    EXPECT_EQ(doc.m_strArtist, source.m_strArtist);
    EXPECT_EQ(doc.m_strSongTitle, source.m_strSongTitle);
    EXPECT_EQ(doc.m_strAlbum, source.m_strAlbum);
    EXPECT_EQ(doc.m_strTranscriber, source.m_strTranscriber);
    EXPECT_EQ(doc.m_strEmail, source.m_strEmail);
    EXPECT_EQ(doc.m_strComments, "Capo 2\r\n\r\nPlay softly\r\n");
    ASSERT_EQ(doc.m_nStaffs, 3);
    for (int s = 0; s < 3; ++s)
        for (int r = 0; r < STAFF_ROWS; ++r)
            EXPECT_EQ(Row(doc, s, r), Row(source, s, r)) << s << "/" << r;
    doc.m_bFairUse = source.m_bFairUse;
    EXPECT_EQ(SaveTab(doc), text);
}

TEST_F(TabReader, StaffsOfThePreviousDocumentLeaveNoTrace)
{
    for (int i = 0; i < 3; ++i)
        doc.InsertStaff(0);
    for (auto& pStaff : doc.m_ppStaffs)
        for (int r = 0; r < STAFF_ROWS; ++r)
            std::fill(pStaff->m_rows[r], pStaff->m_rows[r] + STAFF_COLUMNS, '7');
    Read(Lines(Banner() + std::vector<std::string>{"-1", "-", "-", "-", "-", "-", "", "", "-2"}));
    ASSERT_EQ(doc.m_nStaffs, 2);
    EXPECT_EQ(Row(doc, 0, 0), Padded("-1", '-'));
    EXPECT_EQ(Row(doc, 0, 6), kBlanks);
    EXPECT_EQ(Row(doc, 1, 0), Padded("-2", '-'));
    for (int r = 1; r < STRING_ROWS; ++r)
        EXPECT_EQ(Row(doc, 1, r), kDashes) << r;
    EXPECT_EQ(Row(doc, 1, 6), kBlanks);

    // A staff inserted after reading is new and empty too.
    doc.InsertStaff(1);
    EXPECT_EQ(doc.m_ppStaffs[2]->GetLastUsedColumn(), 0);
}

TEST_F(TabReader, FullLengthRowsAreSanitisedInEveryColumn)
{
    // Bad bytes at the edges of the 16-column steps a full row is cleaned in, and in the
    // columns the last step shares with the one before it (62-77); lines of exactly 78
    // characters and longer ones.
    const int kColumns[] = {0, 1, 15, 16, 31, 47, 48, 61, 62, 63, 76, 77};
    for (std::size_t nLength : {std::size_t{78}, std::size_t{79}}) {
        std::vector<std::string> block;
        for (int r = 0; r < STAFF_ROWS; ++r) {
            std::string line(nLength, r == TEXT_ROW ? 'a' : '7');
            for (int c : kColumns)
                line[c] = "\0 \t\x7f\xe9\x01"[(c + r) % 6];
            if (r == 0)
                line[0] = '-';   // what makes the line a staff's first
            block.push_back(line);
        }
        block.push_back("");
        Read(Lines(Banner() + block));
        ASSERT_EQ(doc.m_nStaffs, 1) << nLength;
        for (int r = 0; r < STAFF_ROWS; ++r) {
            std::string expected = block[r].substr(0, 78);
            for (char& ch : expected) {
                const auto u = static_cast<unsigned char>(ch);
                if (r == 0)
                    ch = u == 0 ? '-' : ch;
                else if (r == TEXT_ROW)
                    ch = u >= 0x20 && u <= 0x7e ? ch : ' ';
                else
                    ch = u >= 0x21 && u <= 0x7e ? ch : '-';
            }
            EXPECT_EQ(Row(doc, 0, r), expected) << "row " << r << ", length " << nLength;
            EXPECT_EQ(doc.m_ppStaffs[0]->m_rows[r][78], '\0');
        }
    }
}

TEST_F(TabReader, LineEndInsideAFullLengthRowStillEndsTheLine)
{
    // 78 characters and CR LF, as Fretly writes a row, but with a CR or LF among the
    // characters: the line ends there, and what follows is the next row.
    for (const char* pBreak : {"\r", "\n"}) {
        std::vector<std::string> block = StaffLines('5');
        block[2] = "-1-" + std::string(pBreak) + std::string(74, '2');
        Read(Lines(Banner() + block + StaffLines('6')));
        SCOPED_TRACE(pBreak[0] == '\r' ? "CR" : "LF");
        EXPECT_EQ(Row(doc, 0, 2), "-1-" + std::string(75, '-'));
        EXPECT_EQ(Row(doc, 0, 3), std::string(74, '2') + "----");
        EXPECT_EQ(Row(doc, 0, 4), "-5" + std::string(76, '-'));
        EXPECT_EQ(Row(doc, 0, TEXT_ROW), "-5" + std::string(76, '-')) << "the rows moved down by one";
        ASSERT_EQ(doc.m_nStaffs, 2);
    }
}
