// The messaging subsystem: starting it, logging on, the session, and the buffers MAPI hands out.
#pragma once

#include "mapidefs.h"

typedef struct {
    ULONG ulVersion;
    ULONG ulFlags;
} MAPIINIT_0, *LPMAPIINIT_0;
typedef MAPIINIT_0 MAPIINIT;
#define MAPI_INIT_VERSION 0

// MAPILogonEx flags; the device ignores them.
#define MAPI_LOGON_UI ((ULONG)0x00000001)
#define MAPI_NEW_SESSION ((ULONG)0x00000002)
#define MAPI_EXTENDED ((ULONG)0x00000020)
#define MAPI_NO_MAIL ((ULONG)0x00008000)

struct IAddrBook;
struct IProfSect;
struct IMsgServiceAdmin;
typedef IAddrBook* LPADRBOOK;
typedef IProfSect* LPPROFSECT;
typedef IMsgServiceAdmin* LPSERVICEADMIN;

EXTERN_C const IID IID_IMAPISession;

interface IMAPISession : public IUnknown
{
    STDMETHOD(GetLastError)(HRESULT hResult, ULONG ulFlags, LPMAPIERROR* lppMAPIError) PURE;
    STDMETHOD(GetMsgStoresTable)(ULONG ulFlags, LPMAPITABLE* lppTable) PURE;
    STDMETHOD(OpenMsgStore)
    (ULONG_PTR ulUIParam, ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags,
     LPMDB* lppMDB) PURE;
    STDMETHOD(OpenAddressBook)
    (ULONG_PTR ulUIParam, LPCIID lpInterface, ULONG ulFlags, LPADRBOOK* lppAdrBook) PURE;
    STDMETHOD(OpenProfileSection)
    (LPMAPIUID lpUID, LPCIID lpInterface, ULONG ulFlags, LPPROFSECT* lppProfSect) PURE;
    STDMETHOD(GetStatusTable)(ULONG ulFlags, LPMAPITABLE* lppTable) PURE;
    STDMETHOD(OpenEntry)
    (ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags, ULONG* lpulObjType,
     LPUNKNOWN* lppUnk) PURE;
    STDMETHOD(CompareEntryIDs)
    (ULONG cbEntryID1, LPENTRYID lpEntryID1, ULONG cbEntryID2, LPENTRYID lpEntryID2, ULONG ulFlags,
     ULONG* lpulResult) PURE;
    STDMETHOD(Advise)
    (ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulEventMask, LPMAPIADVISESINK lpAdviseSink,
     ULONG_PTR* lpulConnection) PURE;
    STDMETHOD(Unadvise)(ULONG_PTR ulConnection) PURE;
    STDMETHOD(MessageOptions)
    (ULONG_PTR ulUIParam, ULONG ulFlags, LPTSTR lpszAdrType, LPMESSAGE lpMessage) PURE;
    STDMETHOD(QueryDefaultMessageOpt)
    (LPTSTR lpszAdrType, ULONG ulFlags, ULONG* lpcValues, LPSPropValue* lppOptions) PURE;
    STDMETHOD(EnumAdrTypes)(ULONG ulFlags, ULONG* lpcAdrTypes, LPTSTR** lpppszAdrTypes) PURE;
    STDMETHOD(QueryIdentity)(ULONG* lpcbEntryID, LPENTRYID* lppEntryID) PURE;
    STDMETHOD(Logoff)(ULONG_PTR ulUIParam, ULONG ulFlags, ULONG ulReserved) PURE;
    STDMETHOD(SetDefaultStore)(ULONG ulFlags, ULONG cbEntryID, LPENTRYID lpEntryID) PURE;
    STDMETHOD(AdminServices)(ULONG ulFlags, LPSERVICEADMIN* lppServiceAdmin) PURE;
    STDMETHOD(ShowForm)
    (ULONG_PTR ulUIParam, LPMDB lpMsgStore, LPMAPIFOLDER lpParentFolder, LPCIID lpInterface,
     ULONG ulMessageToken, LPMESSAGE lpMessageSent, ULONG ulFlags, ULONG ulMessageStatus,
     ULONG ulMessageFlags, ULONG ulAccess, LPSTR lpszMessageClass) PURE;
    STDMETHOD(PrepareForm)(LPCIID lpInterface, LPMESSAGE lpMessage, ULONG* lpulMessageToken) PURE;
};
typedef IMAPISession* LPMAPISESSION;

// Counted per process: every MAPIInitialize is matched by one MAPIUninitialize.
STDAPI MAPIInitialize(LPVOID lpMapiInit);
STDAPI_(void) MAPIUninitialize(void);
STDAPI MAPILogonEx(ULONG_PTR ulUIParam, LPTSTR lpszProfileName, LPTSTR lpszPassword, FLAGS flFlags,
                   LPMAPISESSION* lppSession);

// Buffers MAPI returns: one MAPIFreeBuffer frees a buffer and everything MAPIAllocateMore linked to it.
STDAPI_(SCODE) MAPIAllocateBuffer(ULONG cbSize, LPVOID* lppBuffer);
STDAPI_(SCODE) MAPIAllocateMore(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer);
STDAPI_(ULONG) MAPIFreeBuffer(LPVOID lpBuffer);
