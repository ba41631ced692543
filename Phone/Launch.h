// Starting a device program from the tool.
#pragma once

#include <string>
#include <sys/types.h>

namespace phone {

// The program the tool starts unless told otherwise.
constexpr const char* kZelkova = "\\Program Files\\Zelkova\\Zelkova.exe";

// Starts the program (a device path, or a host file) with that command line and waits until it has joined
// the device (its endpoint is up) or ended, so that what follows sees it. Throws Failure saying why it could
// not be started, or why it ended before it joined (a program that ends well, exit code 0, has not failed).
pid_t Launch(const std::string& program, const std::u16string& commandLine);

} // namespace phone
