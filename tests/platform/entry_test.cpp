#include "support/ChildProcess.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using testing_support::ChildProcess;

namespace {

// What the probe program saw: its report, and its exit code.
struct Seen {
    std::string instance;
    int show = 0;
    std::u16string commandLine;
    int exitCode = -1;
};

Seen RunProbe(const std::vector<std::string>& arguments)
{
    testing_support::TempDevice device; // a program starts on a device
    ChildProcess probe(PROBE_PROGRAM, arguments);
    std::istringstream report(probe.ReadAll());
    Seen seen;
    std::string word, line;
    report >> word >> seen.instance >> word >> seen.show >> word;
    unsigned unit;
    while (report >> std::hex >> unit)
        seen.commandLine += static_cast<char16_t>(unit);
    seen.exitCode = probe.Wait();
    return seen;
}

} // namespace

TEST(ProgramEntry, OneArgumentIsTheWholeCommandLineTrailingBlankIncluded)
{
    Seen seen = RunProbe({"AppRunAtTime "});
    EXPECT_EQ(seen.commandLine, u"AppRunAtTime ");
    EXPECT_EQ(seen.instance, "program");
    EXPECT_EQ(seen.show, 5);
    EXPECT_EQ(seen.exitCode, 13); // WinMain's result
}

TEST(ProgramEntry, SeveralArgumentsAreJoinedBySingleBlanksAndConvertedToUtf16)
{
    Seen seen = RunProbe({"-send", "to  Jürgen", "\xF0\x9F\x98\x80"});
    EXPECT_EQ(seen.commandLine, u"-send to  Jürgen \U0001F600");
    EXPECT_EQ(seen.exitCode, 19);
}

TEST(ProgramEntry, NoArgumentsGiveAnEmptyCommandLine)
{
    Seen seen = RunProbe({});
    EXPECT_EQ(seen.commandLine, u"");
    EXPECT_EQ(seen.instance, "program");
    EXPECT_EQ(seen.exitCode, 0);
}
