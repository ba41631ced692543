#include "Accounts.h"

namespace device::mapi
{

namespace
{

constexpr char16_t kTextMessages[] = u"SMS";

} // namespace

HRESULT FindAccount(Database& db, LPCWSTR account, DWORD flags, StoreRow* out)
{
    if (!account || (flags & ~kAccountCallFlags)) return E_INVALIDARG;
    bool byTransport = flags & MCF_ACCOUNT_IS_TRANSPORT;
    if (byTransport && (flags & MCF_ACCOUNT_IS_NAME)) return E_INVALIDARG;
    auto store = StoreByAccount(db, account, byTransport);
    if (!store) return E_INVALIDARG;
    *out = *store;
    return S_OK;
}

StoreRow CurrentAccount(Database& db)
{
    Statement last(db, "SELECT store FROM mail_requests WHERE request = 'switch' AND store IS NOT NULL "
                       "ORDER BY id DESC LIMIT 1");
    if (last.Step()) {
        if (auto store = StoreById(db, last.Int(0))) return *store;
    }
    return StoreByAccount(db, kTextMessages, true).value();
}

} // namespace device::mapi
