// The messaging API's data types and the interfaces of property objects, containers, folders, messages,
// message stores and tables.
#pragma once

#include "windef.h"
#include "winerror.h"
#include "unknwn.h"
#include "mapicode.h"

#ifndef MAPI_DIM
#define MAPI_DIM 1
#endif

typedef ULONG FLAGS;
typedef const IID* LPCIID;
typedef ULONG_PTR BOOKMARK;

// Flags shared by many calls.
#define MAPI_MODIFY ((ULONG)0x00000001)
#define MAPI_DEFERRED_ERRORS ((ULONG)0x00000008)
#define MAPI_BEST_ACCESS ((ULONG)0x00000010)
#define MAPI_UNICODE ((ULONG)0x80000000)

// Object types (PR_OBJECT_TYPE, and the lpulObjType of the OpenEntry calls).
#define MAPI_STORE ((ULONG)0x00000001)
#define MAPI_ADDRBOOK ((ULONG)0x00000002)
#define MAPI_FOLDER ((ULONG)0x00000003)
#define MAPI_ABCONT ((ULONG)0x00000004)
#define MAPI_MESSAGE ((ULONG)0x00000005)
#define MAPI_MAILUSER ((ULONG)0x00000006)
#define MAPI_ATTACH ((ULONG)0x00000007)
#define MAPI_DISTLIST ((ULONG)0x00000008)
#define MAPI_PROFSECT ((ULONG)0x00000009)
#define MAPI_STATUS ((ULONG)0x0000000A)
#define MAPI_SESSION ((ULONG)0x0000000B)
#define MAPI_FORMINFO ((ULONG)0x0000000C)

// Entry identifiers.
typedef struct {
    BYTE abFlags[4];
    BYTE ab[MAPI_DIM];
} ENTRYID, *LPENTRYID;
#define CbNewENTRYID(cb) (offsetof(ENTRYID, ab) + (cb))

// Property types: the low word of a property tag.
#define MV_FLAG 0x1000
#define PT_UNSPECIFIED ((ULONG)0)
#define PT_NULL ((ULONG)1)
#define PT_I2 ((ULONG)2)
#define PT_LONG ((ULONG)3)
#define PT_R4 ((ULONG)4)
#define PT_DOUBLE ((ULONG)5)
#define PT_CURRENCY ((ULONG)6)
#define PT_APPTIME ((ULONG)7)
#define PT_ERROR ((ULONG)10)
#define PT_BOOLEAN ((ULONG)11)
#define PT_OBJECT ((ULONG)13)
#define PT_I8 ((ULONG)20)
#define PT_STRING8 ((ULONG)30)
#define PT_UNICODE ((ULONG)31)
#define PT_SYSTIME ((ULONG)64)
#define PT_CLSID ((ULONG)72)
#define PT_BINARY ((ULONG)258)
#define PT_SHORT PT_I2
#define PT_I4 PT_LONG
#define PT_FLOAT PT_R4
#define PT_R8 PT_DOUBLE
#define PT_LONGLONG PT_I8
#define PT_TSTRING PT_UNICODE
#define PT_MV_LONG (MV_FLAG | PT_LONG)
#define PT_MV_BINARY (MV_FLAG | PT_BINARY)
#define PT_MV_UNICODE (MV_FLAG | PT_UNICODE)

#define PROP_TYPE_MASK ((ULONG)0x0000FFFF)
#define PROP_TYPE(ulPropTag) (((ULONG)(ulPropTag)) & PROP_TYPE_MASK)
#define PROP_ID(ulPropTag) (((ULONG)(ulPropTag)) >> 16)
#define PROP_TAG(ulPropType, ulPropID) ((((ULONG)(ulPropID)) << 16) | ((ULONG)(ulPropType)))
#define CHANGE_PROP_TYPE(ulPropTag, ulPropType) (((ULONG)0xFFFF0000 & (ulPropTag)) | (ulPropType))
#define PROP_ID_NULL 0
#define PROP_ID_INVALID 0xFFFF
#define PR_NULL PROP_TAG(PT_NULL, PROP_ID_NULL)

