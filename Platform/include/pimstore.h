// The contact store (Pocket Outlook Object Model): the application object, contact items and the contact
// chooser. Contacts carry a filing name and mobile, business and home numbers; the other folders (calendar,
// tasks, cities) and the item properties beyond those are not kept here, and their methods answer E_NOTIMPL.
#pragma once

#include "windef.h"
#include "winerror.h"
#include "objbase.h"
#include "oleauto.h"
#include "oaidl.h"
#include "windbase.h"

EXTERN_C const CLSID CLSID_Application;
EXTERN_C const IID IID_IPOutlookApp;
EXTERN_C const IID IID_IContact;

interface IFolder;
interface ICity;
interface ITimeZone;
struct _TIME_ZONE_INFORMATION;

interface IPOutlookApp : public IDispatch
{
    STDMETHOD(Logon)(long hWnd) PURE;
    STDMETHOD(Logoff)() PURE;
    STDMETHOD(get_Version)(BSTR* pVersion) PURE;
    STDMETHOD(GetDefaultFolder)(int olFolder, IFolder** ppIFolder) PURE;
    STDMETHOD(CreateItem)(int olItem, IDispatch** ppPOutlookItem) PURE;
    STDMETHOD(GetItemFromOid)(long oid, IDispatch** ppPOutlookItem) PURE;
    STDMETHOD(get_HomeCity)(ICity** ppHomeCity) PURE;
    STDMETHOD(put_HomeCity)(ICity* pHomeCity) PURE;
    STDMETHOD(get_VisitingCity)(ICity** ppVisitingCity) PURE;
    STDMETHOD(put_VisitingCity)(ICity* pVisitingCity) PURE;
    STDMETHOD(get_CurrentCityIndex)(long* pnolCity) PURE;
    STDMETHOD(put_CurrentCityIndex)(long nolCity) PURE;
    STDMETHOD(ReceiveFromInfrared)() PURE;
    STDMETHOD(GetTimeZoneFromIndex)(int iIndex, ITimeZone** ppTimeZone) PURE;
    STDMETHOD(GetTimeZoneInformationFromIndex)(int iIndex, struct _TIME_ZONE_INFORMATION* ptz) PURE;
    STDMETHOD(get_Application)(IPOutlookApp** ppPOutlookApp) PURE;
    STDMETHOD(SysFreeString)(BSTR bstr) PURE;
    STDMETHOD(VariantTimeToSystemTime)(DATE date, SYSTEMTIME* pst) PURE;
    STDMETHOD(SystemTimeToVariantTime)(SYSTEMTIME* pst, DATE* pdate) PURE;
    STDMETHOD(get_OutlookCompatible)(VARIANT_BOOL* pfCompat) PURE;
};

