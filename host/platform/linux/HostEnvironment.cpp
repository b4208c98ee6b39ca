#include "host/platform/HostEnvironment.h"

#include "host/SearchPath.h"

#include <unistd.h>

#include <cstdlib>

std::vector<std::string> pluginSearchDirectories() {
    std::vector<std::string> directories;
    if (const char* vstPath = std::getenv("VST_PATH")) directories = splitSearchPath(vstPath, ':');
    if (const char* home = std::getenv("HOME")) directories.push_back(std::string(home) + "/.vst");
    directories.push_back("/usr/local/lib/vst");
    directories.push_back("/usr/lib/vst");
    return directories;
}

const char* pluginFileExtension() { return ".so"; }

bool standardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

bool hideDisplayFromPlugins() { return unsetenv("DISPLAY") == 0; }