typedef struct _SPropTagArray {
    ULONG cValues;
    ULONG aulPropTag[MAPI_DIM];
} SPropTagArray, *LPSPropTagArray;
#define CbNewSPropTagArray(count) (offsetof(SPropTagArray, aulPropTag) + (count) * sizeof(ULONG))
#define CbSPropTagArray(lp) CbNewSPropTagArray((lp)->cValues)
#define SizedSPropTagArray(count, name)                                                                      \
    struct _SPropTagArray_##name {                                                                           \
        ULONG cValues;                                                                                       \
        ULONG aulPropTag[count];                                                                             \
    } name

// Property values.
#ifndef _tagCY_DEFINED
#define _tagCY_DEFINED
typedef union tagCY {
    struct {
        ULONG Lo;
        LONG Hi;
    };
    LONGLONG int64;
} CY, CURRENCY;
#endif

typedef struct _SBinary {
    ULONG cb;
    LPBYTE lpb;
} SBinary, *LPSBinary;

typedef struct _SShortArray {
    ULONG cValues;
    short* lpi;
} SShortArray;
typedef struct _SLongArray {
    ULONG cValues;
    LONG* lpl;
} SLongArray;
typedef struct _SRealArray {
    ULONG cValues;
    float* lpflt;
} SRealArray;
typedef struct _SDoubleArray {
    ULONG cValues;
    double* lpdbl;
} SDoubleArray;
typedef struct _SCurrencyArray {
    ULONG cValues;
    CURRENCY* lpcur;
} SCurrencyArray;
typedef struct _SAppTimeArray {
    ULONG cValues;
    double* lpat;
} SAppTimeArray;
typedef struct _SDateTimeArray {
    ULONG cValues;
    FILETIME* lpft;
} SDateTimeArray;
typedef struct _SBinaryArray {
    ULONG cValues;
    SBinary* lpbin;
} SBinaryArray;
typedef struct _SLPSTRArray {
    ULONG cValues;
    LPSTR* lppszA;
} SLPSTRArray;
typedef struct _SWStringArray {
    ULONG cValues;
    LPWSTR* lppszW;
} SWStringArray;
typedef struct _SGuidArray {
    ULONG cValues;
    GUID* lpguid;
} SGuidArray;
typedef struct _SLargeIntegerArray {
    ULONG cValues;
    LARGE_INTEGER* lpli;
} SLargeIntegerArray;

typedef SBinaryArray ENTRYLIST, *LPENTRYLIST;

typedef union _PV {
    short int i;
    LONG l;
    ULONG ul;
    float flt;
    double dbl;
    unsigned short int b;
    CURRENCY cur;
    double at;
    FILETIME ft;
    LPSTR lpszA;
    SBinary bin;
    LPWSTR lpszW;
    LPGUID lpguid;
    LARGE_INTEGER li;
    SShortArray MVi;
    SLongArray MVl;
    SRealArray MVflt;
    SDoubleArray MVdbl;
    SCurrencyArray MVcur;
    SAppTimeArray MVat;
    SDateTimeArray MVft;
    SBinaryArray MVbin;
    SLPSTRArray MVszA;
    SWStringArray MVszW;
    SGuidArray MVguid;
    SLargeIntegerArray MVli;
    SCODE err;
    LONG x;
} __UPV;

typedef struct _SPropValue {
    ULONG ulPropTag;
    ULONG dwAlignPad;
    union _PV Value;
} SPropValue, *LPSPropValue;

typedef struct _SPropProblem {
    ULONG ulIndex;
    ULONG ulPropTag;
    SCODE scode;
} SPropProblem, *LPSPropProblem;

typedef struct _SPropProblemArray {
    ULONG cProblem;
    SPropProblem aProblem[MAPI_DIM];
} SPropProblemArray, *LPSPropProblemArray;
#define CbNewSPropProblemArray(count) (offsetof(SPropProblemArray, aProblem) + (count) * sizeof(SPropProblem))

// Rows of tables, and address lists (the same shape: a row is an entry).
typedef struct _SRow {
    ULONG ulAdrEntryPad;
    ULONG cValues;
    LPSPropValue lpProps;
} SRow, *LPSRow;

typedef struct _SRowSet {
    ULONG cRows;
    SRow aRow[MAPI_DIM];
} SRowSet, *LPSRowSet;
#define CbNewSRowSet(count) (offsetof(SRowSet, aRow) + (count) * sizeof(SRow))
#define CbSRowSet(lprs) CbNewSRowSet((lprs)->cRows)

