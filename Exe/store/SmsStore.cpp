#include "store/SmsStore.h"

#include "app/WaitCursor.h"
#include "store/Owners.h"

#include <cemapi.h>
#include <mapiutil.h>

namespace
{

constexpr WCHAR kSmsStoreName[] = TEXT("SMS");
constexpr WCHAR kSmsMessageClass[] = TEXT("IPM.SMStext");
constexpr WCHAR kSmsAddressType[] = TEXT("SMS");

// The store properties naming each kind's folder, in kind order.
constexpr ULONG kFolderEntryIdTags[kFolderKindCount] = {0x81060102, 0x35E40102, 0x81040102};

// PR_MSG_STATUS of a new message: it goes to a text-message recipient.
constexpr ULONG kSmsRecipientStatus = 0x40000;

constexpr ULONG kShortColumnCount = 4;
constexpr ULONG kLongColumnCount = 6;
enum Column { TimeColumn, SenderNameColumn, SenderAddressColumn, EntryIdColumn, SubjectColumn, FlagsColumn };

ULONG FlagsFor(const SmsRecord& record)
{
    ULONG flags = 0;
    if (record.kind == kSentFolder) flags = MSGFLAG_FROMME;
    if (record.kind == kOutgoingFolder) flags = MSGFLAG_FROMME | MSGFLAG_UNSENT;
    if (record.read) flags |= MSGFLAG_READ;
    return flags;
}

LPCWSTR StringOf(const SPropValue& value, ULONG tag)
{
    return value.ulPropTag == tag ? value.Value.lpszW : nullptr;
}

// Replaces *target with a local-heap copy of source; E_OUTOFMEMORY leaves the old copy in place.
HRESULT ReplaceCopy(LocalPtr<WCHAR>* target, LPCWSTR source)
{
    LPWSTR copy = LocalCopy(source);
    if (!copy) return E_OUTOFMEMORY;
    *target->Out() = copy;
    return S_OK;
}

} // namespace

void SmsStore::Reset()
{
    m_session = nullptr;
    m_store = nullptr;
    for (IMAPIFolder*& folder : m_folders)
        folder = nullptr;
    m_initialized = false;
}

HRESULT SmsStore::Open()
{
    WaitCursor wait;
    Close();
    HRESULT hr = MAPIInitialize(nullptr);
    if (FAILED(hr)) return hr;
    m_initialized = true;
    hr = MAPILogonEx(0, nullptr, nullptr, 0, &m_session);
    if (FAILED(hr)) {
        m_session = nullptr;
        return hr;
    }
    hr = OpenSmsStore();
    if (FAILED(hr)) return hr;
    return OpenFolders();
}

// Every interface is released once and forgotten, and the messaging layer is uninitialised only for an
// initialisation of our own, so closing twice, or after a failed Open, takes nothing from another user.
void SmsStore::Close()
{
    if (m_session) m_session->Logoff(0, 0, 0);
    if (m_initialized) MAPIUninitialize();
    for (int kind = kFolderKindCount - 1; kind >= 0; --kind) {
        if (m_folders[kind]) m_folders[kind]->Release();
    }
    if (m_store) m_store->Release();
    if (m_session) m_session->Release();
    Reset();
}

IMAPIFolder* SmsStore::GetFolder(DWORD kind) const
{
    return kind < kFolderKindCount ? m_folders[kind] : nullptr;
}

