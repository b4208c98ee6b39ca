// What every format says about Quorvane: who makes it, its parameters and its factory
// programs. The bindings and the LV2 description generator read this one table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dsp/Parameters.h"

struct PluginIdentity {
    const char* name;
    const char* maker;
    const char* url;
    const char* email;
    const char* version;         // "major.minor.micro", the project's version
    std::int32_t minorVersion;
    std::int32_t microVersion;
    std::int32_t vst2Version;    // what the VST 2 plug-in reports: 600 for 0.6
    std::int32_t vst2UniqueId;   // 'WQV2'
};

struct ParameterDescription {
    std::uint32_t id;       // stable across versions: saved states and sessions use it
    const char* name;
    const char* shortName;  // fits the narrowest host field
    const char* unit;
    float defaultValue;     // the first factory program's value
    std::int32_t stepCount; // 0: continuous; else stepCount + 1 positions over 0..1
    const char* const* choiceLabels;  // one per position, or none
};

struct FactoryProgramValues {
    const char* name;
    float values[kNumParams];
};

const PluginIdentity& pluginIdentity();

// The index must be valid (0..kNumParams - 1).
const ParameterDescription& parameterDescription(std::int32_t index);
// The index of the parameter with this id, or -1.
std::int32_t parameterIndexForId(std::uint32_t id);

// The sixteen factory programs, in program order.
const FactoryProgramValues& factoryProgram(std::int32_t index);

// The host's display text for a value (as the VST 2 display shows it).
constexpr std::size_t kParameterTextSize = 16;
void parameterValueText(std::int32_t index, float value, char (&text)[kParameterTextSize]);
// The value a display text stands for, clamped to 0..1: the number the display shows
// ("63.5000", "-20" for Env Amt), "OFF", "LPF"/"HPF", or a stage count ("3 : -18",
// "3"). False, and value untouched, for a text it cannot read.
bool parameterValueFromText(std::int32_t index, const char* text, float& value);
// The value that stands for a stepped parameter's position, and back.
float stepValue(std::int32_t index, std::int32_t position);
