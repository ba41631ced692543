// Backing up, exporting and restoring a phone's texts as the backup screen does it (its progress screen and
// worker thread, the message store through MAPI, the volume calls), against the same rows done directly
// with SQLite: read from the device database, written to an SQLCipher file keyed with the same password
// (each record committed on its own, as the volume does), to a UTF-16 file, and back into the device
// database. For stores of 1 000 and 100 000 texts (seven in ten received), it prints each time, the ratio,
// and the peak memory of each job, run in a process of its own, which should not grow with the store.
// Run: build/default/bin/backup_bench [count...] (the devices go under $TMPDIR, else /tmp)
#include "app/Program.h"
#include "backup/BackupOptions.h"
#include "backup/BackupProgressDialog.h"

#include "ProcessMemory.h"
#include "ids.h"

#include "automation/Automation.h"
#include "cemapi/SmsDevice.h"
#include "device/Clock.h"
#include "device/Database.h"
#include "device/Device.h"
#include "device/Text.h"

#include <sqlcipher/sqlite3.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr char kPassword[] = "wdKf4x_Lrj9_";
constexpr int64_t kNewest = 128580444000000000; // 2008-06-15 23:00:00, UTC as the device's zone
constexpr int64_t kMinute = 60 * device::kTicksPerSecond;

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "backup_bench: %s\n", what.c_str());
    std::exit(1);
}

struct Figures {
    double seconds = 0;
    long peakKb = 0; // the peak resident memory of the process that ran the job
};

void FillStore(int count)
{
    device::Transaction together(device::Db());
    for (int i = 0; i < count; ++i) {
        std::u16string n = device::Utf16FromUtf8(std::to_string(i % 97));
        std::u16string text =
            u"Message " + device::Utf16FromUtf8(std::to_string(i)) + u" of a usual length, about sixty characters.";
        int64_t time = kNewest - static_cast<int64_t>(i) * kMinute;
        if (i % 10 < 7)
            device::sms::Receive({{u"Sender " + n, u"+1555010" + n}, text, time, i % 3 == 0});
        else
            device::sms::RecordSent({{{u"Friend " + n, u"+1555020" + n}}, text, time});
    }
    together.Commit();
}

// --- Through Zelkova ---------------------------------------------------------------------------------------

// The progress screen run on a thread of its own, as the backup screen runs it; its start timer fired by
// moving the manual clock once the screen waits.
void RunZelkovaJob(BackupOptions options)
{
    bool failed = true;
    std::thread runner([&] {
        InitCommonControls();
        BackupProgressDialog job(&options);
        failed = RunDialog(IDD_BACKUP_PROGRESS, nullptr, job) != IDOK || job.Failed();
    });
    while (!FindWindowW(nullptr, u"Backup"))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!device::automation::WaitIdle(60000))
        Fail("the progress screen did not settle");
    device::AdvanceClock(device::kTicksPerSecond);
    runner.join();
    if (failed)
        Fail("a job through Zelkova failed");
}

// --- Directly ----------------------------------------------------------------------------------------------

class Sql {
public:
    Sql(const fs::path& file, const char* key)
    {
        if (sqlite3_open(file.c_str(), &m_db) != SQLITE_OK)
            Fail("cannot open " + file.string());
        if (key && sqlite3_key(m_db, key, static_cast<int>(std::strlen(key))) != SQLITE_OK)
            Fail("cannot key " + file.string());
        sqlite3_busy_timeout(m_db, 10000);
        Exec("PRAGMA journal_mode=WAL");
    }
    ~Sql() { sqlite3_close_v2(m_db); }
    Sql(const Sql&) = delete;
    Sql& operator=(const Sql&) = delete;

    void Exec(const std::string& sql)
    {
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            Fail(sql + ": " + sqlite3_errmsg(m_db));
    }
    sqlite3_stmt* Prepare(const std::string& sql)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            Fail(sql + ": " + sqlite3_errmsg(m_db));
        return statement;
    }
    int64_t LastId() const { return sqlite3_last_insert_rowid(m_db); }

