// Export 11: the platform's contact chooser, offering the contacts that can receive text messages.
#include "Exports.h"

#include <pimstore.h>

HRESULT WINAPI PickContact(HWND owner, CEOID* contact)
{
    if (!contact)
        return E_INVALIDARG;
    static const CEPROPID kRequired[] = {PIMPR_ALL_TEXT_MESSAGING};
    CHOOSECONTACT request{};
    request.cbSize = sizeof request; // the device's record is 52 bytes; handles and pointers are wider here
    request.hwndOwner = owner;
    request.cRequiredProperties = ARRAYSIZE(kRequired);
    request.rgpropidRequiredProperties = kRequired;
    HRESULT hr = ChooseContact(&request);
    if (SUCCEEDED(hr))
        *contact = request.oidContactID;
    return hr;
}
