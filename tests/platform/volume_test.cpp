#include "platform/VolumeTesting.h"

#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

using namespace volume_testing;
using testing_support::TempDevice;
namespace fs = std::filesystem;

namespace {

constexpr char16_t kPath[] = u"\\My Documents\\backup.qvb";
constexpr char16_t kPassword[] = u"pass-phrase 1";

class Volumes : public ::testing::Test {
protected:
    fs::path HostFile() const { return m_device.Dir() / "fs" / "My Documents" / "backup.qvb"; }
    std::string FileBytes() const
    {
        std::ifstream in(HostFile(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void PutFileBytes(const std::string& bytes) const { std::ofstream(HostFile(), std::ios::binary) << bytes; }

    // Mounts the volume file; the error of a refused mount, else 0 with *guid set.
    DWORD Mount(DWORD disposition, const char16_t* password, CEGUID* guid)
    {
        CEVOLUMEOPTIONS options = Options(password ? password : u"");
        if (!password)
            options.dwFlags = 0;
        return CeMountDBVolEx(guid, const_cast<LPWSTR>(kPath), &options, disposition) ? 0 : GetLastError();
    }

    HANDLE Open(CEGUID* guid, const char16_t* name, SORTORDERSPECEX* sort = nullptr)
    {
        CEOID oid = 0;
        return CeOpenDatabaseInSession(nullptr, guid, &oid, const_cast<LPWSTR>(name), sort, CEDB_AUTOINCREMENT,
                                       nullptr);
    }

    // A volume of three messages written out of time order, unmounted again.
    void WriteThreeMessages()
    {
        CEGUID guid;
        ASSERT_EQ(Mount(CREATE_ALWAYS, kPassword, &guid), 0u);
        ASSERT_NE(CreateMessages(&guid), 0u);
        HANDLE db = Open(&guid, u"SMS");
        ASSERT_NE(db, INVALID_HANDLE_VALUE);
        EXPECT_NE(WriteMessage(db, 0, 200, u"middle", TRUE), 0u);
        EXPECT_NE(WriteMessage(db, 1, 300, u"newest", FALSE), 0u);
        EXPECT_NE(WriteMessage(db, 0, 100, u"oldest \u00e9", TRUE), 0u);
        CloseHandle(db);
        EXPECT_TRUE(CeUnmountDBVol(&guid));
    }

    TempDevice m_device;
};

TEST_F(Volumes, BackupRecordsComeBackNewestFirstAfterRemounting)
{
    WriteThreeMessages();
    CEGUID guid;
    ASSERT_EQ(Mount(OPEN_EXISTING, kPassword, &guid), 0u);
    HANDLE db = Open(&guid, u"sms");
    ASSERT_NE(db, INVALID_HANDLE_VALUE);

    BY_HANDLE_DB_INFORMATION info{};
    info.wVersion = BY_HANDLE_DB_INFORMATION_VERSION;
    ASSERT_TRUE(CeGetDBInformationByHandle(db, &info));
    EXPECT_EQ(info.infDatabase.dwNumRecords, 3u);
    EXPECT_EQ(std::u16string(info.infDatabase.szDbaseName), u"SMS");
    ASSERT_EQ(info.infDatabase.wNumSortOrder, 1);
    EXPECT_EQ(info.infDatabase.rgSortSpecs[0].rgPropID[0], kTime);
    EXPECT_EQ(info.infDatabase.rgSortSpecs[0].rgdwFlags[0], static_cast<DWORD>(CEDB_SORT_DESCENDING));

    DWORD index = 99;
    EXPECT_NE(CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 0, 0, &index), 0u);
    EXPECT_EQ(index, 0u);
    // All of one record, every type the backup writes, in the order written.
    LPBYTE buffer = nullptr;
    DWORD size = 0;
    WORD count = 0;
    ASSERT_NE(CeReadRecordPropsEx(db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size, nullptr), 0u);
    ASSERT_EQ(count, 4);
    auto* values = reinterpret_cast<CEPROPVAL*>(buffer);
    EXPECT_EQ(values[0].val.lVal, 1);
    EXPECT_EQ(values[1].val.filetime.dwLowDateTime, 300u);
    EXPECT_EQ(std::u16string(values[2].val.lpwstr), u"newest");
    EXPECT_FALSE(values[3].val.boolVal);
    EXPECT_GE(LocalSize(buffer), size); // a LocalAlloc block the caller frees
    EXPECT_EQ(LocalFree(buffer), nullptr);
    EXPECT_EQ(ReadTexts(db), (std::vector<std::u16string>{u"middle", u"oldest \u00e9"}));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));

