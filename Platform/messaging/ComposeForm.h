// A compose form: the recipients, for e-mail the subject and attachment, and the text, as asked; Send writes
// the message (one per recipient for a text message) to the account's Outbox and submits it, text messages
// going out at once. Nothing is written while a recipient or the text is refused; Cancel discards the form.
#pragma once

#include "Screens.h"

#include <windows.h>

#include <string>
#include <vector>

namespace messaging {

struct Recipient;

struct ComposeRequest {
    bool textMessage = true;
    std::u16string account; // the message store's name
    std::u16string to, cc, bcc, subject, body, messageClass;
    std::vector<std::u16string> attachments; // device paths
};

class ComposeForm : public Screen {
public:
    explicit ComposeForm(ComposeRequest request) : m_request(std::move(request)) {}

    // Shows the form over the owner until it is sent (IDOK) or cancelled (IDCANCEL); -1 when it can't show.
    INT_PTR Run(HWND owner);

private:
    BOOL OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnInit();
    void Layout();
    void UpdateCounter();
    void OnBack(WPARAM wp, LPARAM lp);
    // True when the message went; otherwise the user has been told why and the form stays.
    bool Send();
    bool ReadRecipients(std::vector<Recipient>* recipients);
    void Refuse(int field, const std::u16string& why);
    std::u16string FieldText(int id) const;

    ComposeRequest m_request;
};

} // namespace messaging
