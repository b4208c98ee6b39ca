#include "host/platform/SharedLibrary.h"

#include <dlfcn.h>

void* openSharedLibrary(const std::string& path, std::string& error) {
    // RTLD_LOCAL keeps two plug-ins built from the same framework from sharing symbols.
    // A name without a slash would be searched for in the system's library directories,
    // not taken as the file in the current directory that it names.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        error = reason ? reason : "unknown reason";
    }
    return library;
}

void* findLibrarySymbol(void* library, const char* name) { return dlsym(library, name); }

void closeSharedLibrary(void* library) {
    if (library) dlclose(library);
}
