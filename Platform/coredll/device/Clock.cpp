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

// The device's time zone, whose calendar each thread keeps while the profile names the same zone: opening
// one costs many times what asking it does.
UCalendar* DeviceZone()
{
    thread_local std::string t_zone;
    thread_local std::unique_ptr<UCalendar, CalendarCloser> t_calendar;
    const std::string& zone = CurrentProfile().timeZone;
    if (!t_calendar || zone != t_zone) {
        t_calendar = OpenZone(zone);
        t_zone = zone;
    }
    return t_calendar.get();
}

int64_t OffsetWith(UCalendar* cal, int64_t utcTicks)
{
    UErrorCode status = U_ZERO_ERROR;
    ucal_setMillis(cal, static_cast<UDate>((utcTicks - kUnixEpochTicks) / kTicksPerMs), &status);
    int64_t ms = ucal_get(cal, UCAL_ZONE_OFFSET, &status) + ucal_get(cal, UCAL_DST_OFFSET, &status);
    return U_SUCCESS(status) ? ms * kTicksPerMs : 0;
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

ClockState ReadClock()
{
    Database& db = Db();
    auto lock = db.Lock();
    Statement row(db, "SELECT manual, now_ticks, offset_ticks FROM clock WHERE id = 1");
    if (!row.Step())
        return {false, HostNowTicks()};
    bool manual = row.Int(0) != 0;
    return {manual, manual ? row.Int(1) : HostNowTicks() + row.Int(2)};
}

int64_t NowTicks() { return ReadClock().nowTicks; }

int64_t BootTicks()
{
    Database& db = Db();
    auto lock = db.Lock();
    Statement row(db, "SELECT boot_ticks FROM clock WHERE id = 1");
    return row.Step() ? row.Int(0) : 0;
}

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
    return OffsetWith(DeviceZone(), utcTicks);
}

int64_t LocalOffsetAtLocal(int64_t localTicks)
{
    UCalendar* cal = DeviceZone();
    // The offsets in force half a day either side cover any transition; a wall-clock time that occurs
    // twice takes the earlier instant (the larger offset), one skipped by a transition the offset before it.
    const int64_t halfDay = 12 * 3600 * kTicksPerSecond;
    int64_t before = OffsetWith(cal, localTicks - halfDay);
    int64_t after = OffsetWith(cal, localTicks + halfDay);
    bool beforeFits = OffsetWith(cal, localTicks - before) == before;
    bool afterFits = OffsetWith(cal, localTicks - after) == after;
    if (beforeFits && afterFits)
        return before > after ? before : after;
    if (afterFits)
        return after;
    return before;
}

} // namespace device
