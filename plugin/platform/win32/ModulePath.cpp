#include "plugin/platform/ModulePath.h"

#include <windows.h>

const char kPathSeparator = '\\';

bool queryModuleFilePath(std::string& path) {
    // The module that holds this code, whatever its file is called: a renamed copy, or
    // one inside another format's bundle, still finds the file beside itself.
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&queryModuleFilePath), &module))
        return false;
    char name[260];
    const DWORD length = GetModuleFileNameA(module, name, sizeof name);
    // A name that fills the buffer was cut short, and may not even be terminated: no
    // directory can be trusted from it.
    if (length == 0 || length >= sizeof name) return false;
    path.assign(name, length);
    return true;
}
