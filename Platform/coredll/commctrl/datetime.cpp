// Date and time picker ("SysDateTimePick32"): a value shown through a format of fields, edited by keys
// (left and right choose a field, up and down step it round its own range, digits fill it, the first
// letter of AM or PM chooses that half of the day; in a Smartphone dialog, left from the first field and
// right from the last move to the neighbouring control); the shown text is the window text. Left out: the
// drop-down calendar, callback fields and DTS_SHOWNONE's check box.
#include <windows.h>
#include <commctrl.h>

#include "commctrl/ControlSupport.h"
#include "commctrl/Controls.h"
#include "commctrl/Painting.h"
#include "device/Calendar.h"
#include "user/Dialog.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

enum class Field { Literal, Day, DayName, Month, Year, Hour12, Hour24, Minute, Second, AmPm };

struct Part {
    Field field = Field::Literal;
    int letters = 0;     // how many format letters: "dd" is 2
    std::u16string text; // a literal part's text
};

constexpr WORD kFirstYear = 1753; // the device's dates run from 1753 to 9999
constexpr WORD kLastYear = 9999;

struct Picker {
    HWND hwnd = nullptr;
    SYSTEMTIME time{};
    bool none = false;        // GDT_NONE: no date chosen
    std::u16string format;    // the program's format; empty for the style's locale format
    std::vector<Part> parts;
    int current = -1;         // the part being edited
    std::u16string typed;     // digits typed into the current field so far
    SYSTEMTIME limits[2]{};   // GDTR_MIN, GDTR_MAX
    DWORD limitFlags = 0;
};

// --- Formats ---

std::u16string LocaleText(LCTYPE type)
{
    WCHAR text[80] = {};
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, 80) > 0 ? std::u16string(text) : std::u16string();
}

// The style's format: time, long date, short date with the century, or short date.
std::u16string StyleFormat(DWORD style)
{
    if ((style & DTS_SHORTDATECENTURYFORMAT) == DTS_SHORTDATECENTURYFORMAT) {
        std::u16string format = LocaleText(LOCALE_SSHORTDATE), widened;
        for (size_t i = 0; i < format.size();) {
            size_t run = format.find_first_not_of(u'y', i);
            run = (run == std::u16string::npos ? format.size() : run) - i;
            if (format[i] == u'y') {
                widened += u"yyyy";
                i += run;
            } else {
                widened += format[i++];
            }
        }
        return widened;
    }
    if ((style & DTS_TIMEFORMAT) == DTS_TIMEFORMAT)
        return LocaleText(LOCALE_STIMEFORMAT);
    return LocaleText((style & DTS_LONGDATEFORMAT) ? LOCALE_SLONGDATE : LOCALE_SSHORTDATE);
}

Field FieldOf(WCHAR letter, int letters)
{
    switch (letter) {
    case u'd': return letters <= 2 ? Field::Day : Field::DayName;
    case u'M': return Field::Month;
    case u'y': return Field::Year;
    case u'h': return Field::Hour12;
    case u'H': return Field::Hour24;
    case u'm': return Field::Minute;
    case u's': return Field::Second;
    case u't': return Field::AmPm;
    }
    return Field::Literal;
}

void AddLiteral(std::vector<Part>& parts, std::u16string_view text)
{
    if (parts.empty() || parts.back().field != Field::Literal)
        parts.push_back(Part{});
    parts.back().text += text;
}

// Splits a format into fields and literal text; text in single quotes is literal ('' is a quote).
std::vector<Part> Parse(std::u16string_view format)
{
    std::vector<Part> parts;
    for (size_t i = 0; i < format.size();) {
        WCHAR ch = format[i];
        if (ch == u'\'') {
            if (i + 1 < format.size() && format[i + 1] == u'\'') {
                AddLiteral(parts, u"'");
                i += 2;
                continue;
            }
            std::u16string quoted;
            size_t end = i + 1;
            while (end < format.size()) {
                if (format[end] == u'\'') {
                    if (end + 1 < format.size() && format[end + 1] == u'\'') {
                        quoted += u'\'';
                        end += 2;
                        continue;
                    }
                    break;
                }
                quoted += format[end++];
            }
            AddLiteral(parts, quoted);
            i = end + 1;
            continue;
        }
        size_t run = i;
        while (run < format.size() && format[run] == ch)
            ++run;
        int letters = static_cast<int>(run - i);
        Field field = FieldOf(ch, letters);
        if (field == Field::Literal)
            AddLiteral(parts, format.substr(i, run - i));
        else
            parts.push_back(Part{field, letters, {}});
        i = run;
    }
    return parts;
}

