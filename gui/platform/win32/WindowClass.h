// The editor windows' class, shared by every editor of the library in the process:
// registered by the first window, unregistered when the last one goes.
#pragma once

#include <windows.h>

namespace platform::win32 {

// "Plugin" and the library's module handle in lower-case hexadecimal.
const char* windowClassName();
HMODULE libraryModule();
// Registers the class on 0 -> 1; false when it cannot be registered.
bool acquireWindowClass(WNDPROC procedure);
void releaseWindowClass();
int windowClassUsers();

}  // namespace platform::win32
