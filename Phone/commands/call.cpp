// phone call missed: the phone's side of a missed call.
#include "../Command.h"

#include "../PrintedText.h"

#include "device/Text.h"
#include "pimstore/ContactsDevice.h"
#include "registry/Store.h"

#include <pimstore.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>

namespace phone {

namespace {

namespace registry = device::registry;

constexpr char16_t kCallerKey[] = u"HKLM\\System\\State\\Phone";
constexpr char16_t kCountKey[] = u"HKCU\\System\\State\\Phone";

void Write(const char16_t* keyPath, const char16_t* name, DWORD type, const std::vector<uint8_t>& data)
{
    int64_t key = 0;
    if (registry::CreatePath(keyPath, &key) != ERROR_SUCCESS ||
        registry::WriteValue(key, name, type, data.data(), data.size()) != ERROR_SUCCESS)
        throw Failure("the registry failed");
}

std::vector<uint8_t> Text(const std::u16string& text)
{
    std::u16string wide = text + u'\0';
    std::vector<uint8_t> bytes(wide.size() * 2);
    std::memcpy(bytes.data(), wide.data(), bytes.size());
    return bytes;
}

std::vector<uint8_t> Number(DWORD value)
{
    std::vector<uint8_t> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

DWORD MissedCalls()
{
    int64_t key = 0;
    registry::Value value;
    if (registry::OpenPath(kCountKey, &key) != ERROR_SUCCESS ||
        registry::QueryValue(key, u"Missed Call Count", &value) != ERROR_SUCCESS || value.type != REG_DWORD ||
        value.data.size() != sizeof(DWORD))
        return 0;
    DWORD count;
    std::memcpy(&count, value.data.data(), sizeof count);
    return count;
}

const char* NumberKind(uint32_t property)
{
    switch (property) {
    case PIMPR_MOBILE_TELEPHONE_NUMBER: return "mobile";
    case PIMPR_BUSINESS_TELEPHONE_NUMBER: return "work";
    default: return "home";
    }
}

bool Dialable(const std::string& number)
{
    if (number.empty() || number.size() > 40)
        return false;
    for (char c : number)
        if (!std::isdigit(static_cast<unsigned char>(c)) && !std::strchr("+*#", c))
            return false;
    return true;
}

int Run(Args& args)
{
    std::string kind = args.Take("the kind of call");
    if (kind != "missed")
        throw UsageError("'" + kind + "' is not a kind of call this device plays (missed)");
    std::string from = args.Option("--from"), name = args.Option("--name");
    args.ExpectEnd();
    if (from.empty())
        throw UsageError("--from NUMBER is needed");
    if (!Dialable(from))
        throw UsageError("'" + from + "' is not a phone number");
    // The caller as the phone knows it: the contact whose number rang, else the number and the name the
    // network gave, if any.
    std::u16string number = device::Utf16FromUtf8(from);
    std::optional<device::contacts::CallerMatch> match = device::contacts::MatchCaller(number);
    std::u16string callerName = match ? match->contact.name : device::Utf16FromUtf8(name);
    // The caller first: whoever the count wakes reads it.
    Write(kCallerKey, u"Last Incoming Caller Number", REG_SZ, Text(number));
    Write(kCallerKey, u"Last Incoming Caller Name", REG_SZ, Text(callerName));
    Write(kCallerKey, u"Last Incoming Caller OID", REG_DWORD, Number(match ? match->contact.oid : 0));
    Write(kCallerKey, u"Last Incoming Caller PropID", REG_DWORD, Number(match ? match->property : 0));
    DWORD count = MissedCalls() + 1;
    Write(kCountKey, u"Missed Call Count", REG_DWORD, Number(count));
    std::string matched = match ? " (" + Utf8(callerName) + ", " + NumberKind(match->property) + ")" : "";
    std::printf("missed call from %s%s; missed calls: %u\n", from.c_str(), matched.c_str(),
                static_cast<unsigned>(count));
    return 0;
}

} // namespace

extern const Command kCall{
    "call",
    "missed --from NUMBER [--name NAME]",
    "play a missed call: the caller's phone state, then the missed-call count",
    "Matches NUMBER against the contacts' mobile, work and home numbers as the phone does (the digits,\n"
    "or their last seven), then writes HKLM\\System\\State\\Phone \"Last Incoming Caller Number\" and, for\n"
    "a contact, its object id, display name and the property id of the number that rang as \"... OID\",\n"
    "\"... Name\" and \"... PropID\"; with no match OID and PropID are 0 and the name is NAME (the name\n"
    "the network gave), or empty. Then raises HKCU\\System\\State\\Phone \"Missed Call Count\" by one,\n"
    "which tells the programs that watch it.",
    true,
    &Run,
};

} // namespace phone
