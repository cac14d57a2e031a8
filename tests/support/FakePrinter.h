#pragma once
// A printer for headless tests: a page of chosen size and cell, installed as the printing
// system while it lives. It records what the print loop asked of it and every page's
// TextOut calls; a test can make it refuse the job, the start of the document or a page.
#include <string>
#include <vector>

#include "framework/PrintInfo.h"
#include "framework/Printing.h"
#include "support/RecordingDC.h"

class FakePrinterDC : public RecordingDC {
public:
    FakePrinterDC(CSize cell, int nHorzRes, int nVertRes)
        : RecordingDC(cell, CRect(0, 0, nHorzRes, nVertRes)), m_nHorzRes(nHorzRes), m_nVertRes(nVertRes)
    {
    }
    bool IsPrinting() const override { return true; }
    int GetDeviceCaps(int nIndex) const override
    {
        return nIndex == HORZRES ? m_nHorzRes : nIndex == VERTRES ? m_nVertRes : 96;
    }
    // The paper changed (turned, or another size).
    void SetPage(int nHorzRes, int nVertRes)
    {
        m_nHorzRes = nHorzRes;
        m_nVertRes = nVertRes;
    }

private:
    int m_nHorzRes;
    int m_nVertRes;
};

struct PrintedPage {
    UINT nPage;                       // the page number the view was asked for
    std::vector<TextOutCall> calls;
};

class FakePrinter : public CPrintingSystem {
public:
    FakePrinter(CSize cell, int nHorzRes, int nVertRes) : cell(cell), nHorzRes(nHorzRes), nVertRes(nVertRes)
    {
        AfxSetPrintingSystem(this);
    }
    ~FakePrinter() override { AfxSetPrintingSystem(nullptr); }

    class Job : public CPrintJob {
    public:
        Job(FakePrinter& owner, CPrintInfo& info)
            : m_owner(owner), m_info(info), m_dc(owner.cell, owner.nHorzRes, owner.nVertRes)
        {
        }
        ~Job() override { m_owner.log.push_back("close"); }
        CDC* GetDC() override { return &m_dc; }
        bool StartDoc(const std::string& docName) override
        {
            m_owner.log.push_back("StartDoc " + docName);
            return !m_owner.bFailStartDoc;
        }
        bool StartPage() override
        {
            m_owner.log.push_back("StartPage");
            m_dc.calls.clear();
            return m_owner.nFailStartPage != static_cast<int>(m_info.m_nCurPage);
        }
        bool EndPage() override
        {
            m_owner.log.push_back("EndPage");
            m_owner.pages.push_back({m_info.m_nCurPage, m_dc.calls});
            return true;
        }
        bool EndDoc() override
        {
            m_owner.log.push_back("EndDoc");
            return !m_owner.bFailEndDoc;
        }
        void AbortDoc() override { m_owner.log.push_back("AbortDoc"); }

        // Logs the pages it is told of; "cancels" once the page after nCancelAfterPage
        // is due, as a user pressing Cancel while that page went out.
        class Status : public CPrintStatus {
        public:
            explicit Status(FakePrinter& owner) : m_owner(owner) {}
            ~Status() override { m_owner.log.push_back("status closed"); }
            bool OnPage(UINT nPage, UINT nPages) override
            {
                if (m_owner.nCancelAfterPage != 0 && nPage > m_owner.nCancelAfterPage)
                    return false;
                m_owner.log.push_back("status " + std::to_string(nPage) + "/" + std::to_string(nPages));
                return true;
            }

        private:
            FakePrinter& m_owner;
        };
        std::unique_ptr<CPrintStatus> OpenStatus(const CPrintInfo&) override
        {
            if (!m_owner.bStatusWindow)
                return nullptr;
            m_owner.log.push_back("status open");
            return std::make_unique<Status>(m_owner);
        }

        bool RunPreview(CPrintInfo& info, const std::function<void()>& layOut,
                        const std::function<void(UINT)>& drawPage) override
        {
            m_owner.log.push_back("preview");
            layOut();
            m_owner.previewMaxPage = info.GetMaxPage();
            for (std::size_t i = 0; i < m_owner.previewShows.size(); ++i) {
                if (m_owner.nTurnPaperAt != 0 && i == m_owner.nTurnPaperAt) {
                    m_dc.SetPage(m_owner.nTurnedHorzRes, m_owner.nTurnedVertRes);
                    layOut();
                    m_owner.previewMaxPageTurned = info.GetMaxPage();
                }
                m_dc.calls.clear();
                const UINT nPage = m_owner.previewShows[i];
                drawPage(nPage);
                m_owner.pages.push_back({nPage, m_dc.calls});
            }
            if (m_owner.nPreviewChoice != 0)
                info.m_nNumPreviewPages = m_owner.nPreviewChoice;
            info.m_bPrintFromPreview = m_owner.bPrintFromPreview;
            return true;
        }

    private:
        FakePrinter& m_owner;
        CPrintInfo& m_info;
        FakePrinterDC m_dc;
    };

    std::unique_ptr<CPrintJob> OpenJob(CPrintInfo& info) override
    {
        log.push_back(info.m_bPreview ? "open preview" : info.m_bDirect ? "open direct" : "open dialog");
        printerName = info.m_strPrinterName;
        previewPagesOffered = info.m_nNumPreviewPages;
        if (bCancel)
            return nullptr;
        if (nDialogFrom != 0) {
            info.SetFromPage(nDialogFrom);
            info.SetToPage(nDialogTo);
        }
        return std::make_unique<Job>(*this, info);
    }
    void PrintSetup() override { log.push_back("setup"); }

    // Pages as lists of texts, for comparing whole pages.
    static std::vector<std::string> Texts(const PrintedPage& page)
    {
        std::vector<std::string> texts;
        for (const TextOutCall& call : page.calls)
            texts.push_back(call.text);
        return texts;
    }

    CSize cell;
    int nHorzRes;
    int nVertRes;
    bool bCancel = false;          // the Print dialog is cancelled
    bool bFailStartDoc = false;
    bool bFailEndDoc = false;
    int nFailStartPage = 0;        // page whose start fails (0: none)
    UINT nDialogFrom = 0;          // a page range chosen in the Print dialog (0: all)
    UINT nDialogTo = 0;
    std::vector<UINT> previewShows;   // pages the preview draws, in order
    UINT nPreviewChoice = 0;          // pages side by side the user picks in the preview
    std::size_t nTurnPaperAt = 0;     // before this preview draw the paper changes (0: never)
    int nTurnedHorzRes = 0;
    int nTurnedVertRes = 0;
    UINT previewMaxPageTurned = 0;
    bool bPrintFromPreview = false;   // the preview is closed by its Print button
    bool bStatusWindow = false;       // jobs show a status window
    UINT nCancelAfterPage = 0;        // Cancel pressed while this page goes out (0: never)
    UINT previewPagesOffered = 0;
    UINT previewMaxPage = 0;
    std::string printerName;
    std::vector<std::string> log;
    std::vector<PrintedPage> pages;
};
