// Printing the tablature: the layout of the header block and of whole staffs per page,
// the page count, the page-number line and the view's state around a job.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/FakePrinter.h"
#include "core/view/ViewHarness.h"

namespace {

// The printer of the worked example: a 30 by 50 cell, 3000 units of page height.
constexpr int kCx = 30, kCy = 50, kHorz = 2400;
constexpr int kTop = 83;   // trunc(1.5 * 50) + 8

struct Printed {
    std::string page;                    // the page-number line
    int xPage = 0;
    std::map<int, std::string> lines;    // body line number -> text
};

struct ViewPrint : ::testing::Test {
    explicit ViewPrint(int nStaffs = 1) : h(nStaffs) {}

    void Prepare(int nStaffs, bool bFairUse = false)
    {
        while (h.doc.m_nStaffs < nStaffs)
            h.doc.InsertStaff(h.doc.m_nStaffs - 1);
        for (int i = 0; i < h.doc.m_nStaffs; ++i)
            h.Put(i, TEXT_ROW, 0, "staff " + std::to_string(i));
        h.doc.m_bFairUse = bFairUse;
    }

    // Prints and sorts every page into its page-number line and numbered body lines.
    std::vector<Printed> Print(int nVertRes, UINT nFrom = 0, UINT nTo = 0)
    {
        FakePrinter printer(CSize(kCx, kCy), kHorz, nVertRes);
        printer.nDialogFrom = nFrom;
        printer.nDialogTo = nTo;
        h.view.OnCmdMsg(ID_FILE_PRINT);
        return Sort(printer.pages, nVertRes);
    }

    static std::vector<Printed> Sort(const std::vector<PrintedPage>& pages, int)
    {
        std::vector<Printed> out;
        for (const PrintedPage& pg : pages) {
            Printed p;
            for (const TextOutCall& c : pg.calls) {
                if (c.y == 8) {
                    p.page = c.text;
                    p.xPage = c.x;
                    continue;
                }
                EXPECT_EQ(c.x, 8 * kCx);
                EXPECT_EQ((c.y - kTop) % kCy, 0);
                p.lines[(c.y - kTop) / kCy] = c.text;
            }
            out.push_back(p);
        }
        return out;
    }

    // Body line on which each staff's text row was printed, as "page:line".
    static std::map<int, std::string> StaffPlaces(const std::vector<Printed>& pages)
    {
        std::map<int, std::string> places;
        for (std::size_t p = 0; p < pages.size(); ++p) {
            for (const auto& [k, text] : pages[p].lines) {
                if (text.rfind("staff ", 0) == 0) {
                    const int s = std::stoi(text.substr(6));
                    EXPECT_EQ(places.count(s), 0U) << "staff " << s << " printed twice";
                    places[s] = std::to_string(p + 1) + ":" + std::to_string(k);
                }
            }
        }
        return places;
    }

    static std::string Comment(int nFirst, int nCount)
    {
        std::string text;
        for (int i = nFirst; i < nFirst + nCount; ++i)
            text += (i > nFirst ? "\r\n" : "") + ("c" + std::to_string(i));
        return text;
    }