interface IContact : public IDispatch
{
    STDMETHOD(get_Birthday)(DATE* pst) PURE;
    STDMETHOD(get_Anniversary)(DATE* pst) PURE;
    STDMETHOD(get_BusinessFaxNumber)(BSTR* pwsz) PURE;
    STDMETHOD(get_CompanyName)(BSTR* pwsz) PURE;
    STDMETHOD(get_Department)(BSTR* pwsz) PURE;
    STDMETHOD(get_Email1Address)(BSTR* pwsz) PURE;
    STDMETHOD(get_MobileTelephoneNumber)(BSTR* pwsz) PURE;
    STDMETHOD(get_OfficeLocation)(BSTR* pwsz) PURE;
    STDMETHOD(get_PagerNumber)(BSTR* pwsz) PURE;
    STDMETHOD(get_BusinessTelephoneNumber)(BSTR* pwsz) PURE;
    STDMETHOD(get_JobTitle)(BSTR* pwsz) PURE;
    STDMETHOD(get_HomeTelephoneNumber)(BSTR* pwsz) PURE;
    STDMETHOD(get_Email2Address)(BSTR* pwsz) PURE;
    STDMETHOD(get_Spouse)(BSTR* pwsz) PURE;
    STDMETHOD(get_Email3Address)(BSTR* pwsz) PURE;
    STDMETHOD(get_Home2TelephoneNumber)(BSTR* pwsz) PURE;
    STDMETHOD(get_HomeFaxNumber)(BSTR* pwsz) PURE;
    STDMETHOD(get_CarTelephoneNumber)(BSTR* pwsz) PURE;
    STDMETHOD(get_AssistantName)(BSTR* pwsz) PURE;
    STDMETHOD(get_AssistantTelephoneNumber)(BSTR* pwsz) PURE;
    STDMETHOD(get_Children)(BSTR* pwsz) PURE;
    STDMETHOD(get_Categories)(BSTR* pwsz) PURE;
    STDMETHOD(get_WebPage)(BSTR* pwsz) PURE;
    STDMETHOD(get_Business2TelephoneNumber)(BSTR* pwsz) PURE;
    STDMETHOD(get_RadioTelephoneNumber)(BSTR* pwsz) PURE;
    STDMETHOD(get_FileAs)(BSTR* pwsz) PURE;
    STDMETHOD(get_YomiCompanyName)(BSTR* pwsz) PURE;
    STDMETHOD(get_YomiFirstName)(BSTR* pwsz) PURE;
    STDMETHOD(get_YomiLastName)(BSTR* pwsz) PURE;
    STDMETHOD(get_Title)(BSTR* pwsz) PURE;
    STDMETHOD(get_FirstName)(BSTR* pwsz) PURE;
    STDMETHOD(get_MiddleName)(BSTR* pwsz) PURE;
    STDMETHOD(get_LastName)(BSTR* pwsz) PURE;
    STDMETHOD(get_Suffix)(BSTR* pwsz) PURE;
    STDMETHOD(get_HomeAddressStreet)(BSTR* pwsz) PURE;
    STDMETHOD(get_HomeAddressCity)(BSTR* pwsz) PURE;
    STDMETHOD(get_HomeAddressState)(BSTR* pwsz) PURE;
    STDMETHOD(get_HomeAddressPostalCode)(BSTR* pwsz) PURE;
    STDMETHOD(get_HomeAddressCountry)(BSTR* pwsz) PURE;
    STDMETHOD(get_OtherAddressStreet)(BSTR* pwsz) PURE;
    STDMETHOD(get_OtherAddressCity)(BSTR* pwsz) PURE;
    STDMETHOD(get_OtherAddressState)(BSTR* pwsz) PURE;
    STDMETHOD(get_OtherAddressPostalCode)(BSTR* pwsz) PURE;
    STDMETHOD(get_OtherAddressCountry)(BSTR* pwsz) PURE;
    STDMETHOD(get_BusinessAddressStreet)(BSTR* pwsz) PURE;
    STDMETHOD(get_BusinessAddressCity)(BSTR* pwsz) PURE;
    STDMETHOD(get_BusinessAddressState)(BSTR* pwsz) PURE;
    STDMETHOD(get_BusinessAddressPostalCode)(BSTR* pwsz) PURE;
    STDMETHOD(get_BusinessAddressCountry)(BSTR* pwsz) PURE;
    STDMETHOD(get_Body)(BSTR* pwsz) PURE;
    STDMETHOD(get_Oid)(long* poid) PURE;
    STDMETHOD(put_Birthday)(DATE st) PURE;
    STDMETHOD(put_Anniversary)(DATE st) PURE;
    STDMETHOD(put_BusinessFaxNumber)(BSTR pwsz) PURE;
    STDMETHOD(put_CompanyName)(BSTR pwsz) PURE;
    STDMETHOD(put_Department)(BSTR pwsz) PURE;
    STDMETHOD(put_Email1Address)(BSTR pwsz) PURE;
    STDMETHOD(put_MobileTelephoneNumber)(BSTR pwsz) PURE;
    STDMETHOD(put_OfficeLocation)(BSTR pwsz) PURE;
    STDMETHOD(put_PagerNumber)(BSTR pwsz) PURE;
    STDMETHOD(put_BusinessTelephoneNumber)(BSTR pwsz) PURE;
    STDMETHOD(put_JobTitle)(BSTR pwsz) PURE;
    STDMETHOD(put_HomeTelephoneNumber)(BSTR pwsz) PURE;
    STDMETHOD(put_Email2Address)(BSTR pwsz) PURE;
    STDMETHOD(put_Spouse)(BSTR pwsz) PURE;
    STDMETHOD(put_Email3Address)(BSTR pwsz) PURE;
    STDMETHOD(put_Home2TelephoneNumber)(BSTR pwsz) PURE;
    STDMETHOD(put_HomeFaxNumber)(BSTR pwsz) PURE;
    STDMETHOD(put_CarTelephoneNumber)(BSTR pwsz) PURE;
    STDMETHOD(put_AssistantName)(BSTR pwsz) PURE;
    STDMETHOD(put_AssistantTelephoneNumber)(BSTR pwsz) PURE;
    STDMETHOD(put_Children)(BSTR pwsz) PURE;
    STDMETHOD(put_Categories)(BSTR pwsz) PURE;
    STDMETHOD(put_WebPage)(BSTR pwsz) PURE;
    STDMETHOD(put_Business2TelephoneNumber)(BSTR pwsz) PURE;
    STDMETHOD(put_RadioTelephoneNumber)(BSTR pwsz) PURE;
    STDMETHOD(put_FileAs)(BSTR pwsz) PURE;
    STDMETHOD(put_YomiCompanyName)(BSTR pwsz) PURE;
    STDMETHOD(put_YomiFirstName)(BSTR pwsz) PURE;
    STDMETHOD(put_YomiLastName)(BSTR pwsz) PURE;
    STDMETHOD(put_Title)(BSTR pwsz) PURE;
    STDMETHOD(put_FirstName)(BSTR pwsz) PURE;
    STDMETHOD(put_MiddleName)(BSTR pwsz) PURE;
    STDMETHOD(put_LastName)(BSTR pwsz) PURE;
    STDMETHOD(put_Suffix)(BSTR pwsz) PURE;
    STDMETHOD(put_HomeAddressStreet)(BSTR pwsz) PURE;
    STDMETHOD(put_HomeAddressCity)(BSTR pwsz) PURE;
    STDMETHOD(put_HomeAddressState)(BSTR pwsz) PURE;
    STDMETHOD(put_HomeAddressPostalCode)(BSTR pwsz) PURE;
    STDMETHOD(put_HomeAddressCountry)(BSTR pwsz) PURE;
    STDMETHOD(put_OtherAddressStreet)(BSTR pwsz) PURE;
    STDMETHOD(put_OtherAddressCity)(BSTR pwsz) PURE;
    STDMETHOD(put_OtherAddressState)(BSTR pwsz) PURE;
    STDMETHOD(put_OtherAddressPostalCode)(BSTR pwsz) PURE;
    STDMETHOD(put_OtherAddressCountry)(BSTR pwsz) PURE;
    STDMETHOD(put_BusinessAddressStreet)(BSTR pwsz) PURE;
    STDMETHOD(put_BusinessAddressCity)(BSTR pwsz) PURE;
    STDMETHOD(put_BusinessAddressState)(BSTR pwsz) PURE;
    STDMETHOD(put_BusinessAddressPostalCode)(BSTR pwsz) PURE;
    STDMETHOD(put_BusinessAddressCountry)(BSTR pwsz) PURE;
    STDMETHOD(put_Body)(BSTR pwsz) PURE;
    STDMETHOD(Save)() PURE;
    STDMETHOD(Delete)() PURE;
    STDMETHOD(Display)() PURE;
    STDMETHOD(Copy)(IContact** ppolCopy) PURE;
    STDMETHOD(get_Application)(IPOutlookApp** ppPOutlookApp) PURE;
};

