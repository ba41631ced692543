// The messaging application's forms as other programs open them: the request is checked as the device
// does (the account, the attachment), recorded in the device database in the order asked, and handed to
// the messaging application, which shows it.
#include <cemapi.h>
#include <windows.h>

#include "Accounts.h"
#include "Guarded.h"
#include "MessagingApp.h"

#include "device/Clock.h"
#include "device/Device.h"

#include <optional>
#include <vector>

namespace device::mapi
{

namespace
{

// The device's form takes one attachment.
constexpr UINT kMaxAttachments = 1;

void BindText(Statement& statement, int index, LPCWSTR text)
{
    if (!text)
        statement.BindNull(index);
    else
        statement.Bind(index, text, std::char_traits<char16_t>::length(text) * sizeof(WCHAR));
}

// The file names of a list of null-terminated names.
std::vector<LPCWSTR> AttachmentNames(LPCWSTR list, UINT count)
{
    std::vector<LPCWSTR> names;
    for (UINT i = 0; i < count; ++i) {
        names.push_back(list);
        list += std::char_traits<char16_t>::length(list) + 1;
    }
    return names;
}

// S_OK when the device path names a file; else the file system's error as an HRESULT.
HRESULT CheckAttachment(LPCWSTR path)
{
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return HRESULT_FROM_WIN32(GetLastError());
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? E_INVALIDARG : S_OK;
}

struct Request {
    const char* what;
    LPCWSTR account = nullptr;
    std::optional<int64_t> store;
    DWORD flags = 0;
    const MAILCOMPOSEFIELDS* fields = nullptr;
    std::vector<LPCWSTR> attachments;
};

int64_t Record(Database& db, const Request& request, int64_t now)
{
    Statement insert(db,
                     "INSERT INTO mail_requests (request, account, store, flags, to_text, cc_text, bcc_text, "
                     "subject, body, message_class, asked_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    const MAILCOMPOSEFIELDS* f = request.fields;
    insert.Bind(1, request.what);
    BindText(insert, 2, request.account);
    if (request.store)
        insert.Bind(3, *request.store);
    else
        insert.BindNull(3);
    insert.Bind(4, static_cast<int64_t>(request.flags));
    BindText(insert, 5, f ? f->pszTo : nullptr);
    BindText(insert, 6, f ? f->pszCc : nullptr);
    BindText(insert, 7, f ? f->pszBcc : nullptr);
    BindText(insert, 8, f ? f->pszSubject : nullptr);
    BindText(insert, 9, f ? f->pszBody : nullptr);
    BindText(insert, 10, f ? f->pszMsgClass : nullptr);
    insert.Bind(11, now).Execute();
    int64_t id = db.LastInsertId();
    Statement attach(db, "INSERT INTO mail_request_attachments (request, position, path) VALUES (?, ?, ?)");
    for (size_t i = 0; i < request.attachments.size(); ++i) {
        attach.Bind(1, id).Bind(2, static_cast<int64_t>(i));
        BindText(attach, 3, request.attachments[i]);
        attach.Execute();
        attach.Reset();
    }
    return id;
}

// Checks the account (when one is named) and records the request.
HRESULT CheckAndRecord(Request request, int64_t* id)
{
    return Guarded([&] {
        int64_t now = NowTicks();
        Database& db = Db();
        Transaction tx(db);
        if (request.account) {
            StoreRow store;
            HRESULT hr = FindAccount(db, request.account, request.flags, &store);
            if (FAILED(hr)) return hr;
            request.store = store.id;
        }
        *id = Record(db, request, now);
        tx.Commit();
        return S_OK;
    });
}

// A request the application could not be given was never made: it is not kept.
void Forget(int64_t id)
{
    Guarded([&] {
        Statement remove(Db(), "DELETE FROM mail_requests WHERE id = ?");
        remove.Bind(1, id).Execute();
        return S_OK;
    });
}

HRESULT RecordAndShow(Request request, bool wait)
{
    int64_t id = 0;
    HRESULT hr = CheckAndRecord(std::move(request), &id);
    if (FAILED(hr)) return hr;
    hr = device::mail::ShowRequest(id, wait);
    if (FAILED(hr)) Forget(id);
    return hr;
}

} // namespace

} // namespace device::mapi

using namespace device::mapi;

STDAPI MailComposeMessage(MAILCOMPOSEFIELDS* pmcf)
{
    Request request{"compose"};
    if (pmcf) {
        if (pmcf->cbSize != sizeof(MAILCOMPOSEFIELDS) || (pmcf->dwFlags & ~kAccountCallFlags))
            return E_INVALIDARG;
        if (pmcf->cAttachments > kMaxAttachments || (pmcf->cAttachments && !pmcf->pszAttachments))
            return E_INVALIDARG;
        request.fields = pmcf;
        request.flags = pmcf->dwFlags;
        request.account = pmcf->pszAccount;
        request.attachments = AttachmentNames(pmcf->pszAttachments, pmcf->cAttachments);
        for (LPCWSTR path : request.attachments) {
            HRESULT hr = CheckAttachment(path);
            if (FAILED(hr)) return hr;
        }
    }
    return RecordAndShow(std::move(request), false);
}

// The one call that waits: when it returns, the account is shown.
STDAPI MailSwitchToAccount(LPCTSTR pszAccount, DWORD dwFlags)
{
    if (!pszAccount) return E_INVALIDARG;
    Request request{"switch"};
    request.account = pszAccount;
    request.flags = dwFlags;
    return RecordAndShow(std::move(request), true);
}
