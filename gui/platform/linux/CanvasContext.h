// The device context of the software canvas: GDI's pixel rules on a Canvas.
#pragma once

#include <memory>

#include "gui/platform/DeviceContext.h"
#include "gui/platform/linux/Canvas.h"

namespace platform::canvas {

class CanvasContext : public DeviceContext {
public:
    // Draws into a canvas someone else owns (a window's).
    explicit CanvasContext(Canvas& target);
    // Owns its canvas (a memory context).
    explicit CanvasContext(std::unique_ptr<Canvas> owned);

    Canvas& canvas() { return *target; }

    void setPen(PenStyle style, int width, ColorRef color) override;
    bool setBrush(ColorRef color) override;
    void setFont(const FontSpec& font) override;
    void setBackgroundMode(BackgroundMode mode) override { backgroundMode = mode; }
    void setBackgroundColor(ColorRef color) override { backgroundColor = color; }
    void setTextColor(ColorRef color) override { textColor = color; }
    void setRasterMode(RasterMode mode) override { rasterMode = mode; }

    void drawText(const char* text, const CBounds& rect, TextAlign align) override;
    int getTextWidth(const char* text) override;

    void moveTo(int x, int y) override { current = CPos(x, y); }
    void lineTo(int x, int y) override;
    void fillRect(const CBounds& rect) override;
    void fillEllipse(const CBounds& rect) override;
    void setClipRect(const CBounds& rect) override { target->setClip(rect); }

    void copyFrom(DeviceContext& src, const CBounds& dest, CPos srcPoint) override;
    void copyBitmap(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest) override;
    void blendBitmap(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest, std::uint8_t constantAlpha,
                     bool usePixelAlpha) override;
    void copyBitmapKeyed(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest, ColorRef key) override;

    std::unique_ptr<DeviceContext> createCompatible(int width, int height) override;

private:
    void plotPen(int x, int y, bool& penOn, int& styleCount);
    void rasterPut(int x, int y, Pixel p);
    // Calls put(destX, destY, sourcePixel) for each pixel of the bitmap part inside
    // both the bitmap and the destination clip.
    template <typename Put>
    void forEachBitmapPixel(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest, Put put);

    std::unique_ptr<Canvas> owned;
    Canvas* target;

    PenStyle penStyle = PenStyle::Solid;
    int penWidth = 1;
    Pixel penColor = makePixel(0, 0, 0);
    Pixel brushColor = makePixel(255, 255, 255);
    FontSpec font;
    BackgroundMode backgroundMode = BackgroundMode::Opaque;
    ColorRef backgroundColor = 0xFFFFFF;
    ColorRef textColor = 0;
    RasterMode rasterMode = RasterMode::CopyPen;
    CPos current;
};

Pixel pixelFromColorRef(ColorRef color);

}  // namespace platform::canvas
