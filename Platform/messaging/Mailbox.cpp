#include "Mailbox.h"

#include <cemapi.h>

namespace messaging {

namespace {

constexpr WCHAR kTextMessageClass[] = TEXT("IPM.SMStext");
constexpr WCHAR kMailMessageClass[] = TEXT("IPM.Note");
constexpr WCHAR kTextAddressType[] = TEXT("SMS");
constexpr WCHAR kMailAddressType[] = TEXT("SMTP");
constexpr LONG kRowsPerQuery = 32;

ULONG FolderTag(FolderKind kind)
{
    switch (kind) {
    case FolderKind::Inbox: return PR_CE_IPM_INBOX_ENTRYID;
    case FolderKind::Sent: return PR_IPM_SENTMAIL_ENTRYID;
    case FolderKind::Outbox: return PR_IPM_OUTBOX_ENTRYID;
    case FolderKind::Drafts: return PR_CE_IPM_DRAFTS_ENTRYID;
    }
    return PR_NULL;
}

std::u16string TextOf(const SPropValue& value, ULONG tag)
{
    return value.ulPropTag == tag && value.Value.lpszW ? std::u16string(value.Value.lpszW) : std::u16string();
}

ULONG LongOf(const SPropValue& value, ULONG tag)
{
    return value.ulPropTag == tag ? value.Value.ul : 0;
}

SPropValue Text(ULONG tag, const std::u16string& text)
{
    SPropValue value{};
    value.ulPropTag = tag;
    value.Value.lpszW = const_cast<LPWSTR>(text.c_str());
    return value;
}

SPropValue Long(ULONG tag, ULONG number)
{
    SPropValue value{};
    value.ulPropTag = tag;
    value.Value.ul = number;
    return value;
}

// "Name <address>", or the address alone when there is no other name.
std::u16string Shown(const std::u16string& name, const std::u16string& address)
{
    if (name.empty() || name == address)
        return address;
    if (address.empty())
        return name;
    return name + u" <" + address + u">";
}

void AppendJoined(std::u16string* list, const std::u16string& item)
{
    if (item.empty())
        return;
    if (!list->empty())
        *list += u"; ";
    *list += item;
}

// Opens an entry of the store as the interface its caller holds it by.
template <class Interface> HRESULT OpenEntryAs(IMsgStore* store, const SBinary& entryId, Held<Interface>* out)
{
    return store->OpenEntry(entryId.cb, reinterpret_cast<LPENTRYID>(entryId.lpb), nullptr, 0, nullptr,
                            reinterpret_cast<LPUNKNOWN*>(out->Out()));
}

// Hands each row of the table, with these columns, to visit; stops at the first failure.
template <class Visit> void ForEachRow(IMAPITable* table, std::initializer_list<ULONG> tags, Visit visit)
{
    std::vector<ULONG> columns{static_cast<ULONG>(tags.size())}; // laid out as an SPropTagArray
    columns.insert(columns.end(), tags);
    if (FAILED(table->SetColumns(reinterpret_cast<LPSPropTagArray>(columns.data()), 0)))
        return;
    for (;;) {
        Rows rows;
        if (FAILED(table->QueryRows(kRowsPerQuery, 0, rows.Out())) || !rows || rows->cRows == 0)
            return;
        for (ULONG i = 0; i < rows->cRows; ++i)
            if (rows->aRow[i].cValues == tags.size())
                visit(rows->aRow[i].lpProps);
    }
}

// The recipients, joined: each by its name (or address), or with its address too.
std::u16string RecipientsOf(IMessage* message, bool withAddresses)
{
    std::u16string who;
    Held<IMAPITable> table;
    if (SUCCEEDED(message->GetRecipientTable(0, table.Out())))
        ForEachRow(table.Get(), {PR_DISPLAY_NAME, PR_EMAIL_ADDRESS}, [&](const SPropValue* values) {
            std::u16string name = TextOf(values[0], PR_DISPLAY_NAME);
            std::u16string address = TextOf(values[1], PR_EMAIL_ADDRESS);
            AppendJoined(&who, withAddresses || name.empty() ? Shown(name, address) : name);
        });
    return who;
}

std::vector<std::u16string> AttachmentNamesOf(IMessage* message)
{
    std::vector<std::u16string> names;
    Held<IMAPITable> table;
    if (SUCCEEDED(message->GetAttachmentTable(0, table.Out())))
        ForEachRow(table.Get(), {PR_ATTACH_LONG_FILENAME},
                   [&](const SPropValue* values) { names.push_back(TextOf(values[0], PR_ATTACH_LONG_FILENAME)); });
    return names;
}

// The file's size in bytes; 0 when it can't be read.
ULONG FileSize(const std::u16string& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD size = GetFileSize(file, nullptr);
    CloseHandle(file);
    return size == INVALID_FILE_SIZE ? 0 : size;
}

// The file goes with the message by reference: the store keeps no file contents of its own.
HRESULT Attach(IMessage* message, const std::u16string& path)
{
    Held<IAttach> attachment;
    ULONG number = 0;
    HRESULT hr = message->CreateAttach(nullptr, 0, &number, attachment.Out());
    if (FAILED(hr))
        return hr;
    std::u16string name = FileNameOf(path);
    SPropValue props[] = {Long(PR_ATTACH_METHOD, ATTACH_BY_REFERENCE), Text(PR_ATTACH_LONG_FILENAME, name),
                          Text(PR_ATTACH_LONG_PATHNAME, path), Long(PR_ATTACH_SIZE, FileSize(path))};
    return attachment->SetProps(ARRAYSIZE(props), props, nullptr);
}

HRESULT AddRecipients(IMessage* message, const Outgoing& outgoing)
{
    const size_t count = outgoing.recipients.size();
    constexpr ULONG kValues = 4;
    std::vector<BYTE> listBytes(CbNewADRLIST(count));
    std::vector<SPropValue> values(count * kValues);
    auto list = reinterpret_cast<LPADRLIST>(listBytes.data());
    list->cEntries = static_cast<ULONG>(count);
    LPCWSTR addressType = outgoing.textMessage ? kTextAddressType : kMailAddressType;
    for (size_t i = 0; i < count; ++i) {
        const Recipient& recipient = outgoing.recipients[i];
        const Address& address = recipient.address;
        SPropValue* props = &values[i * kValues];
        props[0] = Text(PR_DISPLAY_NAME, address.name.empty() ? address.address : address.name);
        props[1] = Text(PR_EMAIL_ADDRESS, address.address);
        props[2].ulPropTag = PR_ADDRTYPE;
        props[2].Value.lpszW = const_cast<LPWSTR>(addressType);
        props[3] = Long(PR_RECIPIENT_TYPE, recipient.type);
        list->aEntries[i] = ADRENTRY{0, kValues, props};
    }
    return message->ModifyRecipients(MODRECIP_ADD, list);
}

} // namespace

std::u16string FileNameOf(const std::u16string& path)
{
    size_t slash = path.find_last_of(u'\\');
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

Mailbox::~Mailbox()
{
    m_store.Clear();
    if (m_session)
        m_session->Logoff(0, 0, 0);
    m_session.Clear();
    if (m_initialized)
        MAPIUninitialize();
}

HRESULT Mailbox::Open(std::u16string_view account)
{
    HRESULT hr = MAPIInitialize(nullptr);
    if (FAILED(hr))
        return hr;
    m_initialized = true;
    hr = MAPILogonEx(0, nullptr, nullptr, 0, m_session.Out());
    if (FAILED(hr))
        return hr;
    Held<IMAPITable> stores;
    hr = m_session->GetMsgStoresTable(0, stores.Out());
    if (FAILED(hr))
        return hr;
    SizedSPropTagArray(2, columns) = {2, {PR_ENTRYID, PR_DISPLAY_NAME}};
    hr = stores->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0);
    if (FAILED(hr))
        return hr;
    for (;;) {
        Rows rows;
        hr = stores->QueryRows(1, 0, rows.Out());
        if (FAILED(hr))
            return hr;
        if (!rows || rows->cRows == 0)
            return MAPI_E_NOT_FOUND;
        const SRow& row = rows->aRow[0];
        if (row.cValues < 2 || row.lpProps[0].ulPropTag != PR_ENTRYID ||
            TextOf(row.lpProps[1], PR_DISPLAY_NAME) != account)
            continue;
        const SBinary& entryId = row.lpProps[0].Value.bin;
        return m_session->OpenMsgStore(0, entryId.cb, reinterpret_cast<LPENTRYID>(entryId.lpb), nullptr, 0,
                                       m_store.Out());
    }
}

HRESULT Mailbox::OpenFolder(FolderKind kind, Held<IMAPIFolder>* folder)
{
    if (!m_store)
        return E_UNEXPECTED;
    SizedSPropTagArray(1, tags) = {1, {FolderTag(kind)}};
    ULONG count = 0;
    MapiMemory<SPropValue> values;
    HRESULT hr = m_store->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), MAPI_UNICODE, &count, values.Out());
    if (FAILED(hr))
        return hr;
    if (count < 1 || values.Get()[0].ulPropTag != FolderTag(kind))
        return MAPI_E_NOT_FOUND;
    return OpenEntryAs(m_store.Get(), values.Get()[0].Value.bin, folder);
}