typedef struct _ADRENTRY {
    ULONG ulReserved1;
    ULONG cValues;
    LPSPropValue rgPropVals;
} ADRENTRY, *LPADRENTRY;

typedef struct _ADRLIST {
    ULONG cEntries;
    ADRENTRY aEntries[MAPI_DIM];
} ADRLIST, *LPADRLIST;
#define CbNewADRLIST(count) (offsetof(ADRLIST, aEntries) + (count) * sizeof(ADRENTRY))
#define CbADRLIST(lpadrlist) CbNewADRLIST((lpadrlist)->cEntries)

// Sort orders.
typedef struct _SSortOrder {
    ULONG ulPropTag;
    ULONG ulOrder;
} SSortOrder, *LPSSortOrder;

#define TABLE_SORT_ASCEND ((ULONG)0x00000000)
#define TABLE_SORT_DESCEND ((ULONG)0x00000001)
#define TABLE_SORT_COMBINE ((ULONG)0x00000002)

typedef struct _SSortOrderSet {
    ULONG cSorts;
    ULONG cCategories;
    ULONG cExpanded;
    SSortOrder aSort[MAPI_DIM];
} SSortOrderSet, *LPSSortOrderSet;
#define CbNewSSortOrderSet(count) (offsetof(SSortOrderSet, aSort) + (count) * sizeof(SSortOrder))
#define SizedSSortOrderSet(count, name)                                                                      \
    struct _SSortOrderSet_##name {                                                                           \
        ULONG cSorts;                                                                                        \
        ULONG cCategories;                                                                                   \
        ULONG cExpanded;                                                                                     \
        SSortOrder aSort[count];                                                                             \
    } name

// Error information.
typedef struct _MAPIERROR {
    ULONG ulVersion;
    LPTSTR lpszError;
    LPTSTR lpszComponent;
    ULONG ulLowLevelError;
    ULONG ulContext;
} MAPIERROR, *LPMAPIERROR;

// Types the interfaces name but this device leaves out.
typedef struct _SRestriction SRestriction, *LPSRestriction;
typedef struct _MAPINAMEID MAPINAMEID, *LPMAPINAMEID;
typedef struct _NOTIFICATION NOTIFICATION, *LPNOTIFICATION;
typedef struct _MAPIUID {
    BYTE ab[16];
} MAPIUID, *LPMAPIUID;

// Recipient types (PR_RECIPIENT_TYPE).
#define MAPI_ORIG 0
#define MAPI_TO 1
#define MAPI_CC 2
#define MAPI_BCC 3

// Message flags (PR_MESSAGE_FLAGS).
#define MSGFLAG_READ ((ULONG)0x00000001)
#define MSGFLAG_UNMODIFIED ((ULONG)0x00000002)
#define MSGFLAG_SUBMIT ((ULONG)0x00000004)
#define MSGFLAG_UNSENT ((ULONG)0x00000008)
#define MSGFLAG_HASATTACH ((ULONG)0x00000010)
#define MSGFLAG_FROMME ((ULONG)0x00000020)
#define MSGFLAG_ASSOCIATED ((ULONG)0x00000040)
#define MSGFLAG_RESEND ((ULONG)0x00000080)
#define MSGFLAG_RN_PENDING ((ULONG)0x00000100)
#define MSGFLAG_NRN_PENDING ((ULONG)0x00000200)

// How an attachment's contents are reached (PR_ATTACH_METHOD).
#define NO_ATTACHMENT ((ULONG)0x00000000)
#define ATTACH_BY_VALUE ((ULONG)0x00000001)
#define ATTACH_BY_REFERENCE ((ULONG)0x00000002)

// IMessage::ModifyRecipients.
#define MODRECIP_ADD ((ULONG)0x00000002)
#define MODRECIP_MODIFY ((ULONG)0x00000004)
#define MODRECIP_REMOVE ((ULONG)0x00000008)

// IMAPIFolder deletions.
#define FOLDER_DIALOG ((ULONG)0x00000002)
#define MESSAGE_DIALOG ((ULONG)0x00000002)
#define DEL_ASSOCIATED ((ULONG)0x00000008)
#define DELETE_HARD_DELETE ((ULONG)0x00000010)

