// Opening what an entry identifier names, for the session (anything) and for a store or folder (what
// lies in its store).
#pragma once

#include <mapidefs.h>

#include <cstdint>

namespace device::mapi
{

// `store` 0: any store; else only folders and messages of that store. MAPI_E_NOT_FOUND when nothing (there)
// has that identifier; MAPI_E_UNKNOWN_ENTRYID for an identifier of no format this device hands out.
// lpulObjType may be null.
HRESULT OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID, int64_t store, ULONG* lpulObjType, LPUNKNOWN* lppUnk);

} // namespace device::mapi
