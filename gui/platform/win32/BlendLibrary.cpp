#include "gui/platform/win32/BlendLibrary.h"

#include "gui/platform/SystemLibraries.h"

namespace platform::win32 {
namespace {

// Process-wide, touched on window threads only.
BlendLibrary library;
bool looked = false;

HMODULE lookUp() {
    library = BlendLibrary();
    looked = true;
    // One reference for the life of the process, so entry points never outlive the
    // library; frames hold their own on top.
    static HMODULE permanent = LoadLibraryA("msimg32.dll");
    HMODULE module = LoadLibraryA("msimg32.dll");
    if (!module || !permanent) return module;
    library.alphaBlend = reinterpret_cast<AlphaBlendFunction>(reinterpret_cast<void*>(GetProcAddress(module, "AlphaBlend")));
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    library.blendNeedsTemporaryCopy = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS &&
                                      version.dwMajorVersion == 4 && version.dwMinorVersion == 10;
    if (version.dwPlatformId > 1)
        library.transparentBlt =
            reinterpret_cast<TransparentBltFunction>(reinterpret_cast<void*>(GetProcAddress(module, "TransparentBlt")));
    return module;
}

}  // namespace

const BlendLibrary& blendLibrary() {
    if (!looked) {
        if (HMODULE module = lookUp()) FreeLibrary(module);
    }
    return library;
}

}  // namespace platform::win32

namespace platform {

void* loadBlendLibrary() { return win32::lookUp(); }

void freeBlendLibrary(void* module) {
    if (module) FreeLibrary(static_cast<HMODULE>(module));
}

}  // namespace platform
