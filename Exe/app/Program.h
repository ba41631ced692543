// The program-wide state: values that live for the whole process, zero at start, reachable from every
// part of the program. The main window object is kept beside it (app/MainWindow.h).
#pragma once

#include <windows.h>

#include "UtilsExports.h"

// Run-time binding slots: a handle per library (null until loaded), an entry per export (null until
// resolved). The shell is bound twice, once for each of its ordinal-only facilities.
struct BindingSlots {
    HMODULE shellForCapability;
    FARPROC capabilityQuery;
    HMODULE utils;
    FARPROC utilsEntries[utils_exports::kExportCount];
    HMODULE shellForInstance;
    FARPROC instanceLookup;
};

constexpr int kFeatureCount = 6;
constexpr int kBackupActionCount = 3;

struct ProgramState {
    BindingSlots binding;
    UINT wmScheduledSms;     // the device-wide number of "Zelkova.ScheduledSMS"; 0 until registered
    DWORD silentMode;        // 0 or 1: no window shown, no menu bar, list, hints or settings written
    DWORD wakeUpStart;       // 0 or 1: the command line was exactly "AppRunAtTime"
    HINSTANCE instance;
    HINSTANCE resources;     // the resource library, loaded as a data file; null when not loaded
    DWORD hintShown264;      // the one-time hint flags, read and written with the settings
    DWORD hintShown317;
    HICON featureIcons[kFeatureCount];
    HICON backupIcons[kBackupActionCount];
    int dpiX;                // the screen's resolutions, each read once on first use; 0 until then
    int dpiY;
};

extern ProgramState g_program;
