// Exports 12 and 13: how many messages a folder holds, and emptying folders.
#include "Exports.h"
#include "WaitCursor.h"

#include <mapidefs.h>
#include <mapitags.h>
#include <mapix.h>

namespace {

HRESULT Empty(HWND owner, IMAPIFolder* folder)
{
    if (!folder)
        return E_INVALIDARG;
    return folder->EmptyFolder(reinterpret_cast<ULONG_PTR>(owner), nullptr, FOLDER_DIALOG);
}

} // namespace

HRESULT WINAPI GetFolderMessageCount(IMAPIFolder* folder, ULONG* count)
{
    if (!folder || !count)
        return E_INVALIDARG;
    *count = 0;
    SizedSPropTagArray(1, tags) = {1, {PR_CONTENT_COUNT}};
    ULONG valueCount = 0;
    LPSPropValue values = nullptr;
    HRESULT hr = folder->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &valueCount, &values);
    if (SUCCEEDED(hr) && values && valueCount == 1 && values[0].ulPropTag == PR_CONTENT_COUNT)
        *count = values[0].Value.ul;
    MAPIFreeBuffer(values);
    return hr;
}

HRESULT WINAPI EmptyFolders(HWND owner, BOOL emptyFirst, IMAPIFolder* first, BOOL emptySecond, IMAPIFolder* second)
{
    WaitCursor wait;
    HRESULT hr = S_OK;
    if (emptyFirst) {
        hr = Empty(owner, first);
        if (FAILED(hr))
            return hr;
    }
    if (emptySecond)
        hr = Empty(owner, second);
    return hr;
}
