// Preloaded into quorvane-render --validate: stands in for malloc, calloc, realloc, free
// and pthread_mutex_lock, counts the calls a watched thread makes and passes every call
// on to the C library.
#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cstddef>
#include <cstring>

#include "host/platform/linux/monitor/MonitorInterface.h"

#define QV_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using MallocFunction = void* (*)(std::size_t);
using CallocFunction = void* (*)(std::size_t, std::size_t);
using ReallocFunction = void* (*)(void*, std::size_t);
using FreeFunction = void (*)(void*);
using LockFunction = int (*)(pthread_mutex_t*);

MallocFunction realMalloc;
CallocFunction realCalloc;
ReallocFunction realRealloc;
FreeFunction realFree;
LockFunction realLock;

// Initial-exec: the general TLS model may allocate on first use, from inside malloc.
__thread bool watched __attribute__((tls_model("initial-exec")));

std::atomic<long> counts[kQvMonitoredFunctions];
std::atomic<int> callerCount;
QvMonitorCaller callers[QV_MONITOR_MAX_CALLERS];

// dlsym may ask for memory before the real functions are known; it gets it from here.
alignas(16) char bootstrap[8192];
std::atomic<std::size_t> bootstrapUsed;

bool fromBootstrap(const void* pointer) {
    return pointer >= static_cast<const void*>(bootstrap) && pointer < static_cast<const void*>(bootstrap + sizeof bootstrap);
}

void* bootstrapAllocate(std::size_t size) {
    const std::size_t rounded = (size + 15) & ~static_cast<std::size_t>(15);
    const std::size_t offset = bootstrapUsed.fetch_add(rounded);
    return offset + rounded <= sizeof bootstrap ? bootstrap + offset : nullptr;
}

void findRealFunctions() {
    static std::atomic<bool> looking{false};
    if (looking.exchange(true)) return;
    realMalloc = reinterpret_cast<MallocFunction>(dlsym(RTLD_NEXT, "malloc"));
    realCalloc = reinterpret_cast<CallocFunction>(dlsym(RTLD_NEXT, "calloc"));
    realRealloc = reinterpret_cast<ReallocFunction>(dlsym(RTLD_NEXT, "realloc"));
    realFree = reinterpret_cast<FreeFunction>(dlsym(RTLD_NEXT, "free"));
    realLock = reinterpret_cast<LockFunction>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
}

// Only the watched thread gets here, so the caller table has a single writer.
void countCall(int function, void* caller) {
    counts[function].fetch_add(1, std::memory_order_relaxed);
    const int known = callerCount.load(std::memory_order_relaxed);
    const int listed = known < QV_MONITOR_MAX_CALLERS ? known : QV_MONITOR_MAX_CALLERS;
    for (int i = 0; i < listed; ++i) {
        if (callers[i].address == caller && callers[i].function == function) {
            ++callers[i].calls;
            return;
        }
    }
    if (known < QV_MONITOR_MAX_CALLERS) callers[known] = QvMonitorCaller{function, caller, 1};
    callerCount.store(known + 1, std::memory_order_release);
}

}  // namespace

#define QV_COUNT(function) \
    if (watched) countCall(function, __builtin_return_address(0))

QV_EXPORT void* malloc(std::size_t size) {
    QV_COUNT(kQvMalloc);
    if (!realMalloc) findRealFunctions();
    return realMalloc ? realMalloc(size) : bootstrapAllocate(size);
}

QV_EXPORT void* calloc(std::size_t count, std::size_t size) {
    QV_COUNT(kQvCalloc);
    if (!realCalloc) findRealFunctions();
    if (realCalloc) return realCalloc(count, size);
    // Static storage starts zeroed.
    return bootstrapAllocate(count * size);
}

QV_EXPORT void* realloc(void* pointer, std::size_t size) {
    QV_COUNT(kQvRealloc);
    if (!realRealloc) findRealFunctions();
    if (fromBootstrap(pointer)) {
        void* moved = malloc(size);
        if (moved) std::memcpy(moved, pointer, size);
        return moved;
    }
    return realRealloc(pointer, size);
}

QV_EXPORT void free(void* pointer) {
    QV_COUNT(kQvFree);
    if (!pointer || fromBootstrap(pointer)) return;
    if (!realFree) findRealFunctions();
    realFree(pointer);
}

QV_EXPORT int pthread_mutex_lock(pthread_mutex_t* mutex) {
    QV_COUNT(kQvMutexLock);
    if (!realLock) findRealFunctions();
    return realLock(mutex);
}

QV_EXPORT void quorvaneMonitorWatch(int on) { watched = on != 0; }

QV_EXPORT void quorvaneMonitorTake(QvMonitorCounts* taken) {
    for (int i = 0; i < kQvMonitoredFunctions; ++i) taken->calls[i] = counts[i].exchange(0);
    taken->callerCount = callerCount.load(std::memory_order_acquire);
    const int listed = taken->callerCount < QV_MONITOR_MAX_CALLERS ? taken->callerCount : QV_MONITOR_MAX_CALLERS;
    for (int i = 0; i < listed; ++i) taken->callers[i] = callers[i];
    callerCount.store(0);
}
