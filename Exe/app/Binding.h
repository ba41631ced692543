// Run-time binding of the helper library and of the shell's two ordinal-only facilities. Each library is
// loaded on the first call of any of its bound exports and each export resolved on its own first call; a
// missing library or export makes the call fail with E_FAIL (FillListFromResources does nothing and the
// capability query answers 0). Libraries stay loaded for the life of the process.
#pragma once

#include <windows.h>
#include <windbase.h>

struct IMAPIFolder;

namespace utils {

HRESULT MakeGuidString(LPWSTR buffer, int capacity);
HRESULT GetQuotedModulePath(LPWSTR buffer, int capacity);
HRESULT ComposeSupportMail(LPCWSTR subject);
HRESULT ComposeMail(LPCWSTR subject, LPCWSTR body);
HRESULT ComposeSms(LPCWSTR recipients);
HRESULT ComposeMailMessage(LPCWSTR to, LPCWSTR subject, LPCWSTR body, LPCWSTR attachments, DWORD attachmentCount);
void FillListFromResources(HWND list, HINSTANCE resources, UINT firstId, UINT lastId, int selectIndex);
HRESULT RegisterMissedCallNotification(LPCWSTR name, HWND target, UINT message);
HRESULT StopNotification(LPCWSTR name);
HRESULT CreateUnicodeFile(LPCWSTR path, HANDLE* file);
HRESULT PickContact(HWND owner, CEOID* contact);
HRESULT GetFolderMessageCount(IMAPIFolder* folder, ULONG* count);
HRESULT EmptyFolders(HWND owner, BOOL emptyFirst, IMAPIFolder* first, BOOL emptySecond, IMAPIFolder* second);
HRESULT GetOwnNumber(LPWSTR buffer, int capacity, DWORD address);
HRESULT SetPickerDateTime(HWND picker, const SYSTEMTIME* time);
HRESULT SetCounterText(HWND window, int first, int second);

} // namespace utils

namespace shell {

// Export 209: whether an instance with a window of that class runs; the handle is closed by the caller.
HRESULT InstanceLookup(LPCWSTR className, LPCWSTR windowName, HANDLE* handle, HWND* window, BOOL* found);
// Export 366: non-zero when the program may run on this device.
BOOL CapabilityQuery(DWORD capabilities);

} // namespace shell
