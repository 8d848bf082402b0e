#include "framework/MessageMap.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP messageMap = {nullptr, entries};
    return &messageMap;
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    const bool bMatchCodeAndId = nMessage == WM_COMMAND || nMessage == WM_NOTIFY;
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr)
    {
        for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->nMessage != 0; ++pEntry)
        {
            if (pEntry->nMessage != nMessage)
                continue;
            if (bMatchCodeAndId && (pEntry->nCode != nCode || pEntry->nID != nID))
                continue;
            return pEntry;
        }
    }
    return nullptr;
}
