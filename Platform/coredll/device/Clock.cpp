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

// A calendar in the device's time zone, opened per call: the zone can change with the profile.
std::unique_ptr<UCalendar, CalendarCloser> OpenZone()
{
    std::string zone = CurrentProfile().timeZone;
    std::u16string id(zone.begin(), zone.end());
    UErrorCode status = U_ZERO_ERROR;
    UCalendar* cal = ucal_open(id.c_str(), static_cast<int32_t>(id.size()), "", UCAL_GREGORIAN, &status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        cal = ucal_open(u"UTC", 3, "", UCAL_GREGORIAN, &status);
    }
    return std::unique_ptr<UCalendar, CalendarCloser>(cal);
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

bool ClockCanHold(int64_t utcTicks)
{
    auto inRange = [](int64_t ticks) { return ticks >= kFirstClockTicks && ticks < kEndClockTicks; };
    return inRange(utcTicks) && inRange(utcTicks + LocalOffsetAt(utcTicks));
}

ClockRangeError::ClockRangeError()
    : std::out_of_range("the device clock holds times from 1753-01-01 to 2078-12-31 only")
{
}

int64_t SetClock(int64_t utcTicks)
{
    if (!ClockCanHold(utcTicks))
        throw ClockRangeError();
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

int64_t AdvanceClock(int64_t ticks)
{
    int64_t target;
    if (__builtin_add_overflow(NowTicks(), ticks, &target))
        throw ClockRangeError();
    return SetClock(target);
}

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
    auto cal = OpenZone();
    return OffsetWith(cal.get(), utcTicks);
}

int64_t LocalOffsetAtLocal(int64_t localTicks)
{
    auto cal = OpenZone();
    // The offsets in force half a day either side cover any transition; a wall-clock time that occurs
    // twice takes the earlier instant (the larger offset), one skipped by a transition the offset before it.
    const int64_t halfDay = 12 * 3600 * kTicksPerSecond;
    int64_t before = OffsetWith(cal.get(), localTicks - halfDay);
    int64_t after = OffsetWith(cal.get(), localTicks + halfDay);
    bool beforeFits = OffsetWith(cal.get(), localTicks - before) == before;
    bool afterFits = OffsetWith(cal.get(), localTicks - after) == after;
    if (beforeFits && afterFits)
        return before > after ? before : after;
    if (afterFits)
        return after;
    return before;
}

} // namespace device