HRESULT Mailbox::Folders(std::vector<FolderInfo>* folders)
{
    folders->clear();
    for (FolderKind kind : kShownFolders) {
        Held<IMAPIFolder> folder;
        HRESULT hr = OpenFolder(kind, &folder);
        if (FAILED(hr))
            return hr;
        SizedSPropTagArray(2, tags) = {2, {PR_DISPLAY_NAME, PR_CONTENT_COUNT}};
        ULONG count = 0;
        MapiMemory<SPropValue> values;
        hr = folder->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), MAPI_UNICODE, &count, values.Out());
        if (FAILED(hr))
            return hr;
        if (count < 2)
            return MAPI_E_CORRUPT_DATA;
        folders->push_back({kind, TextOf(values.Get()[0], PR_DISPLAY_NAME), LongOf(values.Get()[1], PR_CONTENT_COUNT)});
    }
    return S_OK;
}

HRESULT Mailbox::Messages(FolderKind kind, std::vector<MessageSummary>* messages)
{
    messages->clear();
    Held<IMAPIFolder> folder;
    HRESULT hr = OpenFolder(kind, &folder);
    if (FAILED(hr))
        return hr;
    Held<IMAPITable> table;
    hr = folder->GetContentsTable(0, table.Out());
    if (FAILED(hr))
        return hr;
    SizedSSortOrderSet(1, newestFirst) = {1, 0, 0, {{PR_MESSAGE_DELIVERY_TIME, TABLE_SORT_DESCEND}}};
    hr = table->SortTable(reinterpret_cast<LPSSortOrderSet>(&newestFirst), 0);
    if (FAILED(hr))
        return hr;
    enum { EntryId, SenderName, SenderAddress, Subject, ColumnCount };
    SizedSPropTagArray(ColumnCount, columns) = {ColumnCount,
                                                {PR_ENTRYID, PR_SENDER_NAME, PR_SENDER_EMAIL_ADDRESS, PR_SUBJECT}};
    hr = table->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0);
    if (FAILED(hr))
        return hr;
    for (;;) {
        Rows rows;
        hr = table->QueryRows(kRowsPerQuery, 0, rows.Out());
        if (FAILED(hr))
            return hr;
        if (!rows || rows->cRows == 0)
            return S_OK;
        for (ULONG i = 0; i < rows->cRows; ++i) {
            const SRow& row = rows->aRow[i];
            if (row.cValues < ColumnCount || row.lpProps[EntryId].ulPropTag != PR_ENTRYID)
                return MAPI_E_CORRUPT_DATA;
            const SBinary& entryId = row.lpProps[EntryId].Value.bin;
            MessageSummary summary;
            summary.entryId.assign(entryId.lpb, entryId.lpb + entryId.cb);
            summary.text = TextOf(row.lpProps[Subject], PR_SUBJECT);
            if (kind == FolderKind::Inbox) {
                summary.who = TextOf(row.lpProps[SenderName], PR_SENDER_NAME);
                if (summary.who.empty())
                    summary.who = TextOf(row.lpProps[SenderAddress], PR_SENDER_EMAIL_ADDRESS);
            } else {
                Held<IMessage> message;
                if (SUCCEEDED(OpenEntryAs(m_store.Get(), entryId, &message)))
                    summary.who = RecipientsOf(message.Get(), false);
            }
            messages->push_back(std::move(summary));
        }
    }
}