HRESULT SmsStore::OpenSmsStore()
{
    ComPtr<IMAPITable> table;
    HRESULT hr = m_session->GetMsgStoresTable(0, table.Out());
    if (FAILED(hr)) return hr;
    SizedSPropTagArray(2, columns) = {2, {PR_ENTRYID, PR_DISPLAY_NAME}};
    hr = table->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0);
    if (FAILED(hr)) return hr;
    for (;;) {
        RowSet rows;
        hr = table->QueryRows(1, 0, rows.Out());
        if (FAILED(hr)) return hr;
        if (rows.Empty()) return MAPI_E_NOT_FOUND;
        const SRow& row = rows.First();
        if (row.cValues < 2) continue;
        LPCWSTR name = StringOf(row.lpProps[1], PR_DISPLAY_NAME);
        if (!name || lstrcmpW(name, kSmsStoreName) != 0 || row.lpProps[0].ulPropTag != PR_ENTRYID) continue;
        const SBinary& entryId = row.lpProps[0].Value.bin;
        hr = m_session->OpenMsgStore(0, entryId.cb, reinterpret_cast<LPENTRYID>(entryId.lpb), nullptr, 0,
                                     &m_store);
        if (FAILED(hr)) m_store = nullptr;
        return hr;
    }
}

HRESULT SmsStore::OpenFolders()
{
    SizedSPropTagArray(kFolderKindCount, tags) = {kFolderKindCount, {}};
    for (DWORD kind = 0; kind < kFolderKindCount; ++kind)
        tags.aulPropTag[kind] = kFolderEntryIdTags[kind];
    ULONG count = 0;
    MapiBuffer<SPropValue> values;
    HRESULT hr =
        m_store->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), MAPI_UNICODE, &count, values.Out());
    if (FAILED(hr)) return hr;
    for (DWORD kind = 0; kind < kFolderKindCount; ++kind) {
        if (kind >= count) return MAPI_E_NOT_FOUND;
        const SPropValue& value = values.Get()[kind];
        if (value.ulPropTag != kFolderEntryIdTags[kind])
            return PROP_TYPE(value.ulPropTag) == PT_ERROR ? value.Value.err : MAPI_E_NOT_FOUND;
        hr = m_store->OpenEntry(value.Value.bin.cb, reinterpret_cast<LPENTRYID>(value.Value.bin.lpb), nullptr,
                                0, nullptr, reinterpret_cast<LPUNKNOWN*>(&m_folders[kind]));
        if (FAILED(hr)) {
            m_folders[kind] = nullptr;
            return hr;
        }
    }
    return hr;
}

HRESULT SmsStore::WriteMessage(const SmsRecord& record)
{
    WaitCursor wait;
    IMAPIFolder* folder = GetFolder(record.kind);
    if (!folder) return E_FAIL;
    // Both refusals come before the message exists, so a refused message leaves nothing in the folder.
    LPCWSTR text = record.text ? record.text : TEXT("");
    int length = lstrlenW(text);
    if (length > kMaxSmsLength) return E_FAIL;
    FILETIME time;
    if (!record.time || !SystemTimeToFileTime(record.time, &time)) return E_FAIL;

    ComPtr<IMessage> message;
    HRESULT hr = folder->CreateMessage(nullptr, 0, message.Out());
    if (FAILED(hr)) return hr;

    SPropValue props[7] = {};
    props[0].ulPropTag = PR_CONTENT_LENGTH;
    props[0].Value.ul = 0;
    props[1].ulPropTag = PR_MSG_STATUS;
    props[1].Value.ul = kSmsRecipientStatus;
    props[2].ulPropTag = PR_MESSAGE_CLASS;
    props[2].Value.lpszW = const_cast<LPWSTR>(kSmsMessageClass);
    props[3].ulPropTag =
        record.kind == kOutgoingFolder ? PR_LAST_MODIFICATION_TIME : PR_MESSAGE_DELIVERY_TIME;
    props[3].Value.ft = time;
    props[4].ulPropTag = PR_SUBJECT;
    props[4].Value.lpszW = const_cast<LPWSTR>(text);
    props[5].ulPropTag = PR_MESSAGE_SIZE;
    props[5].Value.ul = static_cast<ULONG>(length) * 2;
    props[6].ulPropTag = PR_MESSAGE_FLAGS;
    props[6].Value.ul = FlagsFor(record);
    hr = message->SetProps(7, props, nullptr);
    if (FAILED(hr)) return hr;

    if (record.recipientAddress) {
        hr = AddRecipient(message.Get(), record);
        if (FAILED(hr)) return hr;
    }
    if (record.kind == kOutgoingFolder) return message->SubmitMessage(0);
    // The sender as the record has it, so that a restored message shows who it came from.
    SPropValue sender[2] = {};
    ULONG count = 0;
    if (record.senderAddress) {
        sender[count].ulPropTag = PR_SENDER_EMAIL_ADDRESS;
        sender[count++].Value.lpszW = const_cast<LPWSTR>(record.senderAddress);
    }
    if (record.senderName) {
        sender[count].ulPropTag = PR_SENDER_NAME;
        sender[count++].Value.lpszW = const_cast<LPWSTR>(record.senderName);
    }
    if (count) hr = message->SetProps(count, sender, nullptr);
    return hr;
}

