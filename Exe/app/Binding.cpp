#include "app/Binding.h"

#include "UtilsExports.h"
#include "app/Program.h"

namespace {

// Loads the library into its slot once and resolves the export into its slot once; null when either is
// missing. Slots are filled without a lock: only the user-interface thread binds.
template <typename Function>
Function Bind(HMODULE& library, const WCHAR* libraryName, FARPROC& entry, WORD ordinal)
{
    if (!library)
        library = LoadLibraryW(libraryName);
    if (library && !entry)
        entry = GetProcAddressW(library, MAKEINTRESOURCEW(ordinal));
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry)); // via the generic function type
}

template <typename Function>
Function BindUtils(WORD ordinal)
{
    BindingSlots& slots = g_program.binding;
    return Bind<Function>(slots.utils, TEXT("utils"), slots.utilsEntries[ordinal - 1], ordinal);
}

template <typename Function, typename... Args>
HRESULT CallUtils(WORD ordinal, Args... args)
{
    auto function = BindUtils<Function>(ordinal);
    return function ? function(args...) : E_FAIL;
}

} // namespace

namespace utils {

using namespace utils_exports;

HRESULT MakeGuidString(LPWSTR buffer, int capacity)
{
    return CallUtils<MakeGuidStringFn>(kMakeGuidString, buffer, capacity);
}

HRESULT GetQuotedModulePath(LPWSTR buffer, int capacity)
{
    return CallUtils<GetQuotedModulePathFn>(kGetQuotedModulePath, buffer, capacity);
}

HRESULT ComposeSupportMail(LPCWSTR subject)
{
    return CallUtils<ComposeSupportMailFn>(kComposeSupportMail, subject);
}

HRESULT ComposeMail(LPCWSTR subject, LPCWSTR body)
{
    return CallUtils<ComposeMailFn>(kComposeMail, subject, body);
}

HRESULT ComposeSms(LPCWSTR recipients)
{
    return CallUtils<ComposeSmsFn>(kComposeSms, recipients);
}

HRESULT ComposeMailMessage(LPCWSTR to, LPCWSTR subject, LPCWSTR body, LPCWSTR attachments, DWORD attachmentCount)
{
    return CallUtils<ComposeMailMessageFn>(kComposeMailMessage, to, subject, body, attachments, attachmentCount);
}

void FillListFromResources(HWND list, HINSTANCE resources, UINT firstId, UINT lastId, int selectIndex)
{
    if (auto function = BindUtils<FillListFromResourcesFn>(kFillListFromResources))
        function(list, resources, firstId, lastId, selectIndex);
}

HRESULT RegisterMissedCallNotification(LPCWSTR name, HWND target, UINT message)
{
    return CallUtils<RegisterMissedCallNotificationFn>(kRegisterMissedCallNotification, name, target, message);
}

HRESULT StopNotification(LPCWSTR name)
{
    return CallUtils<StopNotificationFn>(kStopNotification, name);
}

HRESULT CreateUnicodeFile(LPCWSTR path, HANDLE* file)
{
    return CallUtils<CreateUnicodeFileFn>(kCreateUnicodeFile, path, file);
}

HRESULT PickContact(HWND owner, CEOID* contact)
{
    return CallUtils<PickContactFn>(kPickContact, owner, contact);
}

HRESULT GetFolderMessageCount(IMAPIFolder* folder, ULONG* count)
{
    return CallUtils<GetFolderMessageCountFn>(kGetFolderMessageCount, folder, count);
}

HRESULT EmptyFolders(HWND owner, BOOL emptyFirst, IMAPIFolder* first, BOOL emptySecond, IMAPIFolder* second)
{
    return CallUtils<EmptyFoldersFn>(kEmptyFolders, owner, emptyFirst, first, emptySecond, second);
}

HRESULT GetOwnNumber(LPWSTR buffer, int capacity, DWORD address)
{
    return CallUtils<GetOwnNumberFn>(kGetOwnNumber, buffer, capacity, address);
}

HRESULT SetPickerDateTime(HWND picker, const SYSTEMTIME* time)
{
    return CallUtils<SetPickerDateTimeFn>(kSetPickerDateTime, picker, time);
}

HRESULT SetCounterText(HWND window, int first, int second)
{
    return CallUtils<SetCounterTextFn>(kSetCounterText, window, first, second);
}

} // namespace utils

namespace shell {

namespace {
constexpr WORD kInstanceLookup = 209;
constexpr WORD kCapabilityQuery = 366;
using InstanceLookupFn = HRESULT(WINAPI*)(LPCWSTR, LPCWSTR, HANDLE*, HWND*, BOOL*);
using CapabilityQueryFn = BOOL(WINAPI*)(DWORD);
} // namespace

HRESULT InstanceLookup(LPCWSTR className, LPCWSTR windowName, HANDLE* handle, HWND* window, BOOL* found)
{
    BindingSlots& slots = g_program.binding;
    auto function = Bind<InstanceLookupFn>(slots.shellForInstance, TEXT("aygshell"), slots.instanceLookup,
                                           kInstanceLookup);
    return function ? function(className, windowName, handle, window, found) : E_FAIL;
}

BOOL CapabilityQuery(DWORD capabilities)
{
    BindingSlots& slots = g_program.binding;
    auto function = Bind<CapabilityQueryFn>(slots.shellForCapability, TEXT("aygshell"), slots.capabilityQuery,
                                            kCapabilityQuery);
    return function ? function(capabilities) : 0;
}

} // namespace shell
