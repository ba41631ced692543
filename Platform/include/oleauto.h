// OLE Automation: system strings and variant dates (days since 30 December 1899).
#pragma once

#include "windef.h"
#include "winerror.h"
#include "objbase.h"

typedef double DATE;

typedef struct {
    SYSTEMTIME st;
    USHORT wDayOfYear;
} UDATE;

#define VAR_TIMEVALUEONLY ((DWORD)0x00000001)
#define VAR_DATEVALUEONLY ((DWORD)0x00000002)
#define VAR_VALIDDATE ((DWORD)0x00000004)
#define VAR_CALENDAR_HIJRI ((DWORD)0x00000008)
#define LOCALE_NOUSEROVERRIDE_VAR 0x80000000

WINOLEAUTAPI BSTR WINAPI SysAllocString(const OLECHAR* psz);
WINOLEAUTAPI BSTR WINAPI SysAllocStringLen(const OLECHAR* strIn, UINT ui);
WINOLEAUTAPI UINT WINAPI SysStringLen(BSTR bstr);
WINOLEAUTAPI UINT WINAPI SysStringByteLen(BSTR bstr);
WINOLEAUTAPI void WINAPI SysFreeString(BSTR bstrString);

WINOLEAUTAPI INT WINAPI SystemTimeToVariantTime(LPSYSTEMTIME lpSystemTime, DOUBLE* pvtime);
WINOLEAUTAPI INT WINAPI VariantTimeToSystemTime(DOUBLE vtime, LPSYSTEMTIME lpSystemTime);
WINOLEAUTAPI HRESULT WINAPI VarUdateFromDate(DATE dateIn, ULONG dwFlags, UDATE* pudateOut);
WINOLEAUTAPI HRESULT WINAPI VarDateFromUdate(UDATE* pudateIn, ULONG dwFlags, DATE* pdateOut);
WINOLEAUTAPI HRESULT WINAPI VarBstrFromDate(DATE dateIn, LCID lcid, ULONG dwFlags, BSTR* pbstrOut);
