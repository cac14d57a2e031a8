// The plain-text corpus: each file beside its .expect, which says what the import must
// give. Every file that imports is also saved as .tab and reopened, and exported as
// text and imported again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "../document/TabTestSupport.h"
#include "interop/PlainTextExport.h"
#include "interop/PlainTextImport.h"

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string CommentsOf(std::string_view expect)
{
    std::string out;
    for (std::size_t at; (at = expect.find("\\n")) != std::string_view::npos; expect.remove_prefix(at + 2))
        out += std::string(expect.substr(0, at)) + "\r\n";
    return out + std::string(expect) + "\r\n";
}

// Row r of staff s as the expectation writes it: column 0 and everything after text
// hold filler.
std::string ExpectedRow(const std::string& text, int nRow)
{
    return Padded(std::string(1, FillerFor(nRow)) + text, FillerFor(nRow));
}

void CheckExpectations(const fs::path& expectFile, bool bImported, CFretlyDoc& doc, const CPlainTextImport& report)
{
    std::ifstream in(expectFile, std::ios::binary);
    std::string line;
    std::string fields[5];
    std::string comments;
    int nBass = 0, nWide = 0;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        auto rest = [&](std::size_t nWords) {
            std::size_t at = 0;
            for (std::size_t i = 0; i < nWords; ++i)
                at = line.find(' ', at) + 1;
            return at == 0 || at > line.size() ? std::string() : line.substr(at);
        };
        if (key.empty() || key[0] == '#') {
            continue;
        } else if (key == "refused") {
            EXPECT_FALSE(bImported);
            return;
        } else if (key == "staffs") {
            int n = 0;
            words >> n;
            ASSERT_TRUE(bImported);
            ASSERT_EQ(doc.m_nStaffs, n);
        } else if (key == "field") {
            std::string name;
            words >> name;
            const char* const names[] = {"artist", "title", "album", "transcriber", "email"};
            for (int f = 0; f < 5; ++f)
                fields[f] = name == names[f] ? rest(2) : fields[f];
        } else if (key == "comments") {
            comments = CommentsOf(rest(1));
        } else if (key == "row" || key == "text") {
            int s = 0, r = TEXT_ROW;
            words >> s;
            if (key == "row")
                words >> r;
            EXPECT_EQ(Row(doc, s, r), ExpectedRow(rest(key == "row" ? 3 : 2), r)) << line;
        } else if (key == "bass") {
            words >> nBass;
        } else if (key == "wide") {
            words >> nWide;
        } else {
            ADD_FAILURE() << "unknown expectation " << line;
        }
    }
    EXPECT_EQ(doc.m_strArtist, fields[0]);
    EXPECT_EQ(doc.m_strSongTitle, fields[1]);
    EXPECT_EQ(doc.m_strAlbum, fields[2]);
    EXPECT_EQ(doc.m_strTranscriber, fields[3]);
    EXPECT_EQ(doc.m_strEmail, fields[4]);
    EXPECT_EQ(doc.m_strComments, comments);
    EXPECT_EQ(report.nBassSystems, nBass);
    EXPECT_EQ(static_cast<int>(report.wideSystems.size()), nWide);
}

// The runs of anything but '-' in a row, in order.
std::vector<std::string> Entries(std::string_view row)
{
    std::vector<std::string> entries;
    for (std::size_t c = 0; c < row.size();) {
        const std::size_t nEnd = std::min(row.find('-', c), row.size());
        if (nEnd > c)
            entries.emplace_back(row.substr(c, nEnd - c));
        c = nEnd + 1;
    }
    return entries;
}

void ExpectSameStaffs(const CFretlyDoc& a, const CFretlyDoc& b)
{
    ASSERT_EQ(a.m_nStaffs, b.m_nStaffs);
    for (int s = 0; s < a.m_nStaffs; ++s) {
        for (int r = 0; r < STAFF_ROWS; ++r)
            EXPECT_EQ(Row(a, s, r), Row(b, s, r)) << "staff " << s << " row " << r;
    }
}

} // namespace

TEST(PlainTextImport, CorpusGivesWhatEachFileExpects)
{
    const fs::path corpus = fs::path(FRETLY_SOURCE_DIR) / "tests/core/interop/corpus";
    int nFiles = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (entry.path().extension() != ".txt")
            continue;
        ++nFiles;
        SCOPED_TRACE(entry.path().filename().string());
        CStartedDoc doc;
        doc.m_strSongTitle = "before";
        CPlainTextImport report;
        const bool bImported = ImportPlainText(ReadBytes(entry.path()), doc, report);
        CheckExpectations(fs::path(entry.path()).replace_extension(".expect"), bImported, doc, report);
        if (!bImported) {
            EXPECT_EQ(doc.m_strSongTitle, "before");   // a refused file changes nothing
            continue;
        }

        // Saved as .tab and reopened: the same staffs and fields, and a stable file.
        const std::string saved = SaveTab(doc);
        CStartedDoc reopened;
        reopened.m_bFairUse = doc.m_bFairUse;
        LoadTab(reopened, saved);
        ExpectSameStaffs(doc, reopened);
        EXPECT_EQ(reopened.m_strSongTitle, doc.m_strSongTitle);
        EXPECT_EQ(reopened.m_strArtist, doc.m_strArtist);
        EXPECT_EQ(SaveTab(reopened), saved);

        // Exported as text and imported again: the same staffs.
        std::string text;
        ASSERT_TRUE(ExportPlainText(doc, text));
        CStartedDoc again;
        CPlainTextImport againReport;
        ASSERT_TRUE(ImportPlainText(text, again, againReport)) << text;
        ExpectSameStaffs(doc, again);
        EXPECT_EQ(again.m_strSongTitle, doc.m_strSongTitle);
    }
    EXPECT_GE(nFiles, 12);
}

