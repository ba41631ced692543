// A contact item as GetItemFromOid hands it out: a copy of the contact taken at lookup. The store keeps a
// filing name and the mobile, business and home numbers; every other property, and changing, saving or
// showing the item, answers E_NOTIMPL, since the store has nothing true to say.
#pragma once

#include "ContactsDevice.h"
#include "DispatchObject.h"

namespace device::contacts {

class ContactItem final : public DispatchObject<IContact> {
public:
    explicit ContactItem(Contact contact) : DispatchObject(IID_IContact), m_contact(std::move(contact)) {}

    STDMETHODIMP get_FileAs(BSTR* ppwsz) override;
    STDMETHODIMP get_MobileTelephoneNumber(BSTR* ppwsz) override;
    STDMETHODIMP get_BusinessTelephoneNumber(BSTR* ppwsz) override;
    STDMETHODIMP get_HomeTelephoneNumber(BSTR* ppwsz) override;
    STDMETHODIMP get_Oid(long* poid) override;

#define UNSUPPORTED(method, type) \
    STDMETHODIMP method(type) override { return E_NOTIMPL; }
    UNSUPPORTED(get_Birthday, DATE*)
    UNSUPPORTED(get_Anniversary, DATE*)
    UNSUPPORTED(get_BusinessFaxNumber, BSTR*)
    UNSUPPORTED(get_CompanyName, BSTR*)
    UNSUPPORTED(get_Department, BSTR*)
    UNSUPPORTED(get_Email1Address, BSTR*)
    UNSUPPORTED(get_OfficeLocation, BSTR*)
    UNSUPPORTED(get_PagerNumber, BSTR*)
    UNSUPPORTED(get_JobTitle, BSTR*)
    UNSUPPORTED(get_Email2Address, BSTR*)
    UNSUPPORTED(get_Spouse, BSTR*)
    UNSUPPORTED(get_Email3Address, BSTR*)
    UNSUPPORTED(get_Home2TelephoneNumber, BSTR*)
    UNSUPPORTED(get_HomeFaxNumber, BSTR*)
    UNSUPPORTED(get_CarTelephoneNumber, BSTR*)
    UNSUPPORTED(get_AssistantName, BSTR*)
    UNSUPPORTED(get_AssistantTelephoneNumber, BSTR*)
    UNSUPPORTED(get_Children, BSTR*)
    UNSUPPORTED(get_Categories, BSTR*)
    UNSUPPORTED(get_WebPage, BSTR*)
    UNSUPPORTED(get_Business2TelephoneNumber, BSTR*)
    UNSUPPORTED(get_RadioTelephoneNumber, BSTR*)
    UNSUPPORTED(get_YomiCompanyName, BSTR*)
    UNSUPPORTED(get_YomiFirstName, BSTR*)
    UNSUPPORTED(get_YomiLastName, BSTR*)
    UNSUPPORTED(get_Title, BSTR*)
    UNSUPPORTED(get_FirstName, BSTR*)
    UNSUPPORTED(get_MiddleName, BSTR*)
    UNSUPPORTED(get_LastName, BSTR*)
    UNSUPPORTED(get_Suffix, BSTR*)
    UNSUPPORTED(get_HomeAddressStreet, BSTR*)
    UNSUPPORTED(get_HomeAddressCity, BSTR*)
    UNSUPPORTED(get_HomeAddressState, BSTR*)
    UNSUPPORTED(get_HomeAddressPostalCode, BSTR*)
    UNSUPPORTED(get_HomeAddressCountry, BSTR*)
    UNSUPPORTED(get_OtherAddressStreet, BSTR*)
    UNSUPPORTED(get_OtherAddressCity, BSTR*)
    UNSUPPORTED(get_OtherAddressState, BSTR*)
    UNSUPPORTED(get_OtherAddressPostalCode, BSTR*)
    UNSUPPORTED(get_OtherAddressCountry, BSTR*)
    UNSUPPORTED(get_BusinessAddressStreet, BSTR*)
    UNSUPPORTED(get_BusinessAddressCity, BSTR*)
    UNSUPPORTED(get_BusinessAddressState, BSTR*)
    UNSUPPORTED(get_BusinessAddressPostalCode, BSTR*)
    UNSUPPORTED(get_BusinessAddressCountry, BSTR*)
    UNSUPPORTED(get_Body, BSTR*)
    UNSUPPORTED(put_Birthday, DATE)
    UNSUPPORTED(put_Anniversary, DATE)
    UNSUPPORTED(put_BusinessFaxNumber, BSTR)
    UNSUPPORTED(put_CompanyName, BSTR)
    UNSUPPORTED(put_Department, BSTR)
    UNSUPPORTED(put_Email1Address, BSTR)
    UNSUPPORTED(put_MobileTelephoneNumber, BSTR)
    UNSUPPORTED(put_OfficeLocation, BSTR)
    UNSUPPORTED(put_PagerNumber, BSTR)
    UNSUPPORTED(put_BusinessTelephoneNumber, BSTR)
    UNSUPPORTED(put_JobTitle, BSTR)
    UNSUPPORTED(put_HomeTelephoneNumber, BSTR)
    UNSUPPORTED(put_Email2Address, BSTR)
    UNSUPPORTED(put_Spouse, BSTR)
    UNSUPPORTED(put_Email3Address, BSTR)
    UNSUPPORTED(put_Home2TelephoneNumber, BSTR)
    UNSUPPORTED(put_HomeFaxNumber, BSTR)
    UNSUPPORTED(put_CarTelephoneNumber, BSTR)
    UNSUPPORTED(put_AssistantName, BSTR)
    UNSUPPORTED(put_AssistantTelephoneNumber, BSTR)
    UNSUPPORTED(put_Children, BSTR)
    UNSUPPORTED(put_Categories, BSTR)
    UNSUPPORTED(put_WebPage, BSTR)
    UNSUPPORTED(put_Business2TelephoneNumber, BSTR)
    UNSUPPORTED(put_RadioTelephoneNumber, BSTR)
    UNSUPPORTED(put_FileAs, BSTR)
    UNSUPPORTED(put_YomiCompanyName, BSTR)
    UNSUPPORTED(put_YomiFirstName, BSTR)
    UNSUPPORTED(put_YomiLastName, BSTR)
    UNSUPPORTED(put_Title, BSTR)
    UNSUPPORTED(put_FirstName, BSTR)
    UNSUPPORTED(put_MiddleName, BSTR)
    UNSUPPORTED(put_LastName, BSTR)
    UNSUPPORTED(put_Suffix, BSTR)
    UNSUPPORTED(put_HomeAddressStreet, BSTR)
    UNSUPPORTED(put_HomeAddressCity, BSTR)
    UNSUPPORTED(put_HomeAddressState, BSTR)
    UNSUPPORTED(put_HomeAddressPostalCode, BSTR)
    UNSUPPORTED(put_HomeAddressCountry, BSTR)
    UNSUPPORTED(put_OtherAddressStreet, BSTR)
    UNSUPPORTED(put_OtherAddressCity, BSTR)
    UNSUPPORTED(put_OtherAddressState, BSTR)
    UNSUPPORTED(put_OtherAddressPostalCode, BSTR)
    UNSUPPORTED(put_OtherAddressCountry, BSTR)
    UNSUPPORTED(put_BusinessAddressStreet, BSTR)
    UNSUPPORTED(put_BusinessAddressCity, BSTR)
    UNSUPPORTED(put_BusinessAddressState, BSTR)
    UNSUPPORTED(put_BusinessAddressPostalCode, BSTR)
    UNSUPPORTED(put_BusinessAddressCountry, BSTR)
    UNSUPPORTED(put_Body, BSTR)
    UNSUPPORTED(Copy, IContact**)
    UNSUPPORTED(get_Application, IPOutlookApp**)
#undef UNSUPPORTED
    STDMETHODIMP Save() override { return E_NOTIMPL; }
    STDMETHODIMP Delete() override { return E_NOTIMPL; }
    STDMETHODIMP Display() override { return E_NOTIMPL; }

private:
    const Contact m_contact;
};

} // namespace device::contacts
