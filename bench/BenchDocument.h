#pragma once
// The benchmarks' tablature: a started document of nStaffs staffs, each with notes, chord
// names and a bar line, so every row is full the way a real song's are.
#include "document/FretlyDoc.h"

inline void AfxFillBenchDocument(CFretlyDoc& doc, int nStaffs)
{
    doc.OnNewDocument();
    doc.m_strArtist = "Benchmark Band";
    doc.m_strSongTitle = "Long Song";
    doc.m_strComments = "Generated for timing.\r\n";
    doc.m_ppStaffs.reserve(static_cast<std::size_t>(nStaffs));
    while (doc.m_nStaffs < nStaffs)
        doc.InsertStaff(doc.m_nStaffs - 1);
    for (int s = 0; s < nStaffs; ++s) {
        CStaff& staff = *doc.m_ppStaffs[s];
        for (int c = 2; c < 76; c += 4) {
            staff.m_rows[(s + c) % STRING_ROWS][c] = static_cast<char>('0' + (s + c) % 10);
            staff.m_rows[TEXT_ROW][c] = static_cast<char>('A' + c % 7);
        }
        doc.SetBarLine(s, 76);
    }
}
