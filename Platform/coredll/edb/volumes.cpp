// The database calls of the volume service: mounting volumes, creating and opening databases, and writing,
// seeking and reading their records. Each call turns a Failure into its Win32 error.
// Left out: sessions and transactions (hSession must be null), change notifications (pRequest must be
// null), the object store's own databases, and a heap of the caller's for CeReadRecordPropsEx (hHeap must
// be null: the reply is a LocalAlloc block, freed with LocalFree).
#include <windows.h>
#include <windbase.h>

#include "device/Clock.h"
#include "device/Handles.h"
#include "device/Paths.h"
#include "device/Text.h"
#include "edb/Mounts.h"

#include <algorithm>
#include <cstring>
#include <utility>

using device::edb::DatabaseDefinition;
using device::edb::Failure;
using device::edb::Position;
using device::edb::Record;
using device::edb::Volume;

namespace {

// An open database: the volume, the order it was opened with and the current record.
class DatabaseHandle : public device::KernelObject {
public:
    DatabaseHandle(CEGUID guid, std::shared_ptr<Volume> volume, DatabaseDefinition definition, int order,
                   bool autoIncrement)
        : guid(guid), volume(std::move(volume)), definition(std::move(definition)), order(order),
          autoIncrement(autoIncrement)
    {
    }
    ~DatabaseHandle() override
    {
        if (!wrote)
            return;
        try {
            volume->SetModified(definition.oid, device::NowTicks());
        } catch (...) { // the records are written; only the time of the change is lost
        }
    }

    CEGUID guid;
    std::shared_ptr<Volume> volume;
    DatabaseDefinition definition;
    int order;
    bool autoIncrement;
    std::optional<Position> current;
    bool wrote = false;
};

std::shared_ptr<DatabaseHandle> HandleOf(HANDLE handle)
{
    auto database = device::FindHandleOf<DatabaseHandle>(handle);
    if (!database)
        throw Failure(ERROR_INVALID_HANDLE);
    return database;
}

std::shared_ptr<Volume> VolumeOf(const CEGUID* guid)
{
    if (!guid)
        throw Failure(ERROR_INVALID_PARAMETER);
    std::shared_ptr<Volume> volume = device::edb::MountedVolume(*guid);
    if (!volume)
        throw Failure(ERROR_NOT_FOUND);
    return volume;
}

// Runs a call's body: a Failure becomes the call's failure value with its error set.
template <class Result, class Body> Result Guarded(Result failed, Body body)
{
    try {
        return body();
    } catch (const Failure& failure) {
        SetLastError(failure.Code());
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_OUTOFMEMORY);
    }
    return failed;
}

// A fixed array holding a terminated string; Failure(error) when no terminator lies within it.
std::u16string Terminated(const WCHAR* text, size_t capacity, DWORD error)
{
    const WCHAR* end = std::find(text, text + capacity, u'\0');
    if (end == text + capacity)
        throw Failure(error);
    return std::u16string(text, end);
}

std::string Password(const CEVOLUMEOPTIONS* options)
{
    if (!options)
        return {};
    if (options->wVersion != CEVOLUMEOPTIONS_VERSION)
        throw Failure(ERROR_INVALID_PARAMETER);
    if (!(options->dwFlags & CEDB_PASSWORD))
        return {};
    std::optional<std::string> password =
        device::Utf8FromUtf16(Terminated(options->wszPassword, CCH_MAX_PASSWORD + 1, ERROR_INVALID_PARAMETER));
    if (!password)
        throw Failure(ERROR_INVALID_PARAMETER);
    return *password;
}

bool Defines(const DatabaseDefinition& definition, CEPROPID id)
{
    return std::any_of(definition.properties.begin(), definition.properties.end(),
                       [id](const device::edb::PropertySpec& property) { return property.id == id; });
}

