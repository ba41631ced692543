#include "backup/BackupVolume.h"

#include "backup/BackupRecord.h"

namespace {

constexpr WCHAR kPassword[] = TEXT("wdKf4x_Lrj9_");
constexpr WCHAR kDatabaseName[] = TEXT("SMS");

constexpr CEPROPID kProperties[kBackupPropertyCount] = {
    kKindProperty,       kTimeProperty,          kRecipientNameProperty, kRecipientAddressProperty,
    kSenderNameProperty, kSenderAddressProperty, kTextProperty,          kReadProperty};

} // namespace

BackupVolume::BackupVolume()
{
    CREATE_INVALIDGUID(&m_guid);
}

HRESULT BackupVolume::Mount(LPCWSTR path, bool create)
{
    Close();
    if (!path || !*path)
        return E_FAIL;
    CEVOLUMEOPTIONS options{};
    options.wVersion = CEVOLUMEOPTIONS_VERSION;
    lstrcpynW(options.wszPassword, kPassword, CCH_MAX_PASSWORD + 1);
    options.dwFlags = CEDB_PASSWORD;
    CEGUID guid;
    if (!CeMountDBVolEx(&guid, const_cast<LPWSTR>(path), &options, create ? CREATE_ALWAYS : OPEN_EXISTING))
        return E_FAIL;
    m_guid = guid;
    return S_OK;
}

HRESULT BackupVolume::CreateBackupDatabase()
{
    CEDBASEINFOEX info{};
    info.wVersion = CEDBASEINFOEX_VERSION;
    info.dwFlags = CEDB_VALIDNAME;
    lstrcpynW(info.szDbaseName, kDatabaseName, CEDB_MAXDBASENAMELEN);
    info.wNumSortOrder = 1;
    SORTORDERSPECEX& newestFirst = info.rgSortSpecs[0];
    newestFirst.wVersion = SORTORDERSPECEX_VERSION;
    newestFirst.wNumProps = 1;
    newestFirst.rgPropID[0] = kTimeProperty;
    newestFirst.rgdwFlags[0] = CEDB_SORT_DESCENDING;

    CEPROPSPEC specs[kBackupPropertyCount] = {};
    for (WORD i = 0; i < kBackupPropertyCount; ++i) {
        specs[i].wVersion = CEPROPSPEC_VERSION;
        specs[i].propid = kProperties[i];
        specs[i].dwFlags = i < 2 ? DB_PROP_NOTNULL : 0; // the kind and the time
    }
    return CeCreateDatabaseWithProps(&m_guid, &info, kBackupPropertyCount, specs) ? S_OK : E_FAIL;
}

HRESULT BackupVolume::OpenDatabase()
{
    CEOID oid = 0;
    m_database = CeOpenDatabaseInSession(nullptr, &m_guid, &oid, const_cast<LPWSTR>(kDatabaseName), nullptr,
                                         CEDB_AUTOINCREMENT, nullptr);
    return m_database == INVALID_HANDLE_VALUE ? E_FAIL : S_OK;
}

HRESULT BackupVolume::WriteBackupRecord(const SmsRecord& message)
{
    CEPROPVAL values[kBackupPropertyCount];
    HRESULT hr = RecordFromMessage(message, values);
    if (FAILED(hr))
        return hr;
    return CeWriteRecordProps(m_database, 0, kBackupPropertyCount, values) ? S_OK : E_FAIL;
}

HRESULT BackupVolume::RecordCount(DWORD* count) const
{
    BY_HANDLE_DB_INFORMATION info{};
    info.wVersion = BY_HANDLE_DB_INFORMATION_VERSION;
    if (!CeGetDBInformationByHandle(m_database, &info))
        return E_FAIL;
    *count = info.infDatabase.dwNumRecords;
    return S_OK;
}

HRESULT BackupVolume::SeekFirst()
{
    DWORD index = 0;
    return CeSeekDatabaseEx(m_database, CEDB_SEEK_BEGINNING, 0, 0, &index) ? S_OK : E_FAIL;
}

HRESULT BackupVolume::ReadNextRecord(LocalPtr<BYTE>* buffer, WORD* count)
{
    DWORD size = 0;
    *count = 0;
    if (CeReadRecordPropsEx(m_database, CEDB_ALLOWREALLOC, count, nullptr, buffer->Out(), &size, nullptr))
        return S_OK;
    return GetLastError() == ERROR_NO_MORE_ITEMS ? S_FALSE : E_FAIL;
}

void BackupVolume::Close()
{
    if (m_database != INVALID_HANDLE_VALUE)
        CloseHandle(m_database);
    m_database = INVALID_HANDLE_VALUE;
    if (!CHECK_INVALIDGUID(&m_guid))
        CeUnmountDBVol(&m_guid);
    CREATE_INVALIDGUID(&m_guid);
}
