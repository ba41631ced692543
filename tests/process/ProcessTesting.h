// A fresh device for each process test, with the tests' own device program installed on it.
#pragma once

#include "process/ProcessTable.h"
#include "program/ProgramProtocol.h"
#include "support/Eventually.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace process_testing {

using testing_support::Eventually;

class ProcessTest : public ::testing::Test {
protected:
    // The program is installed as \Program Files\Tests\program.exe: a link to the built program, so that
    // it reports a device path as its module file name.
    ProcessTest();

    static constexpr const char16_t* kProgram = u"\\Program Files\\Tests\\program.exe";
    // The same program under another name, for a second application.
    static constexpr const char16_t* kOtherProgram = u"\\Program Files\\Tests\\other.exe";

    pid_t Start(const std::u16string& commandLine, const char16_t* program = kProgram);
    HWND WaitForWindow();

    std::optional<DWORD> Recorded(const char16_t* name);
    std::optional<std::u16string> RanAt(const char16_t* program);
    // The command lines the program was started with, in no particular order.
    std::vector<std::u16string> Starts();
    void Watched(const char16_t* name, DWORD value);
    std::vector<pid_t> OtherProcesses();

    testing_support::TempDevice m_device;
};

} // namespace process_testing
