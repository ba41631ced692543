// The library's exports as it defines them (C linkage, as the names of utils.def), checked against the
// signatures the program binds them by (UtilsExports.h).
#pragma once

#include "UtilsExports.h"

#include <type_traits>

extern "C" {

HRESULT WINAPI MakeGuidString(LPWSTR buffer, int capacity);
HRESULT WINAPI GetQuotedModulePath(LPWSTR buffer, int capacity);
HRESULT WINAPI ComposeSupportMail(LPCWSTR subject);
HRESULT WINAPI ComposeMail(LPCWSTR subject, LPCWSTR body);
HRESULT WINAPI ComposeSms(LPCWSTR recipients);
HRESULT WINAPI ComposeMailMessage(LPCWSTR to, LPCWSTR subject, LPCWSTR body, LPCWSTR attachments,
                                  DWORD attachmentCount);
void WINAPI FillListFromResources(HWND list, HINSTANCE resources, UINT firstId, UINT lastId, int selectIndex);
HRESULT WINAPI RegisterMissedCallNotification(LPCWSTR name, HWND target, UINT message);
HRESULT WINAPI StopNotification(LPCWSTR name);
HRESULT WINAPI CreateUnicodeFile(LPCWSTR path, HANDLE* file);
HRESULT WINAPI PickContact(HWND owner, CEOID* contact);
HRESULT WINAPI GetFolderMessageCount(IMAPIFolder* folder, ULONG* count);
HRESULT WINAPI EmptyFolders(HWND owner, BOOL emptyFirst, IMAPIFolder* first, BOOL emptySecond, IMAPIFolder* second);
HRESULT WINAPI GetOwnNumber(LPWSTR buffer, int capacity, DWORD address);
HRESULT WINAPI SetPickerDateTime(HWND picker, const SYSTEMTIME* time);
HRESULT WINAPI SetCounterText(HWND window, int first, int second);

} // extern "C"

namespace utils_exports {

static_assert(std::is_same_v<decltype(&::MakeGuidString), MakeGuidStringFn>);
static_assert(std::is_same_v<decltype(&::GetQuotedModulePath), GetQuotedModulePathFn>);
static_assert(std::is_same_v<decltype(&::ComposeSupportMail), ComposeSupportMailFn>);
static_assert(std::is_same_v<decltype(&::ComposeMail), ComposeMailFn>);
static_assert(std::is_same_v<decltype(&::ComposeSms), ComposeSmsFn>);
static_assert(std::is_same_v<decltype(&::ComposeMailMessage), ComposeMailMessageFn>);
static_assert(std::is_same_v<decltype(&::FillListFromResources), FillListFromResourcesFn>);
static_assert(std::is_same_v<decltype(&::RegisterMissedCallNotification), RegisterMissedCallNotificationFn>);
static_assert(std::is_same_v<decltype(&::StopNotification), StopNotificationFn>);
static_assert(std::is_same_v<decltype(&::CreateUnicodeFile), CreateUnicodeFileFn>);
static_assert(std::is_same_v<decltype(&::PickContact), PickContactFn>);
static_assert(std::is_same_v<decltype(&::GetFolderMessageCount), GetFolderMessageCountFn>);
static_assert(std::is_same_v<decltype(&::EmptyFolders), EmptyFoldersFn>);
static_assert(std::is_same_v<decltype(&::GetOwnNumber), GetOwnNumberFn>);
static_assert(std::is_same_v<decltype(&::SetPickerDateTime), SetPickerDateTimeFn>);
static_assert(std::is_same_v<decltype(&::SetCounterText), SetCounterTextFn>);

} // namespace utils_exports
