// A named group of contacts, kept as one subkey of the groups key: the name as its default value and the
// members as its "Contacts" value.
#pragma once

#include "contacts/RecipientList.h"

// The key holding one subkey per group; a group's path is this followed by its key name.
extern const WCHAR kGroupsKey[];

// The longest group name, in characters.
constexpr int kMaxGroupNameLength = 25;

class ContactGroup : public RecipientList
{
  public:
    HRESULT Load(LPCWSTR keyName) override;
    // Runs the group edit screen over parent and saves a change the user confirmed; anything else is E_FAIL.
    HRESULT Edit(HWND parent) override;
    HRESULT Delete() override;
    // Writes the group under its key name, making one from a new GUID the first time. A name longer than
    // kMaxGroupNameLength is refused with E_INVALIDARG before anything is written.
    HRESULT Save();

  private:
    HRESULT GroupPath(LPWSTR path, size_t capacity) const;
};
