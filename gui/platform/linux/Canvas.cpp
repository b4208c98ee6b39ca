#include "gui/platform/linux/Canvas.h"

#include <algorithm>

namespace platform::canvas {

Canvas::Canvas(int width, int height)
    : w(std::max(width, 0)), h(std::max(height, 0)), pixels(std::size_t(w) * std::size_t(h), 0), clipRect(0, 0, w, h) {}

void Canvas::setClip(const CBounds& rect) {
    clipRect = rect;
    clipRect.bound(CBounds(0, 0, w, h));
}

void Canvas::resetClip() { clipRect = CBounds(0, 0, w, h); }

void Canvas::fill(const CBounds& rect, Pixel p) {
    CBounds area = rect;
    area.bound(clipRect);
    for (int y = area.top; y < area.bottom; ++y) std::fill(row(y) + area.left, row(y) + area.right, p);
}

static std::uint8_t mix(std::uint8_t over, std::uint8_t under, unsigned coverage) {
    return std::uint8_t((over * coverage + under * (255 - coverage) + 127) / 255);
}

void Canvas::cover(int x, int y, Pixel color, std::uint8_t coverage) {
    if (coverage == 0 || !inClip(x, y)) return;
    Pixel& d = row(y)[x];
    d = makePixel(mix(redOf(color), redOf(d), coverage), mix(greenOf(color), greenOf(d), coverage),
                  mix(blueOf(color), blueOf(d), coverage), mix(255, alphaOf(d), coverage));
}

}  // namespace platform::canvas
