// Texts of the resource library.
#pragma once

#include <windows.h>

// A heap copy (new[]) of resource string id, or null when it is missing or can't be copied.
LPWSTR CopyResourceString(UINT id);
// A heap copy (new[]) of text, or null when text is null or can't be copied.
LPWSTR CopyText(LPCWSTR text);
// A message box over owner with resource string textId under the application title; the button pressed.
int ResourceMessageBox(HWND owner, UINT textId, UINT style);
