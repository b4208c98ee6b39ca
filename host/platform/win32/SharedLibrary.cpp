#include "host/platform/SharedLibrary.h"

#include <windows.h>

void* openSharedLibrary(const std::string& path, std::string& error) {
    // The loader wants backslashes; callers may join paths with '/'.
    std::string windowsPath = path;
    for (char& c : windowsPath)
        if (c == '/') c = '\\';
    HMODULE library = LoadLibraryA(windowsPath.c_str());
    if (!library) {
        const DWORD code = GetLastError();
        char text[512] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       0, text, sizeof text, nullptr);
        error = text;
        // The system's texts end in a line break.
        while (!error.empty() && (error.back() == '\n' || error.back() == '\r' || error.back() == ' '))
            error.pop_back();
        if (error.empty()) error = "system error " + std::to_string(code);
    }
    return reinterpret_cast<void*>(library);
}

void* findLibrarySymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void closeSharedLibrary(void* library) {
    if (library) FreeLibrary(static_cast<HMODULE>(library));
}
