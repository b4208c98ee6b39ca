// The device context seam over GDI: each call is the GDI call it is named after.
#pragma once

#include <windows.h>

#include <memory>

#include "gui/platform/DeviceContext.h"
#include "gui/platform/Window.h"

namespace platform::win32 {

class GdiContext : public DeviceContext {
public:
    // Draws into a device context someone else owns.
    explicit GdiContext(HDC dc);
    // A window's context, given back with ReleaseDC on destruction.
    static std::unique_ptr<GdiContext> forWindow(HWND window);
    // A memory context with a compatible bitmap selected; both deleted on destruction.
    static std::unique_ptr<GdiContext> memory(HDC reference, int width, int height);
    ~GdiContext() override;

    HDC handle() const { return dc; }

    void setPen(PenStyle style, int width, ColorRef color) override;
    bool setBrush(ColorRef color) override;
    void setFont(const FontSpec& font) override;
    void setBackgroundMode(BackgroundMode mode) override;
    void setBackgroundColor(ColorRef color) override;
    void setTextColor(ColorRef color) override;
    void setRasterMode(RasterMode mode) override;

    void drawText(const char* text, const CBounds& rect, TextAlign align) override;
    int getTextWidth(const char* text) override;

    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void fillRect(const CBounds& rect) override;
    void fillEllipse(const CBounds& rect) override;
    void setClipRect(const CBounds& rect) override;

    void copyFrom(DeviceContext& src, const CBounds& dest, CPos srcPoint) override;
    void copyBitmap(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest) override;
    void blendBitmap(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest, std::uint8_t constantAlpha,
                     bool usePixelAlpha) override;
    void copyBitmapKeyed(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest, ColorRef key) override;

    std::unique_ptr<DeviceContext> createCompatible(int width, int height) override;

private:
    HDC dc;
    HWND releaseTo = nullptr;      // window whose context this is
    HBITMAP ownBitmap = nullptr;   // memory context: its bitmap
    HGDIOBJ savedBitmap = nullptr;
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    HGDIOBJ savedPen;
    HGDIOBJ savedBrush;
    HGDIOBJ savedFont;
};

// A window as drawing surfaces see it.
class GdiWindow : public Window {
public:
    explicit GdiWindow(HWND window) : window(window) {}
    std::unique_ptr<DeviceContext> acquireContext() override { return GdiContext::forWindow(window); }
    CPos getScreenTopLeft() const override;
    HWND handle() const { return window; }

private:
    HWND window;
};

}  // namespace platform::win32