HRESULT SmsStore::AddRecipient(IMessage* message, const SmsRecord& record)
{
    LPADRLIST list = nullptr;
    HRESULT hr = MAPIAllocateBuffer(CbNewADRLIST(1), reinterpret_cast<LPVOID*>(&list));
    if (FAILED(hr)) return hr;
    list->cEntries = 1;
    ADRENTRY& entry = list->aEntries[0];
    entry.ulReserved1 = 0;
    entry.cValues = record.recipientName ? 4 : 3;
    hr = MAPIAllocateBuffer(entry.cValues * sizeof(SPropValue), reinterpret_cast<LPVOID*>(&entry.rgPropVals));
    if (FAILED(hr)) {
        entry.rgPropVals = nullptr;
        entry.cValues = 0;
        FreePadrlist(list);
        return hr;
    }
    SPropValue* props = entry.rgPropVals;
    props[0].ulPropTag = PR_EMAIL_ADDRESS;
    props[0].Value.lpszW = const_cast<LPWSTR>(record.recipientAddress);
    props[1].ulPropTag = PR_ADDRTYPE;
    props[1].Value.lpszW = const_cast<LPWSTR>(kSmsAddressType);
    props[2].ulPropTag = PR_RECIPIENT_TYPE;
    props[2].Value.ul = MAPI_TO;
    if (record.recipientName) {
        props[3].ulPropTag = PR_DISPLAY_NAME;
        props[3].Value.lpszW = const_cast<LPWSTR>(record.recipientName);
    }
    hr = message->ModifyRecipients(MODRECIP_ADD, list);
    FreePadrlist(list);
    return hr;
}

HRESULT SmsStore::Enumerate(DWORD kind, SmsVisitor visitor, void* context, BOOL shortForm,
                            BOOL deleteAfterVisit)
{
    IMAPIFolder* folder = GetFolder(kind);
    if (!folder || !visitor) return E_FAIL;
    ComPtr<IMAPITable> table;
    HRESULT hr = folder->GetContentsTable(0, table.Out());
    if (FAILED(hr)) return hr;
    SizedSSortOrderSet(1, newestFirst) = {1, 0, 0, {{PR_MESSAGE_DELIVERY_TIME, TABLE_SORT_DESCEND}}};
    hr = table->SortTable(reinterpret_cast<LPSSortOrderSet>(&newestFirst), 0);
    if (FAILED(hr)) return hr;
    SizedSPropTagArray(kLongColumnCount,
                       columns) = {shortForm ? kShortColumnCount : kLongColumnCount,
                                   {PR_MESSAGE_DELIVERY_TIME, PR_SENDER_NAME, PR_SENDER_EMAIL_ADDRESS,
                                    PR_ENTRYID, PR_SUBJECT, PR_MESSAGE_FLAGS}};
    hr = table->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0);
    if (FAILED(hr)) return hr;

    for (;;) {
        RowSet rows;
        hr = table->QueryRows(1, 0, rows.Out());
        if (hr != S_OK) return hr;
        if (rows.Empty()) return S_OK;
        BOOL stop = FALSE;
        hr = VisitRow(kind, rows.First(), shortForm, deleteAfterVisit, visitor, context, &stop);
        if (FAILED(hr) || stop) return hr;
    }
}

