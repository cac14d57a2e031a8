#include "document/FretlyDoc.h"

#include <algorithm>

#include "resources/Resource.h"

BEGIN_MESSAGE_MAP(CFretlyDoc, CDocument)
ON_COMMAND(ID_VIEW_HEADERS, OnViewHeaders)
END_MESSAGE_MAP()

namespace {

// Empties a string and gives back its memory: clear() and even assigning an empty string
// keep the capacity, and the comments of a huge file would stay after it is replaced.
void ReleaseString(std::string& str) { std::string().swap(str); }

} // namespace

CFretlyDoc::CFretlyDoc()
    : m_nStaffs(0),
      // Also for a document loaded at start-up, which never sees OnNewDocument.
      m_bFairUse(true),
      m_bStaffCountChanged(false),
      m_dlgFileInfo(nullptr),
      m_bSkipHeaderDialog(true)
{
    // A document read at start-up from an empty file (or /dev/null, or an empty FIFO)
    // is never read into, and the view needs a staff for its cursor.
    ResetStaffs();
}

std::unique_ptr<CDocument> AfxNewTabDocument() { return std::make_unique<CFretlyDoc>(); }

CFretlyDoc::~CFretlyDoc()
{
    CStaff::DeleteAll(m_ppStaffs);
    CStaff::DeleteAll(m_spareStaffs);
}

std::unique_ptr<CStaff> CFretlyDoc::NewStaff()
{
    if (m_spareStaffs.empty())
        return std::make_unique<CStaff>();
    std::unique_ptr<CStaff> pStaff = std::move(m_spareStaffs.back());
    m_spareStaffs.pop_back();
    *pStaff = CStaff();
    return pStaff;
}

void CFretlyDoc::ResetStaffs()
{
    CStaff::DeleteAll(m_ppStaffs);
    m_ppStaffs.push_back(NewStaff());
    m_nStaffs = 1;
}

void CFretlyDoc::ClearHeaderFields()
{
    for (const CHeaderField& field : g_headerFields)
        ReleaseString(this->*field.pDocField);
}

bool CFretlyDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return false;
    ResetStaffs();
    ClearHeaderFields();
    m_bFairUse = true;
    UpdateAllViews(nullptr, 0, nullptr);
    OnViewHeaders();
    return true;
}

void CFretlyDoc::InsertStaff(int nAfter)
{
    // An index past either end puts the staff at that end rather than outside the array.
    nAfter = std::clamp(nAfter, -1, m_nStaffs - 1);
    m_ppStaffs.insert(m_ppStaffs.begin() + (nAfter + 1), NewStaff());
    m_nStaffs = static_cast<int>(m_ppStaffs.size());
    m_bStaffCountChanged = true;
    SetModifiedFlag(true);
}

void CFretlyDoc::DeleteStaff(int nStaff)
{
    if (nStaff < 0 || nStaff >= m_nStaffs)
        return;
    if (m_nStaffs == 1) {
        // A document always keeps a staff for the cursor: the only staff is emptied.
        m_ppStaffs[0] = std::make_unique<CStaff>();
    } else {
        m_ppStaffs.erase(m_ppStaffs.begin() + nStaff);
        m_nStaffs = static_cast<int>(m_ppStaffs.size());
    }
    m_bStaffCountChanged = true;
}

void CFretlyDoc::SetBarLine(int nStaff, int nCol)
{
    if (nStaff < 0 || nStaff >= m_nStaffs || nCol < 0 || nCol >= STAFF_COLUMNS)
        return;
    for (int r = 0; r < STRING_ROWS; ++r)
        m_ppStaffs[nStaff]->m_rows[r][nCol] = '|';
}

void CFretlyDoc::OnViewHeaders()
{
    if (m_bSkipHeaderDialog) {
        m_bSkipHeaderDialog = false;
        return;
    }
    // The comments may be hundreds of megabytes: lent to the dialog rather than copied.
    // A cancelled dialog stores nothing, so they come back as they went.
    for (const CHeaderField& field : g_headerFields) {
        if (field.bLentToDialog)
            m_dlgFileInfo.*field.pDlgField = std::move(this->*field.pDocField);
        else
            m_dlgFileInfo.*field.pDlgField = this->*field.pDocField;
    }
    m_dlgFileInfo.m_bFairUse = m_bFairUse ? 1 : 0;
    auto takeBackLent = [this] {
        for (const CHeaderField& field : g_headerFields)
            if (field.bLentToDialog)
                this->*field.pDocField = std::move(m_dlgFileInfo.*field.pDlgField);
    };

    bool bOk = false;
    try {
        bOk = m_dlgFileInfo.DoModal() == IDOK;
    } catch (...) {
        takeBackLent();
        throw;
    }
    takeBackLent();
    if (bOk) {
        // Moved, not copied: the dialog keeps no second copy of a huge comment block.
        for (const CHeaderField& field : g_headerFields)
            if (!field.bLentToDialog)
                this->*field.pDocField = std::move(m_dlgFileInfo.*field.pDlgField);
        m_bFairUse = m_dlgFileInfo.m_bFairUse != 0;
        SetModifiedFlag(true);
    }
    for (const CHeaderField& field : g_headerFields)
        ReleaseString(m_dlgFileInfo.*field.pDlgField);
}
