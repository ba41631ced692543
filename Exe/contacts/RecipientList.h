// A list of contacts, by object identifier, with a text and a registry key name: the base of a contact
// group (the text is its name) and of a scheduled message (the text is its body).
#pragma once

#include <windows.h>
#include <windbase.h>

#include <vector>

struct IPOutlookApp;

// A registry key name: the braced text of a GUID and its terminator.
constexpr int kKeyNameLength = 39;

class RecipientList
{
  public:
    RecipientList() = default;
    virtual ~RecipientList();
    RecipientList(const RecipientList&) = delete;
    RecipientList& operator=(const RecipientList&) = delete;

    virtual HRESULT Load(LPCWSTR keyName) = 0;
    virtual HRESULT Edit(HWND parent) = 0;
    virtual HRESULT Delete() = 0;

    HRESULT SetText(LPCWSTR text);
    bool ContainsMember(CEOID id) const;
    HRESULT AddMember(CEOID id);
    HRESULT RemoveMember(CEOID id);
    HRESULT ClearMembers();
    // The members as little-endian 4-byte identifiers in a local-heap block the caller frees (LocalFree).
    HRESULT SerializeMembers(BYTE** buffer, DWORD* size) const;
    // Adds each whole 4-byte identifier; zeros, repeats and a trailing remainder are left out.
    HRESULT AddMembersFromBuffer(const BYTE* buffer, DWORD size);

    size_t MemberCount() const { return m_members.size(); }
    CEOID Member(size_t index) const { return m_members[index]; }
    LPCWSTR Text() const { return m_text; }
    bool IsDirty() const { return m_dirty != 0; }
    LPCWSTR KeyName() const { return m_keyName; }
    // The contact store connection this list reads its members' names through, opened on first use.
    IPOutlookApp** ContactStore() { return &m_contactStore; }

  protected:
    // The "Contacts" value of an open key: read back into the members (Dirty then cleared), or written.
    HRESULT LoadMembers(HKEY key);
    void SaveMembers(HKEY key) const;
    HRESULT SetKeyName(LPCWSTR keyName);

    std::vector<CEOID> m_members;
    LPWSTR m_text = nullptr;
    DWORD m_dirty = 0;
    WCHAR m_keyName[kKeyNameLength] = {};
    IPOutlookApp* m_contactStore = nullptr;
};