// IMAPITable.
#define TBL_ALL_COLUMNS ((ULONG)0x00000001)
#define TBL_ASYNC ((ULONG)0x00000001)
#define TBL_BATCH ((ULONG)0x00000002)
#define TBL_NOADVANCE ((ULONG)0x00000001)
#define BOOKMARK_BEGINNING ((BOOKMARK)0)
#define BOOKMARK_CURRENT ((BOOKMARK)1)
#define BOOKMARK_END ((BOOKMARK)2)

struct IMAPIAdviseSink;
struct IMAPIProgress;
struct IAttach;
typedef IMAPIAdviseSink* LPMAPIADVISESINK;
typedef IMAPIProgress* LPMAPIPROGRESS;
typedef IAttach* LPATTACH;

EXTERN_C const IID IID_IMAPITable;
EXTERN_C const IID IID_IMAPIProp;
EXTERN_C const IID IID_IMsgStore;
EXTERN_C const IID IID_IMessage;
EXTERN_C const IID IID_IMAPIContainer;
EXTERN_C const IID IID_IMAPIFolder;
EXTERN_C const IID IID_IAttachment;

interface IMAPITable : public IUnknown
{
    STDMETHOD(GetLastError)(HRESULT hResult, ULONG ulFlags, LPMAPIERROR* lppMAPIError) PURE;
    STDMETHOD(Advise)(ULONG ulEventMask, LPMAPIADVISESINK lpAdviseSink, ULONG_PTR* lpulConnection) PURE;
    STDMETHOD(Unadvise)(ULONG_PTR ulConnection) PURE;
    STDMETHOD(GetStatus)(ULONG* lpulTableStatus, ULONG* lpulTableType) PURE;
    STDMETHOD(SetColumns)(LPSPropTagArray lpPropTagArray, ULONG ulFlags) PURE;
    STDMETHOD(QueryColumns)(ULONG ulFlags, LPSPropTagArray* lpPropTagArray) PURE;
    STDMETHOD(GetRowCount)(ULONG ulFlags, ULONG* lpulCount) PURE;
    STDMETHOD(SeekRow)(BOOKMARK bkOrigin, LONG lRowCount, LONG* lplRowsSought) PURE;
    STDMETHOD(SeekRowApprox)(ULONG ulNumerator, ULONG ulDenominator) PURE;
    STDMETHOD(QueryPosition)(ULONG* lpulRow, ULONG* lpulNumerator, ULONG* lpulDenominator) PURE;
    STDMETHOD(FindRow)(LPSRestriction lpRestriction, BOOKMARK bkOrigin, ULONG ulFlags) PURE;
    STDMETHOD(Restrict)(LPSRestriction lpRestriction, ULONG ulFlags) PURE;
    STDMETHOD(CreateBookmark)(BOOKMARK* lpbkPosition) PURE;
    STDMETHOD(FreeBookmark)(BOOKMARK bkPosition) PURE;
    STDMETHOD(SortTable)(LPSSortOrderSet lpSortCriteria, ULONG ulFlags) PURE;
    STDMETHOD(QuerySortOrder)(LPSSortOrderSet* lppSortCriteria) PURE;
    STDMETHOD(QueryRows)(LONG lRowCount, ULONG ulFlags, LPSRowSet* lppRows) PURE;
    STDMETHOD(Abort)() PURE;
    STDMETHOD(ExpandRow)
    (ULONG cbInstanceKey, LPBYTE pbInstanceKey, ULONG ulRowCount, ULONG ulFlags, LPSRowSet* lppRows,
     ULONG* lpulMoreRows) PURE;
    STDMETHOD(CollapseRow)
    (ULONG cbInstanceKey, LPBYTE pbInstanceKey, ULONG ulFlags, ULONG* lpulRowCount) PURE;
    STDMETHOD(WaitForCompletion)(ULONG ulFlags, ULONG ulTimeout, ULONG* lpulTableStatus) PURE;
    STDMETHOD(GetCollapseState)
    (ULONG ulFlags, ULONG cbInstanceKey, LPBYTE lpbInstanceKey, ULONG* lpcbCollapseState,
     LPBYTE* lppbCollapseState) PURE;
    STDMETHOD(SetCollapseState)
    (ULONG ulFlags, ULONG cbCollapseState, LPBYTE pbCollapseState, BOOKMARK* lpbkLocation) PURE;
};
typedef IMAPITable* LPMAPITABLE;

