// phone serve: the phone in a web page on this machine.
#include "../Command.h"
#include "../serve/PageServer.h"

#include "device/Device.h"
#include "process/DeviceTime.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace phone {

namespace {

volatile sig_atomic_t g_stopped = 0;

void OnStop(int)
{
    g_stopped = 1;
}

int Serve(Args& args)
{
    int port = args.NumberOption("--port", 0, 1, 65535);
    args.ExpectEnd();
    device::DeviceKeeper keeper;
    PageServer server(std::filesystem::absolute(device::Dir()).string(), port);
    struct sigaction stop {};
    stop.sa_handler = OnStop;
    for (int signal : {SIGHUP, SIGTERM, SIGINT})
        sigaction(signal, &stop, nullptr);
    std::printf("serving the phone at %s\n(open it in a browser on this machine; Ctrl-C stops)\n",
                server.Url().c_str());
    std::fflush(stdout);
    std::thread serving([&] { server.Serve(); });
    while (!g_stopped)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    server.Stop();
    serving.join();
    std::printf("stopped\n");
    return 0;
}

} // namespace

extern const Command kServe{
    "serve",
    "[--port P]",
    "show the phone in a web page, live, with keys and a panel to play the phone",
    "Serves on 127.0.0.1 only, at port P or one the system chooses, and prints the page's address: it\n"
    "carries a random token, without which every request is refused, so no other page or host can drive\n"
    "the phone. The page shows the screen as it changes, the soft keys, the direction pad, action and Back,\n"
    "takes typing, and plays the phone: incoming texts, missed calls, the clock, the Inbox and Sent lists\n"
    "and the compose forms asked for. Meanwhile the device keeps running as with 'attach' (a real clock\n"
    "moves, alarms start their programs). Ctrl-C (or a terminating signal) stops it.",
    true,
    &Serve,
};

} // namespace phone
