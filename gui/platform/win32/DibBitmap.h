// A 32-bit bottom-up device-independent bitmap section: the pixels of images.
#pragma once

#include <windows.h>

#include "gui/platform/DeviceContext.h"

namespace platform::win32 {

class DibBitmap : public PixelBitmap {
public:
    DibBitmap(HBITMAP bitmap, void* bits, std::int32_t width, std::int32_t height)
        : bitmap(bitmap), pixels(static_cast<std::uint8_t*>(bits)), w(width), h(height) {}
    ~DibBitmap() override { DeleteObject(bitmap); }
    DibBitmap(const DibBitmap&) = delete;
    DibBitmap& operator=(const DibBitmap&) = delete;

    std::int32_t width() const override { return w; }
    std::int32_t height() const override { return h; }
    std::uint8_t* bits() override { return pixels; }
    HBITMAP handle() const { return bitmap; }

private:
    HBITMAP bitmap;
    std::uint8_t* pixels;
    std::int32_t w;
    std::int32_t h;
};

}  // namespace platform::win32