private:
    sqlite3* m_db = nullptr;
};

// One message as both sides read and write it.
struct Row {
    int kind = 0;
    int64_t time = 0;
    std::u16string recipientName, recipientAddress, senderName, senderAddress, text;
    bool read = false;
};

std::u16string TextColumn(sqlite3_stmt* statement, int column)
{
    auto bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
    std::u16string text(static_cast<size_t>(sqlite3_column_bytes(statement, column)) / 2, u'\0');
    if (bytes)
        std::memcpy(text.data(), bytes, text.size() * 2);
    return text;
}

void BindText(sqlite3_stmt* statement, int index, const std::u16string& text)
{
    sqlite3_bind_blob(statement, index, text.data(), static_cast<int>(text.size() * 2), SQLITE_TRANSIENT);
}

int64_t FolderId(Sql& device, int role)
{
    sqlite3_stmt* query = device.Prepare("SELECT f.id FROM mapi_folders f JOIN mapi_stores s ON f.store = s.id "
                                         "WHERE s.display_name = 'SMS' AND f.role = ?");
    sqlite3_bind_int(query, 1, role);
    int64_t id = sqlite3_step(query) == SQLITE_ROW ? sqlite3_column_int64(query, 0) : 0;
    sqlite3_finalize(query);
    return id;
}

// Each message of the SMS inbox (kind 0) and sent folder (kind 1), newest first, with its last recipient.
void EachStoredMessage(Sql& device, const std::function<void(const Row&)>& visit)
{
    auto prop = [](int id) {
        return "(SELECT value FROM mapi_message_props WHERE message = m.id AND prop_id = " + std::to_string(id) + ")";
    };
    auto recipientProp = [](int id) {
        return "(SELECT p.value FROM mapi_recipients r JOIN mapi_recipient_props p ON p.recipient = r.id "
               "WHERE r.message = m.id AND p.prop_id = " +
               std::to_string(id) + " ORDER BY r.id DESC LIMIT 1)";
    };
    sqlite3_stmt* query =
        device.Prepare("SELECT m.delivery_time, " + recipientProp(0x3001) + ", " + recipientProp(0x3003) + ", " +
                       prop(0x0C1A) + ", " + prop(0x0C1F) + ", " + prop(0x0037) + ", " + prop(0x0E07) +
                       " FROM mapi_messages m WHERE m.folder = ? ORDER BY m.delivery_time DESC, "
                       "m.id DESC");
    for (int kind = 0; kind < 2; ++kind) {
        sqlite3_bind_int64(query, 1, FolderId(device, kind == 0 ? 1 : 4));
        while (sqlite3_step(query) == SQLITE_ROW) {
            Row row;
            row.kind = kind;
            row.time = sqlite3_column_int64(query, 0);
            row.recipientName = TextColumn(query, 1);
            row.recipientAddress = TextColumn(query, 2);
            row.senderName = TextColumn(query, 3);
            row.senderAddress = TextColumn(query, 4);
            row.text = TextColumn(query, 5);
            int32_t flags = 0;
            if (sqlite3_column_bytes(query, 6) == 4)
                std::memcpy(&flags, sqlite3_column_blob(query, 6), 4);
            row.read = flags & 1;
            visit(row);
        }
        sqlite3_reset(query);
    }
    sqlite3_finalize(query);
}

