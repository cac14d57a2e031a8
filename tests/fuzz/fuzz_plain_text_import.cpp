// Feeds arbitrary bytes to the plain-text import, then checks that every staff it made
// is one the editor could have made, that the import says what it did, and that the
// document survives a .tab save and a second read unchanged.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "document/FretlyDoc.h"
#include "framework/Archive.h"
#include "framework/MemFile.h"
#include "FuzzSupport.h"
#include "interop/PlainTextExport.h"
#include "interop/PlainTextImport.h"

namespace {

// Beyond the shape every document has: the edge columns hold filler and the first row
// only what a string row may hold, as in a staff the editor makes.
void CheckEdges(const CFretlyDoc& doc)
{
    for (const auto& pStaff : doc.m_ppStaffs) {
        for (int r = 0; r < STAFF_ROWS; ++r) {
            Check(pStaff->m_rows[r][0] == FillerFor(r) && pStaff->m_rows[r][STAFF_COLUMNS - 1] == FillerFor(r));
        }
        // The first string row too: printable, no blanks (the reader keeps that row's bytes).
        for (int c = 0; c < STAFF_COLUMNS; ++c)
            Check(pStaff->m_rows[0][c] > 0x20 && pStaff->m_rows[0][c] < 0x7F);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CFretlyDoc doc;
    doc.m_strSongTitle = "kept";
    CPlainTextImport report;
    if (!ImportPlainText(text, doc, report)) {
        // Refused: the document is as it was.
        Check(doc.m_strSongTitle == "kept" && doc.m_nStaffs == 1);
        Check(report.nStaffs == 0);
        return 0;
    }
    fuzz::CheckStaffs(doc);
    CheckEdges(doc);
    Check(report.nStaffs == doc.m_nStaffs && report.nSystems >= 1 && report.nSystems <= report.nStaffs);
    // A system takes four lines of at least three characters.
    Check(static_cast<std::size_t>(report.nSystems) * 16 <= size + 4);
    for (const std::string* field : {&doc.m_strArtist, &doc.m_strSongTitle, &doc.m_strAlbum, &doc.m_strTranscriber,
                                     &doc.m_strEmail})
        Check(field->find_first_of("\r\n") == std::string::npos);

    // Saved as .tab and read back: the same staffs and header fields.
    const std::string saved = fuzz::Save(doc);
    CFretlyDoc back;
    {
        CMemFile file(saved, false);
        CArchive ar(&file, CArchive::load);
        back.Serialize(ar);
    }
    Check(back.m_nStaffs == doc.m_nStaffs);
    for (int s = 0; s < doc.m_nStaffs; ++s)
        Check(std::memcmp(back.m_ppStaffs[s]->m_rows, doc.m_ppStaffs[s]->m_rows, sizeof doc.m_ppStaffs[s]->m_rows) == 0);
    Check(fuzz::Save(back) == saved);

    // The text export of it imports again (its staffs need not match: an import may make
    // staffs whose lines do not look like music on their own).
    std::string exported;
    Check(ExportPlainText(doc, exported));
    CFretlyDoc again;
    CPlainTextImport againReport;
    ImportPlainText(exported, again, againReport);
    return 0;
}
