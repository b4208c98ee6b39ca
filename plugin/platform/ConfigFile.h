// File operations on the configuration file that differ between platforms.
#pragma once

#include <cstdio>

// Opens for reading in binary mode; the reader handles line ends itself.
std::FILE* openConfigurationForReading(const char* path);

// Creates the file for writing in the platform's text mode, only if it does not exist yet.
std::FILE* createConfigurationFile(const char* path);
