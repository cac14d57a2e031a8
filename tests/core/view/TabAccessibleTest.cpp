// What a screen reader is told about the editing pane: the text as lines, the cursor as the
// caret, the words for the cursor's place, and events that keep a reader's copy of the text
// exactly in step with the document through every move and edit.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "core/view/ViewHarness.h"
#include "resources/Resource.h"
#include "view/TabAccessible.h"
#include "view/TabText.h"

namespace {

// A screen reader's side: applies every change to its own copy of the text, checking that
// what is said to be removed is what its copy held there.
class MirrorSink : public CAccessibleTextSink {
public:
    explicit MirrorSink(CAccessibleText& text) : m_text(text) { text.GetText(0, text.GetLength(), mirror); }

    void OnTextChanged(long long nPos, std::string_view removed, std::string_view inserted) override
    {
        ++textEvents;
        ASSERT_GE(nPos, 0);
        ASSERT_LE(nPos + static_cast<long long>(removed.size()), static_cast<long long>(mirror.size()));
        if (!bBlindRemovals) {
            ASSERT_EQ(mirror.substr(static_cast<size_t>(nPos), removed.size()), removed) << "at " << nPos;
        }
        mirror.replace(static_cast<size_t>(nPos), removed.size(), inserted);
        lastRemoved = removed;
        lastInserted = inserted;
        lastPos = nPos;
    }
    void OnCaretMoved(long long nOffset) override
    {
        ++caretEvents;
        caret = nOffset;
    }
    void OnValueChanged() override { ++valueEvents; }
    void OnDescriptionChanged() override { said.push_back(m_text.GetDescription()); }

    void ExpectInStep() const
    {
        std::string actual;
        m_text.GetText(0, m_text.GetLength(), actual);
        ASSERT_EQ(mirror, actual);
    }

