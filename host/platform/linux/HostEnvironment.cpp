#include "host/platform/HostEnvironment.h"

#include <unistd.h>

#include <cstdlib>

std::vector<std::string> pluginSearchDirectories() {
    std::vector<std::string> directories;
    if (const char* vstPath = std::getenv("VST_PATH")) {
        std::string list = vstPath;
        std::string::size_type start = 0;
        while (start <= list.size()) {
            std::string::size_type end = list.find(':', start);
            if (end == std::string::npos) end = list.size();
            if (end > start) directories.push_back(list.substr(start, end - start));
            start = end + 1;
        }
    }
    if (const char* home = std::getenv("HOME")) directories.push_back(std::string(home) + "/.vst");
    directories.push_back("/usr/local/lib/vst");
    directories.push_back("/usr/lib/vst");
    return directories;
}

const char* pluginFileExtension() { return ".so"; }

bool standardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }
