// Randomised checks of the column operations: they agree with a plain recursive
// rendering of the reflow, lose nothing, append at most one staff, keep every row
// intact, and cascade through very long tablatures without exhausting the stack.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>

#include "core/document/TabFixture.h"

namespace {

// ---- Reference: the reflow written as the natural recursion ----------------
// Deliberately naive (cell by cell, one call per staff); only for small documents.

char RefFiller(int r) { return r == 6 ? ' ' : '-'; }

void RefInsertColumns(CFretlyDoc& doc, int s, int c, int n)
{
    if (n < 1 || c < 1)
        return;
    if (n > 77)
        n = 77;
    CStaff* p = doc.m_ppStaffs[s].get();
    int l = p->GetLastUsedColumn();
    if (l + n > 76) {
        const int b = 76 - n;
        int k = 0;
        for (int r = 0; b > 0 && r < 7; ++r) {
            int x = b;
            while (x > 0 && p->m_rows[r][x] != RefFiller(r))
                --x;
            if (b - x > k)
                k = b - x;
        }
        int first = 77 - n - k;
        if (first < 1)
            first = 1;
        if (first <= l) {
            const int m = l - first + 1;
            if (s == doc.m_nStaffs - 1)
                doc.InsertStaff(s);
            else
                RefInsertColumns(doc, s + 1, 1, m + (doc.m_ppStaffs[s + 1]->IsColumnEmpty(1) ? 0 : 1));
            CStaff* q = doc.m_ppStaffs[s + 1].get();
            for (int r = 0; r < 7; ++r) {
                for (int x = first; x <= l; ++x) {
                    q->m_rows[r][1 + x - first] = p->m_rows[r][x];
                    p->m_rows[r][x] = RefFiller(r);
                }
            }
            l = p->GetLastUsedColumn();
        }
    }
    if (c - 1 >= l)
        return;
    auto fresh = std::make_unique<CStaff>();
    for (int r = 0; r < 7; ++r) {
        for (int x = 0; x < c; ++x)
            fresh->m_rows[r][x] = p->m_rows[r][x];
        for (int x = c; x <= l; ++x)
            fresh->m_rows[r][x + n] = p->m_rows[r][x];
    }
    doc.m_ppStaffs[s] = std::move(fresh);
}

void RefMoveDown(CFretlyDoc& doc, int s, int c)
{
    CStaff* p = doc.m_ppStaffs[s].get();
    const int l = p->GetLastUsedColumn();
    if (l - c < 0)
        return;
    if (s == doc.m_nStaffs - 1)
        doc.InsertStaff(s);
    else
        RefInsertColumns(doc, s + 1, 1, l - c + (doc.m_ppStaffs[s + 1]->IsColumnEmpty(1) ? 0 : 1));
    CStaff* q = doc.m_ppStaffs[s + 1].get();
    for (int r = 0; r < 7; ++r) {
        for (int x = c + 1; x <= l; ++x) {
            q->m_rows[r][x - c] = p->m_rows[r][x];
            p->m_rows[r][x] = RefFiller(r);
        }
    }
}

// ---- Random tablatures ----------------------------------------------------

class CRandomTab {
public:
    explicit CRandomTab(unsigned nSeed) : m_rng(nSeed) {}

    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }

    // bEdges: also put content into columns 0 and 77, which the editor never does
    // but a file may.
    void Fill(CFretlyDoc& doc, int nStaffs, bool bEdges)
    {
        ResetDocument(doc, nStaffs);
        for (int s = 0; s < nStaffs; ++s) {
            CStaff& staff = StaffOf(doc, s);
            // Full staffs often, so that overflows cascade.
            const int nUsedTo = Between(0, 3) == 0 ? Between(0, 76) : 76;
            const int nDensity = Between(1, 9);
            for (int r = 0; r < STAFF_ROWS; ++r) {
                for (int c = 1; c <= nUsedTo; ++c) {
                    if (Between(0, 9) < nDensity)
                        staff.m_rows[r][c] = Content(r);
                }
                if (bEdges && Between(0, 3) == 0)
                    staff.m_rows[r][0] = Content(r);
                if (bEdges && Between(0, 3) == 0)
                    staff.m_rows[r][77] = Content(r);
            }
            if (Between(0, 2) == 0)
                staff.m_rows[Between(0, 6)][1] = 'x';  // column 1 decides the gap
        }
    }

private:
    char Content(int nRow)
    {
        static const char kString[] = "0123456789hp/\\|bx~ ";  // a blank is content here
        static const char kText[] = "ACDEGm7-()";
        return nRow == TEXT_ROW ? kText[Between(0, sizeof kText - 2)] : kString[Between(0, sizeof kString - 2)];
    }

