#pragma once
// What the fuzz targets share: a check that aborts (so the fuzzer keeps the input), a
// save to memory, and the shape every staff of a document must have.
#include <cstring>
#include <string>

#include "document/FretlyDoc.h"
#include "framework/Archive.h"
#include "framework/MemFile.h"
#include "framework/Recovery.h"
#include "tests/fuzz/FuzzCheck.h"


namespace fuzz {

inline std::string Save(CFretlyDoc& doc)
{
    std::string text;
    Check(AfxDocumentText(doc, text));
    return text;
}

inline void CheckStaffs(const CFretlyDoc& doc)
{
    Check(doc.m_nStaffs >= 1);
    Check(doc.m_nStaffs == static_cast<int>(doc.m_ppStaffs.size()));
    for (const auto& pStaff : doc.m_ppStaffs) {
        for (int r = 0; r < STAFF_ROWS; ++r) {
            const char* row = pStaff->m_rows[r];
            Check(row[STAFF_COLUMNS] == '\0');
            Check(std::strlen(row) == STAFF_COLUMNS);
            for (int c = 0; c < STAFF_COLUMNS && r > 0; ++c) {
                const auto ch = static_cast<unsigned char>(row[c]);
                Check(ch >= 0x20 && ch <= 0x7E);
                Check(r == TEXT_ROW || ch != ' ');
            }
        }
    }
}

} // namespace fuzz
