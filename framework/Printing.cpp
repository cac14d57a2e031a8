#include "framework/Printing.h"

#include "framework/PrintInfo.h"

namespace {
CPrintingSystem* g_pPrinting = nullptr;
}

void AfxSetPrintingSystem(CPrintingSystem* pSystem) { g_pPrinting = pSystem; }

CPrintingSystem* AfxGetPrintingSystem() { return g_pPrinting; }

std::unique_ptr<CPrintStatus> CPrintJob::OpenStatus(const CPrintInfo&) { return nullptr; }

bool CPrintJob::RunPreview(CPrintInfo&, const std::function<void()>&, const std::function<void(UINT)>&)
{
    return false;
}
