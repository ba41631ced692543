// The contact chooser (ChooseContact): the user picks one of the contacts that have a required property;
// the chosen contact's identifier, and the property and texts asked for, go back in the caller's record.
#include <pimstore.h>

#include "ChooserDialog.h"
#include "ChooserRequest.h"

#include "device/Database.h"

#include <new>

using namespace device::contacts;

STDAPI ChooseContact(LPCHOOSECONTACT lpcc)
{
    ChooserRequest request;
    if (HRESULT hr = ReadRequest(lpcc, &request); FAILED(hr)) return hr;
    try {
        std::vector<Contact> offered = Offered(request);
        size_t chosen = 0;
        if (HRESULT hr = RunChooserDialog(request.owner, request.title, offered, &chosen); FAILED(hr)) return hr;
        return WriteChoice(request, offered[chosen], lpcc);
    } catch (const device::DatabaseError&) {
        return E_FAIL;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
