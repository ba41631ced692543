// Making a dialog a phone screen and laying out its controls. Sizes are given at 96 dots per inch and
// scaled to the screen's resolution.
#pragma once

#include <windows.h>

#include <initializer_list>

// The screen's resolutions, read once.
int ScreenDpiX();
int ScreenDpiY();
// n pixels at 96 dpi at the screen's horizontal (vertical) resolution: (n * dpi + 48) / 96.
int ScaleX(int pixels);
int ScaleY(int pixels);
// The thickness of the line between list rows: one pixel per 96 dpi, rounded.
int SeparatorThickness();

// Full screen with the input panel lowered and the done button; always 0.
HRESULT InitFullScreenDialog(HWND dialog);

// Replaces the menu bar held in *menuBar with one made from the resource library's menu menuId. With
// backOverride the Back key comes to owner as WM_HOTKEY instead of its default action. E_INVALIDARG
// without a slot; E_FAIL when the bar can't be made.
HRESULT CreateMenuBar(HWND owner, HINSTANCE resources, UINT menuId, HWND* menuBar, BOOL backOverride);
// Enables or greys the soft key with that command.
void EnableSoftKey(HWND menuBar, UINT command, BOOL enable);

// WM_SETFONT on each listed control that exists; E_FAIL for a null font.
HRESULT SetControlsFont(HWND dialog, HFONT font, std::initializer_list<int> ids);
// Each control to the full client width less a 7-pixel margin on both sides, keeping its top and height.
void StretchControls(HWND dialog, std::initializer_list<int> ids);

enum ControlLayout { kLayoutWhole = 0, kLayoutLeft = 1, kLayoutRight = 2, kLayoutTop = 3, kLayoutBottom = 4 };
// One control along an edge of the client area (its own width or height kept) or over all of it.
void FitControl(HWND dialog, int id, int layout);

enum ControlEdge { kEdgeLeft = 0, kEdgeRight = 1, kEdgeTop = 2, kEdgeBottom = 3 };
// Moves each control, without resizing it, so that one edge lines up with the reference control's.
void AlignControls(HWND dialog, int edge, int referenceId, std::initializer_list<int> ids);
// The control's height down to the client's bottom, leaving a margin as wide as its screen left edge.
void StretchToBottom(HWND dialog, int id);
