#include "contacts/ContactGroupList.h"

#include "app/RegKey.h"

#include <new>

void ContactGroupList::Clear()
{
    for (ContactGroup* group : m_groups)
        delete group;
    m_groups.clear();
}

HRESULT ContactGroupList::LoadAll()
{
    Clear();
    RegKey groups;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kGroupsKey, 0, KEY_READ | KEY_WRITE, groups.Out()) != ERROR_SUCCESS)
        return S_OK;
    for (DWORD index = 0;; ++index) {
        WCHAR name[kKeyNameLength];
        DWORD length = kKeyNameLength;
        LONG rc = RegEnumKeyExW(groups, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) continue;
        auto group = new (std::nothrow) ContactGroup;
        if (!group) continue;
        if (FAILED(group->Load(name))) {
            delete group;
            continue;
        }
        m_groups.push_back(group);
    }
    return S_OK;
}