device::edb::SortOrder SortOrderFrom(const SORTORDERSPECEX& asked, const DatabaseDefinition& definition)
{
    if (asked.wVersion != SORTORDERSPECEX_VERSION || asked.wNumProps == 0 || asked.wNumProps > CEDB_MAXSORTPROP)
        throw Failure(ERROR_INVALID_PARAMETER);
    if (asked.wKeyFlags & ~device::edb::kSupportedKeyFlags)
        throw Failure(ERROR_NOT_SUPPORTED);
    device::edb::SortOrder order{asked.wKeyFlags, {}};
    for (WORD i = 0; i < asked.wNumProps; ++i) {
        if (asked.rgdwFlags[i] & ~device::edb::kSupportedSortFlags)
            throw Failure(ERROR_NOT_SUPPORTED);
        if (TypeFromPropID(asked.rgPropID[i]) == CEVT_BLOB || !Defines(definition, asked.rgPropID[i]))
            throw Failure(ERROR_INVALID_PARAMETER);
        order.properties.push_back({asked.rgPropID[i], asked.rgdwFlags[i]});
    }
    return order;
}

DatabaseDefinition DefinitionFrom(const CEDBASEINFOEX& info, DWORD count, const CEPROPSPEC* specs)
{
    if (info.wVersion != CEDBASEINFOEX_VERSION || (count && !specs))
        throw Failure(ERROR_INVALID_PARAMETER);
    if (info.dwFlags & (CEDB_VALIDMODTIME | CEDB_SYSTEMDB))
        throw Failure(ERROR_NOT_SUPPORTED);
    DatabaseDefinition definition;
    if (info.dwFlags & CEDB_VALIDNAME)
        definition.name = Terminated(info.szDbaseName, CEDB_MAXDBASENAMELEN, static_cast<DWORD>(E_FAIL));
    if (info.dwFlags & CEDB_VALIDTYPE)
        definition.type = info.dwDbaseType;
    for (DWORD i = 0; i < count; ++i) {
        const CEPROPSPEC& property = specs[i];
        if (property.wVersion != CEPROPSPEC_VERSION || !device::edb::IsKnownType(TypeFromPropID(property.propid)) ||
            (property.dwFlags & ~(DB_PROP_NOTNULL | DB_PROP_COMPRESSED)))
            throw Failure(ERROR_INVALID_PARAMETER);
        std::u16string name = property.pwszPropName ? property.pwszPropName : u"";
        if (name.size() > CEDB_MAXPROPNAMELEN)
            throw Failure(ERROR_BAD_LENGTH);
        for (const auto& known : definition.properties)
            if (known.id == property.propid || (!name.empty() && known.name == name))
                throw Failure(ERROR_ALREADY_EXISTS);
        definition.properties.push_back({property.propid, property.dwFlags, name});
    }
    // The sort orders counted by wNumSortOrder are the database's; CEDB_VALIDSORTSPEC only matters when
    // a database's orders are changed later.
    if (info.wNumSortOrder > CEDB_MAXSORTORDER)
        throw Failure(ERROR_INVALID_PARAMETER);
    bool primary = false;
    for (WORD i = 0; i < info.wNumSortOrder; ++i) {
        definition.sortOrders.push_back(SortOrderFrom(info.rgSortSpecs[i], definition));
        if (info.rgSortSpecs[i].wKeyFlags & CEDB_SORT_PRIMARYKEY) {
            if (primary)
                throw Failure(ERROR_ACCESS_DENIED);
            primary = true;
        }
    }
    return definition;
}

// The database's order that a caller's sort order names; the first order when none is named.
int OrderNamed(const DatabaseDefinition& definition, const SORTORDERSPECEX* asked)
{
    if (!asked)
        return definition.sortOrders.empty() ? device::edb::kByOid : 0;
    device::edb::SortOrder wanted = SortOrderFrom(*asked, definition);
    for (size_t i = 0; i < definition.sortOrders.size(); ++i) {
        const auto& known = definition.sortOrders[i].properties;
        bool same = known.size() == wanted.properties.size() &&
                    std::equal(known.begin(), known.end(), wanted.properties.begin(),
                               [](const auto& a, const auto& b) { return a.id == b.id && a.flags == b.flags; });
        if (same)
            return static_cast<int>(i);
    }
    throw Failure(ERROR_INVALID_PARAMETER);
}

