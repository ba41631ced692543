// Registry state notifications of the shell library: a program asks to be told when a registry value
// changes, optionally only when the new value passes a comparison.
#pragma once

#include "windows.h"

// The shell library's entries are reached by name from device programs.
#define REGEXTAPI EXTERN_C __attribute__((visibility("default")))

typedef HANDLE HREGNOTIFY;

typedef enum tagREG_COMPARISONTYPE {
    REG_CT_ANYCHANGE,
    REG_CT_EQUAL,
    REG_CT_NOT_EQUAL,
    REG_CT_GREATER,
    REG_CT_GREATER_OR_EQUAL,
    REG_CT_LESS,
    REG_CT_LESS_OR_EQUAL,
    REG_CT_CONTAINS,
    REG_CT_STARTS_WITH,
    REG_CT_ENDS_WITH
} REG_COMPARISONTYPE;

// dwMask applies to REG_DWORD values; a mask of 0 makes the target a string.
typedef struct tagNOTIFICATIONCONDITION {
    REG_COMPARISONTYPE ctComparisonType;
    DWORD dwMask;
    union {
        LPCTSTR psz;
        DWORD dw;
    } TargetValue;
} NOTIFICATIONCONDITION;

// pData is null and cbData 0 when the value was deleted.
typedef void (*REGISTRYNOTIFYCALLBACK)(HREGNOTIFY hNotify, DWORD dwUserData, const PBYTE pData, const UINT cbData);

// RegistryNotifyApp: do not add /notify "name" to the command line of the program it starts.
#define RNAF_NONAMEONCMDLINE 0x00000001

#define E_ALREADY_REGISTERED HRESULT_FROM_WIN32(ERROR_ALREADY_REGISTERED)
#define E_NOT_FOUND HRESULT_FROM_WIN32(ERROR_NOT_FOUND)

REGEXTAPI HRESULT WINAPI RegistryNotifyApp(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, LPCTSTR pszName,
                                           LPCTSTR pszApp, LPCTSTR pszClass, LPCTSTR pszWindow, UINT msg,
                                           DWORD dwFlags, NOTIFICATIONCONDITION* pCondition);
REGEXTAPI HRESULT WINAPI RegistryNotifyWindow(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, HWND hWnd,
                                              UINT msg, DWORD dwUserData, NOTIFICATIONCONDITION* pCondition,
                                              HREGNOTIFY* phNotify);
REGEXTAPI HRESULT WINAPI RegistryNotifyCallback(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName,
                                                REGISTRYNOTIFYCALLBACK pfnRegistryNotifyCallback, DWORD dwUserData,
                                                NOTIFICATIONCONDITION* pCondition, HREGNOTIFY* phNotify);
REGEXTAPI HRESULT WINAPI RegistryStopNotification(LPCTSTR pszName);
REGEXTAPI HRESULT WINAPI RegistryCloseNotification(HREGNOTIFY hNotify);

REGEXTAPI HRESULT WINAPI RegistryGetDWORD(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, DWORD* pdwData);
REGEXTAPI HRESULT WINAPI RegistrySetDWORD(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, DWORD dwData);
REGEXTAPI HRESULT WINAPI RegistryGetString(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, LPTSTR pszData,
                                           UINT cchData);
REGEXTAPI HRESULT WINAPI RegistrySetString(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, LPCTSTR pszData);
