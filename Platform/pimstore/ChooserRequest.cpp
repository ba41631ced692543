#include "ChooserRequest.h"

#include <windows.h>

namespace device::contacts {
namespace {

constexpr DWORD kServedFlags = CCF_HIDENEW | CCF_CHOOSECONTACTONLY | CCF_RETURNCONTACTNAME | CCF_RETURNPROPERTYVALUE;

// The properties whose values include a contact's mobile number.
bool IncludesMobile(CEPROPID property)
{
    switch (property) {
    case PIMPR_MOBILE_TELEPHONE_NUMBER:
    case PIMPR_ALL_TEXT_MESSAGING:
    case PIMPR_ALL_PHONE:
    case PIMPR_ALL_VOICE:
    case PIMPR_ALL_PHONE_AND_SIM:
    case PIMPR_ALL_COMMUNICATION_METHODS: return true;
    default: return false;
    }
}

} // namespace

HRESULT ReadRequest(const CHOOSECONTACT* record, ChooserRequest* request)
{
    if (!record || record->cbSize != sizeof(CHOOSECONTACT)) return E_INVALIDARG;
    if (record->cRequiredProperties && !record->rgpropidRequiredProperties) return E_INVALIDARG;
    if (record->hwndOwner && !IsWindow(record->hwndOwner)) return E_INVALIDARG;
    if (record->dwFlags & ~kServedFlags) return E_NOTIMPL;
    if (record->lpstrRestrictContacts || (record->lpstrIncrementalFilter && *record->lpstrIncrementalFilter))
        return E_NOTIMPL;

    request->owner = record->hwndOwner;
    request->title = record->lpstrTitle ? record->lpstrTitle : u"Select a Contact";
    request->returnName = record->dwFlags & CCF_RETURNCONTACTNAME;
    request->returnValue = record->dwFlags & CCF_RETURNPROPERTYVALUE;
    request->offer = record->cRequiredProperties ? Offer::Nobody : Offer::Everyone;
    for (UINT i = 0; i < record->cRequiredProperties; ++i) {
        if (IncludesMobile(record->rgpropidRequiredProperties[i])) request->offer = Offer::WithMobile;
    }
    return S_OK;
}

std::vector<Contact> Offered(const ChooserRequest& request)
{
    if (request.offer == Offer::Nobody) return {};
    std::vector<Contact> contacts = List();
    if (request.offer == Offer::WithMobile)
        std::erase_if(contacts, [](const Contact& contact) { return contact.mobile.empty(); });
    return contacts;
}

HRESULT WriteChoice(const ChooserRequest& request, const Contact& chosen, CHOOSECONTACT* record)
{
    record->oidContactID = chosen.oid;
    bool withProperty = request.offer == Offer::WithMobile;
    if (withProperty) record->propidSelected = PIMPR_MOBILE_TELEPHONE_NUMBER;

    BSTR name = nullptr, value = nullptr;
    bool allocated = true;
    if (request.returnName) allocated = (name = SysAllocString(chosen.name.c_str())) != nullptr;
    if (request.returnValue && withProperty && allocated)
        allocated = (value = SysAllocString(chosen.mobile.c_str())) != nullptr;
    if (!allocated) {
        SysFreeString(name);
        return S_FALSE;
    }
    if (request.returnName) record->bstrContactName = name;
    if (request.returnValue && withProperty) record->bstrPropertyValueSelected = value;
    return S_OK;
}

} // namespace device::contacts