interface IMAPIProp : public IUnknown
{
    STDMETHOD(GetLastError)(HRESULT hResult, ULONG ulFlags, LPMAPIERROR* lppMAPIError) PURE;
    STDMETHOD(SaveChanges)(ULONG ulFlags) PURE;
    STDMETHOD(GetProps)
    (LPSPropTagArray lpPropTagArray, ULONG ulFlags, ULONG* lpcValues, LPSPropValue* lppPropArray) PURE;
    STDMETHOD(GetPropList)(ULONG ulFlags, LPSPropTagArray* lppPropTagArray) PURE;
    STDMETHOD(OpenProperty)
    (ULONG ulPropTag, LPCIID lpiid, ULONG ulInterfaceOptions, ULONG ulFlags, LPUNKNOWN* lppUnk) PURE;
    STDMETHOD(SetProps)(ULONG cValues, LPSPropValue lpPropArray, LPSPropProblemArray* lppProblems) PURE;
    STDMETHOD(DeleteProps)(LPSPropTagArray lpPropTagArray, LPSPropProblemArray* lppProblems) PURE;
    STDMETHOD(CopyTo)
    (ULONG ciidExclude, LPCIID rgiidExclude, LPSPropTagArray lpExcludeProps, ULONG_PTR ulUIParam,
     LPMAPIPROGRESS lpProgress, LPCIID lpInterface, LPVOID lpDestObj, ULONG ulFlags,
     LPSPropProblemArray* lppProblems) PURE;
    STDMETHOD(CopyProps)
    (LPSPropTagArray lpIncludeProps, ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress, LPCIID lpInterface,
     LPVOID lpDestObj, ULONG ulFlags, LPSPropProblemArray* lppProblems) PURE;
    STDMETHOD(GetNamesFromIDs)
    (LPSPropTagArray* lppPropTags, LPGUID lpPropSetGuid, ULONG ulFlags, ULONG* lpcPropNames,
     LPMAPINAMEID** lpppPropNames) PURE;
    STDMETHOD(GetIDsFromNames)
    (ULONG cPropNames, LPMAPINAMEID* lppPropNames, ULONG ulFlags, LPSPropTagArray* lppPropTags) PURE;
};
typedef IMAPIProp* LPMAPIPROP;

interface IMAPIContainer : public IMAPIProp
{
    STDMETHOD(GetContentsTable)(ULONG ulFlags, LPMAPITABLE* lppTable) PURE;
    STDMETHOD(GetHierarchyTable)(ULONG ulFlags, LPMAPITABLE* lppTable) PURE;
    STDMETHOD(OpenEntry)
    (ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags, ULONG* lpulObjType,
     LPUNKNOWN* lppUnk) PURE;
    STDMETHOD(SetSearchCriteria)
    (LPSRestriction lpRestriction, LPENTRYLIST lpContainerList, ULONG ulSearchFlags) PURE;
    STDMETHOD(GetSearchCriteria)
    (ULONG ulFlags, LPSRestriction* lppRestriction, LPENTRYLIST* lppContainerList,
     ULONG* lpulSearchState) PURE;
};
typedef IMAPIContainer* LPMAPICONTAINER;

// An attachment of a message: a property object with no methods of its own.
interface IAttach : public IMAPIProp
{
};

interface IMessage : public IMAPIProp
{
    STDMETHOD(GetAttachmentTable)(ULONG ulFlags, LPMAPITABLE* lppTable) PURE;
    STDMETHOD(OpenAttach)(ULONG ulAttachmentNum, LPCIID lpInterface, ULONG ulFlags, LPATTACH* lppAttach) PURE;
    STDMETHOD(CreateAttach)
    (LPCIID lpInterface, ULONG ulFlags, ULONG* lpulAttachmentNum, LPATTACH* lppAttach) PURE;
    STDMETHOD(DeleteAttach)
    (ULONG ulAttachmentNum, ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress, ULONG ulFlags) PURE;
    STDMETHOD(GetRecipientTable)(ULONG ulFlags, LPMAPITABLE* lppTable) PURE;
    STDMETHOD(ModifyRecipients)(ULONG ulFlags, LPADRLIST lpMods) PURE;
    STDMETHOD(SubmitMessage)(ULONG ulFlags) PURE;
    STDMETHOD(SetReadFlag)(ULONG ulFlags) PURE;
};
typedef IMessage* LPMESSAGE;

