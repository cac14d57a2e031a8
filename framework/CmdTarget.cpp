#include "framework/CmdTarget.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

AFX_PMSG CCmdTarget::FindHandler(UINT nID) const
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn != nullptr; ++e) {
            if (e->nID == nID)
                return e->pfn;
        }
    }
    return nullptr;
}

bool CCmdTarget::HasCmdHandler(UINT nID) const { return FindHandler(nID) != nullptr; }

bool CCmdTarget::OnCmdMsg(UINT nID)
{
    AFX_PMSG pfn = FindHandler(nID);
    if (pfn == nullptr)
        return false;
    (this->*pfn)();
    return true;
}
