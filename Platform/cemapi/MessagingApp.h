// The device's messaging application as the messaging calls reach it: a program of the platform that lies
// beside this library. Each request is recorded in the device database first; the application is told its
// id, on the command line of an instance started for it ("-request 12"), else in a message to the window
// of the one that runs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

namespace device::mail
{

constexpr char16_t kAppWindowClass[] = u"MessagingApplication";
// Registered device-wide; wParam carries the request id. The application answers TRUE once it shows it.
constexpr char16_t kShowRequestMessage[] = u"Messaging.ShowRequest";

// Hands the recorded request to the application. Without `wait` it returns once the application has it (the
// form shows soon after); with `wait`, once the application shows it. A program that can't be started fails
// with its Win32 error.
HRESULT ShowRequest(int64_t id, bool wait);

// The request an application command line names; 0 when it names none.
int64_t RequestOnCommandLine(std::u16string_view commandLine);

} // namespace device::mail