interface IMAPIFolder : public IMAPIContainer
{
    STDMETHOD(CreateMessage)(LPCIID lpInterface, ULONG ulFlags, LPMESSAGE* lppMessage) PURE;
    STDMETHOD(CopyMessages)
    (LPENTRYLIST lpMsgList, LPCIID lpInterface, LPVOID lpDestFolder, ULONG_PTR ulUIParam,
     LPMAPIPROGRESS lpProgress, ULONG ulFlags) PURE;
    STDMETHOD(DeleteMessages)
    (LPENTRYLIST lpMsgList, ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress, ULONG ulFlags) PURE;
    STDMETHOD(CreateFolder)
    (ULONG ulFolderType, LPTSTR lpszFolderName, LPTSTR lpszFolderComment, LPCIID lpInterface, ULONG ulFlags,
     IMAPIFolder** lppFolder) PURE;
    STDMETHOD(CopyFolder)
    (ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, LPVOID lpDestFolder, LPTSTR lpszNewFolderName,
     ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress, ULONG ulFlags) PURE;
    STDMETHOD(DeleteFolder)
    (ULONG cbEntryID, LPENTRYID lpEntryID, ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress,
     ULONG ulFlags) PURE;
    STDMETHOD(SetReadFlags)
    (LPENTRYLIST lpMsgList, ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress, ULONG ulFlags) PURE;
    STDMETHOD(GetMessageStatus)
    (ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulFlags, ULONG* lpulMessageStatus) PURE;
    STDMETHOD(SetMessageStatus)
    (ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulNewStatus, ULONG ulNewStatusMask,
     ULONG* lpulOldStatus) PURE;
    STDMETHOD(SaveContentsSort)(LPSSortOrderSet lpSortCriteria, ULONG ulFlags) PURE;
    STDMETHOD(EmptyFolder)(ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress, ULONG ulFlags) PURE;
};
typedef IMAPIFolder* LPMAPIFOLDER;

interface IMsgStore : public IMAPIProp
{
    STDMETHOD(Advise)
    (ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulEventMask, LPMAPIADVISESINK lpAdviseSink,
     ULONG_PTR* lpulConnection) PURE;
    STDMETHOD(Unadvise)(ULONG_PTR ulConnection) PURE;
    STDMETHOD(CompareEntryIDs)
    (ULONG cbEntryID1, LPENTRYID lpEntryID1, ULONG cbEntryID2, LPENTRYID lpEntryID2, ULONG ulFlags,
     ULONG* lpulResult) PURE;
    STDMETHOD(OpenEntry)
    (ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags, ULONG* lpulObjType,
     LPUNKNOWN* lppUnk) PURE;
    STDMETHOD(SetReceiveFolder)
    (LPTSTR lpszMessageClass, ULONG ulFlags, ULONG cbEntryID, LPENTRYID lpEntryID) PURE;
    STDMETHOD(GetReceiveFolder)
    (LPTSTR lpszMessageClass, ULONG ulFlags, ULONG* lpcbEntryID, LPENTRYID* lppEntryID,
     LPTSTR* lppszExplicitClass) PURE;
    STDMETHOD(GetReceiveFolderTable)(ULONG ulFlags, LPMAPITABLE* lppTable) PURE;
    STDMETHOD(StoreLogoff)(ULONG* lpulFlags) PURE;
    STDMETHOD(AbortSubmit)(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulFlags) PURE;
    STDMETHOD(GetOutgoingQueue)(ULONG ulFlags, LPMAPITABLE* lppTable) PURE;
    STDMETHOD(SetLockState)(LPMESSAGE lpMessage, ULONG ulLockState) PURE;
    STDMETHOD(FinishedMsg)(ULONG ulFlags, ULONG cbEntryID, LPENTRYID lpEntryID) PURE;
    STDMETHOD(NotifyNewMail)(LPNOTIFICATION lpNotification) PURE;
};
typedef IMsgStore* LPMDB;
