// The start-up settings from the Quorvane.ini beside the loaded library, written with
// defaults when there is none; what every plug-in format does for each new instance.
#pragma once

#include <string>

#include "plugin/Configuration.h"

// The configuration file's path: the library's directory, the separator, "Quorvane.ini".
// Empty when the library path has no directory part.
std::string configurationPathFor(const std::string& libraryPath, char separator);

// Reads the file into the settings and the process's controller map, then clamps both;
// the panel preferences go to the whole process (common/PanelPreferences.h).
// False when the platform cannot tell where the library is.
bool loadConfigurationBesideLibrary(StartupSettings& settings);
