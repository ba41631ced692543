// The device's own messaging additions: its message store properties and status bits, and the calls into
// the messaging application (compose forms, synchronising an account, switching accounts).
#pragma once

#include "mapix.h"
#include "mapitags.h"

// Message store properties of the device.
#define PR_CE_IPM_DRAFTS_ENTRYID PROP_TAG(PT_BINARY, 0x8104)
#define PR_CE_IPM_SEARCH_ENTRYID PROP_TAG(PT_BINARY, 0x8105)
#define PR_CE_IPM_INBOX_ENTRYID PROP_TAG(PT_BINARY, 0x8106)

// Message status bits (PR_MSG_STATUS, high word).
#define MSGSTATUS_HEADERONLY ((ULONG)0x00010000)
#define MSGSTATUS_RECTYPE_SMTP ((ULONG)0x00020000)
#define MSGSTATUS_SMSSTATUS_SUCCESS ((ULONG)0x00020000)
#define MSGSTATUS_RECTYPE_SMS ((ULONG)0x00040000)
#define MSGSTATUS_RECTYPE_ALLTYPES (MSGSTATUS_RECTYPE_SMTP | MSGSTATUS_RECTYPE_SMS)
#define MSGSTATUS_PARTIAL_DOWNLOAD ((ULONG)0x00080000)
#define MSGSTATUS_PARTIAL ((ULONG)0x00100000)

// Flags of MAILCOMPOSEFIELDS and of MailSyncMessages and MailSwitchToAccount.
#define MCF_ACCOUNT_IS_NAME ((DWORD)0x00000001)
#define MCF_ACCOUNT_IS_TRANSPORT ((DWORD)0x00000002)
#define MCF_MAILTO_FORMAT ((DWORD)0x00000004)
#define MCF_RUN_IN_BACKGROUND ((DWORD)0x00000008)

typedef struct {
    DWORD cbSize;  // sizeof(MAILCOMPOSEFIELDS)
    DWORD dwFlags; // MCF_*
    LPCTSTR pszTo; // addresses separated by ';'
    LPCTSTR pszCc;
    LPCTSTR pszBcc;
    LPCTSTR pszSubject;
    LPCTSTR pszBody;
    LPCTSTR pszAttachments; // file names, each ending with a null character
    UINT cAttachments;
    LPCTSTR pszAccount;  // account name or transport name, as dwFlags says
    LPCTSTR pszMsgClass; // null: the account's default class
} MAILCOMPOSEFIELDS;

// Asks the messaging application to open its compose form; pmcf may be null for an empty form.
STDAPI MailComposeMessage(MAILCOMPOSEFIELDS* pmcf);
// Sends what waits in the account's Outbox and fetches new messages; null: the current account.
STDAPI MailSyncMessages(LPCTSTR pszAccount, DWORD dwFlags);
// Shows the account in the messaging application's message list.
STDAPI MailSwitchToAccount(LPCTSTR pszAccount, DWORD dwFlags);
