// What the process tests and their device program agree on: the window the program shows, the messages it
// answers and where it writes down what happened to it.
#pragma once

#include <windows.h>

namespace process_testing {

constexpr const char16_t* kClass = u"ProcessTestWindow";
constexpr const char16_t* kTitle = u"Process Test";
// The program's record: HKCU\Software\ProcessTests. Under Starts, one REG_SZ value per start, named by
// the process id, holding the command line.
constexpr const char16_t* kRecordKey = u"Software\\ProcessTests";
constexpr const char16_t* kStartsKey = u"Software\\ProcessTests\\Starts";
// Values the tests write and the program's notifications watch.
constexpr const char16_t* kWatchedKey = u"Software\\ProcessTests\\Watched";

// A registered message: the answer is 2 * wParam + lParam.
constexpr const char16_t* kEchoMessage = u"ProcessTests.Echo";

constexpr UINT kPosted = WM_USER + 1;   // records LastPosted = wParam
constexpr UINT kNotified = WM_USER + 2; // counts in NotifyCount, records NotifyWParam and NotifyLParam
constexpr UINT kBlock = WM_USER + 3;    // records Blocking = 1, then never returns
constexpr UINT kAskBack = WM_USER + 4;  // sends kAnswer to the window in wParam; returns its answer + 1
constexpr UINT kAnswer = WM_USER + 5;   // what kAskBack sends back
constexpr UINT kQuit = WM_USER + 6;     // destroys the window and ends the program
constexpr UINT kChain = WM_USER + 7;    // records Chain = wParam, then posts itself wParam - 1 until 0

// Command lines (anything else serves: shows the window and runs its message loop):
//   "second"        finds the running instance, sends it the echo message with 20 and 2, records
//                   EchoResult and ends
//   "post"          finds the running instance, posts it kPosted with 77 and ends
//   "watch-window"  serves, with a window notification on Watched "Window" (user data 55) to kNotified
//   "watch-callback" serves, with a callback notification on Watched "Callback" that records
//                   CallbackValue (the new value, or 0xDEAD for a deletion)
//   "dialog"        shows the dialog of dialog.rc (from dialog.dll beside the program) until it ends,
//                   then records DialogResult; its status line tells what happened (see below)
//   "AppRunAtTime"  records RanAt\<own program path> = the local time as "HH:MM"; when the value Chain is
//                   above 0, lowers it and registers itself to run again an hour later; then serves
constexpr DWORD kDeleted = 0xDEAD;

// The dialog's controls (dialog.rc). Its status line says "ready", then "changed" when the text field
// changes, "activated N" when list row N is activated, "cleared" after the menu's Clear (which empties
// the text field), "answer yes" or "answer no" after the menu's Ask (a message box). Menu item Greyed is
// disabled. The left soft key, Done, ends the dialog with 1.
constexpr int kDialogEdit = 502;
constexpr int kDialogCheck = 503;
constexpr int kDialogList = 504;
constexpr int kDialogStatus = 505;

} // namespace process_testing
