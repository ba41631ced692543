#include "store/Send.h"

#include "app/MainWindow.h"
#include "app/WaitCursor.h"
#include "contacts/ContactStore.h"
#include "schedule/ScheduledMessage.h"
#include "store/Owners.h"

#include <cemapi.h>
#include <pimstore.h>

namespace
{

constexpr WCHAR kSmsAccount[] = TEXT("SMS");

} // namespace

HRESULT Send(SmsStore& store, LPCWSTR name, LPCWSTR address, LPCWSTR text)
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    SmsRecord record = {};
    record.kind = kOutgoingFolder;
    record.recipientName = name;
    record.recipientAddress = address;
    record.text = text;
    record.time = &now;
    HRESULT hr = store.WriteMessage(record);
    if (FAILED(hr)) return hr;
    return MailSyncMessages(kSmsAccount, MCF_ACCOUNT_IS_TRANSPORT | MCF_RUN_IN_BACKGROUND);
}

HRESULT SendToMembers(ScheduledMessage& message)
{
    WaitCursor wait;
    HRESULT hr = OpenContactStore(message.SendContactStore(), g_mainWindow.Window());
    if (FAILED(hr)) return hr;
    hr = message.MessageStore().Open();
    if (FAILED(hr)) return hr;
    for (size_t i = 0; i < message.MemberCount(); ++i)
        SendToContact(message, message.Member(i));
    return hr;
}

HRESULT SendToContact(ScheduledMessage& message, CEOID contact)
{
    ComPtr<IContact> item;
    HRESULT hr = GetContactItem(*message.SendContactStore(), contact, item.Out());
    if (FAILED(hr)) return hr;
    Bstr name, number;
    hr = ReadDisplayName(item.Get(), name.Out());
    if (FAILED(hr)) return hr;
    hr = ReadMobileNumber(item.Get(), number.Out());
    if (FAILED(hr)) return hr;
    // A contact without a mobile number has nowhere to send to.
    if (!number.Get() || !number.Get()[0]) return E_FAIL;
    return Send(message.MessageStore(), name.Get(), number.Get(), message.Text());
}
