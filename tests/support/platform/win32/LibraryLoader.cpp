#include "tests/support/LibraryLoader.h"

#include <windows.h>

void* loadLibraryFile(const std::string& path) {
    return reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
}

void* libraryExport(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void unloadLibraryFile(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }
