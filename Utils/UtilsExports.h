// The helper library's exports, reached by number only: the library exports no names. The program binds
// them at run time (Exe/app/Binding.h); the library defines them (Utils/).
#pragma once

#include <windows.h>
#include <windbase.h>

struct IMAPIFolder;

namespace utils_exports {

enum Ordinal : WORD {
    kMakeGuidString = 1,
    kGetQuotedModulePath = 2,
    kComposeSupportMail = 3,
    kComposeMail = 4,
    kComposeSms = 5,
    kComposeMailMessage = 6,
    kFillListFromResources = 7,
    kRegisterMissedCallNotification = 8,
    kStopNotification = 9,
    kCreateUnicodeFile = 10,
    kPickContact = 11,
    kGetFolderMessageCount = 12,
    kEmptyFolders = 13,
    kGetOwnNumber = 14,
    kSetPickerDateTime = 15,
    kSetCounterText = 16,
};

constexpr WORD kExportCount = 16;

using MakeGuidStringFn = HRESULT(WINAPI*)(LPWSTR buffer, int capacity);
using GetQuotedModulePathFn = HRESULT(WINAPI*)(LPWSTR buffer, int capacity);
using ComposeSupportMailFn = HRESULT(WINAPI*)(LPCWSTR subject);
using ComposeMailFn = HRESULT(WINAPI*)(LPCWSTR subject, LPCWSTR body);
using ComposeSmsFn = HRESULT(WINAPI*)(LPCWSTR recipients);
using ComposeMailMessageFn = HRESULT(WINAPI*)(LPCWSTR to, LPCWSTR subject, LPCWSTR body, LPCWSTR attachments,
                                              DWORD attachmentCount);
using FillListFromResourcesFn = void(WINAPI*)(HWND list, HINSTANCE resources, UINT firstId, UINT lastId,
                                              int selectIndex);
using RegisterMissedCallNotificationFn = HRESULT(WINAPI*)(LPCWSTR name, HWND target, UINT message);
using StopNotificationFn = HRESULT(WINAPI*)(LPCWSTR name);
using CreateUnicodeFileFn = HRESULT(WINAPI*)(LPCWSTR path, HANDLE* file);
using PickContactFn = HRESULT(WINAPI*)(HWND owner, CEOID* contact);
using GetFolderMessageCountFn = HRESULT(WINAPI*)(IMAPIFolder* folder, ULONG* count);
using EmptyFoldersFn = HRESULT(WINAPI*)(HWND owner, BOOL emptyFirst, IMAPIFolder* first, BOOL emptySecond,
                                        IMAPIFolder* second);
using GetOwnNumberFn = HRESULT(WINAPI*)(LPWSTR buffer, int capacity, DWORD address);
using SetPickerDateTimeFn = HRESULT(WINAPI*)(HWND picker, const SYSTEMTIME* time);
using SetCounterTextFn = HRESULT(WINAPI*)(HWND window, int first, int second);

} // namespace utils_exports