std::optional<DatabaseDefinition> FindDatabase(Volume& volume, CEOID oid, LPCWSTR name)
{
    if (oid)
        return volume.FindDatabase(oid);
    if (!name)
        throw Failure(ERROR_INVALID_PARAMETER);
    return volume.FindDatabase(std::u16string_view(name));
}

// The key a value seek looks for: the values given for the first properties of the handle's order.
std::string SoughtKey(const DatabaseHandle& database, DWORD_PTR value, WORD count)
{
    if (database.order == device::edb::kByOid || !value || count == 0)
        throw Failure(ERROR_INVALID_PARAMETER);
    const device::edb::SortOrder& order = database.definition.sortOrders[database.order];
    if (count > order.properties.size())
        throw Failure(ERROR_INVALID_PARAMETER);
    const auto* values = reinterpret_cast<const CEPROPVAL*>(value);
    Record sought;
    for (WORD i = 0; i < count; ++i) {
        std::optional<device::edb::Property> property = device::edb::FromPropVal(values[i]);
        if (!property || property->id != order.properties[i].id)
            throw Failure(ERROR_INVALID_PARAMETER);
        sought.push_back(std::move(*property));
    }
    return device::edb::SortKey(order, sought, count);
}

bool StartsWith(const std::optional<Position>& position, const std::string& prefix)
{
    return position && position->key.compare(0, prefix.size(), prefix) == 0;
}

std::optional<Position> SeekTo(DatabaseHandle& database, DWORD type, DWORD_PTR value, WORD count)
{
    Volume& volume = *database.volume;
    const DatabaseDefinition& db = database.definition;
    int order = database.order;
    switch (type) {
    case CEDB_SEEK_CEOID: return volume.PositionOf(db, order, static_cast<CEOID>(value));
    case CEDB_SEEK_BEGINNING: return volume.AtIndex(db, order, static_cast<DWORD>(value));
    case CEDB_SEEK_END: {
        std::optional<Position> position = volume.Previous(db, order, nullptr);
        for (DWORD step = 0; position && step < static_cast<DWORD>(value); ++step)
            position = volume.Previous(db, order, &*position);
        return position;
    }
    case CEDB_SEEK_CURRENT: {
        if (!database.current)
            throw Failure(ERROR_NO_MORE_ITEMS);
        int64_t index = static_cast<int64_t>(volume.IndexOf(db, order, *database.current)) +
                        static_cast<LONG>(static_cast<DWORD>(value));
        if (index < 0)
            return std::nullopt;
        return volume.AtIndex(db, order, static_cast<uint64_t>(index));
    }
    }
    std::string key = SoughtKey(database, value, count);
    Position before{key, 0}, after{device::edb::PrefixEnd(key), 0};
    switch (type) {
    case CEDB_SEEK_VALUEFIRSTEQUAL: {
        std::optional<Position> found = volume.AtOrAfter(db, order, key);
        return StartsWith(found, key) ? found : std::nullopt;
    }
    case CEDB_SEEK_VALUENEXTEQUAL: {
        if (!database.current)
            throw Failure(ERROR_NO_MORE_ITEMS);
        std::optional<Position> found = volume.Next(db, order, &*database.current);
        return StartsWith(found, key) ? found : std::nullopt;
    }
    case CEDB_SEEK_VALUEGREATEROREQUAL: return volume.AtOrAfter(db, order, key);
    case CEDB_SEEK_VALUEGREATER: return after.key.empty() ? std::nullopt : volume.AtOrAfter(db, order, after.key);
    case CEDB_SEEK_VALUESMALLER: return volume.Previous(db, order, &before);
    case CEDB_SEEK_VALUESMALLEROREQUAL:
        return after.key.empty() ? volume.Previous(db, order, nullptr) : volume.Previous(db, order, &after);
    }
    throw Failure(ERROR_INVALID_PARAMETER);
}

