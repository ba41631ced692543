#include <windows.h>

#include "support/TempDevice.h"

#include <gtest/gtest.h>

using testing_support::TempDevice;

namespace {

struct Worker {
    HANDLE go = nullptr; // the worker waits for this before it ends
    DWORD exitCode = 0;
    DWORD seenThreadId = 0;
};

DWORD WINAPI WaitThenEnd(LPVOID parameter)
{
    auto* worker = static_cast<Worker*>(parameter);
    worker->seenThreadId = GetCurrentThreadId();
    WaitForSingleObject(worker->go, INFINITE);
    return worker->exitCode;
}

LONG volatile g_counter = 0;

DWORD WINAPI CountUp(LPVOID)
{
    for (int i = 0; i < 10000; ++i)
        InterlockedIncrement(&g_counter);
    return 0;
}

struct Guarded {
    CRITICAL_SECTION section;
    LONG volatile entered = 0;
};

DWORD WINAPI EnterAndLeave(LPVOID parameter)
{
    auto* guarded = static_cast<Guarded*>(parameter);
    EnterCriticalSection(&guarded->section);
    InterlockedExchange(&guarded->entered, 1);
    LeaveCriticalSection(&guarded->section);
    return 0;
}

} // namespace

TEST(Threads, AThreadIsActiveUntilItReturnsAndItsHandleIsSignalledWithItsExitCode)
{
    Worker worker;
    worker.go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    worker.exitCode = 42;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, WaitThenEnd, &worker, 0, &id);
    ASSERT_NE(thread, nullptr);

    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, DWORD(STILL_ACTIVE));
    EXPECT_EQ(WaitForSingleObject(thread, 0), DWORD(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(thread, 20), DWORD(WAIT_TIMEOUT));

    SetEvent(worker.go);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0); // an ended thread stays signalled
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(worker.seenThreadId, id);
    EXPECT_NE(id, GetCurrentThreadId());
    EXPECT_NE(GetCurrentProcessId(), 0u);
    EXPECT_TRUE(CloseHandle(thread));
    CloseHandle(worker.go);

    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(Threads, AThreadRunsOnAfterItsHandleIsClosed)
{
    Worker worker;
    worker.go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE events[2] = {worker.go, done};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID parameter) -> DWORD {
            auto* pair = static_cast<HANDLE*>(parameter);
            WaitForSingleObject(pair[0], INFINITE);
            SetEvent(pair[1]);
            return 0;
        },
        events, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(CloseHandle(thread));
    SetEvent(worker.go);
    EXPECT_EQ(WaitForSingleObject(done, INFINITE), WAIT_OBJECT_0);
    CloseHandle(worker.go);
    CloseHandle(done);
}

