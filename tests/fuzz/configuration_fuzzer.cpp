// Any bytes as a configuration file: no crash, no undefined behaviour, settings in range.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "plugin/Configuration.h"
#include "plugin/ConfigurationMessages.h"

namespace {
void ignoreMessage(const char*, const char*) {}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    setConfigurationMessageSink(ignoreMessage);
    StartupSettings settings;
    ControllerMap map;
    applyConfigurationText(reinterpret_cast<const char*>(data), size, settings, map);
    clampSettings(settings, map);
    if (settings.channelCount < 1 || settings.channelCount > 6) std::abort();
    for (const ControllerAssignment& entry : map.entries) {
        if (entry.cc() < 0 || entry.cc() > kCcJoyR) std::abort();
        if (!(entry.minimum() >= 0.0f && entry.minimum() <= 1.0f)) std::abort();
        if (!(entry.maximum() >= 0.0f && entry.maximum() <= 1.0f)) std::abort();
    }
    return 0;
}
