#pragma once
// Reading and writing .tab text in memory, and building lines, for the document tests.
#include <string>
#include <string_view>
#include <vector>

#include "document/FretlyDoc.h"
#include "framework/Archive.h"
#include "framework/MemFile.h"
#include "framework/Recovery.h"
#include "framework/View.h"

// A view that only counts the updates it receives.
class CCountingView : public CView {
public:
    void OnDraw(CDC*) override {}
    void OnUpdate(CView*, LPARAM, CObject*) override { ++m_nUpdates; }
    int m_nUpdates = 0;
};

inline void LoadTab(CFretlyDoc& doc, std::string_view bytes)
{
    CMemFile file(bytes);
    CArchive ar(&file, CArchive::load);
    doc.Serialize(ar);
}

inline std::string SaveTab(CFretlyDoc& doc)
{
    std::string text;
    AfxDocumentText(doc, text);
    return text;
}

// Joins lines, each ending with CR LF.
inline std::string Lines(const std::vector<std::string>& lines, std::string_view eol = "\r\n")
{
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += eol;
    }
    return out;
}

inline const std::string kRule = "#" + std::string(77, '-') + "#";

// The banner as a file made by Fretly begins.
inline std::vector<std::string> Banner()
{
    return {kRule, g_szBanner[1], kRule, ""};
}

inline std::string Row(const CFretlyDoc& doc, int nStaff, int nRow)
{
    return std::string(doc.m_ppStaffs[nStaff]->m_rows[nRow], STAFF_COLUMNS);
}

// A row of 78 characters: text followed by filler.
inline std::string Padded(std::string text, char filler)
{
    text.resize(STAFF_COLUMNS, filler);
    return text;
}

// A document that has used up its first header dialog call, as after start-up.
class CStartedDoc : public CFretlyDoc {
public:
    CStartedDoc()
    {
        OnNewDocument();
        SetModifiedFlag(false);
    }
};
