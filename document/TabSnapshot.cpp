#include "document/TabSnapshot.h"

#include <memory>

#include "document/FretlyDoc.h"
#include "framework/Recovery.h"

std::function<bool(std::string&)> AfxSnapshotTab(CDocument& doc)
{
    auto* pDoc = dynamic_cast<CFretlyDoc*>(&doc);
    if (pDoc == nullptr) {
        // Some other document: its text is made now.
        auto text = std::make_shared<std::string>();
        const bool bOk = AfxDocumentText(doc, *text);
        return [text, bOk](std::string& out) {
            out = std::move(*text);
            return bOk;
        };
    }
    auto copy = std::make_shared<CFretlyDoc>();
    for (const CHeaderField& field : g_headerFields)
        (*copy).*field.pDocField = pDoc->*field.pDocField;
    copy->m_bFairUse = pDoc->m_bFairUse;
    // A new document starts with one empty staff of its own; the copy has only the user's.
    copy->m_ppStaffs.clear();
    copy->m_ppStaffs.reserve(pDoc->m_ppStaffs.size());
    for (const auto& pStaff : pDoc->m_ppStaffs)
        copy->m_ppStaffs.push_back(std::make_unique<CStaff>(*pStaff));
    copy->m_nStaffs = static_cast<int>(copy->m_ppStaffs.size());
    return [copy](std::string& out) { return AfxDocumentText(*copy, out); };
}