HRESULT Mailbox::Read(const std::vector<BYTE>& entryId, MessageContent* content)
{
    if (!m_store)
        return E_UNEXPECTED;
    Held<IMessage> message;
    SBinary id{static_cast<ULONG>(entryId.size()), const_cast<LPBYTE>(entryId.data())};
    HRESULT hr = OpenEntryAs(m_store.Get(), id, &message);
    if (FAILED(hr))
        return hr;
    enum { Class, Subject, Body, SenderName, SenderAddress, Delivered, Changed, Flags, Count };
    SizedSPropTagArray(Count, tags) = {Count,
                                       {PR_MESSAGE_CLASS, PR_SUBJECT, PR_BODY, PR_SENDER_NAME, PR_SENDER_EMAIL_ADDRESS,
                                        PR_MESSAGE_DELIVERY_TIME, PR_LAST_MODIFICATION_TIME, PR_MESSAGE_FLAGS}};
    ULONG count = 0;
    MapiMemory<SPropValue> values;
    hr = message->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), MAPI_UNICODE, &count, values.Out());
    if (FAILED(hr))
        return hr;
    if (count < Count)
        return MAPI_E_CORRUPT_DATA;
    const SPropValue* props = values.Get();
    ULONG flags = LongOf(props[Flags], PR_MESSAGE_FLAGS);
    content->textMessage = TextOf(props[Class], PR_MESSAGE_CLASS).rfind(u"IPM.SMS", 0) == 0;
    content->received = !(flags & MSGFLAG_FROMME);
    content->who = content->received ? Shown(TextOf(props[SenderName], PR_SENDER_NAME),
                                             TextOf(props[SenderAddress], PR_SENDER_EMAIL_ADDRESS))
                                     : RecipientsOf(message.Get(), true);
    if (props[Delivered].ulPropTag == PR_MESSAGE_DELIVERY_TIME)
        content->time = props[Delivered].Value.ft;
    else if (props[Changed].ulPropTag == PR_LAST_MODIFICATION_TIME)
        content->time = props[Changed].Value.ft;
    if (content->textMessage) {
        content->text = TextOf(props[Subject], PR_SUBJECT);
    } else {
        content->subject = TextOf(props[Subject], PR_SUBJECT);
        content->text = TextOf(props[Body], PR_BODY);
        content->attachments = AttachmentNamesOf(message.Get());
    }
    // Reading a received message marks it read.
    if (content->received && !(flags & MSGFLAG_READ)) {
        SPropValue read = Long(PR_MESSAGE_FLAGS, flags | MSGFLAG_READ);
        message->SetProps(1, &read, nullptr);
    }
    return S_OK;
}

