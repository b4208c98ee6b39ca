#include "host/platform/Vst3Module.h"

#include <filesystem>

#include "host/platform/SharedLibrary.h"

std::string vst3BundleBinary(const std::string& bundle) {
    const std::filesystem::path path(bundle);
    return (path / "Contents" / "x86_64-linux" / path.stem()).string() + ".so";
}

bool enterVst3Module(void* library) {
    typedef bool (*Entry)(void*);
    Entry entry = reinterpret_cast<Entry>(findLibrarySymbol(library, "ModuleEntry"));
    return !entry || entry(library);
}

void exitVst3Module(void* library) {
    typedef bool (*Exit)();
    if (Exit exit = reinterpret_cast<Exit>(findLibrarySymbol(library, "ModuleExit"))) exit();
}
