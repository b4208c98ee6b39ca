#include "host/platform/HostEnvironment.h"

#include "host/SearchPath.h"

#include <io.h>

#include <cstdio>
#include <cstdlib>

std::vector<std::string> pluginSearchDirectories() {
    std::vector<std::string> directories;
    // VST_PATH as on Linux, with the Windows list separator.
    if (const char* vstPath = std::getenv("VST_PATH")) directories = splitSearchPath(vstPath, ';');
    // Where 32-bit hosts usually keep their VST 2 plug-ins.
    for (const char* variable : {"ProgramFiles(x86)", "ProgramFiles"}) {
        if (const char* programFiles = std::getenv(variable)) {
            directories.push_back(std::string(programFiles) + "\\VstPlugins");
            directories.push_back(std::string(programFiles) + "\\Steinberg\\VstPlugins");
        }
    }
    return directories;
}

const char* pluginFileExtension() { return ".dll"; }

bool standardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

// A message box on Windows waits for a click with or without a display.
bool hideDisplayFromPlugins() { return false; }