    // Asking for properties by identifier marks those the record lacks.
    EXPECT_NE(CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 2, 0, nullptr), 0u);
    CEPROPID wanted[2] = {kText, 0x0009001F};
    count = 2;
    buffer = nullptr;
    ASSERT_NE(CeReadRecordPropsEx(db, CEDB_ALLOWREALLOC, &count, wanted, &buffer, &size, nullptr), 0u);
    values = reinterpret_cast<CEPROPVAL*>(buffer);
    EXPECT_EQ(std::u16string(values[0].val.lpwstr), u"oldest \u00e9");
    EXPECT_EQ(values[1].wFlags, CEDB_PROPNOTFOUND);
    LocalFree(buffer);
    CloseHandle(db);

    // Mounting it again shares the mount, with the password only.
    CEGUID again;
    EXPECT_EQ(Mount(OPEN_EXISTING, u"wrong", &again), static_cast<DWORD>(ERROR_INVALID_PASSWORD));
    ASSERT_EQ(Mount(OPEN_EXISTING, kPassword, &again), 0u);
    EXPECT_EQ(std::memcmp(&again, &guid, sizeof guid), 0);
    EXPECT_TRUE(CeUnmountDBVol(&guid));
    EXPECT_TRUE(CeUnmountDBVol(&guid));
    EXPECT_FALSE(CeUnmountDBVol(&guid));
}

