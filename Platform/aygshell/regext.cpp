// Registry state notifications of the shell library and its helpers for reading and writing state values.
// Notifications are kept and delivered by the device (coredll's notification engine); this is their API.
// Not supported: message-queue notifications and batching.
#include <regext.h>

#include "device/Database.h"
#include "device/Device.h"
#include "notify/Callbacks.h"
#include "notify/Watches.h"

#include <string>

using device::notify::Condition;
using device::notify::Watch;
using device::notify::WatchedValue;
using device::notify::WatchKind;

namespace {

// A failing device database reads as the registry failing.
template <class Work>
HRESULT Guarded(Work work)
{
    try {
        return work();
    } catch (const device::DatabaseError&) {
        return HRESULT_FROM_WIN32(ERROR_REGISTRY_IO_FAILED);
    }
}

HRESULT FromWin32(LONG rc) { return rc == ERROR_INVALID_HANDLE ? E_INVALIDARG : HRESULT_FROM_WIN32(rc); }

HRESULT Watched(HKEY key, LPCTSTR subKey, LPCTSTR valueName, const NOTIFICATIONCONDITION* condition,
                WatchedValue* value, Condition* out)
{
    if (!device::notify::ConditionFrom(condition, out))
        return E_INVALIDARG;
    LONG rc = device::notify::WatchedValueOf(key, subKey, valueName, value);
    return rc == ERROR_SUCCESS ? S_OK : FromWin32(rc);
}

HREGNOTIFY HandleOf(int64_t id) { return reinterpret_cast<HREGNOTIFY>(static_cast<uintptr_t>(id)); }

// Opens hKey's subkey (none: hKey itself) for the helpers; closes it on every path.
class OpenKey {
public:
    OpenKey(HKEY key, LPCTSTR subKey, bool create)
    {
        if (create)
            m_rc = RegCreateKeyExW(key, subKey ? subKey : TEXT(""), 0, nullptr, 0, 0, nullptr, &m_key, nullptr);
        else
            m_rc = RegOpenKeyExW(key, subKey, 0, 0, &m_key);
    }
    ~OpenKey()
    {
        if (m_rc == ERROR_SUCCESS)
            RegCloseKey(m_key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    LONG Result() const { return m_rc; }
    operator HKEY() const { return m_key; }

private:
    HKEY m_key = nullptr;
    LONG m_rc;
};

} // namespace

HRESULT WINAPI RegistryNotifyApp(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, LPCTSTR pszName,
                                 LPCTSTR pszApp, LPCTSTR pszClass, LPCTSTR pszWindow, UINT msg, DWORD dwFlags,
                                 NOTIFICATIONCONDITION* pCondition)
{
    if (!pszName || !*pszName || !pszApp || !*pszApp || (dwFlags & ~RNAF_NONAMEONCMDLINE))
        return E_INVALIDARG;
    WatchedValue value;
    Watch watch;
    if (HRESULT hr = Watched(hKey, pszSubKey, pszValueName, pCondition, &value, &watch.condition); FAILED(hr))
        return hr;
    watch.kind = WatchKind::Program;
    watch.name = pszName;
    watch.program = pszApp;
    if (pszClass)
        watch.windowClass = pszClass;
    if (pszWindow)
        watch.windowTitle = pszWindow;
    watch.message = msg;
    watch.flags = dwFlags;
    return Guarded([&] { return device::notify::AddPersistent(value, watch) ? S_OK : E_ALREADY_REGISTERED; });
}

HRESULT WINAPI RegistryNotifyWindow(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, HWND hWnd, UINT msg,
                                    DWORD dwUserData, NOTIFICATIONCONDITION* pCondition, HREGNOTIFY* phNotify)
{
    if (!phNotify || !IsWindow(hWnd))
        return E_INVALIDARG;
    WatchedValue value;
    Watch watch;
    if (HRESULT hr = Watched(hKey, pszSubKey, pszValueName, pCondition, &value, &watch.condition); FAILED(hr))
        return hr;
    watch.kind = WatchKind::Window;
    watch.hwnd = hWnd;
    watch.message = msg;
    watch.userData = dwUserData;
    return Guarded([&] {
        *phNotify = HandleOf(device::notify::AddTransient(value, watch));
        return S_OK;
    });
}

HRESULT WINAPI RegistryNotifyCallback(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName,
                                      REGISTRYNOTIFYCALLBACK pfnRegistryNotifyCallback, DWORD dwUserData,
                                      NOTIFICATIONCONDITION* pCondition, HREGNOTIFY* phNotify)
{
    if (!phNotify || !pfnRegistryNotifyCallback)
        return E_INVALIDARG;
    WatchedValue value;
    Watch watch;
    if (HRESULT hr = Watched(hKey, pszSubKey, pszValueName, pCondition, &value, &watch.condition); FAILED(hr))
        return hr;
    watch.kind = WatchKind::Callback;
    watch.userData = dwUserData;
    return Guarded([&] {
        // The callback is known before any writer can see the notification.
        device::Transaction tx(device::Db());
        int64_t id = device::notify::AddTransient(value, watch);
        device::notify::AddCallback(id, pfnRegistryNotifyCallback, dwUserData);
        tx.Commit();
        *phNotify = HandleOf(id);
        return S_OK;
    });
}

HRESULT WINAPI RegistryStopNotification(LPCTSTR pszName)
{
    if (!pszName || !*pszName)
        return E_INVALIDARG;
    return Guarded([&] { return device::notify::RemovePersistent(pszName) ? S_OK : E_NOT_FOUND; });
}

HRESULT WINAPI RegistryCloseNotification(HREGNOTIFY hNotify)
{
    if (!hNotify)
        return E_INVALIDARG;
    auto id = static_cast<int64_t>(reinterpret_cast<uintptr_t>(hNotify));
    return Guarded([&] {
        device::notify::RemoveCallback(id);
        return device::notify::RemoveTransient(id) ? S_OK : E_NOT_FOUND;
    });
}

HRESULT WINAPI RegistryGetDWORD(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, DWORD* pdwData)
{
    if (!pdwData)
        return E_INVALIDARG;
    OpenKey key(hKey, pszSubKey, false);
    if (key.Result() != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(key.Result());
    // The type first: a value of another type may not fit the number's room.
    DWORD type = 0, data = 0, size = 0;
    LONG rc = RegQueryValueExW(key, pszValueName, nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(rc);
    if (type != REG_DWORD || size != sizeof data)
        return HRESULT_FROM_WIN32(ERROR_INVALID_DATATYPE);
    rc = RegQueryValueExW(key, pszValueName, nullptr, &type, reinterpret_cast<LPBYTE>(&data), &size);
    if (rc != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(rc);
    *pdwData = data;
    return S_OK;
}

HRESULT WINAPI RegistrySetDWORD(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, DWORD dwData)
{
    OpenKey key(hKey, pszSubKey, true);
    if (key.Result() != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(key.Result());
    return HRESULT_FROM_WIN32(
        RegSetValueExW(key, pszValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwData), sizeof dwData));
}

HRESULT WINAPI RegistryGetString(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, LPTSTR pszData, UINT cchData)
{
    if (!pszData || cchData == 0)
        return E_INVALIDARG;
    pszData[0] = 0;
    OpenKey key(hKey, pszSubKey, false);
    if (key.Result() != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(key.Result());
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueExW(key, pszValueName, nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(rc);
    if (type != REG_SZ)
        return HRESULT_FROM_WIN32(ERROR_INVALID_DATATYPE);
    std::u16string text(size / sizeof(WCHAR) + 1, u'\0');
    rc = RegQueryValueExW(key, pszValueName, nullptr, &type, reinterpret_cast<LPBYTE>(text.data()), &size);
    if (rc != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(rc);
    text.resize(size / sizeof(WCHAR));
    while (!text.empty() && text.back() == u'\0')
        text.pop_back();
    if (text.size() >= cchData)
        return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    text.copy(pszData, text.size());
    pszData[text.size()] = 0;
    return S_OK;
}

HRESULT WINAPI RegistrySetString(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, LPCTSTR pszData)
{
    if (!pszData)
        return E_INVALIDARG;
    OpenKey key(hKey, pszSubKey, true);
    if (key.Result() != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(key.Result());
    std::u16string text(pszData);
    return HRESULT_FROM_WIN32(RegSetValueExW(key, pszValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                             static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR))));
}
