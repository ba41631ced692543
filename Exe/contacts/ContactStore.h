// The connection to the phone's contact store and the two things the program reads of a contact: the name
// it shows (the contact's "file as" name) and the mobile number messages go to.
#pragma once

#include <windows.h>
#include <windbase.h>
#include <oleauto.h>

struct IPOutlookApp;
struct IContact;

// Creates the store's application object and logs on, unless the connection is already made. A connection
// whose logon failed stays made, and the next call succeeds at once.
HRESULT OpenContactStore(IPOutlookApp** connection, HWND window);
// Logs off and releases; for the connection's owner when it ends.
void CloseContactStore(IPOutlookApp** connection);

// The contact with that object identifier; the caller releases it.
HRESULT GetContactItem(IPOutlookApp* connection, CEOID id, IContact** item);
// The contact's display name, for the caller to free with SysFreeString.
HRESULT GetContactName(IPOutlookApp* connection, CEOID id, BSTR* name);

// The name the program shows for a contact in every list and recipient string, and its mobile number.
HRESULT ReadDisplayName(IContact* item, BSTR* name);
HRESULT ReadMobileNumber(IContact* item, BSTR* number);