// The record as it will be after writing `values` over `existing`.
Record Merged(const DatabaseDefinition& definition, Record record, const CEPROPVAL* values, WORD count)
{
    for (WORD i = 0; i < count; ++i) {
        if (!Defines(definition, values[i].propid))
            throw Failure(ERROR_INVALID_PARAMETER);
        auto same = [&](const device::edb::Property& p) { return p.id == values[i].propid; };
        record.erase(std::remove_if(record.begin(), record.end(), same), record.end());
        if (values[i].wFlags & CEDB_PROPDELETE)
            continue;
        std::optional<device::edb::Property> property = device::edb::FromPropVal(values[i]);
        if (!property)
            throw Failure(ERROR_INVALID_PARAMETER);
        record.push_back(std::move(*property));
    }
    for (const auto& property : definition.properties)
        if ((property.flags & DB_PROP_NOTNULL) && !device::edb::Find(record, property.id))
            throw Failure(ERROR_ACCESS_DENIED);
    return record;
}

void Describe(const DatabaseHandle& database, CEDBASEINFOEX* info)
{
    const DatabaseDefinition& db = database.definition;
    std::memset(info, 0, sizeof *info);
    info->wVersion = CEDBASEINFOEX_VERSION;
    info->dwFlags = CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC | CEDB_VALIDMODTIME;
    std::copy_n(db.name.begin(), std::min<size_t>(db.name.size(), CEDB_MAXDBASENAMELEN - 1), info->szDbaseName);
    info->dwDbaseType = db.type;
    info->dwNumRecords = database.volume->RecordCount(db.oid);
    info->dwSize = static_cast<DWORD>(std::min<uint64_t>(database.volume->RecordBytes(db.oid), 0xFFFFFFFF));
    info->ftLastModified.dwLowDateTime = static_cast<DWORD>(db.modified);
    info->ftLastModified.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(db.modified) >> 32);
    info->wNumSortOrder = static_cast<WORD>(db.sortOrders.size());
    for (size_t i = 0; i < db.sortOrders.size(); ++i) {
        SORTORDERSPECEX& sorted = info->rgSortSpecs[i];
        sorted.wVersion = SORTORDERSPECEX_VERSION;
        sorted.wKeyFlags = db.sortOrders[i].keyFlags;
        sorted.wNumProps = static_cast<WORD>(db.sortOrders[i].properties.size());
        for (size_t j = 0; j < sorted.wNumProps; ++j) {
            sorted.rgPropID[j] = db.sortOrders[i].properties[j].id;
            sorted.rgdwFlags[j] = db.sortOrders[i].properties[j].flags;
        }
    }
}

} // namespace

