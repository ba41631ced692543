#include "schedule/ScheduledMessageList.h"

#include "app/Binding.h"
#include "app/Program.h"
#include "app/RegKey.h"
#include "app/WaitCursor.h"

#include <notify.h>

#include <new>

void ScheduledMessageList::Clear()
{
    for (ScheduledMessage* message : m_messages)
        delete message;
    m_messages.clear();
}

HRESULT ScheduledMessageList::LoadAll()
{
    Clear();
    RegKey scheduled;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kScheduledKey, 0, KEY_READ | KEY_WRITE, scheduled.Out()) !=
        ERROR_SUCCESS)
        return S_OK;
    for (DWORD index = 0;; ++index) {
        WCHAR name[kKeyNameLength];
        DWORD length = kKeyNameLength;
        LONG rc = RegEnumKeyExW(scheduled, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) continue;
        auto message = new (std::nothrow) ScheduledMessage;
        if (!message) continue;
        if (FAILED(message->Load(name))) {
            delete message;
            continue;
        }
        m_messages.push_back(message);
    }
    return S_OK;
}

template <class Wanted> ScheduledMessage* ScheduledMessageList::Earliest(Wanted wanted) const
{
    ScheduledMessage* best = nullptr;
    for (ScheduledMessage* message : m_messages) {
        if (!wanted(*message)) continue;
        if (!best || message->Time() < best->Time()) best = message;
    }
    return best;
}

HRESULT ScheduledMessageList::FindNext(ScheduledMessage** out, bool tolerateLate) const
{
    ScheduledMessage* best = Earliest([tolerateLate](const ScheduledMessage& m) { return !m.IsPast(tolerateLate); });
    if (!best) return E_FAIL;
    *out = best;
    return S_OK;
}

HRESULT ScheduledMessageList::ArmWakeUp(bool laterOnly)
{
    WaitCursor wait;
    LoadAll();
    // The registration is the program's own, by its quoted path; without the path there is none of ours
    // to make or clear.
    WCHAR application[MAX_PATH] = {};
    HRESULT hr = utils::GetQuotedModulePath(application, MAX_PATH);
    if (FAILED(hr)) return hr;
    ScheduledMessage* next = nullptr;
    if (laterOnly)
        next = Earliest([now = LocalNow()](const ScheduledMessage& m) { return m.Time() > now; });
    else
        FindNext(&next, false);
    if (next) {
        SYSTEMTIME due;
        if (next->Time().ToSystemTime(&due) && CeRunAppAtTime(application, &due)) return S_OK;
        hr = E_FAIL;
    }
    CeRunAppAtTime(application, nullptr);
    return hr;
}

HRESULT ScheduledMessageList::FindDue(ScheduledMessage** out)
{
    HRESULT hr = LoadAll();
    if (FAILED(hr)) return hr;
    ScheduledMessage* candidate = nullptr;
    if (FAILED(FindNext(&candidate, true))) return E_FAIL;
    // Due in this minute: a wake-up before the message's minute finds it still ahead.
    SYSTEMTIME now;
    GetLocalTime(&now);
    now.wSecond = 0;
    now.wMilliseconds = 0;
    DateTime nowMinute = DateTime::FromSystemTime(now);
    if (!(nowMinute == candidate->Time())) {
        double late = (nowMinute - candidate->Time()).WholeSeconds();
        if (late < 0 || late > 10.0) return E_FAIL;
    }
    *out = candidate;
    return S_OK;
}
