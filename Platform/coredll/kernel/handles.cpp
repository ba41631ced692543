// CloseHandle for every kind of kernel object: files, threads and events.
#include <windows.h>

#include "device/Handles.h"

BOOL WINAPI CloseHandle(HANDLE hObject)
{
    if (!device::RemoveHandle(hObject)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
