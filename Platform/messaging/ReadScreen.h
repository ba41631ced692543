// A message opened to read: who it is from (or to), when, for e-mail the subject and attachments, and the
// text, which can be scrolled but not changed. Done or Back closes it.
#pragma once

#include "Mailbox.h"

namespace messaging {

class ReadScreen {
public:
    explicit ReadScreen(const MessageContent& content) : m_content(content) {}

    // IDOK or IDCANCEL when closed; -1 when it can't show.
    INT_PTR Run(HWND owner);

private:
    static BOOL CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    BOOL OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    bool OnInit();
    void Layout();

    const MessageContent& m_content;
    HWND m_hwnd = nullptr;
    HWND m_softKeys = nullptr;
};

} // namespace messaging
