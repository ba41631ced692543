// The application object, the one object of the contact store that CoCreateInstance makes. A session
// (Logon) reaches the device's contacts; the calendar, task and city parts of the object model are not
// kept on this device and answer E_NOTIMPL.
#pragma once

#include "DispatchObject.h"

#include <atomic>

namespace device::contacts {

class OutlookApp final : public DispatchObject<IPOutlookApp> {
public:
    OutlookApp() : DispatchObject(IID_IPOutlookApp) {}

    static HRESULT Create(REFIID riid, void** ppv);

    STDMETHODIMP Logon(long hWnd) override;
    STDMETHODIMP Logoff() override;
    STDMETHODIMP GetItemFromOid(long oid, IDispatch** ppPOutlookItem) override;

    STDMETHODIMP get_Version(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP GetDefaultFolder(int, IFolder**) override { return E_NOTIMPL; }
    STDMETHODIMP CreateItem(int, IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP get_HomeCity(ICity**) override { return E_NOTIMPL; }
    STDMETHODIMP put_HomeCity(ICity*) override { return E_NOTIMPL; }
    STDMETHODIMP get_VisitingCity(ICity**) override { return E_NOTIMPL; }
    STDMETHODIMP put_VisitingCity(ICity*) override { return E_NOTIMPL; }
    STDMETHODIMP get_CurrentCityIndex(long*) override { return E_NOTIMPL; }
    STDMETHODIMP put_CurrentCityIndex(long) override { return E_NOTIMPL; }
    STDMETHODIMP ReceiveFromInfrared() override { return E_NOTIMPL; }
    STDMETHODIMP GetTimeZoneFromIndex(int, ITimeZone**) override { return E_NOTIMPL; }
    STDMETHODIMP GetTimeZoneInformationFromIndex(int, struct _TIME_ZONE_INFORMATION*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Application(IPOutlookApp**) override { return E_NOTIMPL; }
    STDMETHODIMP SysFreeString(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP VariantTimeToSystemTime(DATE, SYSTEMTIME*) override { return E_NOTIMPL; }
    STDMETHODIMP SystemTimeToVariantTime(SYSTEMTIME*, DATE*) override { return E_NOTIMPL; }
    STDMETHODIMP get_OutlookCompatible(VARIANT_BOOL*) override { return E_NOTIMPL; }

private:
    std::atomic<bool> m_loggedOn{false};
};

} // namespace device::contacts
