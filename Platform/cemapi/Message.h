// A message of a message store: its properties, its recipients, and its submission for sending. Every
// change is written to the store as it is made. After a successful SubmitMessage the object is spent:
// only Release remains, as on the device.
#pragma once

#include "PropObject.h"
#include "Storage.h"

namespace device::mapi
{

class Message final : public PropObject<IMessage>
{
  public:
    explicit Message(int64_t id) : m_id(id) {}

    STDMETHODIMP GetRecipientTable(ULONG ulFlags, LPMAPITABLE* lppTable) override;
    STDMETHODIMP ModifyRecipients(ULONG ulFlags, LPADRLIST lpMods) override;
    STDMETHODIMP SubmitMessage(ULONG ulFlags) override;
    STDMETHODIMP GetAttachmentTable(ULONG ulFlags, LPMAPITABLE* lppTable) override;
    STDMETHODIMP OpenAttach(ULONG ulAttachmentNum, LPCIID lpInterface, ULONG ulFlags, LPATTACH* lppAttach) override;
    STDMETHODIMP CreateAttach(LPCIID lpInterface, ULONG ulFlags, ULONG* lpulAttachmentNum,
                              LPATTACH* lppAttach) override;

    // What the device leaves out of IMessage: deleting an attachment, and read flags set this way.
    STDMETHODIMP DeleteAttach(ULONG, ULONG_PTR, LPMAPIPROGRESS, ULONG) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP SetReadFlag(ULONG) override { return MAPI_E_NO_SUPPORT; }

  protected:
    bool Implements(REFIID riid) const override { return riid == IID_IMAPIProp || riid == IID_IMessage; }
    HRESULT ReadValues(std::vector<Value>* values) override;
    HRESULT WriteValues(const std::vector<Value>& values) override;

  private:
    // The message as stored now: MAPI_E_INVALID_OBJECT once submitted, MAPI_E_OBJECT_DELETED once gone.
    HRESULT Current(Database& db, MessageRow* row) const;
    // Runs work(db) under the database's lock while the message is current; else Current's failure.
    template <class Work> HRESULT ReadCurrent(Work work) const;

    int64_t m_id;
    bool m_submitted = false;
};

} // namespace device::mapi