BOOL WINAPI CeMountDBVolEx(PCEGUID pGuid, LPWSTR lpwszDBVol, CEVOLUMEOPTIONS* pOptions, DWORD dwFlags)
{
    return Guarded<BOOL>(FALSE, [&] {
        if (!pGuid || !lpwszDBVol)
            throw Failure(ERROR_INVALID_PARAMETER);
        std::string password = Password(pOptions);
        DWORD error = ERROR_SUCCESS;
        std::optional<std::filesystem::path> file = device::HostPath(lpwszDBVol, &error);
        if (!file)
            throw Failure(error);
        bool existed = false;
        *pGuid = device::edb::Mount(*file, password, dwFlags, &existed);
        bool replacedOrOpened = dwFlags == OPEN_ALWAYS || dwFlags == CREATE_ALWAYS;
        SetLastError(existed && replacedOrOpened ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
        return TRUE;
    });
}

BOOL WINAPI CeUnmountDBVol(PCEGUID pGuid)
{
    return Guarded<BOOL>(FALSE, [&] {
        if (!pGuid)
            throw Failure(ERROR_INVALID_PARAMETER);
        if (!device::edb::Unmount(*pGuid))
            throw Failure(ERROR_NOT_FOUND);
        return TRUE;
    });
}

BOOL WINAPI CeFlushDBVol(PCEGUID pGuid)
{
    return Guarded<BOOL>(FALSE, [&] {
        VolumeOf(pGuid)->Flush();
        return TRUE;
    });
}

CEOID WINAPI CeCreateDatabaseWithProps(PCEGUID pGuid, CEDBASEINFOEX* pInfo, DWORD cProps, CEPROPSPEC* prgProps)
{
    return Guarded<CEOID>(0, [&] {
        std::shared_ptr<Volume> volume = VolumeOf(pGuid);
        if (!pInfo)
            throw Failure(ERROR_INVALID_PARAMETER);
        DatabaseDefinition definition = DefinitionFrom(*pInfo, cProps, prgProps);
        definition.modified = device::NowTicks();
        return volume->CreateDatabase(std::move(definition));
    });
}

HANDLE WINAPI CeOpenDatabaseInSession(HANDLE hSession, PCEGUID pGuid, PCEOID poid, LPWSTR lpwszName,
                                      SORTORDERSPECEX* pSort, DWORD dwFlags, CENOTIFYREQUEST* pRequest)
{
    return Guarded<HANDLE>(INVALID_HANDLE_VALUE, [&] {
        if (hSession)
            throw Failure(ERROR_INVALID_HANDLE);
        if (pRequest)
            throw Failure(ERROR_NOT_SUPPORTED);
        if (!pGuid || !poid || (dwFlags & ~CEDB_AUTOINCREMENT))
            throw Failure(ERROR_INVALID_PARAMETER);
        std::vector<std::pair<CEGUID, std::shared_ptr<Volume>>> candidates;
        if (CHECK_INVALIDGUID(pGuid))
            candidates = device::edb::MountedVolumes(); // by name, in every mounted volume
        else
            candidates.emplace_back(*pGuid, VolumeOf(pGuid));
        for (auto& [guid, volume] : candidates) {
            std::optional<DatabaseDefinition> db =
                FindDatabase(*volume, CHECK_INVALIDGUID(pGuid) ? 0 : *poid, lpwszName);
            if (!db)
                continue;
            int order = OrderNamed(*db, pSort);
            auto handle =
                std::make_shared<DatabaseHandle>(guid, volume, std::move(*db), order, dwFlags & CEDB_AUTOINCREMENT);
            handle->current = volume->Next(handle->definition, order, nullptr);
            *poid = handle->definition.oid;
            return device::AddHandle(std::move(handle));
        }
        throw Failure(ERROR_FILE_NOT_FOUND);
    });
}

BOOL WINAPI CeGetDBInformationByHandle(HANDLE hDbase, LPBY_HANDLE_DB_INFORMATION lpDBInfo)
{
    return Guarded<BOOL>(FALSE, [&] {
        if (!hDbase || hDbase == INVALID_HANDLE_VALUE)
            throw Failure(ERROR_INVALID_HANDLE);
        if (!lpDBInfo || lpDBInfo->wVersion != BY_HANDLE_DB_INFORMATION_VERSION)
            throw Failure(ERROR_INVALID_PARAMETER);
        std::shared_ptr<DatabaseHandle> database = HandleOf(hDbase);
        auto lock = database->volume->Lock();
        lpDBInfo->guidVol = database->guid;
        lpDBInfo->oidDbase = database->definition.oid;
        Describe(*database, &lpDBInfo->infDatabase);
        return TRUE;
    });
}

CEOID WINAPI CeSeekDatabaseEx(HANDLE hDatabase, DWORD dwSeekType, DWORD_PTR dwValue, WORD wNumVals, LPDWORD lpdwIndex)
{
    return Guarded<CEOID>(0, [&] {
        std::shared_ptr<DatabaseHandle> database = HandleOf(hDatabase);
        auto lock = database->volume->Lock();
        std::optional<Position> found = SeekTo(*database, dwSeekType, dwValue, wNumVals);
        if (!found)
            throw Failure(ERROR_NO_MORE_ITEMS);
        database->current = found;
        if (lpdwIndex)
            *lpdwIndex = static_cast<DWORD>(database->volume->IndexOf(database->definition, database->order, *found));
        return found->oid;
    });
}

CEOID WINAPI CeReadRecordPropsEx(HANDLE hDbase, DWORD dwFlags, LPWORD lpcPropID, CEPROPID* rgPropID, LPBYTE* lplpBuffer,
                                 LPDWORD lpcbBuffer, HANDLE hHeap)
{
    return Guarded<CEOID>(0, [&] {
        std::shared_ptr<DatabaseHandle> database = HandleOf(hDbase);
        if ((dwFlags & ~CEDB_ALLOWREALLOC) || !lpcPropID || !lplpBuffer || !lpcbBuffer || hHeap)
            throw Failure(ERROR_INVALID_PARAMETER);
        auto lock = database->volume->Lock();
        if (!database->current)
            throw Failure(ERROR_NO_MORE_ITEMS);
        CEOID oid = database->current->oid;
        std::optional<Record> record = std::exchange(database->current->record, std::nullopt);
        if (!record)
            record = database->volume->ReadRecord(database->definition.oid, oid);
        if (!record)
            throw Failure(ERROR_KEY_DELETED);
        std::optional<std::vector<CEPROPID>> wanted;
        if (rgPropID)
            wanted.emplace(rgPropID, rgPropID + *lpcPropID);
        const std::vector<CEPROPID>* list = wanted ? &*wanted : nullptr;
        size_t size = device::edb::ReplySize(*record, list);
        if (size > 0xFFFFFFFF)
            throw Failure(ERROR_BAD_LENGTH);
        if (!*lplpBuffer || *lpcbBuffer < size) {
            if (!(dwFlags & CEDB_ALLOWREALLOC)) {
                *lpcbBuffer = static_cast<DWORD>(size);
                throw Failure(ERROR_INSUFFICIENT_BUFFER);
            }
            HLOCAL block = *lplpBuffer ? LocalReAlloc(*lplpBuffer, static_cast<UINT>(size), LMEM_MOVEABLE)
                                       : LocalAlloc(LMEM_FIXED, static_cast<UINT>(size));
            if (!block)
                throw Failure(ERROR_OUTOFMEMORY);
            *lplpBuffer = static_cast<LPBYTE>(block);
        }
        device::edb::WriteReply(*record, list, *lplpBuffer);
        *lpcbBuffer = static_cast<DWORD>(size);
        if (!rgPropID)
            *lpcPropID = static_cast<WORD>(record->size());
        if (database->autoIncrement)
            database->current = database->volume->Next(database->definition, database->order, &*database->current);
        return oid;
    });
}

CEOID WINAPI CeWriteRecordProps(HANDLE hDbase, CEOID oidRecord, WORD cPropID, CEPROPVAL* rgPropVal)
{
    return Guarded<CEOID>(0, [&] {
        std::shared_ptr<DatabaseHandle> database = HandleOf(hDbase);
        if (cPropID == 0 || !rgPropVal)
            throw Failure(ERROR_INVALID_PARAMETER);
        Volume& volume = *database->volume;
        auto lock = volume.Lock();
        const DatabaseDefinition& db = database->definition;
        Record existing;
        if (oidRecord) {
            std::optional<Record> found = volume.ReadRecord(db.oid, oidRecord);
            if (!found)
                throw Failure(ERROR_NOT_FOUND);
            existing = std::move(*found);
        }
        Record record = Merged(db, std::move(existing), rgPropVal, cPropID);
        CEOID oid = volume.WriteRecord(db, oidRecord, record);
        database->wrote = true;
        std::string key = database->order == device::edb::kByOid
                              ? std::string()
                              : device::edb::SortKey(db.sortOrders[database->order], record);
        database->current = Position{std::move(key), oid, std::move(record)};
        return oid;
    });
}

BOOL WINAPI CeDeleteRecord(HANDLE hDatabase, CEOID oidRecord)
{
    return Guarded<BOOL>(FALSE, [&] {
        std::shared_ptr<DatabaseHandle> database = HandleOf(hDatabase);
        if (!oidRecord)
            throw Failure(ERROR_INVALID_PARAMETER);
        auto lock = database->volume->Lock();
        bool atCurrent = database->current && database->current->oid == oidRecord;
        std::optional<Position> next;
        if (atCurrent && database->autoIncrement)
            next = database->volume->Next(database->definition, database->order, &*database->current);
        if (!database->volume->DeleteRecord(database->definition.oid, oidRecord))
            throw Failure(ERROR_NOT_FOUND);
        database->wrote = true;
        if (atCurrent)
            database->current = next;
        return TRUE;
    });
}
