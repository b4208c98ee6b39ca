#include "gui/platform/win32/BlendLibrary.h"

namespace platform::win32 {
namespace {

BlendLibrary load() {
    BlendLibrary library;
    HMODULE module = LoadLibraryA("msimg32.dll");
    if (!module) return library;
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
    return library;  // the library stays loaded for the life of the process
}

}  // namespace

const BlendLibrary& blendLibrary() {
    static const BlendLibrary library = load();
    return library;
}

}  // namespace platform::win32