HRESULT SmsStore::VisitRow(DWORD kind, const SRow& row, BOOL shortForm, BOOL deleteAfterVisit,
                           SmsVisitor visitor, void* context, BOOL* stop)
{
    ULONG columnCount = shortForm ? kShortColumnCount : kLongColumnCount;
    if (row.cValues < columnCount) return MAPI_E_CORRUPT_DATA;
    const SPropValue* values = row.lpProps;

    SmsRecord record = {};
    record.kind = kind;
    record.senderName = StringOf(values[SenderNameColumn], PR_SENDER_NAME);
    record.senderAddress = StringOf(values[SenderAddressColumn], PR_SENDER_EMAIL_ADDRESS);
    SYSTEMTIME localTime;
    FILETIME localFileTime;
    if (values[TimeColumn].ulPropTag == PR_MESSAGE_DELIVERY_TIME &&
        FileTimeToLocalFileTime(&values[TimeColumn].Value.ft, &localFileTime) &&
        FileTimeToSystemTime(&localFileTime, &localTime))
        record.time = &localTime;
    if (!shortForm) {
        record.text = StringOf(values[SubjectColumn], PR_SUBJECT);
        record.read =
            values[FlagsColumn].ulPropTag == PR_MESSAGE_FLAGS ? (values[FlagsColumn].Value.ul & 1) : 0;
    }
    if (values[EntryIdColumn].ulPropTag != PR_ENTRYID) return MAPI_E_CORRUPT_DATA;
    SBinary entryId = values[EntryIdColumn].Value.bin;

    LocalPtr<WCHAR> name, address;
    HRESULT hr =
        ReadRecipient(entryId.cb, reinterpret_cast<LPENTRYID>(entryId.lpb), name.Out(), address.Out());
    if (FAILED(hr)) return hr;
    record.recipientName = name.Get();
    record.recipientAddress = address.Get();

    if (SUCCEEDED(visitor(&record, context, stop)) && deleteAfterVisit) {
        ENTRYLIST list = {1, &entryId};
        GetFolder(kind)->DeleteMessages(&list, 0, nullptr, 0); // a message that stays is no reason to stop
    }
    return hr;
}

HRESULT SmsStore::ReadRecipient(ULONG entryIdSize, LPENTRYID entryId, LPWSTR* name, LPWSTR* address)
{
    if (!name || !address) return E_INVALIDARG;
    *name = nullptr;
    *address = nullptr;
    if (!m_session) return E_FAIL;
    ComPtr<IMessage> message;
    ULONG type = 0;
    HRESULT hr = m_session->OpenEntry(entryIdSize, entryId, nullptr, 0, &type,
                                      reinterpret_cast<LPUNKNOWN*>(message.Out()));
    if (FAILED(hr)) return hr;
    ComPtr<IMAPITable> recipients;
    hr = message->GetRecipientTable(MAPI_UNICODE, recipients.Out());
    if (hr == MAPI_E_NO_RECIPIENTS) return S_OK;
    if (FAILED(hr)) return hr;

    LocalPtr<WCHAR> foundName, foundAddress;
    for (;;) {
        RowSet rows;
        hr = recipients->QueryRows(1, 0, rows.Out());
        if (FAILED(hr) || rows.Empty()) break;
        const SRow& row = rows.First();
        for (ULONG i = 0; i < row.cValues && SUCCEEDED(hr); ++i) {
            if (LPCWSTR text = StringOf(row.lpProps[i], PR_DISPLAY_NAME)) hr = ReplaceCopy(&foundName, text);
            if (LPCWSTR text = StringOf(row.lpProps[i], PR_EMAIL_ADDRESS))
                hr = ReplaceCopy(&foundAddress, text);
        }
        if (FAILED(hr)) return hr;
    }
    if (FAILED(hr)) return hr;
    *name = foundName.Detach();
    *address = foundAddress.Detach();
    return hr;
}
