// One account's message store as the application uses it, through MAPI: the folders it shows, their messages
// newest first, one message read whole, and messages written to the Outbox and submitted.
#pragma once

#include "Addresses.h"
#include "Owners.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace messaging {

// The folders an account shows, in the order it shows them.
enum class FolderKind { Inbox, Sent, Outbox, Drafts };
constexpr FolderKind kShownFolders[] = {FolderKind::Inbox, FolderKind::Sent, FolderKind::Outbox, FolderKind::Drafts};

struct FolderInfo {
    FolderKind kind;
    std::u16string name;
    ULONG count = 0;
};

struct MessageSummary {
    std::vector<BYTE> entryId;
    std::u16string who;  // the sender of a received message; the recipients of any other
    std::u16string text; // a text message's text, an e-mail's subject
};

struct MessageContent {
    bool received = false; // `who` is the sender, else the recipients
    bool textMessage = false;
    std::u16string who;
    std::optional<FILETIME> time; // when it was received or sent, else last changed
    std::u16string subject;       // e-mail only
    std::u16string text;
    std::vector<std::u16string> attachments; // file names
};

struct Recipient {
    Address address;
    ULONG type = MAPI_TO; // MAPI_TO, MAPI_CC or MAPI_BCC
};

struct Outgoing {
    bool textMessage = true;
    std::vector<Recipient> recipients;
    std::u16string subject; // e-mail only
    std::u16string text;
    std::u16string messageClass;             // empty: the account's own
    std::vector<std::u16string> attachments; // device paths of files, e-mail only
};

// A device path's last part: the file's name.
std::u16string FileNameOf(const std::u16string& path);

class Mailbox {
public:
    Mailbox() = default;
    ~Mailbox();
    Mailbox(const Mailbox&) = delete;
    Mailbox& operator=(const Mailbox&) = delete;

    // The store named so (its PR_DISPLAY_NAME); MAPI_E_NOT_FOUND when there is none.
    HRESULT Open(std::u16string_view account);

    HRESULT Folders(std::vector<FolderInfo>* folders);
    HRESULT Messages(FolderKind kind, std::vector<MessageSummary>* messages);
    HRESULT Read(const std::vector<BYTE>& entryId, MessageContent* content);
    // Writes every message to the Outbox, then submits them: when one can't be written, those written are
    // deleted and none is submitted.
    HRESULT Send(const std::vector<Outgoing>& messages);

private:
    HRESULT OpenFolder(FolderKind kind, Held<IMAPIFolder>* folder);
    // Adds the new message's entry identifier to *entryIds as soon as it exists.
    HRESULT Write(IMAPIFolder* outbox, const Outgoing& outgoing, Held<IMessage>* written,
                  std::vector<std::vector<BYTE>>* entryIds);

    bool m_initialized = false;
    Held<IMAPISession> m_session;
    Held<IMsgStore> m_store;
};

} // namespace messaging