std::u16string Number(int value, int digits)
{
    std::u16string text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value > 0);
    while (static_cast<int>(text.size()) < digits)
        text.insert(text.begin(), u'0');
    return text;
}

std::u16string Render(const Part& part, const SYSTEMTIME& time)
{
    int hour12 = time.wHour % 12 == 0 ? 12 : time.wHour % 12;
    switch (part.field) {
    case Field::Literal: return part.text;
    case Field::Day: return Number(time.wDay, part.letters);
    case Field::DayName: {
        int monday = (time.wDayOfWeek + 6) % 7; // the locale lists the days from Monday
        return LocaleText((part.letters == 3 ? LOCALE_SABBREVDAYNAME1 : LOCALE_SDAYNAME1) + monday);
    }
    case Field::Month:
        if (part.letters >= 3)
            return LocaleText((part.letters == 3 ? LOCALE_SABBREVMONTHNAME1 : LOCALE_SMONTHNAME1) + time.wMonth - 1);
        return Number(time.wMonth, part.letters);
    case Field::Year:
        if (part.letters == 1)
            return Number(time.wYear % 10, 1);
        return part.letters == 2 ? Number(time.wYear % 100, 2) : Number(time.wYear, 1);
    case Field::Hour12: return Number(hour12, part.letters);
    case Field::Hour24: return Number(time.wHour, part.letters);
    case Field::Minute: return Number(time.wMinute, part.letters);
    case Field::Second: return Number(time.wSecond, part.letters);
    case Field::AmPm: {
        std::u16string marker = LocaleText(time.wHour < 12 ? LOCALE_S1159 : LOCALE_S2359);
        return part.letters == 1 ? marker.substr(0, 1) : marker;
    }
    }
    return {};
}

bool Editable(const Part& part) { return part.field != Field::Literal && part.field != Field::DayName; }

void ShowValue(Picker& picker)
{
    std::u16string text;
    for (const Part& part : picker.parts)
        text += Render(part, picker.time);
    device::StoreText(picker.hwnd, std::move(text));
}

void ApplyFormat(Picker& picker)
{
    picker.parts = Parse(picker.format.empty() ? StyleFormat(device::StyleOf(picker.hwnd)) : picker.format);
    picker.current = -1;
    for (size_t i = 0; i < picker.parts.size() && picker.current < 0; ++i)
        if (Editable(picker.parts[i]))
            picker.current = static_cast<int>(i);
    ShowValue(picker);
}

// --- Values ---

bool ValidDate(const SYSTEMTIME& time)
{
    return time.wYear >= kFirstYear && time.wYear <= kLastYear && time.wMonth >= 1 && time.wMonth <= 12 &&
           time.wDay >= 1 && time.wDay <= device::DaysInMonth(time.wYear, time.wMonth) && time.wHour < 24 &&
           time.wMinute < 60 && time.wSecond < 60 && time.wMilliseconds < 1000;
}

WORD DayOfWeek(const SYSTEMTIME& time)
{
    return static_cast<WORD>(device::DayOfWeek(device::DaysFromCivil(time.wYear, time.wMonth, time.wDay)));
}

int64_t Order(const SYSTEMTIME& time)
{
    int64_t days = device::DaysFromCivil(time.wYear, time.wMonth, time.wDay);
    return ((days * 24 + time.wHour) * 60 + time.wMinute) * 60 + time.wSecond;
}

bool InRange(const Picker& picker, const SYSTEMTIME& time)
{
    if ((picker.limitFlags & GDTR_MIN) && Order(time) < Order(picker.limits[0]))
        return false;
    return !((picker.limitFlags & GDTR_MAX) && Order(time) > Order(picker.limits[1]));
}

