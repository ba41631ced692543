// The capability query (ordinal 366): one 32-bit argument naming what a program needs from the device,
// answered nonzero when it may run. This device withholds nothing from a program, so every request is
// granted.
#include <windows.h>

extern "C" BOOL WINAPI ShellCapabilityQuery(DWORD capabilities) { return TRUE; }