    std::mt19937 m_rng;
};

void ExpectSameTablature(const CFretlyDoc& a, const CFretlyDoc& b, const std::string& what)
{
    ASSERT_EQ(a.m_nStaffs, b.m_nStaffs) << what;
    for (int s = 0; s < a.m_nStaffs; ++s) {
        for (int r = 0; r < STAFF_ROWS; ++r) {
            ASSERT_EQ(std::memcmp(a.m_ppStaffs[s]->m_rows[r], b.m_ppStaffs[s]->m_rows[r], STAFF_COLUMNS + 1), 0)
                << what << ": staff " << s << " row " << r << "\n  "
                << a.m_ppStaffs[s]->m_rows[r] << "\n  " << b.m_ppStaffs[s]->m_rows[r];
        }
    }
}

TEST(ColumnOpsPropertyTest, CascadeMatchesTheRecursiveReflow)
{
    CRandomTab random(20261208);
    for (int nTrial = 0; nTrial < 3000; ++nTrial) {
        CFretlyDoc doc, ref;
        const int nStaffs = random.Between(1, 6);
        const unsigned nSeed = static_cast<unsigned>(nTrial);
        CRandomTab(nSeed).Fill(doc, nStaffs, true);
        CRandomTab(nSeed).Fill(ref, nStaffs, true);
        const int s = random.Between(0, nStaffs - 1);
        const int c = random.Between(0, 3) == 0 ? 1 : random.Between(1, 76);
        std::string what;
        if (nTrial % 2 == 0) {
            const int n = random.Between(0, 4) == 0 ? random.Between(1, 90) : 1;
            doc.InsertColumns(s, c, n);
            RefInsertColumns(ref, s, c, n);
            what = "InsertColumns(" + std::to_string(s) + ", " + std::to_string(c) + ", " + std::to_string(n) + ")";
        } else {
            doc.MoveDown(s, c);
            RefMoveDown(ref, s, c);
            what = "MoveDown(" + std::to_string(s) + ", " + std::to_string(c) + ")";
        }
        ExpectSameTablature(doc, ref, "trial " + std::to_string(nTrial) + " " + what);
        if (HasFatalFailure())
            return;
    }
}

TEST(ColumnOpsPropertyTest, OperationsLoseNothingAndAppendAtMostOneStaff)
{
    CRandomTab random(77);
    for (int nDoc = 0; nDoc < 300; ++nDoc) {
        CFretlyDoc doc;
        random.Fill(doc, random.Between(1, 8), false);
        for (int nOp = 0; nOp < 25; ++nOp) {
            std::string before[STAFF_ROWS];
            for (int r = 0; r < STAFF_ROWS; ++r)
                before[r] = SequenceOf(doc, r);
            const int nStaffsBefore = doc.m_nStaffs;
            const int s = random.Between(0, doc.m_nStaffs - 1);
            const int c = random.Between(1, 76);
            const int nKind = random.Between(0, 2);
            if (nKind == 0)
                doc.InsertColumns(s, c, 1);
            else if (nKind == 1)
                doc.MoveDown(s, c);
            else
                doc.MergeUp(s);

            const std::string what = "doc " + std::to_string(nDoc) + " op " + std::to_string(nOp) + " kind " +
                                     std::to_string(nKind) + " at " + std::to_string(s) + "," + std::to_string(c);
            ASSERT_LE(doc.m_nStaffs, nStaffsBefore + 1) << what;
            ASSERT_GE(doc.m_nStaffs, nStaffsBefore) << what;
            if (nKind == 2) {
                ASSERT_EQ(doc.m_nStaffs, nStaffsBefore) << what;
            }
            for (int r = 0; r < STAFF_ROWS; ++r)
                ASSERT_EQ(SequenceOf(doc, r), before[r]) << what << " row " << r;
            for (int t = 0; t < doc.m_nStaffs; ++t)
                ASSERT_TRUE(RowsIntact(StaffOf(doc, t))) << what << " staff " << t;
        }
    }
}

