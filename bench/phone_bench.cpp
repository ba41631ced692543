// What scripts wait for when they use the device tool, each beside the nearest direct way, in turns:
// - `phone sms list --json` of 10 000 messages beside `sqlite3 -json` of the same rows and fields;
// - Zelkova's start until it shows its main screen and waits for input, beside a `phone clock` process (a
//   process that opens the device and reads one thing from its database): started by this process, and by
//   a `phone launch` process then a `phone wait` process (two such processes of their own).
// Every process writes to /dev/null. Run: build/default/bin/phone_bench (needs the sqlite3 shell).
#include "InboxDevices.h"
#include "PairedTimes.h"

#include "device/Device.h"
#include "process/Idle.h"
#include "process/StartProgram.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace
{

constexpr int64_t kNow = 128580444000000000; // 2008-06-15 23:00:00 UTC, the device's zone
constexpr int64_t kMessages = 10000;

int64_t EveryMinute(int64_t i, int64_t) { return kNow - i * 60 * device::kTicksPerSecond; }

// Runs the program to its end; its exit code, -1 when it could not run or a signal ended it. What it
// prints goes to *out when asked for, else to /dev/null.
int Run(const std::string& program, const std::vector<std::string>& arguments, std::string* out = nullptr)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int pipeFds[2] = {-1, -1};
    if (out && pipe(pipeFds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out) {
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = 0;
    int failed = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (out) {
        close(pipeFds[1]);
        char buffer[4096];
        for (ssize_t n; !failed && (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
            out->append(buffer, static_cast<size_t>(n));
        close(pipeFds[0]);
    }
    if (failed)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Phone(const std::filesystem::path& device, std::vector<std::string> arguments, std::string* out = nullptr)
{
    arguments.insert(arguments.begin(), {"--device", device.string()});
    return Run(PHONE_PROGRAM, arguments, out);
}

// The fields of `phone sms list --json`, of the same messages in the same order: each message's folder,
// recipient, sender, text, local time (the device's zone is UTC), read flag and flags.
constexpr const char* kListSql =
    "SELECT CASE f.role WHEN 1 THEN 'inbox' WHEN 3 THEN 'outbox' ELSE 'sent' END AS folder, "
    "rn.value AS to_name, ra.value AS to_address, n.value AS from_name, a.value AS from_address, s.value AS text, "
    "datetime(m.delivery_time / 10000000 - 11644473600, 'unixepoch') AS time, "
    "coalesce(fl.value, 0) & 1 AS read, fl.value AS flags "
    "FROM mapi_messages m JOIN mapi_folders f ON f.id = m.folder AND f.role IN (1, 3, 4) "
    "JOIN mapi_stores st ON st.id = f.store AND st.display_name = 'SMS' "
    "LEFT JOIN mapi_message_props n ON n.message = m.id AND n.prop_id = 0x0C1A "
    "LEFT JOIN mapi_message_props a ON a.message = m.id AND a.prop_id = 0x0C1F "
    "LEFT JOIN mapi_message_props s ON s.message = m.id AND s.prop_id = 0x0037 "
    "LEFT JOIN mapi_message_props fl ON fl.message = m.id AND fl.prop_id = 0x0E07 "
    "LEFT JOIN mapi_recipients r ON r.message = m.id "
    "LEFT JOIN mapi_recipient_props rn ON rn.recipient = r.id AND rn.prop_id = 0x3001 "
    "LEFT JOIN mapi_recipient_props ra ON ra.recipient = r.id AND ra.prop_id = 0x3003 "
    "ORDER BY m.delivery_time DESC, m.id DESC";

void BM_SmsListJson(benchmark::State& state)
{
    std::filesystem::path device = inbox_devices::Devices().at(kMessages);
    std::string database = (device / "device.db").string();
    if (Run("sqlite3", {"-version"}) != 0) {
        state.SkipWithError("no sqlite3 shell to compare with");
        return;
    }
    paired_times::PairedTimes times;
    for (auto _ : state) {
        times.Turn([&] {
            if (Phone(device, {"sms", "list", "--json"}) != 0) state.SkipWithError("phone sms list failed");
        },
                   [&] {
                       if (Run("sqlite3", {"-json", "-readonly", database, kListSql}) != 0)
                           state.SkipWithError("sqlite3 failed");
                   });
    }
    times.Report(state);
}
BENCHMARK(BM_SmsListJson)->Iterations(11)->Unit(benchmark::kMillisecond)->UseRealTime();

// A device with Zelkova installed and nothing running, beside the inbox devices; empty when it cannot be made.
std::filesystem::path ZelkovaDevice()
{
    std::filesystem::path device = inbox_devices::Devices().at(kMessages).parent_path() / "zelkova";
    if (!std::filesystem::exists(device) &&
        Phone(device, {"init", "--clock", "manual", "--time", "2008-06-15 09:30:00"}) != 0)
        return {};
    return device;
}

// The processor time a running process has had so far, of all its threads.
double ProcessCpuMicroseconds(pid_t pid)
{
    double total = 0;
    std::error_code none;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", none)) {
        std::ifstream schedstat(task.path() / "schedstat");
        double nanoseconds = 0;
        if (schedstat >> nanoseconds)
            total += nanoseconds / 1000;
    }
    return total;
}

// What came up is a screen, and the next turn starts from no process again.
bool ShowsScreenThenEnds(const std::filesystem::path& device, pid_t pid)
{
    return pid > 0 && Phone(device, {"screen"}) == 0 && Phone(device, {"kill", std::to_string(pid)}) == 0;
}

// Zelkova from its start to its main screen, idle: started and waited for by this process (already running,
// as the shell is when a user starts a program), with the platform calls `phone launch` and `phone wait` make.
void BM_StartToMainScreen(benchmark::State& state)
{
    std::filesystem::path device = ZelkovaDevice();
    if (device.empty()) {
        state.SkipWithError("phone init failed");
        return;
    }
    device::Attach(device);
    paired_times::PairedTimes times;
    for (auto _ : state) {
        pid_t pid = 0;
        times.Turn([&] {
            DWORD error = 0;
            pid = device::StartDeviceProgram(u"\\Program Files\\Zelkova\\Zelkova.exe", u"", &error);
            if (!pid || !device::AwaitJoin(pid, std::chrono::seconds(20)).joined ||
                !device::WaitDeviceIdle(std::chrono::seconds(20)))
                state.SkipWithError("Zelkova did not start");
        },
                   [&] {
                       if (Phone(device, {"clock"}) != 0) state.SkipWithError("phone clock failed");
                   });
        times.AddToLastOfOurs(ProcessCpuMicroseconds(pid));
        if (!ShowsScreenThenEnds(device, pid))
            state.SkipWithError("Zelkova showed no screen");
        // The platform reaps its child; that must be done before the next turn is measured.
        for (int tries = 0; pid > 0 && tries < 2000 && kill(pid, 0) == 0; ++tries)
            usleep(1000);
    }
    times.Report(state);
}
BENCHMARK(BM_StartToMainScreen)->Iterations(21)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same start as a script sees it: a `phone launch` process, then a `phone wait` process.
void BM_PhoneLaunchThenWait(benchmark::State& state)
{
    std::filesystem::path device = ZelkovaDevice();
    if (device.empty()) {
        state.SkipWithError("phone init failed");
        return;
    }
    paired_times::PairedTimes times;
    for (auto _ : state) {
        std::string pid;
        times.Turn([&] {
            if (Phone(device, {"launch"}, &pid) != 0 || Phone(device, {"wait"}) != 0)
                state.SkipWithError("Zelkova did not start");
        },
                   [&] {
                       if (Phone(device, {"clock"}) != 0) state.SkipWithError("phone clock failed");
                   });
        if (!ShowsScreenThenEnds(device, std::atoi(pid.c_str())))
            state.SkipWithError("Zelkova showed no screen");
    }
    times.Report(state);
}
BENCHMARK(BM_PhoneLaunchThenWait)->Iterations(21)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return inbox_devices::Main(argc, argv, kNow, EveryMinute, {kMessages});
}
