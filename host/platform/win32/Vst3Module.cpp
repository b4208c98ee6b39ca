#include "host/platform/Vst3Module.h"

#include <filesystem>

#include "host/platform/SharedLibrary.h"

std::string vst3BundleBinary(const std::string& bundle) {
    const std::filesystem::path path(bundle);
#if defined(_WIN64)
    const char* architecture = "x86_64-win";
#else
    const char* architecture = "x86-win";
#endif
    return (path / "Contents" / architecture / path.filename()).string();
}

bool enterVst3Module(void* library) {
    typedef bool (*Entry)();
    Entry entry = reinterpret_cast<Entry>(findLibrarySymbol(library, "InitDll"));
    return !entry || entry();
}

void exitVst3Module(void* library) {
    typedef bool (*Exit)();
    if (Exit exit = reinterpret_cast<Exit>(findLibrarySymbol(library, "ExitDll"))) exit();
}
