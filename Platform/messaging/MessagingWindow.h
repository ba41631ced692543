// The application's window: it takes the requests other programs make (compose forms, account switches) and
// shows an account as a list of its folders, then of one folder's messages, newest first. Compose forms and
// read screens open over it; when nothing of the application is left on the screen, it closes.
#pragma once

#include "Mailbox.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace messaging {

struct ComposeRequest;

class MessagingWindow {
public:
    static bool Register(HINSTANCE instance);
    // The window, hidden until an account is shown. False when it can't be made.
    bool Create(HINSTANCE instance);
    // The account the device's messaging shows now: the one last switched to, else text messages.
    void ShowCurrentAccount();
    HWND Window() const { return m_hwnd; }

private:
    enum class View { Folders, Messages };

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    bool OnCreate();
    void OnCommand(UINT command);
    void OnBack();
    // TRUE once the request is shown; FALSE for a request the device has no record of.
    LRESULT OnRequest(int64_t id);

    void Compose(const ComposeRequest& request);
    void ShowAccount(const std::u16string& account, bool textMessages);
    void ShowFolders();
    void ShowMessages(size_t folder);
    // The view again, after a message was sent or read.
    void Refresh();
    void OpenSelected();
    void UseSoftKeys(UINT menuId);
    // Takes the account off the screen, and closes the application when nothing else of it is open.
    void Leave();
    // Closes the application when none of its screens is open and no request waits.
    void CloseIfDone();
    int SelectedRow() const;

    HWND m_hwnd = nullptr;
    HWND m_list = nullptr;
    HWND m_softKeys = nullptr;
    UINT m_requestMessage = 0;
    bool m_shown = false;  // an account is on the screen (perhaps under a form)
    int m_openScreens = 0; // compose forms and read screens open over the window
    std::u16string m_account;
    bool m_textMessages = true;
    View m_view = View::Folders;
    size_t m_folder = 0;                         // the folder whose messages are listed
    std::vector<FolderInfo> m_folders;           // the rows of the folder list
    std::vector<std::vector<BYTE>> m_messageIds; // the rows of a folder's messages
};

} // namespace messaging