LRESULT SetTime(Picker& picker, WPARAM flag, const SYSTEMTIME* time)
{
    if (flag == GDT_NONE) {
        if (!(device::StyleOf(picker.hwnd) & DTS_SHOWNONE))
            return FALSE;
        picker.none = true;
        ShowValue(picker);
        return TRUE;
    }
    if (flag != GDT_VALID || !time || !ValidDate(*time))
        return FALSE;
    SYSTEMTIME value = *time;
    value.wDayOfWeek = DayOfWeek(value);
    if (!InRange(picker, value))
        return FALSE;
    picker.time = value;
    picker.none = false;
    ShowValue(picker);
    return TRUE;
}

LRESULT GetTime(const Picker& picker, SYSTEMTIME* time)
{
    if (!time)
        return GDT_ERROR;
    if (picker.none)
        return GDT_NONE;
    *time = picker.time;
    return GDT_VALID;
}

LRESULT SetRange(Picker& picker, WPARAM flags, const SYSTEMTIME* limits)
{
    if (!limits && flags)
        return FALSE;
    for (int i = 0; i < 2; ++i)
        if ((flags & (i == 0 ? GDTR_MIN : GDTR_MAX)) && !ValidDate(limits[i]))
            return FALSE;
    picker.limitFlags = static_cast<DWORD>(flags) & (GDTR_MIN | GDTR_MAX);
    for (int i = 0; i < 2; ++i)
        if (picker.limitFlags & (i == 0 ? GDTR_MIN : GDTR_MAX))
            picker.limits[i] = limits[i];
    return TRUE;
}

LRESULT GetRange(const Picker& picker, SYSTEMTIME* limits)
{
    if (limits) {
        limits[0] = (picker.limitFlags & GDTR_MIN) ? picker.limits[0] : SYSTEMTIME{};
        limits[1] = (picker.limitFlags & GDTR_MAX) ? picker.limits[1] : SYSTEMTIME{};
    }
    return picker.limitFlags;
}

// --- Editing by keys ---

WORD Round(int value, int first, int last)
{
    int span = last - first + 1;
    return static_cast<WORD>(first + ((value - first) % span + span) % span);
}

// A field steps round within its own range without carrying into the next (the 31st steps up to the 1st
// of the same month); the day is kept inside the month when the month or year changes.
SYSTEMTIME Stepped(const SYSTEMTIME& time, Field field, int delta)
{
    SYSTEMTIME next = time;
    switch (field) {
    case Field::Day: next.wDay = Round(time.wDay + delta, 1, device::DaysInMonth(time.wYear, time.wMonth)); break;
    case Field::Month: next.wMonth = Round(time.wMonth + delta, 1, 12); break;
    case Field::Year: next.wYear = static_cast<WORD>(std::clamp(time.wYear + delta, +kFirstYear, +kLastYear)); break;
    case Field::Hour12: {
        int hour12 = Round((time.wHour % 12 == 0 ? 12 : time.wHour % 12) + delta, 1, 12);
        next.wHour = static_cast<WORD>(hour12 % 12 + (time.wHour >= 12 ? 12 : 0));
        break;
    }
    case Field::Hour24: next.wHour = Round(time.wHour + delta, 0, 23); break;
    case Field::Minute: next.wMinute = Round(time.wMinute + delta, 0, 59); break;
    case Field::Second: next.wSecond = Round(time.wSecond + delta, 0, 59); break;
    case Field::AmPm: next.wHour = static_cast<WORD>((time.wHour + 12) % 24); break;
    default: break;
    }
    next.wDay = static_cast<WORD>(std::min<int>(next.wDay, device::DaysInMonth(next.wYear, next.wMonth)));
    next.wDayOfWeek = DayOfWeek(next);
    return next;
}

void ChangeByUser(Picker& picker, const SYSTEMTIME& value)
{
    if (!InRange(picker, value))
        return;
    picker.time = value;
    ShowValue(picker);
    NMDATETIMECHANGE change{};
    change.dwFlags = GDT_VALID;
    change.st = value;
    device::NotifyParent(picker.hwnd, change.nmhdr, DTN_DATETIMECHANGE);
}

// The dialog whose controls a Smartphone user leaves the picker for, past its first or last field; null
// where the fields go round instead.
HWND NavigableDialog(const Picker& picker)
{
    if (!device::OnSmartphone())
        return nullptr;
    HWND parent = GetParent(picker.hwnd);
    return parent && device::DialogStateOf(parent) ? parent : nullptr;
}

