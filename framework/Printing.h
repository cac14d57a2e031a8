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

    // Preview jobs: shows the preview window until the user closes it, calling
    // drawPage(n) to draw page n on GetDC() whenever a page is needed. Jobs that cannot
    // preview return false.
    virtual bool RunPreview(CPrintInfo& info, const std::function<void(UINT)>& drawPage);
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
