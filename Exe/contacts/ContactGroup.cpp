#include "contacts/ContactGroup.h"

#include "app/Binding.h"
#include "app/RegKey.h"
#include "contacts/GroupEditDialog.h"
#include "contacts/RegistryValues.h"
#include "ui/DialogBase.h"

#include "ids.h"

#include <strsafe.h>

const WCHAR kGroupsKey[] = TEXT("Software\\Orvane\\Zelkova\\Groups\\");

namespace
{

constexpr size_t kGroupPathLength = sizeof(kGroupsKey) / sizeof(WCHAR) + kKeyNameLength;

} // namespace

HRESULT ContactGroup::GroupPath(LPWSTR path, size_t capacity) const
{
    HRESULT hr = StringCchCopyW(path, capacity, kGroupsKey);
    if (SUCCEEDED(hr)) hr = StringCchCatW(path, capacity, m_keyName);
    return hr;
}

HRESULT ContactGroup::Load(LPCWSTR keyName)
{
    if (!keyName || !keyName[0]) return E_FAIL;
    HRESULT hr = SetKeyName(keyName);
    if (FAILED(hr)) return hr;
    WCHAR path[kGroupPathLength];
    if (FAILED(GroupPath(path, kGroupPathLength))) return E_FAIL;
    RegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, key.Out()) != ERROR_SUCCESS) return E_FAIL;
    WCHAR name[kMaxGroupNameLength + 1];
    if (FAILED(ReadStringValue(key, nullptr, name, kMaxGroupNameLength + 1))) return E_FAIL;
    hr = SetText(name);
    if (FAILED(hr)) return hr;
    return LoadMembers(key);
}

HRESULT ContactGroup::Save()
{
    if (!m_text) return E_OUTOFMEMORY;
    if (!m_text[0]) return E_FAIL;
    // A longer name would be stored but never loaded again.
    if (lstrlenW(m_text) > kMaxGroupNameLength) return E_INVALIDARG;
    if (!m_keyName[0]) {
        HRESULT hr = utils::MakeGuidString(m_keyName, kKeyNameLength);
        if (FAILED(hr)) {
            m_keyName[0] = 0;
            return hr;
        }
    }
    WCHAR path[kGroupPathLength];
    if (FAILED(GroupPath(path, kGroupPathLength))) return E_FAIL;
    RegKey key;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key.Out(),
                        &disposition) != ERROR_SUCCESS)
        return E_FAIL;
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(m_text),
                   static_cast<DWORD>((lstrlenW(m_text) + 1) * sizeof(WCHAR)));
    SaveMembers(key);
    m_dirty = 0;
    return S_OK;
}

// Only a group the user changed and confirmed is written.
HRESULT ContactGroup::Edit(HWND parent)
{
    m_dirty = 0;
    GroupEditDialog dialog(this);
    if (RunDialog(IDD_GROUP_EDIT, parent, dialog) == IDOK && m_dirty) return Save();
    return E_FAIL;
}

HRESULT ContactGroup::Delete()
{
    if (!m_keyName[0]) return E_FAIL;
    RegKey groups;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kGroupsKey, 0, KEY_READ | KEY_WRITE, groups.Out()) != ERROR_SUCCESS)
        return E_FAIL;
    if (RegDeleteKeyW(groups, m_keyName) != ERROR_SUCCESS) return E_FAIL;
    m_members.clear();
    return S_OK;
}