    CAccessibleText& m_text;
    std::string mirror;
    bool bBlindRemovals = false;   // a whole new document: only the length was known
    int textEvents = 0, caretEvents = 0, valueEvents = 0;
    long long caret = -1, lastPos = -1;
    std::string lastRemoved, lastInserted;
    std::vector<std::string> said;
};

struct AccessibleView : ViewHarness {
    explicit AccessibleView(int nStaffs = 1) : ViewHarness(nStaffs) { Attach(); }
    // A reader that comes along now: after text was put straight into the staffs.
    void Attach()
    {
        view.ReleaseAccessibleText();
        pText = view.GetAccessibleText();
        pSink = std::make_unique<MirrorSink>(*pText);
        pText->SetSink(pSink.get());
    }
    std::string Line(int staff, int line)
    {
        std::string out;
        long long nStart = 0, nEnd = 0;
        pText->GetLineAt(CTabText::OffsetOf(staff, line, 0), nStart, nEnd);
        pText->GetText(nStart, nEnd, out);
        return out;
    }
    CAccessibleText* pText = nullptr;
    std::unique_ptr<MirrorSink> pSink;
};

TEST(TabTextTest, StaffsReadAsEightLinesOfCells)
{
    AccessibleView v(2);
    v.Put(1, 2, 5, "7/9");
    EXPECT_EQ(v.pText->GetLength(), 2 * 554);
    EXPECT_EQ(v.Line(0, 0), std::string(78, '-') + "\n");
    EXPECT_EQ(v.Line(0, 6), std::string(78, ' ') + "\n");
    EXPECT_EQ(v.Line(0, 7), "\n");
    EXPECT_EQ(v.Line(1, 2), "-----7/9" + std::string(70, '-') + "\n");
    // The end of the text belongs to the last line; offsets past it are clamped.
    long long nStart = 0, nEnd = 0;
    v.pText->GetLineAt(v.pText->GetLength() + 50, nStart, nEnd);
    EXPECT_EQ(nStart, 2 * 554 - 1);
    EXPECT_EQ(nEnd, 2 * 554);
    std::string range;
    v.pText->GetText(CTabText::OffsetOf(1, 2, 4), CTabText::OffsetOf(1, 2, 9), range);
    EXPECT_EQ(range, "-7/9-");
    // A control byte from a damaged file reads as a blank, never as a NUL.
    v.Put(0, 6, 3, std::string(1, '\0'));
    EXPECT_EQ(v.Line(0, 6)[3], ' ');
}

TEST(TabTextTest, WordsAreRunsOfMarksBarsOrFiller)
{
    AccessibleView v;
    v.Put(0, 0, 3, "5h7|12");
    long long nStart = 0, nEnd = 0;
    v.pText->GetWordAt(CTabText::OffsetOf(0, 0, 4), nStart, nEnd);
    EXPECT_EQ(nStart, CTabText::OffsetOf(0, 0, 3));
    EXPECT_EQ(nEnd, CTabText::OffsetOf(0, 0, 6));
    v.pText->GetWordAt(CTabText::OffsetOf(0, 0, 6), nStart, nEnd);
    EXPECT_EQ(nEnd - nStart, 1);
    v.pText->GetWordAt(CTabText::OffsetOf(0, 0, 40), nStart, nEnd);
    EXPECT_EQ(nStart, CTabText::OffsetOf(0, 0, 9));
    EXPECT_EQ(nEnd, CTabText::OffsetOf(0, 0, 78));
}

TEST(TabTextTest, LinesOfAHugeDocumentAreServedWhereTheyAre)
{
    ViewHarness h(1);
    for (int i = 1; i < 100000; ++i)
        h.doc.InsertStaff(i - 1);
    h.Put(99998, 5, 10, "12");
    CTabText text(h.doc);
    EXPECT_EQ(text.GetLength(), 100000LL * 554);
    const long long nOffset = CTabText::OffsetOf(99998, 5, 11);
    const CTabTextPos pos = text.PositionAt(nOffset);
    EXPECT_EQ(pos.nStaff, 99998);
    EXPECT_EQ(pos.nLine, 5);
    EXPECT_EQ(pos.nCol, 11);
    std::string line;
    long long nStart = 0, nEnd = 0;
    text.GetLineAt(nOffset, nStart, nEnd);
    text.GetText(nStart, nEnd, line);
    EXPECT_EQ(line.substr(8, 6), "--12--");
}

TEST(TabAccessibleTest, WordsNameTheStringColumnAndWhatStandsThere)
{
    AccessibleView v;
    v.Put(0, 1, 14, "12");
    v.Put(0, 5, 2, "5h7");
    v.Put(0, 6, 1, "Am");
    v.Put(0, 3, 20, "|");
    v.ClickCell(0, 1, 15);   // the second digit: the cursor covers the whole number
    EXPECT_EQ(v.pText->GetDescription(), "B string, column 14: 12");
    EXPECT_EQ(v.pText->GetCaret(), CTabText::OffsetOf(0, 1, 14));
    v.ClickCell(0, 5, 3);
    EXPECT_EQ(v.pText->GetDescription(), "low E string, column 3: 5h7");
    v.ClickCell(0, 6, 1);
    EXPECT_EQ(v.pText->GetDescription(), "text row, column 1: Am");
    v.ClickCell(0, 3, 20);
    EXPECT_EQ(v.pText->GetDescription(), "D string, column 20: bar line");
    v.ClickCell(0, 0, 30);
    EXPECT_EQ(v.pText->GetDescription(), "high E string, column 30: empty");
    EXPECT_EQ(v.pSink->said.back(), "high E string, column 30: empty");
}

TEST(TabAccessibleTest, TypingReportsTheCellTheCaretAndTheNewPlace)
{
    AccessibleView v;
    v.Type("5");
    EXPECT_EQ(v.pSink->lastPos, 1);
    EXPECT_EQ(v.pSink->lastRemoved, "-");
    EXPECT_EQ(v.pSink->lastInserted, "5");
    EXPECT_EQ(v.pSink->caret, 2);
    EXPECT_EQ(v.pSink->said.back(), "high E string, column 2: empty");
    v.Left();
    EXPECT_EQ(v.pSink->caret, 1);
    EXPECT_EQ(v.pSink->said.back(), "high E string, column 1: 5");
    EXPECT_EQ(v.pSink->textEvents, 1);   // a move changes no text
    v.pSink->ExpectInStep();
}

TEST(TabAccessibleTest, NewStaffIsNamedWithItsNumberAndTheCount)
{
    AccessibleView v(3);
    v.Down(7);
    EXPECT_EQ(v.pSink->said.back(), "staff 2 of 3, high E string, column 1: empty");
    EXPECT_EQ(v.pText->GetValue(), 2);
    EXPECT_EQ(v.pText->GetMaximumValue(), 3);
    const int nValueEvents = v.pSink->valueEvents;
    v.Right();
    EXPECT_EQ(v.pSink->said.back(), "high E string, column 2: empty");
    EXPECT_EQ(v.pSink->valueEvents, nValueEvents);
    // A staff appended by a wrap changes the count, so the words say it.
    v.ClickCell(2, 0, 76);
    v.Type("7");
    EXPECT_EQ(v.pSink->said.back(), "staff 4 of 4, high E string, column 2: empty");
    v.pSink->ExpectInStep();
}

TEST(TabAccessibleTest, ARefusedMoveSaysThePlaceAgainOnce)
{
    AccessibleView v;
    const size_t nSaid = v.pSink->said.size();
    v.Up();
    ASSERT_EQ(v.pSink->said.size(), nSaid + 1);
    EXPECT_EQ(v.pSink->said.back(), "high E string, column 1: empty");
    v.Left();   // refused too, and refreshes: still said once
    ASSERT_EQ(v.pSink->said.size(), nSaid + 2);
    EXPECT_EQ(v.pSink->said.back(), "high E string, column 1: empty");
    v.Down(6);
    v.Down();   // below the last text row
    EXPECT_EQ(v.pSink->said.back(), "text row, column 1: empty");
    EXPECT_EQ(v.ui.beeps, 3);
    EXPECT_EQ(v.pSink->textEvents, 0);
}

// Every edit and command, on staffs full to their ends so that columns cascade over
// several staffs: the reader's copy stays exactly the document's text.
TEST(TabAccessibleTest, EventsKeepAReadersCopyInStepThroughCommands)
{
    AccessibleView v(5);
    for (int s = 0; s < 5; ++s) {
        for (int c = 1; c <= 76; c += 3)
            v.Put(s, (s + c) % 6, c, std::to_string((s + c) % 10));
        v.Put(s, 6, 70, "Em");
    }
    v.Attach();
    v.ClickCell(1, 2, 40);
    for (UINT nID : {ID_EDIT_INSERTCOLUMN, ID_EDIT_INSERTCOLUMN, ID_EDIT_MOVEDOWN, ID_EDIT_DELETECOLUMN,
                     ID_EDIT_MERGEUP, ID_EDIT_VERTICALBAR, ID_EDIT_INSERTSTAFF, ID_EDIT_DELETESTAFF}) {
        v.Command(nID);
        SCOPED_TRACE(nID);
        v.pSink->ExpectInStep();
        EXPECT_EQ(v.pSink->caret, v.pText->GetCaret());
    }
    EXPECT_GT(v.pSink->textEvents, 6);
    v.ClickCell(v.doc.m_nStaffs - 1, 0, 2);
    v.Command(ID_EDIT_DELETESTAFF);   // the last staff: the cursor steps back one
    v.pSink->ExpectInStep();
    EXPECT_EQ(v.pSink->lastRemoved.size(), 554u);
    EXPECT_EQ(v.pSink->said.back().rfind("staff ", 0), 0u);
}

TEST(TabAccessibleTest, RandomSessionsKeepTheCopyAndCaretInStep)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        AccessibleView v(2);
        std::mt19937 rng(seed);
        static const char kChars[] = "0123456789hpbr/\\v*^tx| Am\r\b";
        for (int step = 0; step < 1500; ++step) {
            switch (rng() % 8) {
            case 0: v.Up(); break;
            case 1: v.Down(); break;
            case 2: v.Left(); break;
            case 3: v.Right(); break;
            case 4: v.Delete(); break;
            case 5: {
                static const UINT kCommands[] = {ID_EDIT_INSERTCOLUMN, ID_EDIT_DELETECOLUMN, ID_EDIT_MOVEDOWN,
                                                 ID_EDIT_MERGEUP,      ID_EDIT_VERTICALBAR,  ID_EDIT_INSERTSTAFF,
                                                 ID_EDIT_DELETESTAFF};
                v.Command(kCommands[rng() % 7]);
                break;
            }
            default:
                v.Char(static_cast<unsigned char>(kChars[rng() % (sizeof(kChars) - 1)]));
                break;
            }
            if (step % 50 == 0 || v.pSink->mirror.size() != static_cast<size_t>(v.pText->GetLength())) {
                SCOPED_TRACE(::testing::Message() << "seed " << seed << " step " << step);
                v.pSink->ExpectInStep();
            }
            ASSERT_EQ(v.pSink->caret < 0 ? v.pText->GetCaret() : v.pSink->caret, v.pText->GetCaret()) << step;
        }
        v.pSink->ExpectInStep();
    }
}