TEST(PlainTextImport, LongSystemsAreNeverCutInsideAnEntry)
{
    // Two-digit frets and bracketed notes at every distance from the cut.
    for (int nShift = 0; nShift < 6; ++nShift) {
        std::string body(static_cast<std::size_t>(70 + nShift), '-');
        body += "12-(10)-<12>-5h7p5-10b12-";
        body += std::string(100, '-') + "3";
        std::string text;
        for (char name : std::string("eBGDAE"))
            text += std::string(1, name) + "|" + (name == 'e' ? body : std::string(body.size(), '-')) + "|\n";
        CStartedDoc doc;
        CPlainTextImport report;
        ASSERT_TRUE(ImportPlainText(text, doc, report));
        // The entries, staff after staff, are those of the line: none was cut in two.
        std::vector<std::string> entries;
        for (int s = 0; s < doc.m_nStaffs; ++s) {
            const std::vector<std::string> more = Entries(Row(doc, s, 0).substr(1, 76));
            entries.insert(entries.end(), more.begin(), more.end());
        }
        EXPECT_EQ(entries, Entries(body)) << nShift;
        EXPECT_EQ(doc.m_nStaffs, 3);
    }
}

TEST(PlainTextImport, RandomStaffsSurviveExportAndImport)
{
    std::mt19937 random(18);
    const char* const entries[] = {"3", "12", "5h7", "7p5", "(9)", "<12>", "5b7r5", "x", "7/9", "9\\7", "|", "~", "s"};
    CStartedDoc doc;
    for (int s = 1; s < 40; ++s)
        doc.InsertStaff(s - 1);
    for (int s = 0; s < doc.m_nStaffs; ++s) {
        for (int r = 0; r < STRING_ROWS; ++r) {
            // Entries apart, as typed; a bar may stand in the first column.
            for (std::size_t c = 1 + random() % 4; c < 70;) {
                const std::string entry = entries[random() % std::size(entries)];
                std::memcpy(doc.m_ppStaffs[s]->m_rows[r] + c, entry.data(), entry.size());
                c += entry.size() + 1 + random() % 5;
            }
            if (s % 4 == 1)
                doc.m_ppStaffs[s]->m_rows[r][1] = '|';
        }
        if (s % 3 == 0)
            std::memcpy(doc.m_ppStaffs[s]->m_rows[TEXT_ROW] + 1 + s % 5, "Am7  G/B  let ring", 18);
    }
    doc.m_strSongTitle = "Random";
    doc.m_strComments = "one\r\ntwo\r\n";
    std::string text;
    ASSERT_TRUE(ExportPlainText(doc, text));
    CStartedDoc back;
    CPlainTextImport report;
    ASSERT_TRUE(ImportPlainText(text, back, report));
    ExpectSameStaffs(doc, back);
    EXPECT_EQ(back.m_strSongTitle, "Random");
    EXPECT_EQ(back.m_strComments, "one\r\ntwo\r\n");
}

TEST(PlainTextImport, WhatIsNotAChordLineAboveASystemStaysInTheComments)
{
    const std::string system = "e|--3--|\nB|--3--|\nG|--3--|\nD|--3--|\nA|--3--|\nE|--3--|\n";
    CStartedDoc doc;
    CPlainTextImport report;
    ASSERT_TRUE(ImportPlainText("This is the riff from the second verse, played softly\n" + system, doc, report));
    EXPECT_EQ(doc.m_strComments, "This is the riff from the second verse, played softly\r\n");
    EXPECT_EQ(Row(doc, 0, TEXT_ROW), std::string(78, ' '));

    // An indented remark over the music is the staff's text row.
    ASSERT_TRUE(ImportPlainText("  P.M.\n" + system, doc, report));
    EXPECT_EQ(Row(doc, 0, TEXT_ROW).substr(0, 6), " P.M. ");
    EXPECT_EQ(doc.m_strComments, "");

    // A header label is taken once; a second one is a comment.
    ASSERT_TRUE(ImportPlainText("Title: One\nTitle: Two\nE-mail: me@example.org\n\n" + system, doc, report));
    EXPECT_EQ(doc.m_strSongTitle, "One");
    EXPECT_EQ(doc.m_strEmail, "me@example.org");
    EXPECT_EQ(doc.m_strComments, "Title: Two\r\n");
}