// ---- Very long tablatures -------------------------------------------------

// A 64-bit digest of one row's sequence, so a 200,000-staff document can be
// compared before and after without holding its text twice.
uint64_t SequenceDigest(const CFretlyDoc& doc, int nRow)
{
    uint64_t h = 1469598103934665603ull;
    const char filler = FillerFor(nRow);
    for (int s = 0; s < doc.m_nStaffs; ++s) {
        const char* row = doc.m_ppStaffs[s]->m_rows[nRow];
        for (int c = 0; c < STAFF_COLUMNS; ++c) {
            if (row[c] != filler)
                h = (h ^ static_cast<unsigned char>(row[c])) * 1099511628211ull;
        }
    }
    return h;
}

// Full staffs, each labelled with its index in the text row.
void FillLongTablature(CFretlyDoc& doc, int nStaffs)
{
    CStaff full;
    FillLikeTyping(full);
    doc.m_ppStaffs.clear();
    doc.m_ppStaffs.reserve(static_cast<size_t>(nStaffs) + 1);
    char label[16];
    for (int s = 0; s < nStaffs; ++s) {
        auto pStaff = std::make_unique<CStaff>(full);
        const int nLen = std::snprintf(label, sizeof label, "%d", s);
        std::memcpy(pStaff->m_rows[TEXT_ROW] + 40, label, static_cast<size_t>(nLen));
        doc.m_ppStaffs.push_back(std::move(pStaff));
    }
    doc.m_nStaffs = nStaffs;
}

constexpr int kLongTab = 200000;

TEST(ColumnOpsLongTest, InsertColumnCascadesThrough200000FullStaffs)
{
    CFretlyDoc doc;
    FillLongTablature(doc, kLongTab);
    uint64_t before[STAFF_ROWS];
    for (int r = 0; r < STAFF_ROWS; ++r)
        before[r] = SequenceDigest(doc, r);

    doc.InsertColumns(0, 1, 1);

    ASSERT_EQ(doc.m_nStaffs, kLongTab + 1);
    for (int r = 0; r < STAFF_ROWS; ++r)
        EXPECT_EQ(SequenceDigest(doc, r), before[r]) << "row " << r;
    // The cascade really went to the end: the last full staff passed a block on.
    EXPECT_GT(doc.m_ppStaffs[kLongTab]->GetLastUsedColumn(), 0);
    EXPECT_TRUE(RowsIntact(StaffOf(doc, kLongTab)));
}

TEST(ColumnOpsLongTest, MoveDownFromColumn1Through200000FullStaffsShiftsEveryStaffWhole)
{
    // From the third staff on the count reaching each staff is 77: every staff moves
    // down one place, unchanged.
    CFretlyDoc doc;
    FillLongTablature(doc, kLongTab);

    doc.MoveDown(0, 1);

    ASSERT_EQ(doc.m_nStaffs, kLongTab + 1);
    EXPECT_EQ(doc.m_ppStaffs[0]->GetLastUsedColumn(), 1);
    for (int s = 2; s <= kLongTab; ++s) {
        const std::string label = std::to_string(s - 1);
        if (Cells(doc, s, TEXT_ROW, 40, 39 + static_cast<int>(label.size())) != label ||
            StaffOf(doc, s).m_rows[0][76] != '9' || StaffOf(doc, s).m_rows[0][77] != '-' ||
            !RowsIntact(StaffOf(doc, s))) {
            FAIL() << "staff " << s << " is not the former staff " << s - 1 << ": "
                   << StaffOf(doc, s).m_rows[TEXT_ROW];
        }
    }
}

}  // namespace
