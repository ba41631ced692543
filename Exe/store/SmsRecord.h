// One text message as the program sees it: what WriteMessage puts into a folder and what Enumerate hands
// to its visitor. Strings are borrowed, never owned; a null string means none.
#pragma once

#include <windows.h>

// Folder kinds, numbered alike wherever messages are counted, copied or written.
constexpr DWORD kReceivedFolder = 0;
constexpr DWORD kSentFolder = 1;
constexpr DWORD kOutgoingFolder = 2;
constexpr DWORD kFolderKindCount = 3;

// The longest text one message carries, in characters.
constexpr int kMaxSmsLength = 160;

struct SmsRecord {
    DWORD kind;
    LPCWSTR recipientName;
    LPCWSTR recipientAddress; // none: the message gets no recipient
    LPCWSTR senderName;       // the sender is written for received and sent messages only
    LPCWSTR senderAddress;
    LPCWSTR text;             // filled by a visit in the long form only
    const SYSTEMTIME* time;   // local time; a visit gives none for a message without delivery time
    DWORD read;               // 0 or 1; filled by a visit in the long form only
};
