// What the device says about itself: the OS version and the platform type, both from the device profile.
// Of SystemParametersInfo only SPI_GETPLATFORMTYPE is served; other actions fail with
// ERROR_INVALID_PARAMETER.
#include <windows.h>

#include "device/Device.h"
#include "device/Text.h"

BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW lpVersionInformation)
{
    if (!lpVersionInformation || lpVersionInformation->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    try {
        const device::Profile& profile = device::CurrentProfile();
        lpVersionInformation->dwMajorVersion = static_cast<DWORD>(profile.osMajor);
        lpVersionInformation->dwMinorVersion = static_cast<DWORD>(profile.osMinor);
        lpVersionInformation->dwBuildNumber = static_cast<DWORD>(profile.osBuild);
    } catch (const device::DatabaseError&) {
        SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    lpVersionInformation->dwPlatformId = VER_PLATFORM_WIN32_CE;
    lpVersionInformation->szCSDVersion[0] = u'\0';
    return TRUE;
}

// uiParam is the buffer's length in characters; the text with its terminator must fit.
BOOL WINAPI SystemParametersInfoW(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni)
{
    if (uiAction != SPI_GETPLATFORMTYPE || !pvParam) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::u16string platform;
    try {
        platform = device::Utf16FromUtf8(device::CurrentProfile().platform);
    } catch (const device::DatabaseError&) {
        SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    if (platform.size() >= uiParam) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* buffer = static_cast<WCHAR*>(pvParam);
    platform.copy(buffer, platform.size());
    buffer[platform.size()] = u'\0';
    return TRUE;
}