// Contact properties, (identifier << 16) | value type.
#define PIMPR_FILEAS ((CEPROPID)((0x0080 << 16) | CEVT_LPWSTR))
#define PIMPR_MOBILE_TELEPHONE_NUMBER ((CEPROPID)((0x0096 << 16) | CEVT_LPWSTR))
#define PIMPR_BUSINESS_TELEPHONE_NUMBER ((CEPROPID)((0x0097 << 16) | CEVT_LPWSTR))
#define PIMPR_HOME_TELEPHONE_NUMBER ((CEPROPID)((0x0099 << 16) | CEVT_LPWSTR))
// Chooser-only properties, each standing for a group of a contact's numbers and addresses.
#define PIMPR_ALL_PHONE ((CEPROPID)((0x1800 << 16) | CEVT_LPWSTR))
#define PIMPR_ALL_EMAIL ((CEPROPID)((0x1801 << 16) | CEVT_LPWSTR))
#define PIMPR_ALL_TEXT_MESSAGING ((CEPROPID)((0x1802 << 16) | CEVT_LPWSTR))
#define PIMPR_ALL_INSTANT_MESSAGING ((CEPROPID)((0x1803 << 16) | CEVT_LPWSTR))
#define PIMPR_ALL_COMMUNICATION_METHODS ((CEPROPID)((0x1804 << 16) | CEVT_LPWSTR))
#define PIMPR_ALL_VOICE ((CEPROPID)((0x1805 << 16) | CEVT_LPWSTR))
#define PIMPR_ALL_PHONE_AND_SIM ((CEPROPID)((0x1806 << 16) | CEVT_LPWSTR))

// Contact chooser flags.
#define CCF_DEFAULT 0x0000
#define CCF_HIDENEW 0x0001
#define CCF_CHOOSECONTACTONLY 0x0002
#define CCF_CHOOSEPROPERTYONLY 0x0004
#define CCF_RETURNCONTACTNAME 0x0008
#define CCF_RETURNPROPERTYVALUE 0x0010
#define CCF_FILTERREQUIREDPROPERTIES 0x0020
#define CCF_NOUIONSINGLEORNOMATCH 0x0040
#define CCF_NOUI 0x0080

// The chooser's request record. cbSize must be sizeof(CHOOSECONTACT): 52 bytes on the 32-bit device, more
// here, where handles and pointers are 64 bits wide.
typedef struct {
    UINT cbSize;
    HWND hwndOwner;
    DWORD dwFlags;
    LPCWSTR lpstrTitle;
    LPCWSTR lpstrChoosePropertyText;
    LPCWSTR lpstrRestrictContacts;
    LPCWSTR lpstrIncrementalFilter;
    UINT cRequiredProperties;
    const CEPROPID* rgpropidRequiredProperties;
    CEOID oidContactID;
    BSTR bstrContactName;
    CEPROPID propidSelected;
    BSTR bstrPropertyValueSelected;
} CHOOSECONTACT, *LPCHOOSECONTACT;

// Shows the contacts that have one of the required properties (all contacts when none is required) and
// lets the user pick one. S_OK: the record holds the contact's identifier, the property chosen and the texts
// the flags ask for (the caller frees them with SysFreeString); S_FALSE: as S_OK without the texts, which
// could not be allocated; E_ABORT: the user cancelled and the record is as it was; E_INVALIDARG: a
// malformed record; E_NOTIMPL: restrictions, incremental filters and the modes without a screen.
STDAPI ChooseContact(LPCHOOSECONTACT lpcc);
