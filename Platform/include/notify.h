// Notifications of the kernel: starting an application at a set time.
#pragma once

#include "windows.h"

// The command line an application started at its registered time receives.
#define APP_RUN_AT_TIME TEXT("AppRunAtTime")

// Starts the application at lpTime (local time), replacing its previous registration; a null lpTime only
// removes that registration.
WINBASEAPI BOOL WINAPI CeRunAppAtTime(TCHAR* pwszAppName, SYSTEMTIME* lpTime);
