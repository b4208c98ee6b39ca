// Windows: "ZVB" resources in the plug-in's own module, and plain bitmap resources.
#include "gui/platform/Resources.h"

#include <windows.h>

#include "gui/platform/win32/DibBitmap.h"

namespace platform {
namespace {

// The module this code lives in: the plug-in library, not the host executable.
HMODULE ownModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ownModule), &module);
    return module;
}

LPCSTR resourceName(std::int32_t id) { return MAKEINTRESOURCEA(WORD(id & 0xFFFF)); }

}  // namespace

bool findImageResource(std::int32_t id, ResourceBytes& out) {
    HMODULE module = ownModule();
    HRSRC info = FindResourceA(module, resourceName(id), "ZVB");
    if (!info) return false;
    const DWORD size = SizeofResource(module, info);
    HGLOBAL loaded = LoadResource(module, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return false;
    out.data = static_cast<const std::uint8_t*>(data);
    out.size = size;
    return true;
}

std::unique_ptr<PixelBitmap> loadBitmapResource(std::int32_t id) {
    HBITMAP loaded = static_cast<HBITMAP>(LoadImageA(ownModule(), resourceName(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!loaded) return nullptr;
    BITMAP description{};
    GetObjectA(loaded, sizeof description, &description);
    std::unique_ptr<PixelBitmap> pixels = createPixelBitmap(description.bmWidth, description.bmHeight);
    if (pixels) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = description.bmWidth;
        info.bmiHeader.biHeight = description.bmHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HDC screen = GetDC(nullptr);
        GetDIBits(screen, loaded, 0, UINT(description.bmHeight), pixels->bits(), &info, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
    }
    DeleteObject(loaded);
    return pixels;
}

}  // namespace platform
