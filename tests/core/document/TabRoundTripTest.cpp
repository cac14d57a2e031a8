// Header fields and comments that the reader would take for something else still come
// back from a saved file as they were, changed at most by a blank or a line break.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TabTestSupport.h"

namespace {

struct CHeader {
    std::string artist{}, title{}, album{}, transcriber{}, email{}, comments{};
};

CHeader SaveAndReopen(const CHeader& in)
{
    CStartedDoc doc;
    doc.m_bFairUse = false;
    doc.m_strArtist = in.artist;
    doc.m_strSongTitle = in.title;
    doc.m_strAlbum = in.album;
    doc.m_strTranscriber = in.transcriber;
    doc.m_strEmail = in.email;
    doc.m_strComments = in.comments;
    doc.m_ppStaffs[0]->m_rows[2][5] = '7';
    const std::string bytes = SaveTab(doc);

    CStartedDoc back;
    back.m_bFairUse = false;
    LoadTab(back, bytes);
    EXPECT_EQ(back.m_nStaffs, 1) << bytes;
    EXPECT_EQ(Row(back, 0, 2), Row(doc, 0, 2));
    // What was read is written again unchanged: the mended form is stable.
    EXPECT_EQ(SaveTab(back), bytes);
    return {back.m_strArtist, back.m_strSongTitle, back.m_strAlbum, back.m_strTranscriber, back.m_strEmail,
            back.m_strComments};
}

// One comment line, and the lines it comes back as.
struct CCommentCase {
    const char* name;
    std::string line;
    std::string back;
};

const std::string k90 = std::string(60, 'x') + " " + std::string(29, '-');

const std::vector<CCommentCase> kHostileLines = {
    {"plain", "Play it slow", "Play it slow\r\n"},
    {"dashes", "-- intro twice --", " -- intro twice --\r\n"},
    {"only dashes", std::string(40, '-'), " " + std::string(40, '-') + "\r\n"},
    {"hash", "# remember the capo", " # remember the capo\r\n"},
    {"hash with recognition", "# File created with Fretly", " # File created with Fretly\r\n"},
    {"title label", "Title: of the solo", "Title : of the solo\r\n"},
    {"labels inside", "see Email:x and Author/Artist:y", "see Email :x and Author/Artist :y\r\n"},
    {"every label", "Author/Artist:Album:Transcribed by:Title:Email:",
     "Author/Artist :Album :Transcribed by :Title :Email :\r\n"},
    {"tuning", "Tuning: D A D G B E", "Tuning: D A D G B E\r\n"},
    {"eighty", std::string(80, 'a'), std::string(79, 'a') + "\r\na\r\n"},
    // Cut after the last blank; the piece that then begins with '-' is guarded too.
    {"long into dashes", k90, std::string(60, 'x') + " \r\n " + std::string(29, '-') + "\r\n"},
    {"long address", "https://example.org/" + std::string(100, 'p'),
     "https://example.org/" + std::string(59, 'p') + "\r\n" + std::string(41, 'p') + "\r\n"},
    {"nul", std::string("a\0b", 3), std::string("a\0b\r\n", 5)},
    {"trailing blanks", "tail   ", "tail   \r\n"},
};

std::string Join(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    return out;
}

} // namespace

TEST(TabRoundTrip, EachHostileCommentLineComesBackAloneFirstAndLast)
{
    for (const CCommentCase& c : kHostileLines) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SaveAndReopen({.comments = c.line}).comments, c.back);
        EXPECT_EQ(SaveAndReopen({.title = "Night Blues", .comments = c.line + "\r\nafter"}).comments,
                  c.back + "after\r\n");
        EXPECT_EQ(SaveAndReopen({.email = "me@x", .comments = "before\r\n" + c.line + "\r\n"}).comments,
                  "before\r\n" + c.back);
    }
}

