#include "plugin/platform/ModulePath.h"

#include <windows.h>

const char kPathSeparator = '\\';

bool queryModuleFilePath(std::string& path) {
    // Under another file name the look-up finds nothing, and the null handle then names
    // the host's executable: the configuration file lives beside the host.
    HMODULE module = GetModuleHandleA("Quorvane.dll");
    char name[260];
    const DWORD length = GetModuleFileNameA(module, name, sizeof name);
    // A name that fills the buffer was cut short, and may not even be terminated: no
    // directory can be trusted from it.
    if (length == 0 || length >= sizeof name) return false;
    path.assign(name, length);
    return true;
}
