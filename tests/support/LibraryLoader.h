// Loading a plug-in library and finding its exports the way a host on this platform does.
#pragma once

#include <string>

// Null when the library cannot be loaded.
void* loadLibraryFile(const std::string& path);
void* libraryExport(void* library, const char* name);
void unloadLibraryFile(void* library);
