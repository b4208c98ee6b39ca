// Check 4: parameters and programs changed from a second thread while audio runs; at
// level 3 and above the audio thread is watched for allocations and locks.
#include "host/OpenPlugin.h"
#include "host/platform/CallMonitor.h"
#include "host/validate/AudioBench.h"
#include "host/validate/Checks.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
constexpr int kWatchedLevel = 3;

double audioSeconds(int level) {
    const double seconds[] = {0.5, 1.0, 4.0, 20.0, 60.0};
    return seconds[level - 1];
}

}  // namespace

void checkAutomation(const ValidationSettings& settings, CheckLog& log) {
    const std::unique_ptr<HostedPlugin> loaded = openPlugin(settings.pluginPath, {settings.pluginId, 0});
    HostedPlugin& plugin = *loaded;
    plugin.configure(static_cast<float>(kRate), kBlock);
    plugin.start();
    const bool watch = settings.level >= kWatchedLevel;
    if (watch && !callMonitorAvailable()) {
        if (callMonitorPossible())
            log.fail("the call monitor (quorvane-rt-monitor.so beside the program) could not be loaded: "
                     "allocations and locks are not counted");
        else
            log.warn("allocations and locks cannot be counted in this build");
    }
    takeMonitoredCalls();

    BackgroundLoad::Plan plan;
    plan.sampleRate = kRate;
    plan.blockSize = kBlock;
    plan.frames = static_cast<std::int64_t>(audioSeconds(settings.level) * kRate);
    plan.watchCalls = watch;
    plan.seed = settings.seed;
    BackgroundLoad load(plugin, plan);
    const OutputVerdict verdict = load.finish();
    plugin.stop();

    verdict.report("under automation: ", log);
    const MonitoredCalls calls = takeMonitoredCalls();
    if (calls.total > 0) {
        log.fail(std::to_string(calls.total) + " allocation or lock calls inside process");
        for (const MonitoredCaller& caller : calls.callers)
            log.fail(caller.function + " called " + std::to_string(caller.calls) + " times from " + caller.where);
    }
    log.note(std::to_string(load.changesMade()) + " changes over " + std::to_string(load.framesProcessed()) + " frames" +
             (watch && callMonitorAvailable() ? ", allocations and locks counted" : ""));
}
