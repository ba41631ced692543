// The platform's control classes: their window procedures and their registration.
#pragma once

#include <windows.h>

namespace device {

class WindowTable;

// The standard controls exist from process start: the window table registers them when it is made.
void RegisterStandardControls(WindowTable& table);

LRESULT CALLBACK StaticProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK EditProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK ButtonProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK ListBoxProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK ListViewProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK DateTimePickerProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK UpDownProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK ProgressProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

} // namespace device