TEST_F(Volumes, MountRefusesWhatItCannotOpenAndLeavesTheFileAlone)
{
    CEGUID guid;
    EXPECT_EQ(Mount(OPEN_EXISTING, kPassword, &guid), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(fs::exists(HostFile()));

    WriteThreeMessages();
    std::string volume = FileBytes();
    EXPECT_EQ(volume.find("newest"), std::string::npos) << "the records are not readable without the password";
    EXPECT_EQ(Mount(OPEN_EXISTING, u"wrong", &guid), static_cast<DWORD>(ERROR_INVALID_PASSWORD));
    EXPECT_EQ(Mount(OPEN_EXISTING, nullptr, &guid), static_cast<DWORD>(ERROR_INVALID_PASSWORD));
    EXPECT_EQ(FileBytes(), volume);

    PutFileBytes(volume.substr(0, volume.size() - 100));
    EXPECT_EQ(Mount(OPEN_EXISTING, kPassword, &guid), static_cast<DWORD>(ERROR_BAD_FORMAT));
    PutFileBytes("Date,From,Text\r\n1,2,3\r\n");
    EXPECT_EQ(Mount(OPEN_EXISTING, kPassword, &guid), static_cast<DWORD>(ERROR_BAD_FORMAT));

    // Damage inside the records: refused when mounted or when read, never taken as records.
    std::string damaged = volume;
    for (size_t i = 1024; i < damaged.size(); i += 97)
        damaged[i] = static_cast<char>(~damaged[i]);
    PutFileBytes(damaged);
    DWORD error = Mount(OPEN_EXISTING, kPassword, &guid);
    if (error == 0) {
        HANDLE db = Open(&guid, u"SMS");
        if (db != INVALID_HANDLE_VALUE) {
            EXPECT_TRUE(ReadTexts(db).empty());
            CloseHandle(db);
        }
        CeUnmountDBVol(&guid);
    } else {
        EXPECT_TRUE(error == ERROR_INTERNAL_DB_CORRUPTION || error == ERROR_INVALID_PASSWORD) << error;
    }
}

TEST_F(Volumes, CreateAlwaysReplacesTheFileWithAnEmptyVolume)
{
    WriteThreeMessages();
    CEGUID guid;
    ASSERT_EQ(Mount(CREATE_ALWAYS, kPassword, &guid), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(Open(&guid, u"SMS"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    ASSERT_NE(CreateMessages(&guid), 0u);
    EXPECT_EQ(CreateMessages(&guid), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DUP_NAME));
    HANDLE db = Open(&guid, u"SMS");
    BY_HANDLE_DB_INFORMATION info{};
    info.wVersion = BY_HANDLE_DB_INFORMATION_VERSION;
    ASSERT_TRUE(CeGetDBInformationByHandle(db, &info));
    EXPECT_EQ(info.infDatabase.dwNumRecords, 0u);
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 0, 0, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    EXPECT_TRUE(ReadTexts(db).empty());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    CloseHandle(db);
    CeUnmountDBVol(&guid);
}

TEST_F(Volumes, WritesAreCheckedAgainstTheDatabaseDefinition)
{
    CEGUID guid;
    ASSERT_EQ(Mount(CREATE_NEW, nullptr, &guid), 0u);
    // Names ascending without regard to case, unnamed records first; a unique number.
    CEDBASEINFOEX info{};
    info.wVersion = CEDBASEINFOEX_VERSION;
    info.dwFlags = CEDB_VALIDNAME;
    std::char_traits<char16_t>::copy(info.szDbaseName, u"People", 6);
    info.wNumSortOrder = 2;
    info.rgSortSpecs[0] = {
        SORTORDERSPECEX_VERSION, 1, 0, 0, {kText}, {CEDB_SORT_CASEINSENSITIVE | CEDB_SORT_UNKNOWNFIRST}};
    info.rgSortSpecs[1] = {SORTORDERSPECEX_VERSION, 1, CEDB_SORT_UNIQUE, 0, {kKind}, {0}};
    CEPROPSPEC props[2] = {{1, kKind, DB_PROP_NOTNULL, nullptr, 0}, {1, kText, 0, nullptr, 0}};
    ASSERT_NE(CeCreateDatabaseWithProps(&guid, &info, 2, props), 0u);
    HANDLE db = Open(&guid, u"People");
    ASSERT_NE(db, INVALID_HANDLE_VALUE);

    auto write = [&](CEOID oid, LONG number, const char16_t* name) {
        CEPROPVAL values[2] = {};
        values[0].propid = kKind;
        values[0].val.lVal = number;
        values[1].propid = kText;
        values[1].val.lpwstr = const_cast<LPWSTR>(name);
        if (!name)
            values[1].wFlags = CEDB_PROPDELETE;
        return CeWriteRecordProps(db, oid, 2, values);
    };
    CEOID bob = write(0, 3, u"bob");
    CEOID carol = write(0, -5, u"Carol");
    EXPECT_NE(write(0, 7, u"alice"), 0u);
    EXPECT_NE(write(0, 1, nullptr), 0u);
    EXPECT_EQ(write(0, 3, u"dup"), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CEPROPVAL textOnly{kText, 0, 0, {}};
    textOnly.val.lpwstr = const_cast<LPWSTR>(u"no number");
    EXPECT_EQ(CeWriteRecordProps(db, 0, 1, &textOnly), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CEPROPVAL undefined{0x0042001F, 0, 0, {}};
    undefined.val.lpwstr = const_cast<LPWSTR>(u"x");
    EXPECT_EQ(CeWriteRecordProps(db, carol, 1, &undefined), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // Rewriting a record moves it in the order.
    textOnly.val.lpwstr = const_cast<LPWSTR>(u"Aaron");
    EXPECT_EQ(CeWriteRecordProps(db, carol, 1, &textOnly), carol);

    EXPECT_NE(CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 0, 0, nullptr), 0u);
    EXPECT_EQ(ReadTexts(db), (std::vector<std::u16string>{u"Aaron", u"alice", u"bob"}));
    CEPROPVAL sought{kText, 0, 0, {}};
    sought.val.lpwstr = const_cast<LPWSTR>(u"ALICE");
    DWORD index = 0;
    EXPECT_NE(CeSeekDatabaseEx(db, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&sought), 1, &index), 0u);
    EXPECT_EQ(index, 2u);
    EXPECT_NE(CeSeekDatabaseEx(db, CEDB_SEEK_CURRENT, static_cast<DWORD>(-1), 0, &index), 0u);
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_END, 0, 0, nullptr), bob);
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_CEOID, carol, 0, &index), carol);
    EXPECT_EQ(index, 1u);

    // The same records by the number, read into a caller's buffer that is too small.
    CloseHandle(db);
    db = Open(&guid, u"People", &info.rgSortSpecs[1]);
    BYTE small[8];
    LPBYTE buffer = small;
    DWORD size = sizeof small;
    WORD count = 0;
    EXPECT_EQ(CeReadRecordPropsEx(db, 0, &count, nullptr, &buffer, &size, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_GT(size, sizeof small);
    std::vector<BYTE> enough(size);
    buffer = enough.data();
    EXPECT_EQ(CeReadRecordPropsEx(db, 0, &count, nullptr, &buffer, &size, nullptr), carol);
    EXPECT_EQ(reinterpret_cast<CEPROPVAL*>(buffer)[0].val.lVal, -5);
    CloseHandle(db);
    CeUnmountDBVol(&guid);
}

TEST_F(Volumes, ARecordWrittenSurvivesTheWriterBeingKilled)
{
    CEGUID guid;
    ASSERT_EQ(Mount(CREATE_ALWAYS, kPassword, &guid), 0u);
    ASSERT_NE(CreateMessages(&guid), 0u);
    ASSERT_TRUE(CeUnmountDBVol(&guid));

    int acks[2];
    ASSERT_EQ(pipe(acks), 0);
    pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) { // writes until killed, telling the parent of each record written
        close(acks[0]);
        CEGUID own;
        if (Mount(OPEN_EXISTING, kPassword, &own) != 0)
            _exit(1);
        HANDLE db = Open(&own, u"SMS");
        for (ULONGLONG time = 1;; ++time)
            if (!WriteMessage(db, 0, time, u"text", FALSE) || write(acks[1], "+", 1) != 1)
                _exit(1);
    }
    close(acks[1]);
    char ack;
    int written = 0;
    while (written < 40 && read(acks[0], &ack, 1) == 1)
        ++written;
    kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
    close(acks[0]);
    ASSERT_EQ(written, 40);

    ASSERT_EQ(Mount(OPEN_EXISTING, kPassword, &guid), 0u);
    HANDLE db = Open(&guid, u"SMS");
    BY_HANDLE_DB_INFORMATION info{};
    info.wVersion = BY_HANDLE_DB_INFORMATION_VERSION;
    ASSERT_TRUE(CeGetDBInformationByHandle(db, &info));
    EXPECT_GE(info.infDatabase.dwNumRecords, 40u);
    CloseHandle(db);
    CeUnmountDBVol(&guid);
}

} // namespace

