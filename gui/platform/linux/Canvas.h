// A software raster of 32-bit premultiplied pixels, memory order blue, green, red,
// alpha, rows top-down. Every write honours the clip rectangle.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/CGeometry.h"

namespace platform::canvas {

// 0xAARRGGBB in a 32-bit word: in memory blue, green, red, alpha.
using Pixel = std::uint32_t;

constexpr Pixel makePixel(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
    return (Pixel(a) << 24) | (Pixel(r) << 16) | (Pixel(g) << 8) | Pixel(b);
}
constexpr std::uint8_t redOf(Pixel p) { return std::uint8_t(p >> 16); }
constexpr std::uint8_t greenOf(Pixel p) { return std::uint8_t(p >> 8); }
constexpr std::uint8_t blueOf(Pixel p) { return std::uint8_t(p); }
constexpr std::uint8_t alphaOf(Pixel p) { return std::uint8_t(p >> 24); }

class Canvas {
public:
    Canvas(int width, int height);

    int width() const { return w; }
    int height() const { return h; }
    Pixel get(int x, int y) const { return pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)]; }
    Pixel* row(int y) { return &pixels[std::size_t(y) * std::size_t(w)]; }
    const Pixel* row(int y) const { return &pixels[std::size_t(y) * std::size_t(w)]; }

    // Clip in canvas coordinates, always kept inside the canvas.
    void setClip(const CBounds& rect);
    void resetClip();
    const CBounds& clip() const { return clipRect; }
    bool inClip(int x, int y) const {
        return x >= clipRect.left && x < clipRect.right && y >= clipRect.top && y < clipRect.bottom;
    }

    void put(int x, int y, Pixel p) {
        if (inClip(x, y)) pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)] = p;
    }
    void fill(const CBounds& rect, Pixel p);
    // Coverage 0..255 of an opaque colour over the pixel (anti-aliased text).
    void cover(int x, int y, Pixel opaqueColor, std::uint8_t coverage);

private:
    int w;
    int h;
    std::vector<Pixel> pixels;
    CBounds clipRect;
};

}  // namespace platform::canvas
