#pragma once
// What one print or preview job is about: the page range, the page being printed and
// the job the printing system opened for it.
#include <memory>
#include <string>

#include "framework/Types.h"

class CPrintJob;

class CPrintInfo {
public:
    CPrintInfo();
    ~CPrintInfo();
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    // The document's pages; the maximum stays open until the view knows its page count.
    void SetMinPage(UINT nMinPage) { m_nMinPage = nMinPage; }
    void SetMaxPage(UINT nMaxPage) { m_nMaxPage = nMaxPage; }
    UINT GetMinPage() const { return m_nMinPage; }
    UINT GetMaxPage() const { return m_nMaxPage; }

    // The range the user asked for (all pages unless the Print dialog narrowed it).
    void SetFromPage(UINT nFromPage) { m_nFromPage = nFromPage; }
    void SetToPage(UINT nToPage) { m_nToPage = nToPage; }
    UINT GetFromPage() const { return m_nFromPage; }
    UINT GetToPage() const { return m_nToPage; }

    // The pages actually printed: the requested range within the document's pages.
    // Empty (first > last) when they do not meet.
    UINT GetFirstPrintedPage() const;
    UINT GetLastPrintedPage() const;

    static constexpr UINT kOpenMaxPage = 0xFFFF;

    bool m_bDirect = false;            // no Print dialog (command-line printing)
    bool m_bPreview = false;           // the job feeds print preview
    bool m_bContinuePrinting = true;   // a view may clear it to end the job early
    bool m_bUserAbort = false;         // the user cancelled the job in its status window
    bool m_bPrintFromPreview = false;  // preview: closed by its Print button
    UINT m_nCurPage = 1;               // the page being printed, 1-based
    UINT m_nNumPreviewPages = 0;       // preview: pages side by side (0: not chosen yet)
    CRect m_rectDraw;                  // the printable area of the current page
    std::string m_strPrinterName;      // a named printer (command line "/pt"); empty: default
    std::string m_strDriverName;
    std::string m_strPortName;
    std::string m_strDocName;          // the job's name as the printer queue shows it

    std::unique_ptr<CPrintJob> m_pJob; // opened by CView::DoPreparePrinting

private:
    UINT m_nMinPage = 1;
    UINT m_nMaxPage = kOpenMaxPage;
    UINT m_nFromPage = 1;
    UINT m_nToPage = kOpenMaxPage;
};
