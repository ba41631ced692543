// Every contact group stored in the registry, in the registry's order.
#pragma once

#include "contacts/ContactGroup.h"

#include <vector>

class ContactGroupList
{
  public:
    ContactGroupList() = default;
    virtual ~ContactGroupList() { Clear(); }
    ContactGroupList(const ContactGroupList&) = delete;
    ContactGroupList& operator=(const ContactGroupList&) = delete;

    // Reloads every group that loads; the others are left out. A missing groups key is no groups.
    virtual HRESULT LoadAll();

    size_t Count() const { return m_groups.size(); }
    ContactGroup* Item(size_t index) const { return m_groups[index]; }

  private:
    void Clear();

    std::vector<ContactGroup*> m_groups;
};
