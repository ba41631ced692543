// The program's connection to the phone's "SMS" message store and three of its folders: received, sent and
// outgoing. Each user owns its own SmsStore on one thread; nothing is shared.
#pragma once

#include "store/SmsRecord.h"

#include <mapix.h>

// Called for each message of a visit; setting *stop to non-zero ends the visit after this message.
typedef HRESULT (*SmsVisitor)(const SmsRecord* record, void* context, BOOL* stop);

class SmsStore
{
  public:
    SmsStore() = default;
    ~SmsStore() { Close(); }
    SmsStore(const SmsStore&) = delete;
    SmsStore& operator=(const SmsStore&) = delete;

    // Forgets the interfaces without releasing them; for a store that was never opened.
    void Reset();
    // Starts the messaging layer, logs on and opens the folders; a failure leaves open what was opened so
    // far, for Close to release. Opening an open store closes it first.
    HRESULT Open();
    // Logs off and releases everything Open made; closing again does nothing.
    void Close();

    // The folder of kind 0 to 2, or null.
    IMAPIFolder* GetFolder(DWORD kind) const;

    // Creates the message in the folder of the record's kind; outgoing messages are submitted for sending.
    // A text over 160 characters or a time that can't be converted fails with E_FAIL and creates nothing.
    HRESULT WriteMessage(const SmsRecord& record);

    // Visits the messages of one folder, newest first. The short form leaves out text and read flag. A
    // visitor's failure doesn't end the visit, but keeps its message from being deleted after the visit.
    HRESULT Enumerate(DWORD kind, SmsVisitor visitor, void* context, BOOL shortForm, BOOL deleteAfterVisit);

    // The display name and address of the message's last recipient, as local-heap copies the caller frees
    // (LocalFree); either may be null.
    HRESULT ReadRecipient(ULONG entryIdSize, LPENTRYID entryId, LPWSTR* name, LPWSTR* address);

  private:
    HRESULT OpenSmsStore();
    HRESULT OpenFolders();
    HRESULT AddRecipient(IMessage* message, const SmsRecord& record);
    HRESULT VisitRow(DWORD kind, const SRow& row, BOOL shortForm, BOOL deleteAfterVisit, SmsVisitor visitor,
                     void* context, BOOL* stop);

    IMAPISession* m_session = nullptr;
    IMsgStore* m_store = nullptr;
    IMAPIFolder* m_folders[kFolderKindCount] = {};
    bool m_initialized = false; // MAPIInitialize succeeded and awaits its MAPIUninitialize
};
