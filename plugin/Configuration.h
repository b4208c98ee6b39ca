// "Quorvane.ini": the channel count, half-power mode, controller map and the optional
// panel preferences (Scale=, KnobMode=), read at every start-up and written with
// commented defaults when there is none.
#pragma once

#include <cstddef>
#include <string>

#include "plugin/ControllerMap.h"

constexpr const char* kConfigurationFileName = "Quorvane.ini";

// The panel's knob modes, in the order of its KnobMode (circular, relative, linear), and
// "leave it to the host".
enum : int { kKnobModeHost = -1, kKnobModeCircular = 0, kKnobModeRelative = 1, kKnobModeLinear = 2 };

struct StartupSettings {
    int channelCount = 2;
    bool halfPower = false;
    // Optional panel preferences: Scale= (1 to 2, 0 for auto) and KnobMode=.
    float panelScale = 0.0f;
    int knobMode = kKnobModeHost;
};

// False when the file cannot be opened for reading; otherwise reads it to the end.
bool readConfiguration(const std::string& configPath, StartupSettings& settings,
                       ControllerMap& map);

// Sets the map to its defaults and writes the default file, but only where no file
// exists: an existing file, even one we cannot read, is the user's and stays untouched.
void writeDefaultConfiguration(const std::string& configPath, const StartupSettings& settings,
                               ControllerMap& map);

void clampSettings(StartupSettings& settings, ControllerMap& map);

// Applies the whole text of a configuration file; what readConfiguration does with the
// file's contents.
void applyConfigurationText(const char* text, std::size_t length, StartupSettings& settings,
                            ControllerMap& map);

// The default file's text for the given channel count and map.
std::string defaultConfigurationText(const StartupSettings& settings, const ControllerMap& map);
