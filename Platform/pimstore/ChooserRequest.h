// What a contact chooser request asks for, and writing the user's choice back into the caller's record.
// The store keeps one address per contact, its mobile number, so a contact never has two properties to
// choose between and the chooser never asks which one.
#pragma once

#include "ContactsDevice.h"

#include <pimstore.h>

namespace device::contacts {

enum class Offer {
    Everyone,   // no property was required
    WithMobile, // a required property includes the mobile number: contacts that have one
    Nobody,     // only properties this store does not keep were required
};

struct ChooserRequest {
    HWND owner = nullptr;
    std::u16string title;
    Offer offer = Offer::Everyone;
    bool returnName = false;
    bool returnValue = false;
};

// E_INVALIDARG for a malformed record, E_NOTIMPL for a request this chooser does not serve (a
// restriction, an incremental filter, choosing a property only, no user interface).
HRESULT ReadRequest(const CHOOSECONTACT* record, ChooserRequest* request);

// The contacts offered, in filing order. Throws DatabaseError when the store fails.
std::vector<Contact> Offered(const ChooserRequest& request);

// Writes the identifier and what was asked for. S_FALSE when a text could not be allocated: the
// identifier and property are written, the texts are left null.
HRESULT WriteChoice(const ChooserRequest& request, const Contact& chosen, CHOOSECONTACT* record);

} // namespace device::contacts
