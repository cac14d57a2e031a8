#pragma once
// Small helpers for building tablatures in document tests and reading them back.
#include <cstring>
#include <memory>
#include <string>

#include "document/FretlyDoc.h"

// A document of nStaffs empty staffs, as after File New with more staffs inserted.
inline void ResetDocument(CFretlyDoc& doc, int nStaffs)
{
    doc.m_ppStaffs.clear();
    for (int s = 0; s < nStaffs; ++s)
        doc.m_ppStaffs.push_back(std::make_unique<CStaff>());
    doc.m_nStaffs = nStaffs;
    doc.m_bStaffCountChanged = false;
    doc.SetModifiedFlag(false);
}

inline CStaff& StaffOf(CFretlyDoc& doc, int nStaff) { return *doc.m_ppStaffs.at(nStaff); }

// Writes text into one row of a staff starting at nCol.
inline void Put(CFretlyDoc& doc, int nStaff, int nRow, int nCol, const std::string& text)
{
    std::memcpy(StaffOf(doc, nStaff).m_rows[nRow] + nCol, text.data(), text.size());
}

// Columns nFirst..nLast of a row as a string.
inline std::string Cells(CFretlyDoc& doc, int nStaff, int nRow, int nFirst, int nLast)
{
    return std::string(StaffOf(doc, nStaff).m_rows[nRow] + nFirst, static_cast<size_t>(nLast - nFirst + 1));
}

inline std::string WholeRow(CFretlyDoc& doc, int nStaff, int nRow) { return Cells(doc, nStaff, nRow, 0, 77); }

// A staff whose string rows carry fret numbers from column 1 to 76 with a filler
// between them, as typing fills a staff: "3-5-7-10-12-3-5-..." with the last one
// ending in column 76. The text row holds a chord name at column 1.
inline void FillLikeTyping(CStaff& staff)
{
    static const char* const frets[] = {"3", "5", "7", "10", "12"};
    for (int r = 0; r < STRING_ROWS; ++r) {
        int c = 1;
        for (int i = r;; ++i) {
            const char* fret = frets[i % 5];
            const int width = static_cast<int>(std::strlen(fret));
            if (c + width - 1 > 76)
                break;
            std::memcpy(staff.m_rows[r] + c, fret, static_cast<size_t>(width));
            c += width + 1;
        }
        staff.m_rows[r][76] = '9';
    }
    std::memcpy(staff.m_rows[TEXT_ROW] + 1, "Am", 2);
}

// Every row still holds 78 columns followed by its terminator.
inline bool RowsIntact(const CStaff& staff)
{
    for (int r = 0; r < STAFF_ROWS; ++r) {
        if (staff.m_rows[r][STAFF_COLUMNS] != '\0' || std::strlen(staff.m_rows[r]) != STAFF_COLUMNS)
            return false;
    }
    return true;
}

// Everything in use in one row of the whole tablature, in order: the characters
// that are not filler, staff after staff.
inline std::string SequenceOf(const CFretlyDoc& doc, int nRow)
{
    std::string seq;
    const char filler = FillerFor(nRow);
    for (int s = 0; s < doc.m_nStaffs; ++s) {
        const char* row = doc.m_ppStaffs[s]->m_rows[nRow];
        for (int c = 0; c < STAFF_COLUMNS; ++c) {
            if (row[c] != filler)
                seq += row[c];
        }
    }
    return seq;
}
