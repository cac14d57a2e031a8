#include "framework/DialogTemplate.h"

namespace {

DialogTemplateFinder g_pfnFindProgramTemplate = nullptr;

} // namespace

void AfxSetProgramDialogTemplates(DialogTemplateFinder pfnFind) { g_pfnFindProgramTemplate = pfnFind; }

const DlgTemplate* FindDialogTemplate(UINT nID)
{
    return g_pfnFindProgramTemplate != nullptr ? g_pfnFindProgramTemplate(nID) : nullptr;
}
