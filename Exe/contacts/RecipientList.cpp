#include "contacts/RecipientList.h"

#include "contacts/ContactStore.h"
#include "contacts/RegistryValues.h"
#include "store/Owners.h"

#include <strsafe.h>

#include <algorithm>

namespace
{

constexpr WCHAR kContactsValue[] = TEXT("Contacts");

} // namespace

RecipientList::~RecipientList()
{
    if (m_text) LocalFree(m_text);
    CloseContactStore(&m_contactStore);
}

HRESULT RecipientList::SetText(LPCWSTR text)
{
    if (!text) return E_OUTOFMEMORY;
    if (m_text && CompareStringW(LOCALE_USER_DEFAULT, 0, m_text, -1, text, -1) == CSTR_EQUAL) return S_OK;
    if (m_text) LocalFree(m_text);
    m_text = LocalCopy(text);
    if (!m_text) return E_OUTOFMEMORY;
    m_dirty = 1;
    return S_OK;
}

bool RecipientList::ContainsMember(CEOID id) const
{
    return std::find(m_members.begin(), m_members.end(), id) != m_members.end();
}

HRESULT RecipientList::AddMember(CEOID id)
{
    if (id == 0) return E_FAIL;
    if (ContainsMember(id)) return S_OK;
    m_members.push_back(id);
    m_dirty = 1;
    return S_OK;
}

HRESULT RecipientList::RemoveMember(CEOID id)
{
    if (id == 0) return E_FAIL;
    auto found = std::find(m_members.begin(), m_members.end(), id);
    if (found == m_members.end()) return E_FAIL;
    m_members.erase(found);
    m_dirty = 1;
    return S_OK;
}

HRESULT RecipientList::ClearMembers()
{
    m_members.clear();
    m_dirty = 1;
    return S_OK;
}

HRESULT RecipientList::SerializeMembers(BYTE** buffer, DWORD* size) const
{
    if (!buffer || !size) return E_INVALIDARG;
    *buffer = nullptr;
    *size = 0;
    if (m_members.empty()) return E_FAIL;
    DWORD bytes = static_cast<DWORD>(m_members.size() * 4);
    auto block = static_cast<BYTE*>(LocalAlloc(LPTR, bytes));
    if (!block) return E_OUTOFMEMORY;
    for (size_t i = 0; i < m_members.size(); ++i) {
        for (int b = 0; b < 4; ++b)
            block[i * 4 + b] = static_cast<BYTE>(m_members[i] >> (8 * b));
    }
    *buffer = block;
    *size = bytes;
    return S_OK;
}

HRESULT RecipientList::AddMembersFromBuffer(const BYTE* buffer, DWORD size)
{
    if (!buffer || size == 0) return E_INVALIDARG;
    for (DWORD i = 0; i + 4 <= size; i += 4) {
        CEOID id = buffer[i] | (buffer[i + 1] << 8) | (buffer[i + 2] << 16) |
                   (static_cast<CEOID>(buffer[i + 3]) << 24);
        AddMember(id);
    }
    return S_OK;
}

HRESULT RecipientList::LoadMembers(HKEY key)
{
    m_members.clear();
    DWORD size = 0;
    if (FAILED(QueryBinarySize(key, kContactsValue, &size))) return E_FAIL;
    if (size > 0) {
        LocalPtr<BYTE> block(static_cast<BYTE*>(LocalAlloc(LPTR, size)));
        if (!block.Get()) return E_OUTOFMEMORY;
        if (FAILED(ReadBinaryValue(key, kContactsValue, block.Get(), size))) return E_FAIL;
        AddMembersFromBuffer(block.Get(), size);
    }
    m_dirty = 0;
    return S_OK;
}

// A failed write goes unreported: the caller has nothing better to offer the user.
void RecipientList::SaveMembers(HKEY key) const
{
    LocalPtr<BYTE> block;
    DWORD size = 0;
    if (SUCCEEDED(SerializeMembers(block.Out(), &size))) {
        RegSetValueExW(key, kContactsValue, 0, REG_BINARY, block.Get(), size);
    } else {
        RegSetValueExW(key, kContactsValue, 0, REG_BINARY, nullptr, 0);
    }
}

HRESULT RecipientList::SetKeyName(LPCWSTR keyName)
{
    return StringCchCopyW(m_keyName, kKeyNameLength, keyName);
}
