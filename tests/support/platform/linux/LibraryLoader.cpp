#include "tests/support/LibraryLoader.h"

#include <dlfcn.h>

void* loadLibraryFile(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }

void* libraryExport(void* library, const char* name) { return dlsym(library, name); }

void unloadLibraryFile(void* library) { dlclose(library); }
