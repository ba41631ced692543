// phone contacts: the device's contact store.
#include "../Command.h"
#include "../PrintedText.h"

#include "device/Text.h"
#include "pimstore/ContactsDevice.h"

#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace phone {

namespace {

int Add(Args& args)
{
    std::string name = args.Option("--name"), mobile = args.Option("--mobile"), work = args.Option("--work"),
                home = args.Option("--home");
    args.ExpectEnd();
    if (name.empty())
        throw UsageError("missing --name");
    uint32_t oid;
    try {
        oid = device::contacts::Add(device::Utf16FromUtf8(name), device::Utf16FromUtf8(mobile),
                                    device::Utf16FromUtf8(work), device::Utf16FromUtf8(home));
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }
    std::printf("added %u %s\n", oid, name.c_str());
    return 0;
}

int List(Args& args)
{
    args.ExpectEnd();
    for (const device::contacts::Contact& contact : device::contacts::List())
        std::printf("%u\t%s\t%s\t%s\t%s\n", contact.oid, Utf8(contact.name).c_str(), Utf8(contact.mobile).c_str(),
                    Utf8(contact.work).c_str(), Utf8(contact.home).c_str());
    return 0;
}

int Delete(Args& args)
{
    std::string text = args.Take("the object id");
    args.ExpectEnd();
    bool digits = !text.empty() && text.size() <= 10;
    for (char c : text)
        digits = digits && std::isdigit(static_cast<unsigned char>(c));
    if (!digits || std::stoull(text) == 0 || std::stoull(text) > 0xFFFFFFFFull)
        throw UsageError("'" + text + "' is not a contact's object id");
    uint32_t oid = static_cast<uint32_t>(std::stoul(text));
    if (!device::contacts::Delete(oid))
        throw Failure("no contact " + text);
    std::printf("deleted %s\n", text.c_str());
    return 0;
}

int Run(Args& args)
{
    std::string verb = args.Take("what to do (add, list or delete)");
    if (verb == "add")
        return Add(args);
    if (verb == "list")
        return List(args);
    if (verb == "delete")
        return Delete(args);
    throw UsageError("'" + verb + "' is not add, list or delete");
}

} // namespace

extern const Command kContacts{
    "contacts",
    "add --name N [--mobile M] [--work W] [--home H] | list | delete OID",
    "add, list and delete contacts",
    "add prints 'added OID NAME'. list prints one contact a line in filing order, as OID, name, mobile,\n"
    "work and home number separated by tabs (a number empty when there is none). delete takes the object id.",
    true,
    &Run,
};

} // namespace phone
