#include "plugin/platform/ModulePath.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

const char kPathSeparator = '/';

bool queryModuleFilePath(std::string& path) {
    Dl_info info{};
    // Any address inside this library names the library's file.
    if (dladdr(reinterpret_cast<void*>(&queryModuleFilePath), &info) == 0 || !info.dli_fname)
        return false;
    // dlopen may have been given a relative name; the host's working directory can change.
    char* absolute = realpath(info.dli_fname, nullptr);
    path = absolute ? absolute : info.dli_fname;
    free(absolute);
    return !path.empty();
}
