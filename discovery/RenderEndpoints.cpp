#include "discovery/RenderEndpoints.h"

bool FindRenderEndpoints(const Platform& /*platform*/, SysHandle /*hWnd*/, const char* pszPattern,
                         char16_t (*pszIds)[kSysMaxPath], char (*pszNames)[kSysMaxPath], std::int32_t* pnCount)
{
    if (!pszPattern || !pszIds || !pszNames || !pnCount)
        return false;
    *pnCount = 0;
    // The audio endpoint interfaces are not reached yet: no endpoint is found.
    return false;
}
