// A MAPI session: the message stores table and the way into every store, folder and message.
#pragma once

#include "Object.h"

#include <mapix.h>

#include <atomic>

namespace device::mapi
{

class Session final : public Object<IMAPISession>
{
  public:
    STDMETHODIMP GetMsgStoresTable(ULONG ulFlags, LPMAPITABLE* lppTable) override;
    STDMETHODIMP OpenMsgStore(ULONG_PTR ulUIParam, ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface,
                              ULONG ulFlags, LPMDB* lppMDB) override;
    STDMETHODIMP OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags,
                           ULONG* lpulObjType, LPUNKNOWN* lppUnk) override;
    STDMETHODIMP Logoff(ULONG_PTR ulUIParam, ULONG ulFlags, ULONG ulReserved) override;

    // What the device leaves out of IMAPISession.
    STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP OpenAddressBook(ULONG_PTR, LPCIID, ULONG, LPADRBOOK*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP OpenProfileSection(LPMAPIUID, LPCIID, ULONG, LPPROFSECT*) override
    {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP GetStatusTable(ULONG, LPMAPITABLE*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP CompareEntryIDs(ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG, ULONG*) override
    {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG_PTR*) override
    {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP Unadvise(ULONG_PTR) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP MessageOptions(ULONG_PTR, ULONG, LPTSTR, LPMESSAGE) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP QueryDefaultMessageOpt(LPTSTR, ULONG, ULONG*, LPSPropValue*) override
    {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP EnumAdrTypes(ULONG, ULONG*, LPTSTR**) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP QueryIdentity(ULONG*, LPENTRYID*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP SetDefaultStore(ULONG, ULONG, LPENTRYID) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP AdminServices(ULONG, LPSERVICEADMIN*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP ShowForm(ULONG_PTR, LPMDB, LPMAPIFOLDER, LPCIID, ULONG, LPMESSAGE, ULONG, ULONG, ULONG,
                          ULONG, LPSTR) override
    {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP PrepareForm(LPCIID, LPMESSAGE, ULONG*) override { return MAPI_E_NO_SUPPORT; }

  protected:
    bool Implements(REFIID riid) const override { return riid == IID_IMAPISession; }

  private:
    std::atomic<bool> m_ended{false}; // after Logoff the session answers MAPI_E_END_OF_SESSION
};

} // namespace device::mapi
