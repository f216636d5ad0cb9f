// Sleep and thread priorities on POSIX threads.
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/linux/win32/win32_api.h"

namespace {

// GetCurrentThread's pseudo handle, the value Windows uses.
const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2));

// Windows priority levels mapped onto the nice value of the calling thread (Linux applies
// setpriority to a single thread when given its thread id). Real-time scheduling is not used:
// a busy real-time thread can freeze a machine, and the nice scale is enough for an audio
// thread that sleeps most of the time.
struct PriorityMapping {
    int windowsPriority;
    int niceValue;
};

constexpr PriorityMapping kPriorities[] = {
    {THREAD_PRIORITY_IDLE, 19},           {THREAD_PRIORITY_LOWEST, 10},
    {THREAD_PRIORITY_BELOW_NORMAL, 5},    {THREAD_PRIORITY_NORMAL, 0},
    {THREAD_PRIORITY_ABOVE_NORMAL, -5},   {THREAD_PRIORITY_HIGHEST, -10},
    {THREAD_PRIORITY_TIME_CRITICAL, -20},
};

} // namespace

VOID WINAPI Sleep(DWORD dwMilliseconds) {
    if (dwMilliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    if (dwMilliseconds == INFINITE) {
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(24));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

HANDLE WINAPI GetCurrentThread(VOID) {
    return kCurrentThread;
}

// Returns FALSE when the level is unknown or the process may not raise its priority (an
// unprivileged user cannot go below nice 0); the thread then keeps running as it was.
BOOL WINAPI SetThreadPriority(HANDLE hThread, int nPriority) {
    if (hThread != kCurrentThread)
        return FALSE;
    for (const PriorityMapping& mapping : kPriorities) {
        if (mapping.windowsPriority != nPriority)
            continue;
        const auto threadId = static_cast<id_t>(syscall(SYS_gettid));
        return setpriority(PRIO_PROCESS, threadId, mapping.niceValue) == 0 ? TRUE : FALSE;
    }
    return FALSE;
}

// Ticks of 100 ns, the frequency Windows 10 reports on most machines; the clock is monotonic.
BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
    lpFrequency->QuadPart = 10'000'000;
    return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    lpPerformanceCount->QuadPart =
        std::chrono::duration_cast<std::chrono::duration<LONGLONG, std::ratio<1, 10'000'000>>>(now)
            .count();
    return TRUE;
}
