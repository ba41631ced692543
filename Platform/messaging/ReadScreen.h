// A message opened to read: who it is from (or to), when, for e-mail the subject and attachments, and the
// text, which can be scrolled but not changed. Done or Back closes it.
#pragma once

#include "Mailbox.h"
#include "Screens.h"

namespace messaging {

class ReadScreen : public Screen {
public:
    explicit ReadScreen(const MessageContent& content) : m_content(content) {}

    // IDOK or IDCANCEL when closed; -1 when it can't show.
    INT_PTR Run(HWND owner);

private:
    BOOL OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnInit();
    void Layout();

    const MessageContent& m_content;
};

} // namespace messaging
