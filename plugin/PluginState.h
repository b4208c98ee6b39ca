// The saved form of the plug-in's settings, for hosts that save sessions through the
// plug-in's state: "QVST", a format version, the current program, then each parameter's
// value by its id. All numbers little-endian, floats as their IEEE bits, so a state
// saved on one platform loads on every other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dsp/Parameters.h"

struct PluginSettings {
    std::int32_t program = 0;
    float values[kNumParams] = {};
};

constexpr std::uint32_t kPluginStateVersion = 1;

std::vector<std::uint8_t> writePluginState(const PluginSettings& settings);

// True when the bytes are a whole state of a version this build reads, naming every
// parameter once with a finite value (hosts may set values outside 0..1, and get
// them back) and a valid program; only then is
// settings changed. Ids this build does not know are passed over.
bool readPluginState(const std::uint8_t* bytes, std::size_t size, PluginSettings& settings);
