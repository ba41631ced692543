#include "device/Clock.h"

#include "device/Calendar.h"
#include "device/Device.h"

#include <unicode/ucal.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace device {

namespace {

struct CalendarCloser {
    void operator()(UCalendar* cal) const { ucal_close(cal); }
};

// A calendar in that time zone (UTC when the zone is unknown).
std::unique_ptr<UCalendar, CalendarCloser> OpenZone(const std::string& zone)
{
    std::u16string id(zone.begin(), zone.end());
    UErrorCode status = U_ZERO_ERROR;
    UCalendar* cal = ucal_open(id.c_str(), static_cast<int32_t>(id.size()), "", UCAL_GREGORIAN, &status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        cal = ucal_open(u"UTC", 3, "", UCAL_GREGORIAN, &status);
    }
    return std::unique_ptr<UCalendar, CalendarCloser>(cal);
}

int64_t TicksFromMillis(UDate ms) { return kUnixEpochTicks + static_cast<int64_t>(ms) * kTicksPerMs; }

// The device's time zone as each thread keeps it while the profile names the same zone: its calendar
// (opening one costs many times what asking it does) and the offset last asked for with the span of time
// around that instant, between two transitions, over which the offset holds.
struct Zone {
    std::string name;
    std::unique_ptr<UCalendar, CalendarCloser> calendar;
    int64_t from = 0, until = 0; // UTC ticks: offset holds from `from` up to, not including, `until`
    int64_t offset = 0;

    int64_t OffsetAt(int64_t utcTicks)
    {
        if (utcTicks >= from && utcTicks < until)
            return offset;
        UCalendar* cal = calendar.get();
        UErrorCode status = U_ZERO_ERROR;
        ucal_setMillis(cal, static_cast<UDate>((utcTicks - kUnixEpochTicks) / kTicksPerMs), &status);
        int64_t ms = ucal_get(cal, UCAL_ZONE_OFFSET, &status) + ucal_get(cal, UCAL_DST_OFFSET, &status);
        if (U_FAILURE(status))
            return 0;
        offset = ms * kTicksPerMs;
        UDate transition = 0;
        from = ucal_getTimeZoneTransitionDate(cal, UCAL_TZ_TRANSITION_PREVIOUS_INCLUSIVE, &transition, &status)
                   ? TicksFromMillis(transition)
                   : INT64_MIN;
        until = ucal_getTimeZoneTransitionDate(cal, UCAL_TZ_TRANSITION_NEXT, &transition, &status)
                    ? TicksFromMillis(transition)
                    : INT64_MAX;
        if (U_FAILURE(status) || utcTicks < from || utcTicks >= until)
            from = until = 0; // a span that can't be trusted is not kept
        return offset;
    }
};

Zone& DeviceZone()
{
    thread_local Zone zone;
    const std::string& name = CurrentProfile().timeZone;
    if (!zone.calendar || zone.name != name) {
        zone.calendar = OpenZone(name);
        zone.name = name;
        zone.from = zone.until = 0;
    }
    return zone;
}

std::vector<void (*)()>& Listeners()
{
    static std::vector<void (*)()> listeners;
    return listeners;
}

void NotifyListeners()
{
    for (auto listener : Listeners())
        listener();
}

ClockFollower g_follower{}; // constant-initialised: set by the follower's static initialisation

void WriteClock(int64_t utcTicks)
{
    Database& db = Db();
    Transaction tx(db);
    Statement set(db, "UPDATE clock SET now_ticks = ?, offset_ticks = ? WHERE id = 1");
    set.Bind(1, utcTicks).Bind(2, utcTicks - HostNowTicks()).Execute();
    tx.Commit();
}

void Reached(int64_t utcTicks)
{
    NotifyListeners();
    if (g_follower.reached)
        g_follower.reached(utcTicks);
}

} // namespace

void AddClockListener(void (*listener)()) { Listeners().push_back(listener); }

void SetClockFollower(ClockFollower follower) { g_follower = follower; }

int64_t HostNowTicks()
{
    using namespace std::chrono;
    auto since = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    return kUnixEpochTicks + since * 10;
}

namespace {

struct ClockRow {
    bool found;
    bool manual;
    int64_t nowTicks, offsetTicks, bootTicks;
};

// The clock as stored: read for nearly every message, timer and time conversion, changed rarely, so kept
// while the snapshot it was read in is current.
ClockRow StoredClock()
{
    static SnapshotCache<ClockRow> cache;
    Database& db = Db();
    auto lock = db.Lock();
    if (const ClockRow* kept = cache.Find(db))
        return *kept;
    ClockRow clock{};
    Statement row(db, "SELECT manual, now_ticks, offset_ticks, boot_ticks FROM clock WHERE id = 1");
    if (row.Step())
        clock = {true, row.Int(0) != 0, row.Int(1), row.Int(2), row.Int(3)};
    cache.Keep(db, clock);
    return clock;
}

} // namespace

ClockState ReadClock()
{
    ClockRow clock = StoredClock();
    if (!clock.found)
        return {false, HostNowTicks()};
    return {clock.manual, clock.manual ? clock.nowTicks : HostNowTicks() + clock.offsetTicks};
}

int64_t NowTicks() { return ReadClock().nowTicks; }

int64_t BootTicks() { return StoredClock().bootTicks; }

int64_t SetClock(int64_t utcTicks)
{
    for (;;) {
        int64_t now = NowTicks();
        int64_t stop = utcTicks;
        if (g_follower.nextDue && utcTicks > now)
            if (int64_t due = g_follower.nextDue(now, utcTicks); due > now && due < utcTicks)
                stop = due;
        WriteClock(stop);
        Reached(stop);
        if (stop == utcTicks)
            return utcTicks;
    }
}

int64_t AdvanceClock(int64_t ticks) { return SetClock(NowTicks() + ticks); }

void SetClockMode(bool manual)
{
    Database& db = Db();
    int64_t now;
    {
        Transaction tx(db);
        now = NowTicks();
        Statement set(db, "UPDATE clock SET manual = ?, now_ticks = ?, offset_ticks = ? WHERE id = 1");
        set.Bind(1, manual ? 1 : 0).Bind(2, now).Bind(3, now - HostNowTicks()).Execute();
        tx.Commit();
    }
    Reached(now);
}

int64_t LocalOffsetAt(int64_t utcTicks)
{
    return DeviceZone().OffsetAt(utcTicks);
}

int64_t LocalOffsetAtLocal(int64_t localTicks)
{
    Zone& zone = DeviceZone();
    // The offsets in force half a day either side cover any transition; a wall-clock time that occurs
    // twice takes the earlier instant (the larger offset), one skipped by a transition the offset before it.
    const int64_t halfDay = 12 * 3600 * kTicksPerSecond;
    int64_t before = zone.OffsetAt(localTicks - halfDay);
    int64_t after = zone.OffsetAt(localTicks + halfDay);
    bool beforeFits = zone.OffsetAt(localTicks - before) == before;
    bool afterFits = zone.OffsetAt(localTicks - after) == after;
    if (beforeFits && afterFits)
        return before > after ? before : after;
    if (afterFits)
        return after;
    return before;
}

} // namespace device