void BackUpDirectly(const fs::path& file)
{
    fs::remove(file);
    Sql device(device::Dir() / "device.db", nullptr);
    Sql backup(file, kPassword);
    backup.Exec("PRAGMA synchronous=NORMAL"); // as the volume commits each record
    backup.Exec("CREATE TABLE records (oid INTEGER PRIMARY KEY, kind INTEGER NOT NULL, time INTEGER NOT NULL, "
                "recipient_name BLOB, recipient_address BLOB, sender_name BLOB, sender_address BLOB, text BLOB, "
                "read INTEGER)");
    backup.Exec("CREATE INDEX records_newest_first ON records (time DESC)");
    sqlite3_stmt* insert = backup.Prepare("INSERT INTO records (kind, time, recipient_name, recipient_address, "
                                          "sender_name, sender_address, text, read) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    EachStoredMessage(device, [&](const Row& row) {
        sqlite3_bind_int(insert, 1, row.kind);
        sqlite3_bind_int64(insert, 2, row.time);
        BindText(insert, 3, row.recipientName);
        BindText(insert, 4, row.recipientAddress);
        BindText(insert, 5, row.senderName);
        BindText(insert, 6, row.senderAddress);
        BindText(insert, 7, row.text);
        sqlite3_bind_int(insert, 8, row.read);
        if (sqlite3_step(insert) != SQLITE_DONE)
            Fail("a direct backup insert failed");
        sqlite3_reset(insert);
    });
    sqlite3_finalize(insert);
}

// The line the export writes, with the date as the en_US locale shows it (a time of midnight left out).
std::u16string CsvLine(const Row& row)
{
    using namespace std::chrono;
    sys_seconds at{seconds((row.time - 116444736000000000) / device::kTicksPerSecond)};
    year_month_day day{floor<days>(at)};
    hh_mm_ss time{at - floor<days>(at)};
    int hour = static_cast<int>(time.hours().count());
    char date[64];
    int length = std::snprintf(date, sizeof date, "%u/%u/%d", static_cast<unsigned>(day.month()),
                               static_cast<unsigned>(day.day()), static_cast<int>(day.year()));
    if (time.to_duration().count() != 0)
        std::snprintf(date + length, sizeof date - length, " %d:%02d:%02d %s", hour % 12 ? hour % 12 : 12,
                      static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()),
                      hour < 12 ? "AM" : "PM");
    auto unquoted = [](std::u16string text) {
        std::erase(text, u'"');
        return text;
    };
    std::u16string line;
    for (const std::u16string& field :
         {device::Utf16FromUtf8(date), row.recipientName, unquoted(row.recipientAddress), row.senderName,
          unquoted(row.senderAddress), unquoted(row.text), std::u16string(row.kind ? u"Sent" : u"Received")})
        line += u"\"" + field + u"\"\t";
    return line + u"\r\n";
}

void ExportDirectly(const fs::path& file)
{
    Sql device(device::Dir() / "device.db", nullptr);
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out)
        Fail("cannot create " + file.string());
    std::fwrite("\xFF\xFE", 1, 2, out);
    EachStoredMessage(device, [&](const Row& row) {
        std::u16string line = CsvLine(row);
        std::fwrite(line.data(), 2, line.size(), out);
    });
    std::fclose(out);
}

