#pragma once
// Staffs and documents written the way a user types them, for the interop tests.
#include <string>
#include <vector>

#include "document/FretlyDoc.h"

// A staff from up to six string rows given from column 1 on (column 0 and the rest stay
// filler) and an optional text row, also from column 1.
inline void FillStaff(CStaff& staff, const std::vector<std::string>& strings, const std::string& text = "")
{
    staff = CStaff();
    for (std::size_t r = 0; r < strings.size() && r < STRING_ROWS; ++r)
        strings[r].copy(staff.m_rows[r] + 1, std::min<std::size_t>(strings[r].size(), LAST_MUSIC_COLUMN));
    text.copy(staff.m_rows[TEXT_ROW] + 1, std::min<std::size_t>(text.size(), LAST_MUSIC_COLUMN));
}

// A document of the given staffs (each six rows and a text row as above) and comments.
struct CSongStaff {
    std::vector<std::string> strings;
    std::string text = {};
};

inline void FillDoc(CFretlyDoc& doc, const std::vector<CSongStaff>& staffs, const std::string& comments = "")
{
    doc.m_bSkipHeaderDialog = true;
    doc.OnNewDocument();
    doc.m_strComments = comments;
    for (std::size_t s = 0; s < staffs.size(); ++s) {
        if (s > 0)
            doc.InsertStaff(doc.m_nStaffs - 1);
        FillStaff(*doc.m_ppStaffs[s], staffs[s].strings, staffs[s].text);
    }
}
