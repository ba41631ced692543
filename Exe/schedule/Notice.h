// What the scheduled message screens tell the user: a resource text in an information box under the
// application title.
#pragma once

#include <windows.h>

// The text is resource string textId used as a format with number as its one integer argument (a text
// without one shows as it is).
void ShowNotice(HWND owner, UINT textId, int number = 0);
