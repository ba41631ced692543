// Which edition of the phone's system the program runs on.
#pragma once

#include <windows.h>

enum PlatformType { kPlatformUnknown = 0, kPlatformPocketPC = 1, kPlatformSmartphone = 2 };

// From the system's platform type text: "PocketPC", "SmartPhone", anything else unknown.
int GetPlatformType();
bool IsPocketPC();
