// Critical sections: recursive, so the owning thread may enter again and leaves as often as it entered.
#include <windows.h>

#include <mutex>

namespace {
std::recursive_mutex* MutexOf(LPCRITICAL_SECTION section)
{
    return static_cast<std::recursive_mutex*>(section->impl);
}
} // namespace

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    lpCriticalSection->impl = new std::recursive_mutex;
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    delete MutexOf(lpCriticalSection);
    lpCriticalSection->impl = nullptr;
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    MutexOf(lpCriticalSection)->lock();
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    MutexOf(lpCriticalSection)->unlock();
}
