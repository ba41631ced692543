#include "contacts/RecipientString.h"

#include "app/Binding.h"
#include "app/MainWindow.h"
#include "contacts/ContactStore.h"
#include "store/Owners.h"

#include <pimstore.h>

#include <string>

namespace
{

// One member's entry, or false when the contact store can't give it.
bool AppendEntry(IPOutlookApp* store, CEOID id, BOOL withNumbers, std::u16string* out)
{
    ComPtr<IContact> item;
    Bstr name, number;
    if (FAILED(GetContactItem(store, id, item.Out())) || FAILED(ReadDisplayName(item.Get(), name.Out())))
        return false;
    if (withNumbers && FAILED(ReadMobileNumber(item.Get(), number.Out()))) return false;
    if (withNumbers) {
        *out += name.Text();
        *out += TEXT(" <");
        *out += number.Text();
        *out += TEXT(">;");
    } else {
        *out += name.Text();
        *out += TEXT("; ");
    }
    return true;
}

} // namespace

HRESULT BuildRecipientString(RecipientList& list, LPWSTR* out, BOOL withNumbers)
{
    HRESULT hr = OpenContactStore(list.ContactStore(), g_mainWindow.Window());
    if (FAILED(hr)) return hr;
    std::u16string text;
    for (size_t i = 0; i < list.MemberCount(); ++i)
        AppendEntry(*list.ContactStore(), list.Member(i), withNumbers, &text);
    LPWSTR copy = LocalCopy(text.c_str(), text.size());
    if (!copy) return E_OUTOFMEMORY;
    *out = copy;
    return text.empty() ? E_FAIL : hr;
}

HRESULT ComposeToGroup(ContactGroup& group)
{
    if (group.MemberCount() == 0) return E_FAIL;
    LocalPtr<WCHAR> recipients;
    HRESULT hr = BuildRecipientString(group, recipients.Out(), TRUE);
    if (SUCCEEDED(hr)) hr = utils::ComposeSms(recipients.Get());
    return hr;
}
