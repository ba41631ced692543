// The members of a list as one line of text: "Name <number>;" each for a compose form's To line, or
// "Name; " each for showing who a message goes to. Members the contact store can't give are left out.
#pragma once

#include "contacts/ContactGroup.h"

// *out becomes a local-heap string the caller frees with LocalFree (also on E_FAIL, when no member could be
// written); when the contact store can't be opened, *out is left as it was.
HRESULT BuildRecipientString(RecipientList& list, LPWSTR* out, BOOL withNumbers);

// Opens the phone's text-message compose form addressed to every member of the group.
HRESULT ComposeToGroup(ContactGroup& group);