namespace {

TEST_F(Volumes, CreatingRefusesDefinitionsTheServiceCannotKeep)
{
    CEGUID guid;
    ASSERT_EQ(Mount(CREATE_NEW, nullptr, &guid), 0u);
    EXPECT_EQ(Mount(CREATE_ALWAYS, nullptr, &guid), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << "mounted";
    auto refused = [&](CEDBASEINFOEX info, CEPROPSPEC* props, DWORD count) {
        return CeCreateDatabaseWithProps(&guid, &info, count, props) ? 0 : GetLastError();
    };
    CEDBASEINFOEX info{};
    info.wVersion = CEDBASEINFOEX_VERSION;
    info.dwFlags = CEDB_VALIDNAME;
    std::char_traits<char16_t>::copy(info.szDbaseName, u"D", 1);
    CEPROPSPEC props[3] = {{1, kKind, 0, nullptr, 0}, {1, 0x00050041, 0, nullptr, 0}, {1, kKind, 0, nullptr, 0}};

    CEDBASEINFOEX withTime = info;
    withTime.dwFlags |= CEDB_VALIDMODTIME;
    EXPECT_EQ(refused(withTime, props, 1), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(refused(info, props, 3), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "the same property twice";
    CEDBASEINFOEX byBlob = info;
    byBlob.wNumSortOrder = 1;
    byBlob.rgSortSpecs[0] = {SORTORDERSPECEX_VERSION, 1, 0, 0, {0x00050041}, {0}};
    EXPECT_EQ(refused(byBlob, props, 2), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    CEDBASEINFOEX ignoringSymbols = info;
    ignoringSymbols.wNumSortOrder = 1;
    ignoringSymbols.rgSortSpecs[0] = {SORTORDERSPECEX_VERSION, 1, 0, 0, {kKind}, {CEDB_SORT_IGNORESYMBOLS}};
    EXPECT_EQ(refused(ignoringSymbols, props, 2), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    CEDBASEINFOEX twoPrimary = info;
    twoPrimary.wNumSortOrder = 2;
    twoPrimary.rgSortSpecs[0] = {SORTORDERSPECEX_VERSION, 1, CEDB_SORT_PRIMARYKEY, 0, {kKind}, {0}};
    twoPrimary.rgSortSpecs[1] = twoPrimary.rgSortSpecs[0];
    EXPECT_EQ(refused(twoPrimary, props, 2), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(refused(info, props, 2), 0u);

    SORTORDERSPECEX absent{SORTORDERSPECEX_VERSION, 1, 0, 0, {kKind}, {CEDB_SORT_DESCENDING}};
    EXPECT_EQ(Open(&guid, u"D", &absent), INVALID_HANDLE_VALUE) << "the database has no such sort order";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    CeUnmountDBVol(&guid);
}

TEST_F(Volumes, ValueSeeksFollowTheSortOrderAndDeletedRecordsAreSkipped)
{
    WriteThreeMessages();
    CEGUID guid;
    ASSERT_EQ(Mount(OPEN_EXISTING, kPassword, &guid), 0u);
    HANDLE db = Open(&guid, u"SMS");
    auto seek = [&](DWORD type, ULONGLONG time) {
        CEPROPVAL value{kTime, 0, 0, {}};
        value.val.filetime = {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
        CeSeekDatabaseEx(db, type, reinterpret_cast<DWORD_PTR>(&value), 1, nullptr);
        std::vector<std::u16string> texts = ReadTexts(db);
        return texts.empty() ? std::u16string() : texts.front();
    };
    // Newest first: "greater" is further along the order, that is older.
    EXPECT_EQ(seek(CEDB_SEEK_VALUEFIRSTEQUAL, 200), u"middle");
    EXPECT_EQ(seek(CEDB_SEEK_VALUEGREATER, 200), u"oldest \u00e9");
    EXPECT_EQ(seek(CEDB_SEEK_VALUESMALLER, 200), u"newest");
    EXPECT_EQ(seek(CEDB_SEEK_VALUEGREATEROREQUAL, 250), u"middle");
    EXPECT_EQ(seek(CEDB_SEEK_VALUEFIRSTEQUAL, 250), u"");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));

    CEOID middle = CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 1, 0, nullptr);
    ASSERT_NE(middle, 0u);
    EXPECT_TRUE(CeDeleteRecord(db, middle));
    EXPECT_FALSE(CeDeleteRecord(db, middle));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_FOUND));
    EXPECT_EQ(ReadTexts(db), (std::vector<std::u16string>{u"oldest \u00e9"})) << "the read moved on past it";
    EXPECT_NE(CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 0, 0, nullptr), 0u);
    EXPECT_EQ(ReadTexts(db), (std::vector<std::u16string>{u"newest", u"oldest \u00e9"}));
    CloseHandle(db);
    CeUnmountDBVol(&guid);
}

} // namespace
