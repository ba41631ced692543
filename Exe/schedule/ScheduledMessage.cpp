#include "schedule/ScheduledMessage.h"

#include "app/Binding.h"
#include "contacts/ContactStore.h"
#include "app/RegKey.h"
#include "contacts/RegistryValues.h"
#include "schedule/DueText.h"
#include "schedule/EditScreen.h"

#include <strsafe.h>

const WCHAR kScheduledKey[] = TEXT("Software\\Orvane\\Zelkova\\Scheduled SMS\\");

namespace
{

constexpr size_t kMessagePathLength = sizeof(kScheduledKey) / sizeof(WCHAR) + kKeyNameLength;
constexpr WCHAR kBodyValue[] = TEXT("Body");
constexpr WCHAR kTimeValue[] = TEXT("Time");

// A stored time that is no date (only a hand-edited registry has one) could never be woken for, and as
// the earliest time it would stand in the way of every other message's wake-up.
bool IsDate(double value)
{
    DateTime time;
    time.SetValue(value, DateTimeValid);
    SYSTEMTIME st;
    return time.ToSystemTime(&st);
}

} // namespace

ScheduledMessage::ScheduledMessage()
{
    SYSTEMTIME today;
    GetLocalTime(&today);
    m_time.FromParts(today.wYear, today.wMonth, today.wDay, 8, 0, 0);
    m_time += DateTimeSpan::SpanFromParts(1, 0, 0, 0);
}

ScheduledMessage::~ScheduledMessage()
{
    m_messageStore.Close();
    CloseContactStore(&m_sendContactStore);
}

HRESULT ScheduledMessage::MessagePath(LPWSTR path, size_t capacity) const
{
    HRESULT hr = StringCchCopyW(path, capacity, kScheduledKey);
    if (SUCCEEDED(hr)) hr = StringCchCatW(path, capacity, m_keyName);
    return hr;
}

HRESULT ScheduledMessage::Load(LPCWSTR keyName)
{
    if (!keyName || !keyName[0]) return E_FAIL;
    HRESULT hr = SetKeyName(keyName);
    if (FAILED(hr)) return hr;
    WCHAR path[kMessagePathLength];
    if (FAILED(MessagePath(path, kMessagePathLength))) return E_FAIL;
    RegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, key.Out()) != ERROR_SUCCESS) return E_FAIL;
    WCHAR body[kMaxSmsLength + 1];
    if (FAILED(ReadStringValue(key, kBodyValue, body, kMaxSmsLength + 1))) return E_FAIL;
    hr = SetText(body);
    if (FAILED(hr)) return hr;
    double time = 0;
    if (FAILED(ReadBinaryValue(key, kTimeValue, &time, sizeof(time))) || !IsDate(time)) return E_FAIL;
    m_time.SetValue(time, m_time.Status()); // the status is not stored
    return LoadMembers(key);
}

HRESULT ScheduledMessage::Save()
{
    if (m_text && lstrlenW(m_text) > kMaxSmsLength) return E_INVALIDARG;
    if (!m_keyName[0]) {
        HRESULT hr = utils::MakeGuidString(m_keyName, kKeyNameLength);
        if (FAILED(hr)) {
            m_keyName[0] = 0; // a half-written name must not become the next save's key
            return hr;
        }
    }
    WCHAR path[kMessagePathLength];
    if (FAILED(MessagePath(path, kMessagePathLength))) return E_FAIL;
    RegKey key;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key.Out(),
                        &disposition) != ERROR_SUCCESS)
        return E_FAIL;
    WriteValues(key);
    m_dirty = 0;
    return S_OK;
}

// A failed value write goes unreported, as for a group: the caller has nothing better to offer the user.
// A message without a body is stored with an empty one, so it still loads.
void ScheduledMessage::WriteValues(HKEY key) const
{
    LPCWSTR body = m_text ? m_text : TEXT("");
    RegSetValueExW(key, kBodyValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(body),
                   static_cast<DWORD>((lstrlenW(body) + 1) * sizeof(WCHAR)));
    double time = m_time.Value();
    RegSetValueExW(key, kTimeValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&time), sizeof(time));
    SaveMembers(key);
}

HRESULT ScheduledMessage::Edit(HWND parent)
{
    m_dirty = 0;
    if (RunEditScreen(parent, *this) == IDOK && m_dirty) return Save();
    return E_FAIL;
}

HRESULT ScheduledMessage::Delete()
{
    if (!m_keyName[0]) return E_FAIL;
    RegKey scheduled;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kScheduledKey, 0, KEY_READ | KEY_WRITE, scheduled.Out()) !=
        ERROR_SUCCESS)
        return E_FAIL;
    if (RegDeleteKeyW(scheduled, m_keyName) != ERROR_SUCCESS) return E_FAIL;
    m_members.clear();
    return S_OK;
}

HRESULT ScheduledMessage::SetTime(const DateTime& time)
{
    if (time == m_time) return S_FALSE;
    m_time = time;
    m_dirty = 1;
    return S_OK;
}

bool ScheduledMessage::IsPast(bool tolerateLate) const
{
    DateTime now = LocalNow();
    if (!(now > m_time)) return false;
    if (!tolerateLate) return true;
    // now is the later, so a negative count is a lateness too long for 32 bits (decades): past.
    double late = (now - m_time).WholeSeconds();
    return late > 10.0 || late < 0;
}

HRESULT ScheduledMessage::DescribeDue(LPWSTR* out) const
{
    if (!out) return E_INVALIDARG;
    SYSTEMTIME now;
    GetLocalTime(&now);
    return DescribeDueTime(m_time, now, out);
}
