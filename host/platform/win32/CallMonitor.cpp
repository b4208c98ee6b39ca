#include "host/platform/CallMonitor.h"

// No preloading on Windows: the audio thread is not watched there.
bool callMonitorAvailable() { return false; }
bool callMonitorPossible() { return false; }
void watchThisThread(bool) {}
MonitoredCalls takeMonitoredCalls() { return {}; }
void preloadCallMonitor(int, char**) {}