TEST(TabRoundTrip, AllHostileCommentLinesTogether)
{
    std::string comments, back;
    for (const CCommentCase& c : kHostileLines) {
        comments += c.line + "\r\n\r\n";
        back += c.back + "\r\n";
    }
    EXPECT_EQ(SaveAndReopen({.comments = comments}).comments, back);
}

TEST(TabRoundTrip, TheNightBluesDocumentKeepsOneStaffAndAllItsComments)
{
    const CHeader back = SaveAndReopen(
        {.title = "Night Blues",
         .comments = Join({"Play it slow", "-- intro twice --", "Title: of the solo", "# remember the capo"})});
    EXPECT_EQ(back.title, "Night Blues");
    EXPECT_EQ(back.comments,
              Join({"Play it slow", " -- intro twice --", "Title : of the solo", " # remember the capo"}));
}

TEST(TabRoundTrip, LineBreaksOfEveryKindAndEmptyLines)
{
    // Empty lines ahead of the text would be dropped: the first becomes a blank.
    EXPECT_EQ(SaveAndReopen({.comments = "\r\n\r\nfirst"}).comments, " \r\n\r\nfirst\r\n");
    EXPECT_EQ(SaveAndReopen({.comments = "\r\n"}).comments, " \r\n");
    // A lone CR or LF ends a line for the reader: it is written as a line break.
    // (The document adds a CR LF after the final lone CR before writing, as it always did.)
    EXPECT_EQ(SaveAndReopen({.comments = "one\rtwo\nthree\r"}).comments, "one\r\ntwo\r\nthree\r\n\r\n");
    EXPECT_EQ(SaveAndReopen({.comments = "x\r\r\n-y"}).comments, "x\r\n\r\n -y\r\n");
    EXPECT_EQ(SaveAndReopen({.comments = "end\r\n\r\n\r\n"}).comments, "end\r\n\r\n\r\n");
}

TEST(TabRoundTrip, HeaderValuesHoldingLabelsComeBackInTheirOwnFields)
{
    const CHeader back = SaveAndReopen({.artist = "Title: Album: Email:",
                                        .title = "the Album: cut",
                                        .album = "by Author/Artist: me",
                                        .transcriber = "Author/Artist: Album: x",
                                        .email = "Transcribed by: Title: y"});
    EXPECT_EQ(back.artist, "Title: Album: Email:");   // read first, so nothing to break
    EXPECT_EQ(back.title, "the Album : cut");
    EXPECT_EQ(back.album, "by Author/Artist : me");
    EXPECT_EQ(back.transcriber, "Author/Artist : Album : x");
    EXPECT_EQ(back.email, "Transcribed by : Title : y");
    EXPECT_EQ(back.comments, "");

    // Labels read after the field's own are left alone.
    EXPECT_EQ(SaveAndReopen({.title = "Email: in a title"}).title, "Email: in a title");
}

TEST(TabRoundTrip, LongHeaderValuesKeepWhatFitsAndCarryTheRestIntoTheComments)
{
    const std::string title = std::string(73, 't');
    EXPECT_EQ(SaveAndReopen({.title = title}).title, title);   // an 80-character line still fits

    const CHeader back = SaveAndReopen({.artist = std::string(65, 'a') + "-tail",
                                        .title = std::string(70, 't') + " ---- dashes",
                                        .email = "me@x\r\nsecond line",
                                        .comments = "own"});
    EXPECT_EQ(back.artist, std::string(65, 'a'));
    EXPECT_EQ(back.title, std::string(70, 't') + " ");
    EXPECT_EQ(back.email, "me@x");
    EXPECT_EQ(back.comments, Join({" -tail", " ---- dashes", "second line", "own"}));
}

TEST(TabRoundTrip, CutsDoNotSplitUtf8Characters)
{
    // 72 ASCII characters then a two-byte character that would straddle the 73rd.
    const std::string title = std::string(72, 't') + "\xC3\xA9" + "x";
    const CHeader back = SaveAndReopen({.title = title});
    EXPECT_EQ(back.title, std::string(72, 't'));
    EXPECT_EQ(back.comments, "\xC3\xA9x\r\n");
}
