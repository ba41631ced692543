// phone [--device DIR] COMMAND ...: the device tool. Every command prints what it did and exits 0, or prints
// a one-line reason on stderr and exits non-zero (2 for arguments it cannot take) with nothing changed.
#include "Command.h"

#include "device/Database.h"
#include "device/Device.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

using phone::Command;

void PrintHelp(const Command& command)
{
    std::printf("usage: phone [--device DIR] %s %s\n%s\n", command.name, command.usage, command.summary);
    if (*command.details)
        std::printf("\n%s\n", command.details);
}

void PrintOverview()
{
    std::printf("usage: phone [--device DIR] COMMAND [ARGS...]\n"
                "The device is DIR, else $PHONE_DEVICE, else %s.\n\ncommands:\n",
                device::DefaultDir().c_str());
    for (const Command* command : phone::Commands())
        std::printf("  %-10s %s\n", command->name, command->summary);
    std::printf("\n'phone COMMAND --help' tells more.\n");
}

const Command* Find(const std::string& name)
{
    for (const Command* command : phone::Commands())
        if (name == command->name)
            return command;
    return nullptr;
}

int Fail(const std::string& reason, int code)
{
    std::fprintf(stderr, "phone: %s\n", reason.c_str());
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> items(argv + 1, argv + argc);
    std::string deviceDir;
    if (!items.empty() && items[0] == "--device") {
        if (items.size() < 2 || items[1].empty())
            return Fail("--device needs a directory", 2);
        deviceDir = items[1];
        items.erase(items.begin(), items.begin() + 2);
    }
    if (items.empty() || items[0] == "--help" || items[0] == "help") {
        if (items.size() > 1)
            if (const Command* command = Find(items[1])) {
                PrintHelp(*command);
                return 0;
            }
        PrintOverview();
        return items.empty() ? 2 : 0;
    }
    std::string name = items[0];
    items.erase(items.begin());
    const Command* command = Find(name);
    if (!command)
        return Fail("unknown command '" + name + "' (see phone --help)", 2);
    for (const std::string& item : items)
        if (item == "--help") {
            PrintHelp(*command);
            return 0;
        }

    std::filesystem::path dir = deviceDir.empty() ? device::Dir() : std::filesystem::path(deviceDir);
    if (!deviceDir.empty())
        setenv("PHONE_DEVICE", std::filesystem::absolute(dir).c_str(), 1);
    try {
        if (command->needsDevice) {
            if (!device::Exists(dir))
                return Fail("no device at " + dir.string() + " (make one with 'phone init')", 1);
            device::Attach(dir);
        }
        phone::Args args(items);
        return command->run(args);
    } catch (const phone::UsageError& e) {
        return Fail(std::string(e.what()) + " (see phone " + name + " --help)", 2);
    } catch (const phone::Failure& e) {
        return Fail(e.what(), 1);
    } catch (const device::DatabaseError& e) {
        return Fail(std::string("the device database failed: ") + e.what(), 1);
    } catch (const std::exception& e) {
        return Fail(e.what(), 1);
    }
}