TEST(Events, AnAutoResetEventReleasesOneWaitAndAManualOneStaysSetUntilReset)
{
    HANDLE autoReset = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(autoReset, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(autoReset, 0), DWORD(WAIT_TIMEOUT));
    EXPECT_TRUE(SetEvent(autoReset));
    EXPECT_TRUE(SetEvent(autoReset)); // setting twice still releases one wait
    EXPECT_EQ(WaitForSingleObject(autoReset, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(autoReset, 0), DWORD(WAIT_TIMEOUT));

    HANDLE manual = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(WaitForSingleObject(manual, 0), DWORD(WAIT_TIMEOUT));
    EXPECT_TRUE(SetEvent(manual));
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(ResetEvent(manual));
    EXPECT_EQ(WaitForSingleObject(manual, 10), DWORD(WAIT_TIMEOUT));

    EXPECT_EQ(CreateEventW(nullptr, TRUE, FALSE, u"Global.Name"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    CloseHandle(autoReset);
    CloseHandle(manual);
}

TEST(Events, AWaitingThreadWakesWhenAnotherSetsTheEvent)
{
    Worker worker;
    worker.go = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    worker.exitCode = 7;
    HANDLE thread = CreateThread(nullptr, 0, WaitThenEnd, &worker, 0, nullptr);
    SetEvent(worker.go);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(worker.go, 0), DWORD(WAIT_TIMEOUT)); // the worker's wait consumed it
    CloseHandle(thread);
    CloseHandle(worker.go);
}

TEST(Waits, WaitingForSeveralObjectsReportsTheFirstSignalledOneAndConsumesOnlyIt)
{
    HANDLE events[3] = {CreateEventW(nullptr, FALSE, FALSE, nullptr),
                        CreateEventW(nullptr, FALSE, FALSE, nullptr),
                        CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), DWORD(WAIT_TIMEOUT));
    SetEvent(events[1]);
    SetEvent(events[2]);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, INFINITE), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 0), DWORD(WAIT_TIMEOUT)); // event 1 was consumed

    EXPECT_EQ(WaitForMultipleObjects(3, events, TRUE, 0), WAIT_FAILED); // the device waits for one only
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WaitForMultipleObjects(0, events, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS + 1, events, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    HANDLE withBad[2] = {events[2], reinterpret_cast<HANDLE>(0x7770)};
    EXPECT_EQ(WaitForMultipleObjects(2, withBad, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    for (HANDLE event : events)
        CloseHandle(event);
}

TEST(Interlocked, OperationsReturnTheDocumentedValueAndStayExactAcrossThreads)
{
    LONG volatile value = 5;
    EXPECT_EQ(InterlockedIncrement(&value), 6);
    EXPECT_EQ(InterlockedDecrement(&value), 5);
    EXPECT_EQ(InterlockedExchange(&value, 9), 5);
    EXPECT_EQ(InterlockedExchangeAdd(&value, 3), 9);
    EXPECT_EQ(value, 12);
    EXPECT_EQ(InterlockedCompareExchange(&value, 1, 4), 12); // no match: unchanged
    EXPECT_EQ(value, 12);
    EXPECT_EQ(InterlockedCompareExchange(&value, 1, 12), 12);
    EXPECT_EQ(value, 1);

    g_counter = 0;
    HANDLE threads[4];
    for (HANDLE& thread : threads)
        thread = CreateThread(nullptr, 0, CountUp, nullptr, 0, nullptr);
    for (HANDLE thread : threads) {
        EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
        CloseHandle(thread);
    }
    EXPECT_EQ(g_counter, 40000);
}

TEST(CriticalSections, TheOwnerMayEnterAgainAndOthersWaitUntilItLeavesAsOftenAsItEntered)
{
    Guarded guarded;
    InitializeCriticalSection(&guarded.section);
    EnterCriticalSection(&guarded.section);
    EnterCriticalSection(&guarded.section);
    HANDLE other = CreateThread(nullptr, 0, EnterAndLeave, &guarded, 0, nullptr);
    LeaveCriticalSection(&guarded.section);
    EXPECT_EQ(WaitForSingleObject(other, 20), DWORD(WAIT_TIMEOUT)); // still held once
    EXPECT_EQ(guarded.entered, 0);
    LeaveCriticalSection(&guarded.section);
    EXPECT_EQ(WaitForSingleObject(other, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(guarded.entered, 1);
    CloseHandle(other);
    DeleteCriticalSection(&guarded.section);
}

TEST(KernelHandles, ClosedMadeUpAndMismatchedHandlesFailWithInvalidHandle)
{
    TempDevice device;
    HANDLE file =
        CreateFileW(u"\\Temp\\h.txt", GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_NE(file, event);

    char byte = 0;
    DWORD count = 0;
    EXPECT_FALSE(ReadFile(event, &byte, 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForSingleObject(file, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(SetEvent(file));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeThread(event, &code));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(WriteFile(file, "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetFileSize(file, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    for (HANDLE bad : {HANDLE(nullptr), INVALID_HANDLE_VALUE, reinterpret_cast<HANDLE>(0x1234)}) {
        EXPECT_FALSE(CloseHandle(bad));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    EXPECT_TRUE(CloseHandle(event));
}
