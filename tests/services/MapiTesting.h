// Helpers for driving MAPI in tests as a device program would: owners that release what MAPI hands out,
// a logged-on session on a fresh device, and the lookups the program makes (the "SMS" store by name,
// folders by the store's entry-identifier properties).
#pragma once

#include "support/TempDevice.h"

#include <cemapi.h>
#include <mapiutil.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace mapi_testing
{

template <class T> class Ref
{
  public:
    Ref() = default;
    explicit Ref(T* p) : m_p(p) {}
    ~Ref() { Reset(); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref(Ref&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    Ref& operator=(Ref&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_p = other.m_p;
            other.m_p = nullptr;
        }
        return *this;
    }
    T** Out()
    {
        Reset();
        return &m_p;
    }
    LPUNKNOWN* OutUnknown() { return reinterpret_cast<LPUNKNOWN*>(Out()); }
    T* operator->() const { return m_p; }
    T* get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    void Reset()
    {
        if (m_p) m_p->Release();
        m_p = nullptr;
    }

  private:
    T* m_p = nullptr;
};

// A row set or property array from MAPI, freed the MAPI way.
struct Rows {
    LPSRowSet set = nullptr;
    ~Rows() { FreeProws(set); }
};
struct Props {
    ULONG count = 0;
    LPSPropValue values = nullptr;
    ~Props() { MAPIFreeBuffer(values); }
    const SPropValue& operator[](size_t i) const { return values[i]; }
};

using Bytes = std::vector<uint8_t>;

inline Bytes BytesOf(const SBinary& bin)
{
    return Bytes(bin.lpb, bin.lpb + bin.cb);
}
inline LPENTRYID EntryOf(Bytes& id)
{
    return reinterpret_cast<LPENTRYID>(id.data());
}

inline SPropValue Text(ULONG tag, const char16_t* text)
{
    SPropValue v{};
    v.ulPropTag = tag;
    v.Value.lpszW = const_cast<LPWSTR>(text);
    return v;
}
inline SPropValue Long(ULONG tag, LONG value)
{
    SPropValue v{};
    v.ulPropTag = tag;
    v.Value.l = value;
    return v;
}
inline SPropValue Time(ULONG tag, int64_t ticks)
{
    SPropValue v{};
    v.ulPropTag = tag;
    v.Value.ft.dwLowDateTime = static_cast<DWORD>(ticks);
    v.Value.ft.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
    return v;
}
inline int64_t TicksOf(const FILETIME& ft)
{
    return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}

// The value with that tag in a row, if the row has it (not as PT_ERROR).
inline const SPropValue* Column(const SPropValue* values, ULONG count, ULONG tag)
{
    for (ULONG i = 0; i < count; ++i) {
        if (values[i].ulPropTag == tag) return &values[i];
    }
    return nullptr;
}

// A fresh device, MAPI started and a session logged on; everything closed again at the end.
class MapiTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(MAPIInitialize(nullptr), S_OK);
        ASSERT_EQ(MAPILogonEx(0, nullptr, nullptr, 0, m_session.Out()), S_OK);
    }
    void TearDown() override
    {
        if (m_session) m_session->Logoff(0, 0, 0);
        m_session.Reset();
        MAPIUninitialize();
    }

    IMAPISession* Session() { return m_session.get(); }

    // The entry identifier of the store with that display name, read from the stores table one row at a
    // time; empty when no store has that name.
    Bytes StoreEntryId(const char16_t* name)
    {
        Ref<IMAPITable> table;
        EXPECT_EQ(Session()->GetMsgStoresTable(0, table.Out()), S_OK);
        SizedSPropTagArray(2, columns) = {2, {PR_ENTRYID, PR_DISPLAY_NAME}};
        EXPECT_EQ(table->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0), S_OK);
        for (;;) {
            Rows rows;
            EXPECT_EQ(table->QueryRows(1, 0, &rows.set), S_OK);
            if (!rows.set || rows.set->cRows == 0) return {};
            const SRow& row = rows.set->aRow[0];
            if (row.cValues == 2 && row.lpProps[1].ulPropTag == PR_DISPLAY_NAME &&
                std::u16string(row.lpProps[1].Value.lpszW) == name && row.lpProps[0].ulPropTag == PR_ENTRYID)
                return BytesOf(row.lpProps[0].Value.bin);
        }
    }

    Ref<IMsgStore> OpenStore(const char16_t* name)
    {
        Bytes id = StoreEntryId(name);
        Ref<IMsgStore> store;
        EXPECT_EQ(
            Session()->OpenMsgStore(0, static_cast<ULONG>(id.size()), EntryOf(id), nullptr, 0, store.Out()),
            S_OK);
        return store;
    }

    // The message with that entry id, opened through the session.
    Ref<IMessage> OpenMessage(Bytes& id)
    {
        Ref<IMessage> message;
        EXPECT_EQ(Session()->OpenEntry(static_cast<ULONG>(id.size()), EntryOf(id), nullptr, 0, nullptr,
                                       message.OutUnknown()),
                  S_OK);
        return message;
    }

    // The folder a store property (PR_CE_IPM_INBOX_ENTRYID, ...) names.
    static Ref<IMAPIFolder> OpenFolder(IMsgStore* store, ULONG tag)
    {
        SizedSPropTagArray(1, tags) = {1, {tag}};
        Props props;
        EXPECT_EQ(store->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), MAPI_UNICODE, &props.count,
                                  &props.values),
                  S_OK);
        Ref<IMAPIFolder> folder;
        if (props.count != 1 || props[0].ulPropTag != tag) return folder;
        Bytes id = BytesOf(props[0].Value.bin);
        EXPECT_EQ(store->OpenEntry(static_cast<ULONG>(id.size()), EntryOf(id), nullptr, 0, nullptr,
                                   folder.OutUnknown()),
                  S_OK);
        return folder;
    }

    static Bytes EntryIdOf(IMAPIProp* object)
    {
        SizedSPropTagArray(1, tags) = {1, {PR_ENTRYID}};
        Props props;
        EXPECT_EQ(object->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &props.count, &props.values),
                  S_OK);
        return props.count == 1 && props[0].ulPropTag == PR_ENTRYID ? BytesOf(props[0].Value.bin) : Bytes();
    }

    static LONG LongProp(IMAPIProp* object, ULONG tag)
    {
        SizedSPropTagArray(1, tags) = {1, {tag}};
        Props props;
        EXPECT_EQ(object->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &props.count, &props.values),
                  S_OK);
        return props.count == 1 && props[0].ulPropTag == tag ? props[0].Value.l : -1;
    }

    static Ref<IMessage> NewMessage(IMAPIFolder* folder, std::vector<SPropValue> values)
    {
        Ref<IMessage> message;
        EXPECT_EQ(folder->CreateMessage(nullptr, 0, message.Out()), S_OK);
        if (!values.empty()) {
            EXPECT_EQ(message->SetProps(static_cast<ULONG>(values.size()), values.data(), nullptr), S_OK);
        }
        return message;
    }

    static HRESULT AddRecipients(IMessage* message, std::vector<std::vector<SPropValue>> recipients)
    {
        std::vector<uint8_t> buffer(CbNewADRLIST(recipients.size()));
        auto list = reinterpret_cast<LPADRLIST>(buffer.data());
        list->cEntries = static_cast<ULONG>(recipients.size());
        for (size_t i = 0; i < recipients.size(); ++i) {
            list->aEntries[i].cValues = static_cast<ULONG>(recipients[i].size());
            list->aEntries[i].rgPropVals = recipients[i].data();
        }
        return message->ModifyRecipients(MODRECIP_ADD, list);
    }

    // The subjects of a folder's messages in table order, read one row at a time.
    static std::vector<std::u16string> Subjects(IMAPIFolder* folder, ULONG order = TABLE_SORT_DESCEND)
    {
        Ref<IMAPITable> table;
        EXPECT_EQ(folder->GetContentsTable(0, table.Out()), S_OK);
        SizedSSortOrderSet(1, sort) = {1, 0, 0, {{PR_MESSAGE_DELIVERY_TIME, order}}};
        EXPECT_EQ(table->SortTable(reinterpret_cast<LPSSortOrderSet>(&sort), 0), S_OK);
        SizedSPropTagArray(1, columns) = {1, {PR_SUBJECT}};
        EXPECT_EQ(table->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0), S_OK);
        std::vector<std::u16string> subjects;
        for (;;) {
            Rows rows;
            EXPECT_EQ(table->QueryRows(1, 0, &rows.set), S_OK);
            if (!rows.set || rows.set->cRows == 0) return subjects;
            const SPropValue& value = rows.set->aRow[0].lpProps[0];
            subjects.push_back(value.ulPropTag == PR_SUBJECT ? value.Value.lpszW : u"<none>");
        }
    }

    testing_support::TempDevice m_device;

  private:
    Ref<IMAPISession> m_session;
};

} // namespace mapi_testing
