// Accounts as the messaging application's calls name them: a message store, by its name or by its
// transport's name.
#pragma once

#include "Storage.h"

namespace device::mapi
{

// The flags these calls know (MCF_*); others are refused.
constexpr DWORD kAccountCallFlags =
    MCF_ACCOUNT_IS_NAME | MCF_ACCOUNT_IS_TRANSPORT | MCF_MAILTO_FORMAT | MCF_RUN_IN_BACKGROUND;

// The account named by transport when MCF_ACCOUNT_IS_TRANSPORT is set, else by name. E_INVALIDARG for
// unknown flags, for both ways of naming at once, and for an account the device doesn't have.
HRESULT FindAccount(Database& db, LPCWSTR account, DWORD flags, StoreRow* out);

// The account the messaging application shows: the last one switched to, else the text-message account
// it opens with.
StoreRow CurrentAccount(Database& db);

} // namespace device::mapi