bool IsEndField(const Picker& picker, int direction)
{
    int count = static_cast<int>(picker.parts.size());
    for (int i = picker.current + direction; i >= 0 && i < count; i += direction)
        if (Editable(picker.parts[i]))
            return false;
    return true;
}

void MoveField(Picker& picker, int direction)
{
    if (HWND dialog = NavigableDialog(picker); dialog && IsEndField(picker, direction)) {
        SendMessageW(dialog, WM_NEXTDLGCTL, direction < 0, FALSE);
        return;
    }
    int count = static_cast<int>(picker.parts.size());
    for (int i = 1; i <= count && picker.current >= 0; ++i) {
        int candidate = ((picker.current + direction * i) % count + count) % count;
        if (Editable(picker.parts[candidate])) {
            picker.current = candidate;
            picker.typed.clear();
            InvalidateRect(picker.hwnd, nullptr, TRUE);
            return;
        }
    }
}

LRESULT OnKeyDown(Picker& picker, WPARAM vk)
{
    if (picker.none || picker.current < 0)
        return 0;
    switch (vk) {
    case VK_LEFT: MoveField(picker, -1); break;
    case VK_RIGHT: MoveField(picker, 1); break;
    case VK_UP:
    case VK_DOWN:
        picker.typed.clear();
        ChangeByUser(picker, Stepped(picker.time, picker.parts[picker.current].field, vk == VK_UP ? 1 : -1));
        break;
    }
    return 0;
}

// --- Typing digits ---

bool IsNumberField(const Part& part)
{
    return part.field != Field::Literal && part.field != Field::DayName && part.field != Field::AmPm &&
           !(part.field == Field::Month && part.letters >= 3);
}

// The typed number as the field's value; false while it can't be one (yet).
bool WithTyped(const SYSTEMTIME& time, Field field, int value, int digits, SYSTEMTIME& result)
{
    result = time;
    switch (field) {
    case Field::Day:
        if (value < 1 || value > device::DaysInMonth(time.wYear, time.wMonth))
            return false;
        result.wDay = static_cast<WORD>(value);
        break;
    case Field::Month:
        if (value < 1 || value > 12)
            return false;
        result.wMonth = static_cast<WORD>(value);
        result.wDay = static_cast<WORD>(std::min<int>(time.wDay, device::DaysInMonth(time.wYear, value)));
        break;
    case Field::Year:
        if (digits < 4 || value < kFirstYear || value > kLastYear)
            return false;
        result.wYear = static_cast<WORD>(value);
        result.wDay = static_cast<WORD>(std::min<int>(time.wDay, device::DaysInMonth(value, time.wMonth)));
        break;
    case Field::Hour12:
        if (value < 1 || value > 12)
            return false;
        result.wHour = static_cast<WORD>(value % 12 + (time.wHour >= 12 ? 12 : 0));
        break;
    case Field::Hour24:
        if (value > 23)
            return false;
        result.wHour = static_cast<WORD>(value);
        break;
    case Field::Minute:
    case Field::Second:
        if (value > 59)
            return false;
        (field == Field::Minute ? result.wMinute : result.wSecond) = static_cast<WORD>(value);
        break;
    default: return false;
    }
    result.wDayOfWeek = DayOfWeek(result);
    return true;
}

// A field is complete when it has all its digits or when no further digit could still fit.
bool Complete(const Picker& picker, Field field, int value, int digits)
{
    int most = field == Field::Year ? 4 : 2;
    if (digits >= most)
        return true;
    SYSTEMTIME ignored;
    return !WithTyped(picker.time, field, value * 10, digits + 1, ignored) &&
           !WithTyped(picker.time, field, value * 10 + 1, digits + 1, ignored) && field != Field::Year;
}