// Empties both folders, then stores each record as the message store keeps a message: one transaction each.
void RestoreDirectly(const fs::path& file)
{
    Sql backup(file, kPassword);
    Sql device(device::Dir() / "device.db", nullptr);
    int64_t folders[2] = {FolderId(device, 1), FolderId(device, 4)};
    device.Exec("PRAGMA foreign_keys=ON"); // the messages' properties and recipients go with them
    device.Exec("DELETE FROM mapi_messages WHERE folder IN (" + std::to_string(folders[0]) + ", " +
                std::to_string(folders[1]) + ")");
    sqlite3_stmt* read = backup.Prepare("SELECT kind, time, recipient_name, recipient_address, sender_name, "
                                        "sender_address, text, read FROM records ORDER BY time DESC");
    sqlite3_stmt* message = device.Prepare("INSERT INTO mapi_messages (folder, delivery_time) VALUES (?, ?)");
    sqlite3_stmt* prop =
        device.Prepare("INSERT INTO mapi_message_props (message, prop_id, type, value) VALUES (?, ?, ?, ?)");
    sqlite3_stmt* recipient = device.Prepare("INSERT INTO mapi_recipients (message) VALUES (?)");
    sqlite3_stmt* recipientProp = device.Prepare(
        "INSERT INTO mapi_recipient_props (recipient, position, prop_id, type, value) VALUES (?, ?, ?, ?, ?)");
    auto put = [](sqlite3_stmt* statement, const std::vector<int64_t>& keys, int type, const void* value, int bytes) {
        int index = 1;
        for (int64_t key : keys)
            sqlite3_bind_int64(statement, index++, key);
        sqlite3_bind_int(statement, index++, type);
        sqlite3_bind_blob(statement, index, value, bytes, SQLITE_TRANSIENT);
        if (sqlite3_step(statement) != SQLITE_DONE)
            Fail("a direct restore insert failed");
        sqlite3_reset(statement);
    };
    auto text = [&](sqlite3_stmt* statement, const std::vector<int64_t>& keys, const std::u16string& value) {
        put(statement, keys, 0x1F, value.data(), static_cast<int>(value.size() * 2));
    };
    auto number = [&](sqlite3_stmt* statement, const std::vector<int64_t>& keys, int type, int64_t value) {
        put(statement, keys, type, &value, type == 0x40 ? 8 : 4);
    };
    while (sqlite3_step(read) == SQLITE_ROW) {
        Row row;
        row.kind = sqlite3_column_int(read, 0);
        row.time = sqlite3_column_int64(read, 1);
        row.recipientName = TextColumn(read, 2);
        row.recipientAddress = TextColumn(read, 3);
        row.senderName = TextColumn(read, 4);
        row.senderAddress = TextColumn(read, 5);
        row.text = TextColumn(read, 6);
        row.read = sqlite3_column_int(read, 7);
        device.Exec("BEGIN");
        sqlite3_bind_int64(message, 1, folders[row.kind]);
        sqlite3_bind_int64(message, 2, row.time);
        sqlite3_step(message);
        sqlite3_reset(message);
        int64_t id = device.LastId();
        number(prop, {id, 0x0009}, 3, 0);
        number(prop, {id, 0x0E17}, 3, 0x40000);
        text(prop, {id, 0x001A}, u"IPM.SMStext");
        number(prop, {id, 0x0E06}, 0x40, row.time);
        text(prop, {id, 0x0037}, row.text);
        number(prop, {id, 0x0E08}, 3, static_cast<int64_t>(row.text.size() * 2));
        number(prop, {id, 0x0E07}, 3, (row.kind ? 0x20 : 0) | (row.read ? 1 : 0));
        if (!row.senderAddress.empty())
            text(prop, {id, 0x0C1F}, row.senderAddress);
        if (!row.senderName.empty())
            text(prop, {id, 0x0C1A}, row.senderName);
        if (!row.recipientAddress.empty()) {
            sqlite3_bind_int64(recipient, 1, id);
            sqlite3_step(recipient);
            sqlite3_reset(recipient);
            int64_t to = device.LastId();
            text(recipientProp, {to, 0, 0x3003}, row.recipientAddress);
            text(recipientProp, {to, 1, 0x3002}, u"SMS");
            number(recipientProp, {to, 2, 0x0C15}, 3, 1);
            text(recipientProp, {to, 3, 0x3001}, row.recipientName);
        }
        device.Exec("COMMIT");
    }
    for (sqlite3_stmt* statement : {read, message, prop, recipient, recipientProp})
        sqlite3_finalize(statement);
}

// --- The runs ----------------------------------------------------------------------------------------------

std::string FileBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

size_t StoredCount()
{
    size_t count = 0;
    for (device::sms::Folder folder : {device::sms::Folder::Inbox, device::sms::Folder::Sent})
        device::sms::List(folder, [&](const device::sms::Message&) { return ++count, true; });
    return count;
}

void Print(const char* job, int count, const Figures& zelkova, const Figures& direct)
{
    std::printf("%-8s %7d  %9.2f s %9.2f s %8.1fx  %9ld kB %9ld kB\n", job, count, zelkova.seconds, direct.seconds,
                zelkova.seconds / direct.seconds, zelkova.peakKb, direct.peakKb);
    std::fflush(stdout);
}