HRESULT Mailbox::Write(IMAPIFolder* outbox, const Outgoing& outgoing, Held<IMessage>* written,
                       std::vector<std::vector<BYTE>>* entryIds)
{
    HRESULT hr = outbox->CreateMessage(nullptr, 0, written->Out());
    if (FAILED(hr))
        return hr;
    IMessage* message = written->Get();
    SizedSPropTagArray(1, idTag) = {1, {PR_ENTRYID}};
    ULONG count = 0;
    MapiMemory<SPropValue> id;
    hr = message->GetProps(reinterpret_cast<LPSPropTagArray>(&idTag), 0, &count, id.Out());
    if (FAILED(hr))
        return hr;
    if (count != 1 || id.Get()[0].ulPropTag != PR_ENTRYID)
        return MAPI_E_CORRUPT_DATA;
    const SBinary& entryId = id.Get()[0].Value.bin;
    entryIds->emplace_back(entryId.lpb, entryId.lpb + entryId.cb);

    SYSTEMTIME now;
    GetSystemTime(&now);
    SPropValue changed{};
    changed.ulPropTag = PR_LAST_MODIFICATION_TIME;
    SystemTimeToFileTime(&now, &changed.Value.ft);
    std::u16string messageClass = !outgoing.messageClass.empty() ? outgoing.messageClass
                                  : outgoing.textMessage         ? kTextMessageClass
                                                                 : kMailMessageClass;
    ULONG flags = MSGFLAG_FROMME | MSGFLAG_UNSENT | (outgoing.attachments.empty() ? 0 : MSGFLAG_HASATTACH);
    std::vector<SPropValue> props = {
        Text(PR_MESSAGE_CLASS, messageClass),
        Long(PR_MESSAGE_FLAGS, flags),
        Long(PR_MSG_STATUS, outgoing.textMessage ? MSGSTATUS_RECTYPE_SMS : MSGSTATUS_RECTYPE_SMTP),
        Long(PR_MESSAGE_SIZE, static_cast<ULONG>(outgoing.text.size() * sizeof(WCHAR))),
        changed,
    };
    if (outgoing.textMessage) {
        props.push_back(Text(PR_SUBJECT, outgoing.text));
    } else {
        props.push_back(Text(PR_SUBJECT, outgoing.subject));
        props.push_back(Text(PR_BODY, outgoing.text));
    }
    hr = message->SetProps(static_cast<ULONG>(props.size()), props.data(), nullptr);
    if (FAILED(hr))
        return hr;
    hr = AddRecipients(message, outgoing);
    for (size_t i = 0; i < outgoing.attachments.size() && SUCCEEDED(hr); ++i)
        hr = Attach(message, outgoing.attachments[i]);
    return hr;
}

HRESULT Mailbox::Send(const std::vector<Outgoing>& messages)
{
    Held<IMAPIFolder> outbox;
    HRESULT hr = OpenFolder(FolderKind::Outbox, &outbox);
    if (FAILED(hr))
        return hr;
    std::vector<Held<IMessage>> written(messages.size());
    std::vector<std::vector<BYTE>> entryIds;
    for (size_t i = 0; i < messages.size(); ++i) {
        hr = Write(outbox.Get(), messages[i], &written[i], &entryIds);
        if (FAILED(hr)) {
            written.clear();
            std::vector<SBinary> ids;
            for (std::vector<BYTE>& entryId : entryIds)
                ids.push_back({static_cast<ULONG>(entryId.size()), entryId.data()});
            ENTRYLIST list{static_cast<ULONG>(ids.size()), ids.data()};
            outbox->DeleteMessages(&list, 0, nullptr, 0);
            return hr;
        }
    }
    for (Held<IMessage>& message : written) {
        hr = message->SubmitMessage(0);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

} // namespace messaging
