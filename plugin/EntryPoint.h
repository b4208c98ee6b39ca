// What the exported entry point does for each instance a host asks for.
#pragma once

#include <string>

#include "plugin/vst2.h"

// Builds one effect instance and returns its record, or null when none was made.
AEffect* createEffectInstance(audioMasterCallback hostCallback);

// The configuration file's path: the library's directory, the separator, "Quorvane.ini".
// Empty when the library path has no directory part.
std::string configurationPathFor(const std::string& libraryPath, char separator);
