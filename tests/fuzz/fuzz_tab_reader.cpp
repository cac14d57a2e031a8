// Feeds arbitrary bytes to the .tab reader, then checks that every staff is well formed
// and that the staffs survive a save and a second read unchanged, and that a file Fretly
// wrote is written again byte for byte after it is read.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "document/FretlyDoc.h"
#include "framework/Archive.h"
#include "framework/MemFile.h"

namespace {

#define Check(cond)                                                                 \
    do {                                                                            \
        if (!(cond)) {                                                              \
            std::fprintf(stderr, "check failed at line %d: %s\n", __LINE__, #cond); \
            std::abort();                                                           \
        }                                                                           \
    } while (0)

// Hands out the bytes in small reads, so that line ends fall across buffer refills.
class CChunkFile : public CMemFile {
public:
    CChunkFile(std::string_view data, std::size_t nChunk) : CMemFile(data, false), m_nChunk(nChunk) {}
    std::size_t Read(void* pBuf, std::size_t nCount) override
    {
        return CMemFile::Read(pBuf, nCount < m_nChunk ? nCount : m_nChunk);
    }

private:
    std::size_t m_nChunk;
};

void Load(CFretlyDoc& doc, std::string_view bytes, std::size_t nChunk = 1 << 20)
{
    CChunkFile file(bytes, nChunk);
    CArchive ar(&file, CArchive::load);
    doc.Serialize(ar);
}

std::string Save(CFretlyDoc& doc)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    doc.Serialize(ar);
    ar.Close();
    return file.Detach();
}

void CheckStaffs(const CFretlyDoc& doc)
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte chooses how the file is cut into reads; the rest is the file.
    if (size == 0)
        return 0;
    const std::size_t nChunk = data[0] < 128 ? 1 + data[0] % 16 : 1 << 20;
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    size -= 1;
    CFretlyDoc doc;
    Load(doc, bytes, nChunk);
    CheckStaffs(doc);
    // One header line is at most 80 characters.
    for (const std::string* field : {&doc.m_strArtist, &doc.m_strSongTitle, &doc.m_strAlbum, &doc.m_strTranscriber,
                                     &doc.m_strEmail})
        Check(field->size() <= 80);
    // Each input byte adds at most two bytes of comment (a lone line end becomes CR LF).
    Check(doc.m_strComments.size() <= 2 * size + 2);

    // Read the saved text back into the same document, which reuses its staffs.
    std::string saved = Save(doc);
    std::vector<CStaff> before;
    for (const auto& pStaff : doc.m_ppStaffs)
        before.push_back(*pStaff);
    Load(doc, saved);
    CheckStaffs(doc);
    Check(doc.m_nStaffs == static_cast<int>(before.size()));
    for (int s = 0; s < doc.m_nStaffs; ++s)
        Check(std::memcmp(before[s].m_rows, doc.m_ppStaffs[s]->m_rows, sizeof before[s].m_rows) == 0);
    // What Fretly wrote reads back as itself: header fields and comments too.
    Check(Save(doc) == saved);
    return 0;
}
