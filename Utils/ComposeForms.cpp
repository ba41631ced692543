// Exports 3 to 6: the messaging application's compose forms, for e-mail through the ActiveSync account
// and for text messages through the SMS transport.
#include "Exports.h"
#include "WaitCursor.h"

#include <cemapi.h>

namespace {

const WCHAR kMailAccount[] = TEXT("ActiveSync");
const WCHAR kSmsTransport[] = TEXT("SMS");
// Where questions about the program go.
const WCHAR kSupportContact[] = TEXT("\"Zelkova Support\" <support@zelkova.example>");

MAILCOMPOSEFIELDS Fields(DWORD accountFlags, LPCWSTR account, LPCWSTR to)
{
    MAILCOMPOSEFIELDS fields{};
    fields.cbSize = sizeof fields; // the device's record is 44 bytes; pointers are wider on this host
    fields.dwFlags = accountFlags;
    fields.pszAccount = account;
    fields.pszTo = to;
    return fields;
}

} // namespace

HRESULT WINAPI ComposeMailMessage(LPCWSTR to, LPCWSTR subject, LPCWSTR body, LPCWSTR attachments,
                                  DWORD attachmentCount)
{
    MAILCOMPOSEFIELDS fields = Fields(MCF_ACCOUNT_IS_NAME, kMailAccount, to);
    fields.pszSubject = subject;
    fields.pszBody = body;
    fields.pszAttachments = attachments;
    fields.cAttachments = attachmentCount;
    WaitCursor wait; // the messaging application takes a while to come up
    return MailComposeMessage(&fields);
}

HRESULT WINAPI ComposeSupportMail(LPCWSTR subject)
{
    return ComposeMailMessage(kSupportContact, subject, nullptr, nullptr, 0);
}

HRESULT WINAPI ComposeMail(LPCWSTR subject, LPCWSTR body)
{
    return ComposeMailMessage(nullptr, subject, body, nullptr, 0);
}

HRESULT WINAPI ComposeSms(LPCWSTR recipients)
{
    MAILCOMPOSEFIELDS fields = Fields(MCF_ACCOUNT_IS_TRANSPORT, kSmsTransport, recipients);
    return MailComposeMessage(&fields);
}
