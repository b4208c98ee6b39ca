// The toolkit's one seam to the platform's 2D drawing: a device context with a selected
// pen, brush and font, modelled on the Windows GDI calls the drawing surfaces use.
// Win32 passes each call to GDI; Linux draws into a software canvas with the same
// pixel rules (right and bottom edges exclusive, lines stop before their end point).
#pragma once

#include <cstdint>
#include <memory>

#include "gui/CGeometry.h"

namespace platform {

// 0x00BBGGRR, as CRgb::toColorRef gives it.
using ColorRef = std::uint32_t;

enum class PenStyle { Solid, Dotted };
enum class BackgroundMode { Transparent, Opaque };
// Pen against destination: copy, OR (merge), and the inverse of XOR.
enum class RasterMode { CopyPen, MergePen, NotXorPen };
enum class TextAlign { Left, Center, Right };

struct FontSpec {
    const char* face = "Arial";
    int height = -12;  // negative: character height in pixels, as a logical font gives it
    int weight = 400;  // 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    bool decorative = false;  // decorative family, default pitch (the symbol font)
};

// A 32-bit bitmap in device-independent layout: blue, green, red, alpha per pixel,
// rows bottom-up, each row width * 4 bytes. Images keep their decoded pixels in one.
class PixelBitmap {
public:
    virtual ~PixelBitmap() = default;
    virtual std::int32_t width() const = 0;
    virtual std::int32_t height() const = 0;
    // Row 0 in memory is the bottom row of the picture.
    virtual std::uint8_t* bits() = 0;
    const std::uint8_t* bits() const { return const_cast<PixelBitmap*>(this)->bits(); }
};

// Makes a zeroed bitmap, or none when it cannot be made (no memory, absurd size).
std::unique_ptr<PixelBitmap> createPixelBitmap(std::int32_t width, std::int32_t height);

class DeviceContext {
public:
    virtual ~DeviceContext() = default;

    // Objects: each call makes a new object, selects it and deletes the one this
    // context made before. The objects selected when the context was taken over come
    // back when it is destroyed.
    virtual void setPen(PenStyle style, int width, ColorRef color) = 0;
    // False when the brush cannot be made; the previous one stays selected.
    virtual bool setBrush(ColorRef color) = 0;
    virtual void setFont(const FontSpec& font) = 0;

    virtual void setBackgroundMode(BackgroundMode mode) = 0;
    virtual void setBackgroundColor(ColorRef color) = 0;
    virtual void setTextColor(ColorRef color) = 0;
    virtual void setRasterMode(RasterMode mode) = 0;

    // One line, vertically centred in rect, no mnemonic prefixes, clipped to rect.
    virtual void drawText(const char* text, const CBounds& rect, TextAlign align) = 0;
    virtual int getTextWidth(const char* text) = 0;

    virtual void moveTo(int x, int y) = 0;
    // Draws with the pen up to, not including, (x, y).
    virtual void lineTo(int x, int y) = 0;
    // Brush fill of [left, right) x [top, bottom).
    virtual void fillRect(const CBounds& rect) = 0;
    // The ellipse of a GDI Ellipse call with the empty pen: inscribed in
    // [left, right - 1) x [top, bottom - 1), filled with the brush.
    virtual void fillEllipse(const CBounds& rect) = 0;
    // Replaces any previous clip; device coordinates.
    virtual void setClipRect(const CBounds& rect) = 0;

    // Block copy of src's pixels at srcPoint into dest (same size).
    virtual void copyFrom(DeviceContext& src, const CBounds& dest, CPos srcPoint) = 0;
    // The part of a bitmap at srcPoint into dest, same size.
    virtual void copyBitmap(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest) = 0;
    // Source-over with premultiplied source: constant alpha, and the pixels' own
    // alpha when usePixelAlpha.
    virtual void blendBitmap(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest,
                             std::uint8_t constantAlpha, bool usePixelAlpha) = 0;
    // Copies every pixel whose red, green and blue differ from key.
    virtual void copyBitmapKeyed(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest,
                                 ColorRef key) = 0;

    // A memory context of width x height compatible with this one, with its own bitmap
    // selected; destroying it deletes both.
    virtual std::unique_ptr<DeviceContext> createCompatible(int width, int height) = 0;
};

}  // namespace platform

namespace platform {

// A memory context of width x height compatible with the screen, for offscreens made
// without a window (headless rendering).
std::unique_ptr<DeviceContext> createMemoryContext(int width, int height);

}  // namespace platform
