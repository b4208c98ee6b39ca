#include "plugin/platform/ConfigFile.h"

std::FILE* openConfigurationForReading(const char* path) { return std::fopen(path, "rb"); }

std::FILE* createConfigurationFile(const char* path) { return std::fopen(path, "wx"); }
