// The chooser's screen: a full-screen list of the offered contacts in filing order, each row the name and
// the mobile number, with Select and Cancel on the soft keys. The action key on a row selects it as Select
// does; Back cancels as Cancel does. An empty list leaves Select disabled.
#pragma once

#include "ContactsDevice.h"

#include <windows.h>

namespace device::contacts {

// S_OK with *chosen the index of the contact picked, E_ABORT when the user cancelled, or the failure that
// kept the screen from showing.
HRESULT RunChooserDialog(HWND owner, const std::u16string& title, const std::vector<Contact>& contacts,
                         size_t* chosen);

} // namespace device::contacts
