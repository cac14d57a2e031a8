#pragma once
// The platform side of printing: the Print and Print Setup dialogs, the printer's device
// context with its documents and pages, and the preview window. The print loop itself
// (CView) stays toolkit-free; a platform installs its implementation, tests a fake.
#include <functional>
#include <memory>
#include <string>

#include "framework/Types.h"

class CDC;
class CPrintInfo;

// The printing-status window of one job: what is being printed and where, the page going
// out, and a Cancel button. It never waits for anyone; the loop asks it between pages.
class CPrintStatus {
public:
    virtual ~CPrintStatus() = default;
    // Page nPage (of nPages; 0 when the count is not known) is about to be sent. Lets the
    // program repaint and the user press Cancel; false once the user has cancelled, so the
    // job stops after the page that was last shown.
    virtual bool OnPage(UINT nPage, UINT nPages) = 0;
};

// One opened printer job. Its device context measures on the printer from the start;
// drawing reaches paper only between StartDoc and EndDoc.
class CPrintJob {
public:
    virtual ~CPrintJob() = default;

    virtual CDC* GetDC() = 0;
    // False when the printer or file cannot take the job.
    virtual bool StartDoc(const std::string& docName) = 0;
    virtual bool StartPage() = 0;
    virtual bool EndPage() = 0;
    virtual bool EndDoc() = 0;
    virtual void AbortDoc() = 0;

    // The status window for this job, shown until it is destroyed; null for none (no
    // one to see it, or a system without one).
    virtual std::unique_ptr<CPrintStatus> OpenStatus(const CPrintInfo& info);

    // Preview jobs: shows the preview window until the user closes it. Before each pass
    // over the pages (the first, and again after the paper, orientation or printer changed
    // in the window) it calls layOut(), which may change info's page count; then
    // drawPage(n) draws page n on GetDC(). When the user asks to print from the preview,
    // the window closes and info.m_bPrintFromPreview is set. Jobs that cannot preview
    // return false.
    virtual bool RunPreview(CPrintInfo& info, const std::function<void()>& layOut,
                            const std::function<void(UINT)>& drawPage);
};

class CPrintingSystem {
public:
    virtual ~CPrintingSystem() = default;

    // Opens a job for info: the Print dialog unless info.m_bDirect or info.m_bPreview
    // (it may narrow the page range); the named printer when info.m_strPrinterName is
    // set, else the printer chosen in Print Setup or the default one. Null when the user
    // cancels or no printer can be had; the system has then told the user why, except
    // for a cancel.
    virtual std::unique_ptr<CPrintJob> OpenJob(CPrintInfo& info) = 0;
    // The Print Setup dialog; its choice is used by the jobs opened after it.
    virtual void PrintSetup() = 0;
};

// Installs the implementation used from now on (nullptr: none, printing unavailable).
void AfxSetPrintingSystem(CPrintingSystem* pSystem);
CPrintingSystem* AfxGetPrintingSystem();
