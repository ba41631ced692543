// The device tool run as scripts run it, on a fresh device with the process tests' program installed.
#pragma once

#include "phone/PhoneRun.h"
#include "process/ProcessTesting.h"

#include "device/Clock.h"

#include <notify.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace phone_testing {

class PhoneTool : public process_testing::ProcessTest {
protected:
    Outcome Run(const std::vector<std::string>& arguments) { return Phone(m_device.Dir(), arguments); }

    // Ran, printed exactly this, and said nothing on standard error.
    void ExpectPrints(const std::vector<std::string>& arguments, const std::string& out)
    {
        Outcome outcome = Run(arguments);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        EXPECT_EQ(outcome.out, out);
        EXPECT_EQ(outcome.err, "");
    }

    // Ran and succeeded; what it printed.
    std::string Output(const std::vector<std::string>& arguments)
    {
        Outcome outcome = Run(arguments);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        return outcome.out;
    }

    // Failed with that exit code and one line that starts "phone: ", printing nothing else.
    void ExpectFails(const std::vector<std::string>& arguments, int exitCode)
    {
        Outcome outcome = Run(arguments);
        EXPECT_EQ(outcome.exitCode, exitCode) << outcome.err;
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err.rfind("phone: ", 0), 0u) << outcome.err;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    }

    std::string ClockLine() { return Run({"clock"}).out; }

    // Sets the device clock running in real time and registers the test program to run one second from now;
    // *due, when asked for, is that moment, local, in ticks.
    void AlarmInASecondOnTheRealClock(int64_t* due = nullptr)
    {
        device::SetClockMode(false);
        int64_t now = device::NowTicks() + device::LocalOffsetAt(device::NowTicks());
        int64_t at = now + device::kTicksPerSecond;
        if (due)
            *due = at;
        FILETIME local{static_cast<DWORD>(at), static_cast<DWORD>(at >> 32)};
        SYSTEMTIME time;
        FileTimeToSystemTime(&local, &time);
        ASSERT_TRUE(CeRunAppAtTime(const_cast<TCHAR*>(kProgram), &time));
    }
};

} // namespace phone_testing
