// Where the plug-in library itself lives, so its configuration file can sit beside it.
#pragma once

#include <string>

// The full path of the loaded plug-in library; false when the platform cannot tell.
bool queryModuleFilePath(std::string& path);

// The separator between a directory and a file name on this platform.
extern const char kPathSeparator;
