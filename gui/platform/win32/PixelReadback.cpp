#include "gui/platform/PixelReadback.h"

#include <windows.h>

#include "gui/platform/win32/GdiContext.h"

namespace platform {

bool readPixels(DeviceContext& context, std::int32_t width, std::int32_t height, std::uint32_t* out) {
    auto* gdi = dynamic_cast<win32::GdiContext*>(&context);
    if (!gdi || !out || width <= 0 || height <= 0) return false;
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(gdi->handle(), OBJ_BITMAP));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (GetDIBits(gdi->handle(), bitmap, 0, UINT(height), out, &info, DIB_RGB_COLORS) != height) return false;
    // GDI leaves the fourth byte zero: the picture is opaque.
    for (std::int32_t i = 0; i < width * height; ++i) out[i] |= 0xFF000000u;
    return true;
}

}  // namespace platform