// The first letter of the locale's AM or PM marker chooses that half of the day, keeping the hour.
LRESULT TypeMarker(Picker& picker, WCHAR ch)
{
    WCHAR upper[2] = {ch, 0};
    CharUpperW(upper);
    for (bool afternoon : {false, true}) {
        std::u16string marker = LocaleText(afternoon ? LOCALE_S2359 : LOCALE_S1159);
        WCHAR first[2] = {marker.empty() ? WCHAR(0) : marker[0], 0};
        CharUpperW(first);
        if (first[0] && first[0] == upper[0]) {
            SYSTEMTIME changed = picker.time;
            changed.wHour = static_cast<WORD>(picker.time.wHour % 12 + (afternoon ? 12 : 0));
            if (changed.wHour != picker.time.wHour)
                ChangeByUser(picker, changed);
            return 0;
        }
    }
    return 0;
}

LRESULT OnChar(Picker& picker, WCHAR ch)
{
    if (picker.none || picker.current < 0)
        return 0;
    if (picker.parts[picker.current].field == Field::AmPm)
        return TypeMarker(picker, ch);
    if (ch < u'0' || ch > u'9' || !IsNumberField(picker.parts[picker.current]))
        return 0;
    Field field = picker.parts[picker.current].field;
    picker.typed += ch;
    int value = std::stoi(std::string(picker.typed.begin(), picker.typed.end()));
    int digits = static_cast<int>(picker.typed.size());
    SYSTEMTIME changed;
    if (WithTyped(picker.time, field, value, digits, changed))
        ChangeByUser(picker, changed);
    if (Complete(picker, field, value, digits))
        MoveField(picker, 1);
    return 0;
}

// The fields one after another; with the focus, the field being edited is highlighted. Without a date
// (GDT_NONE) the text is greyed.
LRESULT Paint(const Picker& picker)
{
    device::PaintScope paint(picker.hwnd);
    HDC dc = paint.Dc();
    RECT client = paint.Client();
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    device::Frame(dc, client, COLOR_WINDOWFRAME);
    SetBkMode(dc, TRANSPARENT);
    bool focused = GetFocus() == picker.hwnd;
    bool grey = picker.none || !IsWindowEnabled(picker.hwnd);
    int x = client.left + 2;
    for (size_t i = 0; i < picker.parts.size(); ++i) {
        std::u16string text = Render(picker.parts[i], picker.time);
        RECT cell{x, client.top, x + device::TextWidth(picker.hwnd, text), client.bottom};
        bool current = focused && !grey && static_cast<int>(i) == picker.current;
        if (current)
            FillRect(dc, &cell, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(current ? COLOR_HIGHLIGHTTEXT : grey ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &cell,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
        x = cell.right;
    }
    return 0;
}

LRESULT OnCreate(Picker& picker)
{
    GetLocalTime(&picker.time);
    picker.time.wDayOfWeek = DayOfWeek(picker.time);
    ApplyFormat(picker);
    return 0;
}

LRESULT SetFormat(Picker& picker, LPCWSTR format)
{
    picker.format = format ? std::u16string(format) : std::u16string();
    ApplyFormat(picker);
    return TRUE;
}

} // namespace

namespace device {

LRESULT CALLBACK DateTimePickerProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        CreateState<Picker>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    Picker* picker = StateOf<Picker>(hwnd);
    if (!picker)
        return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_CREATE: return OnCreate(*picker);
    case DTM_SETSYSTEMTIME: return SetTime(*picker, wp, reinterpret_cast<const SYSTEMTIME*>(lp));
    case DTM_GETSYSTEMTIME: return GetTime(*picker, reinterpret_cast<SYSTEMTIME*>(lp));
    case DTM_SETFORMATW: return SetFormat(*picker, reinterpret_cast<LPCWSTR>(lp));
    case DTM_SETRANGE: return SetRange(*picker, wp, reinterpret_cast<const SYSTEMTIME*>(lp));
    case DTM_GETRANGE: return GetRange(*picker, reinterpret_cast<SYSTEMTIME*>(lp));
    case WM_SETTEXT: return FALSE; // the text follows the value
    case WM_KEYDOWN: return OnKeyDown(*picker, wp);
    case WM_CHAR: return OnChar(*picker, static_cast<WCHAR>(wp));
    case WM_PAINT: return Paint(*picker);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_LBUTTONDOWN: SetFocus(hwnd); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETTINGCHANGE:
        if (picker->format.empty())
            ApplyFormat(*picker); // the locale's format follows the locale; the program's own does not
        return 0;
    case WM_NCDESTROY: DestroyState<Picker>(hwnd); return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace device
