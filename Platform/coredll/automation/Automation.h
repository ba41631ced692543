// Driving the screen the way a user does, in-process: the device's keys, typing, menus, list rows and
// message-box buttons, each delivered through the normal message paths. Tests run the program's loop
// on one thread and drive it from another; `phone` does the same from its end of a process's endpoint.
#pragma once

#include <windows.h>

#include "automation/Snapshot.h"

#include <string_view>

namespace device::automation {

enum class Key { LeftSoft, RightSoft, Up, Down, Left, Right, Action, Back };

// Waits until every thread of this process that owns windows waits in its message loop with nothing to
// do. False when that did not happen within the time-out (host milliseconds).
bool WaitIdle(DWORD timeoutMs = 10000);

// Each of these goes to the focused window (else the foreground window) and then waits until idle.
void Press(Key key);
void PressCharacter(WCHAR ch); // a key of the phone's keypad
void Type(std::u16string_view text);

// Opens the right soft key's menu (unless a menu is open) and chooses the item with that text ('&'
// marks ignored). False when there is no such enabled item, or no menu is open and the right soft key
// opens none (it is then not pressed).
bool ChooseMenuItem(std::u16string_view text);
// Moves the focused list's selection to row n with the up and down keys, then presses the action key.
bool SelectRow(int row);
// Presses the message-box button with that answer id (IDOK, IDYES, …). False without a message box.
bool AnswerMessageBox(int id);

} // namespace device::automation
