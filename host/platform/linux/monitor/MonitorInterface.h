// What the counting library preloaded into the validator exports, found by name.
#pragma once

#define QV_MONITOR_MAX_CALLERS 16

enum QvMonitoredFunction { kQvMalloc, kQvCalloc, kQvRealloc, kQvFree, kQvMutexLock, kQvMonitoredFunctions };

struct QvMonitorCaller {
    int function;
    void* address;  // the return address in the caller
    long calls;
};

struct QvMonitorCounts {
    long calls[kQvMonitoredFunctions];
    int callerCount;  // may exceed QV_MONITOR_MAX_CALLERS; the rest are not listed
    QvMonitorCaller callers[QV_MONITOR_MAX_CALLERS];
};

// "quorvaneMonitorWatch": counting on (1) or off (0) for the calling thread.
typedef void (*QvMonitorWatch)(int on);
// "quorvaneMonitorTake": copies the counts out and resets them.
typedef void (*QvMonitorTake)(QvMonitorCounts* counts);
