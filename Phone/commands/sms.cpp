// phone sms: text messages arriving in the SMS store, and the store's folders listed.
#include "../Command.h"
#include "../PrintedText.h"
#include "../TimeText.h"

#include "cemapi/SmsDevice.h"
#include "device/Json.h"
#include "device/Text.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace phone {

namespace {

using device::sms::Folder;

struct NamedFolder {
    const char* name;
    Folder folder;
};
constexpr NamedFolder kFolders[] = {{"inbox", Folder::Inbox}, {"sent", Folder::Sent}, {"outbox", Folder::Outbox}};

const char* NameOf(Folder folder)
{
    for (const NamedFolder& named : kFolders)
        if (named.folder == folder)
            return named.name;
    return "?";
}

std::string TimeOf(const device::sms::Message& message)
{
    return message.time ? FormatLocalTime(LocalFromUtc(*message.time)) : std::string();
}

int Receive(Args& args)
{
    std::string from = args.Option("--from"), name = args.Option("--name"), text = args.Option("--text"),
                at = args.Option("--at");
    args.ExpectEnd();
    if (from.empty())
        throw UsageError("missing --from");
    if (text.empty())
        throw UsageError("missing --text");
    device::sms::Incoming incoming;
    incoming.from = {device::Utf16FromUtf8(name), device::Utf16FromUtf8(from)};
    incoming.text = device::Utf16FromUtf8(text);
    if (!at.empty())
        incoming.time = UtcFromLocal(ParseLocalTime(at));
    try {
        device::sms::Receive(incoming);
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }
    std::printf("received from %s at %s\n", from.c_str(),
                FormatLocalTime(incoming.time ? LocalFromUtc(*incoming.time) : DeviceLocalNow()).c_str());
    return 0;
}

device::Json PartyJson(const device::sms::Party& party)
{
    return {{"name", device::JsonText(party.name)}, {"address", device::JsonText(party.address)}};
}

device::Json MessageJson(const device::sms::Message& message)
{
    device::Json to = device::Json::array();
    for (const auto& party : message.to)
        to.push_back(PartyJson(party));
    return {{"folder", NameOf(message.folder)},
            {"to", std::move(to)},
            {"from", PartyJson(message.from)},
            {"text", device::JsonText(message.text)},
            {"time", message.time ? device::Json(TimeOf(message)) : device::Json(nullptr)},
            {"read", message.read},
            {"flags", message.flags}};
}

// The array written as it goes, one message at a time, rather than built whole first: the same text.
void PrintJson(const std::vector<device::sms::Message>& messages)
{
    std::fputc('[', stdout);
    for (size_t i = 0; i < messages.size(); ++i) {
        if (i)
            std::fputc(',', stdout);
        std::string object = device::Dump(MessageJson(messages[i]));
        std::fwrite(object.data(), 1, object.size(), stdout);
    }
    std::fputs("]\n", stdout);
}

std::string Party(const device::sms::Party& party)
{
    if (party.name.empty() || party.name == party.address)
        return Utf8(party.address);
    return Utf8(party.name) + " <" + Utf8(party.address) + ">";
}

void PrintLine(const device::sms::Message& message)
{
    std::string who;
    if (message.folder == Folder::Inbox) {
        who = "from " + Party(message.from);
    } else {
        for (const auto& party : message.to)
            who += (who.empty() ? "to " : ", ") + Party(party);
    }
    std::printf("%s %s %s%s: %s\n", TimeOf(message).c_str(), NameOf(message.folder), who.c_str(),
                message.folder == Folder::Inbox && !message.read ? " (unread)" : "", Utf8(message.text).c_str());
}

int List(Args& args)
{
    std::string folderName = args.Option("--folder");
    bool json = args.Flag("--json");
    args.ExpectEnd();
    std::vector<Folder> folders;
    for (const NamedFolder& named : kFolders)
        if (folderName.empty() || folderName == named.name)
            folders.push_back(named.folder);
    if (folders.empty())
        throw UsageError("'" + folderName + "' is not a folder (inbox, sent or outbox)");
    std::vector<device::sms::Message> messages;
    for (Folder folder : folders)
        device::sms::List(folder, [&](device::sms::Message& message) {
            messages.push_back(std::move(message));
            return true;
        });
    // Each folder comes newest first; together they are merged so. A message without a time goes last.
    std::stable_sort(messages.begin(), messages.end(), [](const auto& a, const auto& b) {
        return a.time.value_or(INT64_MIN) > b.time.value_or(INT64_MIN);
    });
    if (json) {
        PrintJson(messages);
        return 0;
    }
    for (const device::sms::Message& message : messages)
        PrintLine(message);
    return 0;
}

int Run(Args& args)
{
    std::string verb = args.Take("what to do (receive or list)");
    if (verb == "receive")
        return Receive(args);
    if (verb == "list")
        return List(args);
    throw UsageError("'" + verb + "' is not receive or list");
}

} // namespace

extern const Command kSms{
    "sms",
    "receive --from ADDR [--name N] --text T [--at \"YYYY-MM-DD HH:MM:SS\"] | list [--folder inbox|sent|outbox] "
    "[--json]",
    "receive a text message, or list the SMS store's messages",
    "receive delivers a message into the Inbox, unread, from ADDR (shown as N when given), at the local\n"
    "time given or now. list shows the messages of one folder, or of inbox, sent and outbox together,\n"
    "newest first: one a line as TIME FOLDER from/to WHO: TEXT; with --json an array of objects with\n"
    "folder, to [{name, address}], from {name, address}, text, time (local), read and flags.\n"
    "Submitted messages reach the sent folder when the messaging transport synchronises.",
    true,
    &Run,
};

} // namespace phone