    ViewHarness h;
};

TEST_F(ViewPrint, WorkedPaginationOfTwentyStaffs)
{
    Prepare(20);
    h.doc.m_strSongTitle = "Blues";
    h.doc.m_strArtist = "Someone";
    CFont* pScreenFont = h.view.m_pFont.get();
    const auto pages = Print(3000);

    ASSERT_EQ(pages.size(), 3U);
    EXPECT_EQ(h.view.m_cyPrintable, 2925);
    EXPECT_EQ(h.view.m_cyStaffPrint, 400);
    EXPECT_EQ(h.view.m_nStaffsPerPage, 7);
    EXPECT_EQ(h.view.m_nStaffsFirstPage, 6);
    EXPECT_EQ(h.view.m_cyHeader, 7 * kCy);
    const auto places = StaffPlaces(pages);
    ASSERT_EQ(places.size(), 20U);
    EXPECT_EQ(places.at(0), "1:13");    // header lines 0-6, then staff 0's rows 7-13
    EXPECT_EQ(places.at(5), "1:53");
    EXPECT_EQ(places.at(6), "2:6");
    EXPECT_EQ(places.at(12), "2:54");
    EXPECT_EQ(places.at(13), "3:6");
    EXPECT_EQ(places.at(19), "3:54");
    EXPECT_EQ(pages[0].lines.at(7).substr(0, 4), "----");   // string rows come first

    EXPECT_EQ(pages[1].page, "Blues - Page 2");
    EXPECT_EQ(pages[1].xPage, kHorz - kCx * 14 - 8);

    // The screen state is back after the job.
    EXPECT_EQ(h.view.m_pFont.get(), pScreenFont);
    EXPECT_EQ(h.view.m_pSavedFont, nullptr);
    EXPECT_EQ(h.view.m_cxChar, 8);
    EXPECT_EQ(h.view.m_cyChar, 16);
    EXPECT_EQ(h.view.m_xMargin, 8);
    EXPECT_EQ(h.view.m_yMargin, 8);

    h.doc.DeleteStaff(19);
    while (h.doc.m_nStaffs > 6)
        h.doc.DeleteStaff(h.doc.m_nStaffs - 1);
    EXPECT_EQ(Print(3000).size(), 1U);
}

TEST_F(ViewPrint, HeaderBlockLines)
{
    Prepare(1);
    auto pages = Print(3000);
    ASSERT_EQ(pages.size(), 1U);
    EXPECT_EQ(pages[0].page, "Page 1");
    EXPECT_EQ(pages[0].lines.at(0), g_szBanner[0]);
    EXPECT_EQ(pages[0].lines.at(1), g_szBanner[1]);
    EXPECT_EQ(pages[0].lines.at(2), g_szBanner[2]);
    EXPECT_EQ(pages[0].lines.count(3) + pages[0].lines.count(4), 0U);   // two blank lines
    EXPECT_EQ(pages[0].lines.at(11), std::string(h.doc.m_ppStaffs[0]->m_rows[TEXT_ROW]));   // staff from line 5
    EXPECT_EQ(pages[0].lines.at(11).size(), 78U);   // trailing filler included

    Prepare(1, true);
    h.doc.m_strArtist = "Artist";
    h.doc.m_strSongTitle = "Title";
    h.doc.m_strAlbum = "Album";
    h.doc.m_strTranscriber = "Me";
    h.doc.m_strEmail = "me@example.org";
    h.doc.m_strComments = "first\r\nsecond";
    pages = Print(3000);
    const auto& l = pages[0].lines;
    EXPECT_EQ(l.at(0), g_szDisclaimer[0]);
    EXPECT_EQ(l.at(2), g_szDisclaimer[2]);
    EXPECT_EQ(l.at(3), g_szBanner[0]);
    EXPECT_EQ(l.at(5), g_szBanner[2]);
    EXPECT_EQ(l.count(6), 0U);
    EXPECT_EQ(l.at(7), "Author/Artist: Artist");
    EXPECT_EQ(l.at(8), "Title: Title");
    EXPECT_EQ(l.at(9), "Album: Album");
    EXPECT_EQ(l.at(10), "Transcribed by: Me");
    EXPECT_EQ(l.at(11), "Email: me@example.org");
    EXPECT_EQ(l.count(12), 0U);
    EXPECT_EQ(l.at(13), "first");
    EXPECT_EQ(l.at(14), "second");
    EXPECT_EQ(l.count(15), 0U);
    EXPECT_EQ(l.at(16).substr(0, 3), "---");   // L = 16
    EXPECT_EQ(h.view.m_cyHeader, 16 * kCy);
    EXPECT_EQ(pages[0].page, "Title - Page 1");
}

TEST_F(ViewPrint, CommentLineEndings)
{
    Prepare(1);
    h.doc.m_strComments = "a\r\nb\r\n";   // a final CR LF adds no line
    auto pages = Print(3000);
    EXPECT_EQ(h.view.m_cyHeader, 8 * kCy);
    EXPECT_EQ(pages[0].lines.at(5), "a");
    EXPECT_EQ(pages[0].lines.at(6), "b");
    EXPECT_EQ(pages[0].lines.count(7), 0U);
    EXPECT_EQ(StaffPlaces(pages).at(0), "1:14");

    h.doc.m_strComments = "a\r\n\r\nb";   // an empty line in the middle
    pages = Print(3000);
    EXPECT_EQ(h.view.m_cyHeader, 9 * kCy);
    EXPECT_EQ(pages[0].lines.at(6), "");
    EXPECT_EQ(pages[0].lines.at(7), "b");
    EXPECT_EQ(StaffPlaces(pages).at(0), "1:15");
}

TEST_F(ViewPrint, ExactFitPutsEightStaffsOnAPage)
{
    Prepare(20);
    const auto pages = Print(3275);   // P = 3200 = 8 staffs of 400
    EXPECT_EQ(h.view.m_nStaffsPerPage, 8);
    EXPECT_EQ(h.view.m_nStaffsFirstPage, 7);   // (3200 - 5 * 50) / 400
    ASSERT_EQ(pages.size(), 3U);
    const auto places = StaffPlaces(pages);
    EXPECT_EQ(places.at(7), "2:6");
    EXPECT_EQ(places.at(14), "2:62");   // its blank line 63 ends exactly at P
    EXPECT_EQ(places.at(15), "3:6");
}

TEST_F(ViewPrint, HeaderFillingTheFirstPageLeavesTheStaffsToPageTwo)
{
    Prepare(3);
    h.doc.m_strComments = Comment(0, 52);   // 5 + 52 + 1 = 58 lines = lpp
    const auto pages = Print(3000);
    EXPECT_EQ(h.view.m_nStaffsFirstPage, 0);
    ASSERT_EQ(pages.size(), 2U);
    EXPECT_EQ(pages[0].lines.at(56), "c51");
    EXPECT_EQ(StaffPlaces(pages).at(0), "2:6");
}

TEST_F(ViewPrint, LongCommentsFlowOverPages)
{
    Prepare(10);
    h.doc.m_strComments = Comment(0, 120);   // L = 126: pages of 58 lines hold it in three
    const auto pages = Print(3000);
    ASSERT_EQ(pages.size(), 4U);   // HP = 3, R = 10; 6 staffs there, 4 on page 4
    EXPECT_EQ(pages[0].lines.at(5), "c0");
    EXPECT_EQ(pages[0].lines.at(57), "c52");   // no closing blank line on a full page
    EXPECT_EQ(pages[1].lines.at(0), "c53");
    EXPECT_EQ(pages[1].lines.at(57), "c110");
    EXPECT_EQ(pages[2].lines.at(0), "c111");
    EXPECT_EQ(pages[2].lines.at(8), "c119");
    EXPECT_EQ(pages[2].lines.count(9), 0U);   // the closing blank line
    const auto places = StaffPlaces(pages);
    EXPECT_EQ(places.at(0), "3:16");
    EXPECT_EQ(places.at(5), "3:56");
    EXPECT_EQ(places.at(6), "4:6");
    EXPECT_EQ(places.at(9), "4:30");
    EXPECT_EQ(pages[2].page, "Page 3");
}

TEST_F(ViewPrint, CommentEndingOnTheLastLineOfAPage)
{
    Prepare(2);
    h.doc.m_strComments = Comment(0, 53);   // the comment fills page 1 to its last line
    const auto pages = Print(3000);
    ASSERT_EQ(pages.size(), 2U);
    EXPECT_EQ(pages[0].lines.at(57), "c52");
    EXPECT_EQ(pages[1].lines.count(0), 0U);   // page 2: only the closing blank line
    EXPECT_EQ(StaffPlaces(pages).at(0), "2:7");
}

TEST_F(ViewPrint, PageRangeAndPreviewGiveTheSamePagesAsAFullPrint)
{
    Prepare(20);
    h.doc.m_strComments = Comment(0, 60);
    const auto all = Print(3000);
    ASSERT_EQ(all.size(), 4U);
    const auto some = Print(3000, 2, 3);
    ASSERT_EQ(some.size(), 2U);
    EXPECT_EQ(some[0].lines, all[1].lines);
    EXPECT_EQ(some[1].lines, all[2].lines);
    EXPECT_EQ(some[1].page, all[2].page);

    FakePrinter printer(CSize(kCx, kCy), kHorz, 3000);
    printer.previewShows = {3, 1, 4, 3};
    h.view.OnCmdMsg(ID_FILE_PRINT_PREVIEW);
    const auto shown = Sort(printer.pages, 3000);
    EXPECT_EQ(printer.previewMaxPage, 4U);
    EXPECT_EQ(shown[0].lines, all[2].lines);
    EXPECT_EQ(shown[1].lines, all[0].lines);
    EXPECT_EQ(shown[2].lines, all[3].lines);
    EXPECT_EQ(shown[3].lines, all[2].lines);
    EXPECT_EQ(h.view.m_xMargin, 8);   // the preview's end gave the screen back
}

TEST_F(ViewPrint, DocumentWithoutStaffContentAndLongTitle)
{
    Prepare(1);
    h.doc.m_strSongTitle = std::string(100, 'T');
    const auto pages = Print(3000);
    ASSERT_EQ(pages.size(), 1U);
    EXPECT_LT(pages[0].xPage, 0);   // wider than the page: starts left of it
    EXPECT_EQ(pages[0].xPage, kHorz - kCx * 109 - 8);
}

TEST_F(ViewPrint, FontFailureIsReportedAndTheJobGoesOn)
{
    Prepare(8);
    CFont::SetFailCreation(true);
    const auto pages = Print(3000);
    CFont::SetFailCreation(false);
    ASSERT_EQ(h.ui.messages.size(), 1U);
    EXPECT_EQ(h.ui.messages[0].text, "Create font failed");
    EXPECT_EQ(pages.size(), 2U);
    EXPECT_EQ(StaffPlaces(pages).size(), 8U);
    EXPECT_EQ(h.view.m_cyChar, 16);
}

TEST_F(ViewPrint, PagesShorterThanAStaffStillPrintEveryStaffOnce)
{
    Prepare(3);
    auto pages = Print(300);   // P = 225 < S = 400: one staff per page, cut at the foot
    EXPECT_EQ(h.view.m_nStaffsPerPage, 1);
    // The five header lines stay together on page 1 although it holds four; then 3 staffs.
    ASSERT_EQ(pages.size(), 4U);
    auto places = StaffPlaces(pages);
    ASSERT_EQ(places.size(), 3U);
    EXPECT_EQ(places.at(0), "2:6");
    EXPECT_EQ(places.at(2), "4:6");

    // A printer reporting no height at all: still a finite job with everything on it.
    pages = Print(0);
    EXPECT_EQ(StaffPlaces(pages).size(), 3U);
}

TEST_F(ViewPrint, EveryStaffPrintedOnceWhateverThePageAndHeader)
{
    Prepare(17, true);
    h.doc.m_strSongTitle = "t";
    for (int nVert : {500, 700, 1000, 2200, 3000, 3275, 5000}) {
        for (int nComment : {0, 1, 13, 70}) {
            h.doc.m_strComments = nComment == 0 ? "" : Comment(0, nComment);
            const auto pages = Print(nVert);
            const auto places = StaffPlaces(pages);
            EXPECT_EQ(places.size(), 17U) << nVert << " " << nComment;
            const int nMaxLine = std::max(8, (nVert - 75) / kCy);
            const int nFixedHeader = 9;   // disclaimer, banner, blank, title, blank
            int nComments = 0;
            for (std::size_t p = 0; p < pages.size(); ++p) {
                EXPECT_EQ(pages[p].page, "t - Page " + std::to_string(p + 1));
                for (const auto& [k, text] : pages[p].lines) {
                    EXPECT_LT(k, p == 0 ? std::max(nMaxLine, nFixedHeader) : nMaxLine) << nVert << " " << nComment << " page " << p + 1;
                    nComments += text.rfind("c", 0) == 0 ? 1 : 0;
                }
            }
            EXPECT_EQ(nComments, nComment);
        }
    }
}

} // namespace
