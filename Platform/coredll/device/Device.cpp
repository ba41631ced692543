#include "device/Device.h"

#include "device/Clock.h"

#include <cstdlib>
#include <memory>
#include <mutex>

namespace device {
namespace fs = std::filesystem;

namespace {

std::mutex g_mutex;
std::unique_ptr<Database> g_db;
std::unique_ptr<Profile> g_profile;

const char kDatabaseFile[] = "device.db";

void WriteProfile(Database& db, const Profile& p)
{
    Transaction tx(db);
    Statement put(db, "INSERT OR REPLACE INTO profile (name, value) VALUES (?, ?)");
    auto set = [&](const char* name, const std::string& value) {
        put.Bind(1, std::string_view(name)).Bind(2, value).Execute();
        put.Reset();
    };
    set("platform", p.platform);
    set("screenWidth", std::to_string(p.screenWidth));
    set("screenHeight", std::to_string(p.screenHeight));
    set("dpi", std::to_string(p.dpi));
    set("locale", p.locale);
    set("timeZone", p.timeZone);
    set("osMajor", std::to_string(p.osMajor));
    set("osMinor", std::to_string(p.osMinor));
    set("osBuild", std::to_string(p.osBuild));
    set("ownNumber", p.ownNumber);
    set("lineName", p.lineName);
    tx.Commit();
}

Profile ReadProfile(Database& db)
{
    Profile p;
    auto lock = db.Lock();
    Statement all(db, "SELECT name, value FROM profile");
    while (all.Step()) {
        std::string name = all.Text(0), value = all.Text(1);
        if (name == "platform") p.platform = value;
        else if (name == "screenWidth") p.screenWidth = std::stoi(value);
        else if (name == "screenHeight") p.screenHeight = std::stoi(value);
        else if (name == "dpi") p.dpi = std::stoi(value);
        else if (name == "locale") p.locale = value;
        else if (name == "timeZone") p.timeZone = value;
        else if (name == "osMajor") p.osMajor = std::stoi(value);
        else if (name == "osMinor") p.osMinor = std::stoi(value);
        else if (name == "osBuild") p.osBuild = std::stoi(value);
        else if (name == "ownNumber") p.ownNumber = value;
        else if (name == "lineName") p.lineName = value;
    }
    return p;
}

} // namespace

fs::path DefaultDir()
{
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return fs::path(data) / "wm5-phone" / "default";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/tmp") / ".local" / "share" / "wm5-phone" / "default";
}

fs::path Dir()
{
    if (const char* dir = std::getenv("PHONE_DEVICE"); dir && *dir)
        return fs::path(dir);
    return DefaultDir();
}

fs::path FsRoot() { return Dir() / "fs"; }

fs::path RunDir() { return Dir() / "run"; }

bool Exists(const fs::path& dir) { return fs::exists(dir / kDatabaseFile); }

void Create(const fs::path& dir, const Profile& profile, bool manualClock, int64_t startUtcTicks)
{
    if (Exists(dir))
        throw DatabaseError(SQLITE_CANTOPEN, dir.string() + ": a device exists there already");
    fs::create_directories(dir / "fs" / "My Documents");
    fs::create_directories(dir / "fs" / "Program Files");
    fs::create_directories(dir / "fs" / "Windows");
    fs::create_directories(dir / "fs" / "Temp");
    fs::create_directories(dir / "run");
    Database db((dir / kDatabaseFile).string());
    WriteProfile(db, profile);
    Transaction tx(db);
    Statement clock(db, "INSERT INTO clock (id, manual, now_ticks, offset_ticks, boot_ticks) VALUES (1, ?, ?, ?, ?)");
    clock.Bind(1, manualClock ? 1 : 0)
        .Bind(2, startUtcTicks)
        .Bind(3, startUtcTicks - HostNowTicks())
        .Bind(4, startUtcTicks)
        .Execute();
    tx.Commit();
}

void Attach(const fs::path& dir)
{
    std::lock_guard guard(g_mutex);
    setenv("PHONE_DEVICE", fs::absolute(dir).c_str(), 1);
    g_db.reset();
    g_profile.reset();
}

// g_mutex is never held while a database is locked: threads in a transaction ask for Db() and the profile.
Database& Db()
{
    fs::path dir;
    {
        std::lock_guard guard(g_mutex);
        if (g_db)
            return *g_db;
        dir = Dir();
    }
    if (!Exists(dir))
        throw DatabaseError(SQLITE_CANTOPEN, dir.string() + ": no device there");
    auto db = std::make_unique<Database>((dir / kDatabaseFile).string());
    std::lock_guard guard(g_mutex);
    if (!g_db) // another thread may have opened it meanwhile
        g_db = std::move(db);
    return *g_db;
}

void ReleaseReadSnapshot()
{
    std::lock_guard guard(g_mutex);
    if (g_db)
        g_db->ReleaseSnapshot();
}

const Profile& CurrentProfile()
{
    Database& db = Db();
    {
        std::lock_guard guard(g_mutex);
        if (g_profile)
            return *g_profile;
    }
    auto profile = std::make_unique<Profile>(ReadProfile(db));
    std::lock_guard guard(g_mutex);
    if (!g_profile)
        g_profile = std::move(profile);
    return *g_profile;
}

void SaveProfile(const Profile& profile)
{
    Database& db = Db();
    WriteProfile(db, profile);
    std::lock_guard guard(g_mutex);
    g_profile = std::make_unique<Profile>(profile);
}

} // namespace device
