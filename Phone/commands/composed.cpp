// phone composed: the compose forms the device's messaging application was asked to open.
#include "../Command.h"
#include "../PrintedText.h"

#include "cemapi/SmsDevice.h"
#include "device/Json.h"
#include "device/Text.h"

#include <cstdio>

namespace phone {

namespace {

std::string Json(const std::vector<device::mail::Request>& forms)
{
    device::Json list = device::Json::array();
    for (const device::mail::Request& form : forms) {
        device::Json attachments = device::Json::array();
        for (const auto& attachment : form.attachments)
            attachments.push_back(device::JsonText(attachment));
        list.push_back({{"kind", form.kind},
                        {"account", device::JsonText(form.account)},
                        {"to", device::JsonText(form.to)},
                        {"cc", device::JsonText(form.cc)},
                        {"bcc", device::JsonText(form.bcc)},
                        {"subject", device::JsonText(form.subject)},
                        {"body", device::JsonText(form.body)},
                        {"attachments", std::move(attachments)}});
    }
    return device::Dump(list);
}

int Run(Args& args)
{
    bool json = args.Flag("--json");
    args.ExpectEnd();
    std::vector<device::mail::Request> forms;
    for (device::mail::Request& request : device::mail::ComposedRequests())
        if (request.request == "compose")
            forms.push_back(std::move(request));
    if (json) {
        std::printf("%s\n", Json(forms).c_str());
        return 0;
    }
    for (const device::mail::Request& form : forms) {
        std::string attachments;
        for (const auto& attachment : form.attachments)
            attachments += (attachments.empty() ? "" : ", ") + Utf8(attachment);
        std::printf("%s account=%s to=%s subject=%s body=%s attachments=%s\n",
                    form.kind.empty() ? "-" : form.kind.c_str(), Utf8(form.account).c_str(), Utf8(form.to).c_str(),
                    Utf8(form.subject).c_str(), Utf8(form.body).c_str(), attachments.c_str());
    }
    return 0;
}

} // namespace

extern const Command kComposed{
    "composed", "[--json]", "list the compose forms the device was asked to open",
    "One request a line, in the order asked: the kind (sms or mail; - for a form without an account),\n"
    "account, to, subject, body and attachments. With --json an array of objects with kind, account, to, cc, bcc, subject, body and\n"
    "attachments.",
    true, &Run,
};

} // namespace phone
