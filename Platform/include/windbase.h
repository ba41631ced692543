// The database service: object identifiers, property values, and the database volumes (files of the file
// system holding databases of records, each record a set of properties).
#pragma once

#include "windef.h"
#include "winbase.h"

#include <string.h>

typedef DWORD CEOID;
typedef CEOID* PCEOID;
typedef DWORD CEPROPID;
typedef CEPROPID* PCEPROPID;

// Value types, the low word of a property identifier.
#define CEVT_I2 2
#define CEVT_I4 3
#define CEVT_R8 5
#define CEVT_BOOL 11
#define CEVT_UI2 18
#define CEVT_UI4 19
#define CEVT_LPWSTR 31
#define CEVT_FILETIME 64
#define CEVT_BLOB 65

#define TypeFromPropID(propid) LOWORD(propid)

// --- Property values -------------------------------------------------------------------------------

typedef struct _CEBLOB {
    DWORD dwCount;
    LPBYTE lpb;
} CEBLOB;

typedef union _CEVALUNION {
    short iVal;
    USHORT uiVal;
    LONG lVal;
    ULONG ulVal;
    FILETIME filetime;
    LPWSTR lpwstr;
    CEBLOB blob;
    BOOL boolVal;
    double dblVal;
} CEVALUNION;

typedef struct _CEPROPVAL {
    CEPROPID propid;
    WORD wLenData;
    WORD wFlags;
    CEVALUNION val;
} CEPROPVAL, *PCEPROPVAL;

#define CEDB_PROPNOTFOUND 0x0100 // read: the record has no such property
#define CEDB_PROPDELETE 0x0200   // write: remove the property from the record

// --- Volumes -----------------------------------------------------------------------------------------

typedef struct _CEGUID {
    DWORD Data1;
    DWORD Data2;
    DWORD Data3;
    DWORD Data4;
} CEGUID, *PCEGUID;

#define CREATE_SYSTEMGUID(pguid) (memset((pguid), 0, sizeof(CEGUID)))
#define CREATE_INVALIDGUID(pguid) (memset((pguid), -1, sizeof(CEGUID)))
#define CREATE_INVALIDEDBGUID(pguid) CREATE_INVALIDGUID(pguid)
#define CHECK_SYSTEMGUID(pguid) (!((pguid)->Data1 | (pguid)->Data2 | (pguid)->Data3 | (pguid)->Data4))
#define CHECK_INVALIDGUID(pguid)                                                                                       \
    ((pguid)->Data1 == 0xFFFFFFFF && (pguid)->Data2 == 0xFFFFFFFF && (pguid)->Data3 == 0xFFFFFFFF &&                   \
     (pguid)->Data4 == 0xFFFFFFFF)

#define CCH_MAX_PASSWORD 40

typedef struct CEVOLUMEOPTIONS {
    WORD wVersion;
    DWORD cbBufferPool;
    DWORD dwAutoShrinkPercent;
    DWORD dwFlushInterval;
    DWORD cMaxNotifyChanges;
    DWORD dwDefaultTimeout;
    WCHAR wszPassword[CCH_MAX_PASSWORD + 1];
    DWORD dwFlags;
} CEVOLUMEOPTIONS;

#define CEVOLUMEOPTIONS_VERSION 1

// Which fields of CEVOLUMEOPTIONS are given; the others take the system's defaults.
#define CEDB_BUFFERPOOL 0x00000001
#define CEDB_AUTOSHRINKPERCENT 0x00000002
#define CEDB_FLUSHINTERVAL 0x00000004
#define CEDB_MAXNOTIFYCHANGES 0x00000008
#define CEDB_DEFAULTTIMEOUT 0x00000010
#define CEDB_PASSWORD 0x00000020

// --- Databases ---------------------------------------------------------------------------------------

#define CEDB_MAXDBASENAMELEN 128
#define CEDB_MAXPROPNAMELEN 128
#define CEDB_MAXSORTPROP 16
#define CEDB_MAXSORTORDER 4

// Per-property sort flags (SORTORDERSPECEX.rgdwFlags).
#define CEDB_SORT_DESCENDING 0x00000001
#define CEDB_SORT_CASEINSENSITIVE 0x00000002
#define CEDB_SORT_UNKNOWNFIRST 0x00000004
#define CEDB_SORT_GENERICORDER 0x00000008
#define CEDB_SORT_IGNORENONSPACE 0x00000010
#define CEDB_SORT_IGNORESYMBOLS 0x00000020
#define CEDB_SORT_IGNOREKANATYPE 0x00000040
#define CEDB_SORT_IGNOREWIDTH 0x00000080
#define CEDB_SORT_STRINGSORT 0x00000100
#define CEDB_SORT_UNIQUE 0x00000200
#define CEDB_SORT_NONNULL 0x00000400

// Constraints on a whole sort order (SORTORDERSPECEX.wKeyFlags).
#define CEDB_SORT_NO_POSITIONAL 0x00000800
#define CEDB_SORT_PRIMARYKEY 0x00001000

typedef struct CESORTORDERSPECEX {
    WORD wVersion;
    WORD wNumProps;
    WORD wKeyFlags;
    WORD wReserved;
    CEPROPID rgPropID[CEDB_MAXSORTPROP];
    DWORD rgdwFlags[CEDB_MAXSORTPROP];
} SORTORDERSPECEX;

