// A folder of a message store: its messages, created, listed, deleted and emptied.
#pragma once

#include "PropObject.h"

namespace device::mapi
{

class Folder final : public PropObject<IMAPIFolder>
{
  public:
    Folder(int64_t id, int64_t store) : m_id(id), m_store(store) {}

    STDMETHODIMP GetContentsTable(ULONG ulFlags, LPMAPITABLE* lppTable) override;
    STDMETHODIMP OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags,
                           ULONG* lpulObjType, LPUNKNOWN* lppUnk) override;
    STDMETHODIMP CreateMessage(LPCIID lpInterface, ULONG ulFlags, LPMESSAGE* lppMessage) override;
    STDMETHODIMP DeleteMessages(LPENTRYLIST lpMsgList, ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress,
                                ULONG ulFlags) override;
    STDMETHODIMP EmptyFolder(ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress, ULONG ulFlags) override;

    // What the device leaves out of IMAPIFolder: its folders have no subfolders and no searches.
    STDMETHODIMP GetHierarchyTable(ULONG, LPMAPITABLE*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP SetSearchCriteria(LPSRestriction, LPENTRYLIST, ULONG) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP GetSearchCriteria(ULONG, LPSRestriction*, LPENTRYLIST*, ULONG*) override
    {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP CopyMessages(LPENTRYLIST, LPCIID, LPVOID, ULONG_PTR, LPMAPIPROGRESS, ULONG) override
    {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP CreateFolder(ULONG, LPTSTR, LPTSTR, LPCIID, ULONG, LPMAPIFOLDER*) override
    {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP CopyFolder(ULONG, LPENTRYID, LPCIID, LPVOID, LPTSTR, ULONG_PTR, LPMAPIPROGRESS,
                            ULONG) override
    {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP DeleteFolder(ULONG, LPENTRYID, ULONG_PTR, LPMAPIPROGRESS, ULONG) override
    {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP SetReadFlags(LPENTRYLIST, ULONG_PTR, LPMAPIPROGRESS, ULONG) override
    {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP GetMessageStatus(ULONG, LPENTRYID, ULONG, ULONG*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP SetMessageStatus(ULONG, LPENTRYID, ULONG, ULONG, ULONG*) override
    {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP SaveContentsSort(LPSSortOrderSet, ULONG) override { return MAPI_E_NO_SUPPORT; }

  protected:
    bool Implements(REFIID riid) const override
    {
        return riid == IID_IMAPIProp || riid == IID_IMAPIContainer || riid == IID_IMAPIFolder;
    }
    HRESULT ReadValues(std::vector<Value>* values) override;
    HRESULT WriteValues(const std::vector<Value>& values) override;

  private:
    int64_t m_id;
    int64_t m_store;
};

} // namespace device::mapi
