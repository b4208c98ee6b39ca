#include "host/platform/CallMonitor.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "host/platform/linux/monitor/MonitorInterface.h"

namespace {

constexpr const char* kMonitorLibrary = "quorvane-rt-monitor.so";
constexpr const char* kTriedVariable = "QUORVANE_RENDER_MONITOR_TRIED";
const char* const kFunctionNames[kQvMonitoredFunctions] = {"malloc", "calloc", "realloc", "free", "pthread_mutex_lock"};

QvMonitorWatch watchFunction() {
    static const QvMonitorWatch watch = reinterpret_cast<QvMonitorWatch>(dlsym(RTLD_DEFAULT, "quorvaneMonitorWatch"));
    return watch;
}

std::string describeAddress(void* address) {
    Dl_info info = {};
    if (!dladdr(address, &info) || !info.dli_fname) return "unknown code";
    const std::string library = std::filesystem::path(info.dli_fname).filename().string();
    char offset[32];
    std::snprintf(offset, sizeof offset, "+0x%lx",
                  static_cast<unsigned long>(static_cast<char*>(address) - static_cast<char*>(info.dli_fbase)));
    std::string where = library + offset;
    if (info.dli_sname) where += std::string(" in ") + info.dli_sname;
    return where;
}

// A sanitizer's allocator must come first; the counting library would displace it.
bool sanitizerBuild() { return dlsym(RTLD_DEFAULT, "__asan_init") || dlsym(RTLD_DEFAULT, "__tsan_init"); }

}  // namespace

bool callMonitorAvailable() { return watchFunction() != nullptr; }

bool callMonitorPossible() { return !sanitizerBuild(); }

void watchThisThread(bool on) {
    if (QvMonitorWatch watch = watchFunction()) watch(on ? 1 : 0);
}

MonitoredCalls takeMonitoredCalls() {
    MonitoredCalls result;
    const QvMonitorTake take = reinterpret_cast<QvMonitorTake>(dlsym(RTLD_DEFAULT, "quorvaneMonitorTake"));
    if (!take) return result;
    QvMonitorCounts counts = {};
    take(&counts);
    for (long calls : counts.calls) result.total += calls;
    const int listed = counts.callerCount < QV_MONITOR_MAX_CALLERS ? counts.callerCount : QV_MONITOR_MAX_CALLERS;
    for (int i = 0; i < listed; ++i)
        result.callers.push_back({kFunctionNames[counts.callers[i].function], describeAddress(counts.callers[i].address),
                                  counts.callers[i].calls});
    return result;
}

void preloadCallMonitor(int, char** argv) {
    if (callMonitorAvailable() || std::getenv(kTriedVariable) || sanitizerBuild()) return;
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return;
    const std::string library = (self.parent_path() / kMonitorLibrary).string();
    // The loader splits LD_PRELOAD at spaces and colons, which a folder's name may hold.
    // The path of an open descriptor holds neither, and the descriptor outlives exec.
    const int descriptor = open(library.c_str(), O_RDONLY);
    if (descriptor < 0) return;
    std::string preload = "/proc/self/fd/" + std::to_string(descriptor);
    if (const char* earlier = std::getenv("LD_PRELOAD")) preload += std::string(":") + earlier;
    setenv("LD_PRELOAD", preload.c_str(), 1);
    setenv(kTriedVariable, "1", 1);
    execv(self.c_str(), argv);
    close(descriptor);
}