#define SORTORDERSPECEX_VERSION 2

typedef struct _CEDBASEINFOEX {
    WORD wVersion;
    WORD wNumSortOrder;
    DWORD dwFlags;
    WCHAR szDbaseName[CEDB_MAXDBASENAMELEN];
    DWORD dwDbaseType;
    DWORD dwNumRecords;
    DWORD dwSize;
    FILETIME ftLastModified;
    SORTORDERSPECEX rgSortSpecs[CEDB_MAXSORTORDER];
} CEDBASEINFOEX, *PCEDBASEINFOEX;

#define CEDBASEINFOEX_VERSION 2

// Which fields of CEDBASEINFOEX a request gives.
#define CEDB_VALIDNAME 0x0001
#define CEDB_VALIDTYPE 0x0002
#define CEDB_VALIDSORTSPEC 0x0004
#define CEDB_VALIDMODTIME 0x0008
#define CEDB_VALIDDBFLAGS 0x0010
#define CEDB_VALIDCREATE (CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC | CEDB_VALIDDBFLAGS)
#define CEDB_NOCOMPRESS 0x00010000
#define CEDB_SYSTEMDB 0x00020000

typedef struct CEPROPSPEC {
    WORD wVersion;
    CEPROPID propid;
    DWORD dwFlags;
    LPWSTR pwszPropName;
    DWORD cchPropName;
} CEPROPSPEC;

#define CEPROPSPEC_VERSION 1
#define DB_PROP_NOTNULL 0x00000001
#define DB_PROP_COMPRESSED 0x00000002

typedef struct BY_HANDLE_DB_INFORMATION {
    WORD wVersion;
    WORD wReserved;
    CEGUID guidVol;
    CEOID oidDbase;
    CEDBASEINFOEX infDatabase;
} BY_HANDLE_DB_INFORMATION, *LPBY_HANDLE_DB_INFORMATION;

#define BY_HANDLE_DB_INFORMATION_VERSION 2

// CeOpenDatabaseInSession flags.
#define CEDB_AUTOINCREMENT 0x00000001

// CeSeekDatabaseEx seek types.
#define CEDB_SEEK_CEOID 0x00000001
#define CEDB_SEEK_BEGINNING 0x00000002
#define CEDB_SEEK_END 0x00000004
#define CEDB_SEEK_CURRENT 0x00000008
#define CEDB_SEEK_VALUESMALLER 0x00000010
#define CEDB_SEEK_VALUEFIRSTEQUAL 0x00000020
#define CEDB_SEEK_VALUEGREATER 0x00000040
#define CEDB_SEEK_VALUENEXTEQUAL 0x00000080
#define CEDB_SEEK_VALUESMALLEROREQUAL 0x00000100
#define CEDB_SEEK_VALUEGREATEROREQUAL 0x00000200

// CeReadRecordPropsEx flags.
#define CEDB_ALLOWREALLOC 0x00000001

typedef struct _CENOTIFYREQUEST CENOTIFYREQUEST;

// --- Functions ---------------------------------------------------------------------------------------

WINBASEAPI BOOL WINAPI CeMountDBVolEx(PCEGUID pGuid, LPWSTR lpwszDBVol, CEVOLUMEOPTIONS* pOptions, DWORD dwFlags);
WINBASEAPI BOOL WINAPI CeUnmountDBVol(PCEGUID pGuid);
WINBASEAPI BOOL WINAPI CeFlushDBVol(PCEGUID pGuid);
WINBASEAPI CEOID WINAPI CeCreateDatabaseWithProps(PCEGUID pGuid, CEDBASEINFOEX* pInfo, DWORD cProps,
                                                  CEPROPSPEC* prgProps);
WINBASEAPI HANDLE WINAPI CeOpenDatabaseInSession(HANDLE hSession, PCEGUID pGuid, PCEOID poid, LPWSTR lpwszName,
                                                 SORTORDERSPECEX* pSort, DWORD dwFlags, CENOTIFYREQUEST* pRequest);
WINBASEAPI BOOL WINAPI CeGetDBInformationByHandle(HANDLE hDbase, LPBY_HANDLE_DB_INFORMATION lpDBInfo);
// dwValue carries a pointer to CEPROPVALs for the value seeks, so it is pointer-sized on this host.
WINBASEAPI CEOID WINAPI CeSeekDatabaseEx(HANDLE hDatabase, DWORD dwSeekType, DWORD_PTR dwValue, WORD wNumVals,
                                         LPDWORD lpdwIndex);
WINBASEAPI CEOID WINAPI CeReadRecordPropsEx(HANDLE hDbase, DWORD dwFlags, LPWORD lpcPropID, CEPROPID* rgPropID,
                                            LPBYTE* lplpBuffer, LPDWORD lpcbBuffer, HANDLE hHeap);
WINBASEAPI CEOID WINAPI CeWriteRecordProps(HANDLE hDbase, CEOID oidRecord, WORD cPropID, CEPROPVAL* rgPropVal);
WINBASEAPI BOOL WINAPI CeDeleteRecord(HANDLE hDatabase, CEOID oidRecord);