TEST(TabAccessibleTest, ANewDocumentReplacesTheWholeTextInBoundedEvents)
{
    AccessibleView v(1);
    for (int i = 1; i < 2500; ++i)
        v.doc.InsertStaff(i - 1);
    v.doc.m_bStaffCountChanged = false;
    v.pSink->bBlindRemovals = true;
    v.view.OnInitialUpdate();
    v.Paint();
    v.pSink->ExpectInStep();
    EXPECT_EQ(v.pSink->textEvents, 1 + 3);   // the old staff; 2,500 staffs in three parts
    EXPECT_EQ(v.pSink->said.back(), "staff 1 of 2500, high E string, column 1: empty");
    EXPECT_EQ(v.pSink->caret, 1);
}

TEST(TabAccessibleTest, ACaretSetByTheReaderMovesTheCursorToACellItMayRestOn)
{
    AccessibleView v(2);
    v.pText->SetCaret(CTabText::OffsetOf(1, 7, 0));   // the empty line: the text row, column 1
    EXPECT_EQ(v.Staff(), 1);
    EXPECT_EQ(v.RowIdx(), 6);
    EXPECT_EQ(v.Col(), 1);
    EXPECT_EQ(v.pSink->caret, CTabText::OffsetOf(1, 6, 1));
    v.pText->SetValue(1);
    EXPECT_EQ(v.Staff(), 0);
    // The cell's rectangle and the point inside it name the same offset.
    const long long nOffset = CTabText::OffsetOf(1, 3, 20);
    const CRect rc = v.pText->GetCharRect(nOffset);
    EXPECT_EQ(rc.Width(), v.host.cell.cx);
    EXPECT_EQ(v.pText->GetOffsetAt(CPoint(rc.left + 1, rc.top + 1)), nOffset);
    EXPECT_EQ(v.pText->GetOffsetAt(CPoint(0, 0)), -1);   // the margin holds no cell
}

TEST(TabAccessibleTest, NothingIsMadeUntilAssistiveTechnologyAsks)
{
    ViewHarness h;
    h.Type("12");
    CAccessibleText* pText = h.view.GetAccessibleText();
    ASSERT_NE(pText, nullptr);
    EXPECT_EQ(pText->GetName(), "Tablature");
    EXPECT_EQ(pText->GetDescription(), "staff 1 of 1, high E string, column 3: empty");
    h.view.ReleaseAccessibleText();
    h.Type("3");   // no model: nothing to tell and nothing to fail
    EXPECT_EQ(h.Row(0, 0).substr(0, 5), "-123-");
}

} // namespace