// Each job runs in a process of its own, so its peak memory is its own: this program again, with --job.
Figures RunJob(const std::string& job, const fs::path& dir)
{
    std::string command = "'" + fs::canonical("/proc/self/exe").string() + "' --job " + job + " '" + dir.string() + "'";
    std::FILE* child = popen(command.c_str(), "r");
    Figures figures;
    if (!child || std::fscanf(child, "%lf %ld", &figures.seconds, &figures.peakKb) != 2 || pclose(child) != 0)
        Fail("the job " + job + " failed");
    return figures;
}

// The job's side: the device the parent made, the job timed, then its time and the process's peak memory.
int JobMain(const std::string& job, const fs::path& dir)
{
    device::Attach(dir);
    g_program.resources = LoadLibraryExW(u"\\Windows\\ZelkovaRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!g_program.resources)
        Fail("no resource library");
    fs::path documents = device::FsRoot() / "My Documents";
    BackupOptions options;
    options.path = u"\\My Documents\\bench.qvb";
    std::function<void()> run;
    if (job == "backup") {
        run = [&] { RunZelkovaJob(options); };
    } else if (job == "export") {
        options.mode = kExportMode;
        options.path = u"\\My Documents\\bench.csv";
        run = [&] { RunZelkovaJob(options); };
    } else if (job == "restore") {
        options.mode = kRestoreMode;
        run = [&] { RunZelkovaJob(options); };
    } else if (job == "direct-backup") {
        run = [&] { BackUpDirectly(documents / "direct.db"); };
    } else if (job == "direct-export") {
        run = [&] { ExportDirectly(documents / "direct.csv"); };
    } else if (job == "direct-restore") {
        run = [&] { RestoreDirectly(documents / "direct.db"); };
    } else {
        Fail("no job " + job);
    }
    auto start = Clock::now();
    run();
    std::printf("%f %ld\n", std::chrono::duration<double>(Clock::now() - start).count(), process_memory::Kb("VmHWM:"));
    return 0;
}

void RunSize(const fs::path& root, int count)
{
    fs::path dir = root / ("device-" + std::to_string(count));
    device::Create(dir, device::Profile{}, true, kNewest + 30 * kMinute);
    device::Attach(dir);
    // The helper library and the resources where the program finds them.
    fs::create_directories(device::FsRoot() / "Windows");
    fs::create_symlink(UTILS_LIBRARY, device::FsRoot() / "Windows" / "utils.dll");
    fs::create_symlink(ZELKOVA_RESOURCES, device::FsRoot() / "Windows" / "ZelkovaRes.dll");
    fs::path documents = device::FsRoot() / "My Documents";
    fs::create_directories(documents);
    FillStore(count);

    Print("backup", count, RunJob("backup", dir), RunJob("direct-backup", dir));
    Print("export", count, RunJob("export", dir), RunJob("direct-export", dir));
    std::string exported = FileBytes(documents / "bench.csv"), written = FileBytes(documents / "direct.csv");
    if (exported.size() < written.size() || exported.substr(exported.size() - written.size() + 2) != written.substr(2))
        Fail("the two exports differ");

    Figures zelkova = RunJob("restore", dir);
    if (StoredCount() != static_cast<size_t>(count))
        Fail("the restore through Zelkova did not give back every message");
    Figures direct = RunJob("direct-restore", dir);
    if (StoredCount() != static_cast<size_t>(count))
        Fail("the direct restore did not give back every message");
    Print("restore", count, zelkova, direct);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--job")
        return JobMain(argv[2], argv[3]);
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {1000, 100000};
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern = std::string(temporary && *temporary ? temporary : "/tmp") + "/backup-bench-XXXXXX";
    if (!mkdtemp(pattern.data()))
        Fail("cannot make a folder in " + pattern);
    fs::path root = pattern;
    std::printf("devices in %s\n", root.c_str());
    std::printf("job      messages    Zelkova    SQLite    ratio   Zelkova peak  SQLite peak\n");
    for (int count : counts)
        RunSize(root, count);
    std::error_code ignored;
    fs::remove_all(root, ignored);
    return 0;
}
