#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TabTestSupport.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

namespace {

std::vector<std::string> SplitCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    for (;;) {
        auto end = text.find("\r\n", start);
        if (end == std::string::npos) {
            EXPECT_EQ(start, text.size()) << "text does not end with CR LF";
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
}

} // namespace

TEST(TabWriter, BannerAndDisclaimerLinesAreSeventyNineCharacters)
{
    for (const char* line : g_szDisclaimer)
        EXPECT_EQ(std::string(line).size(), 79u) << line;
    for (const char* line : g_szBanner)
        EXPECT_EQ(std::string(line).size(), 79u) << line;
    const std::string& home = AfxLoadString(IDS_HOME_PAGE);
    EXPECT_EQ(home.size(), 44u);
    EXPECT_EQ(std::string(g_szBanner[1]), "#-- File created with Fretly - " + home + " --#");
    EXPECT_EQ(std::string(g_szBanner[0]), kRule);
    EXPECT_EQ(std::string(g_szBanner[2]), kRule);
}

TEST(TabWriter, FullDocumentIsTheTwentyThreeLineExample)
{
    CStartedDoc doc;
    doc.m_strArtist = "Some Band";
    doc.m_strSongTitle = "A Song";
    doc.m_strAlbum = "First Album";
    doc.m_strTranscriber = "J. Doe";
    doc.m_strEmail = "jdoe@example.org";
    doc.m_strComments = "Tuning: standard";
    doc.m_bFairUse = true;
    doc.m_ppStaffs[0]->m_rows[1][3] = '5';
    doc.m_ppStaffs[0]->m_rows[TEXT_ROW][3] = 'A';

    const std::string dashes(78, '-');
    std::string expected;
    for (const std::string& line : std::vector<std::string>{
             "#----------------------------------PLEASE NOTE--------------------------------#",
             "#This file is the author's own work and represents their interpretation of the#",
             "#song. You may only use this file for private study, scholarship, or research.#",
             kRule,
             "#-- File created with Fretly - https://fretly.example.org/ascii-tab-editor/ --#",
             kRule,
             "",
             "Author/Artist: Some Band",
             "Title: A Song",
             "Album: First Album",
             "Transcribed by: J. Doe",
             "Email: jdoe@example.org",
             "",
             "Tuning: standard",
             "",
             dashes,
             "---5" + std::string(74, '-'),
             dashes,
             dashes,
             dashes,
             dashes,
             "   A" + std::string(74, ' '),
             "",
         })
        expected += line + "\r\n";

    EXPECT_EQ(SaveTab(doc), expected);
    // The comment keeps the line break the writer added.
    EXPECT_EQ(doc.m_strComments, "Tuning: standard\r\n");
    EXPECT_EQ(SplitCrLf(expected).size(), 23u);
}

TEST(TabWriter, TitleOnlyDocumentWithoutDisclaimer)
{
    CStartedDoc doc;
    doc.m_bFairUse = false;
    doc.m_strSongTitle = "Only a title";
    std::vector<std::string> expected = Banner();
    expected.push_back("Title: Only a title");
    for (int r = 0; r < STRING_ROWS; ++r)
        expected.push_back(std::string(78, '-'));
    expected.push_back(std::string(78, ' '));
    expected.push_back("");
    EXPECT_EQ(SaveTab(doc), Lines(expected));
}

TEST(TabWriter, EmptyFieldsWriteNoLineAndEmailBringsAnEmptyLine)
{
    CStartedDoc doc;
    doc.m_bFairUse = false;
    doc.m_strTranscriber = "T";
    doc.m_strEmail = "e@x";
    std::vector<std::string> lines = SplitCrLf(SaveTab(doc));
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[4], "Transcribed by: T");
    EXPECT_EQ(lines[5], "Email: e@x");
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(lines[7], std::string(78, '-'));
}

TEST(TabWriter, CommentsEndWithExactlyOneLineBreakAndAnEmptyLine)
{
    CStartedDoc doc;
    doc.m_bFairUse = false;
    doc.m_strComments = "one\r\ntwo\r\n";
    std::string out = SaveTab(doc);
    EXPECT_NE(out.find("\r\n\r\none\r\ntwo\r\n\r\n---"), std::string::npos);
    EXPECT_EQ(doc.m_strComments, "one\r\ntwo\r\n");

    // A comment ending in a bare CR or LF still gains a full CR LF.
    doc.m_strComments = "three\r";
    out = SaveTab(doc);
    EXPECT_EQ(doc.m_strComments, "three\r\r\n");
}

TEST(TabWriter, EveryStaffRowIsWrittenAtItsFullWidthWithCrLf)
{
    CStartedDoc doc;
    doc.m_bFairUse = false;
    doc.InsertStaff(0);
    doc.InsertStaff(1);
    doc.m_ppStaffs[2]->m_rows[5][76] = '9';
    doc.m_ppStaffs[1]->m_rows[2][10] = '\0';   // must not cut the row short
    std::string out = SaveTab(doc);
    for (std::string::size_type i = 0; i < out.size(); ++i) {
        if (out[i] == '\n') {
            ASSERT_TRUE(i > 0 && out[i - 1] == '\r') << "bare LF at " << i;
        }
        if (out[i] == '\r') {
            ASSERT_TRUE(i + 1 < out.size() && out[i + 1] == '\n') << "bare CR at " << i;
        }
    }
    std::vector<std::string> lines = SplitCrLf(out);
    ASSERT_EQ(lines.size(), 4u + 3 * 8);
    for (int s = 0; s < 3; ++s) {
        for (int r = 0; r < STAFF_ROWS; ++r)
            EXPECT_EQ(lines[4 + 8 * s + r].size(), 78u) << s << "/" << r;
        EXPECT_EQ(lines[4 + 8 * s + 7], "");
    }
    EXPECT_EQ(lines[4 + 16 + 5][76], '9');
}
