// Counting allocations and lock calls made by one thread while it is watched: the
// validator watches the audio thread inside the plug-in's process call. Works when the
// counting library is preloaded into the process; elsewhere it counts nothing.
#pragma once

#include <string>
#include <vector>

struct MonitoredCaller {
    std::string function;  // "malloc", "pthread_mutex_lock", ...
    std::string where;     // the calling library and symbol
    long calls = 0;
};

struct MonitoredCalls {
    long total = 0;
    std::vector<MonitoredCaller> callers;  // the first few distinct call sites
};

bool callMonitorAvailable();
// False where counting cannot work at all: sanitizer builds, platforms without preloading.
bool callMonitorPossible();
// Starts or stops counting on the calling thread; free of allocation and locks.
void watchThisThread(bool on);
// What was counted since the last take; resets the counts.
MonitoredCalls takeMonitoredCalls();

// Starts this program again with the counting library preloaded when it is not yet.
// Returns when it is loaded already or cannot be (then nothing is counted).
void preloadCallMonitor(int argc, char** argv);
