#include "gui/platform/linux/CanvasContext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "gui/platform/linux/FontRenderer.h"

namespace platform::canvas {

Pixel pixelFromColorRef(ColorRef color) {
    return makePixel(std::uint8_t(color), std::uint8_t(color >> 8), std::uint8_t(color >> 16));
}

CanvasContext::CanvasContext(Canvas& target) : target(&target) {}

CanvasContext::CanvasContext(std::unique_ptr<Canvas> canvas) : owned(std::move(canvas)), target(owned.get()) {}

void CanvasContext::setPen(PenStyle style, int width, ColorRef color) {
    penStyle = style;
    penWidth = width;
    penColor = pixelFromColorRef(color);
}

bool CanvasContext::setBrush(ColorRef color) {
    brushColor = pixelFromColorRef(color);
    return true;
}

void CanvasContext::setFont(const FontSpec& spec) { font = spec; }

int CanvasContext::getTextWidth(const char* text) { return FontRenderer::textWidth(font, text); }

void CanvasContext::drawText(const char* text, const CBounds& rect, TextAlign align) {
    if (!text) return;
    const TextMetrics m = FontRenderer::metrics(font);
    const int width = FontRenderer::textWidth(font, text);
    int x = rect.left;
    if (align == TextAlign::Center) x = rect.left + (rect.width() - width) / 2;
    if (align == TextAlign::Right) x = rect.right - width;
    const int top = rect.top + (rect.height() - m.height()) / 2;
    if (backgroundMode == BackgroundMode::Opaque) {
        CBounds box(x, top, x + width, top + m.height());
        box.bound(rect);
        target->fill(box, pixelFromColorRef(backgroundColor));
    }
    FontRenderer::draw(*target, font, text, x, top + m.ascent, pixelFromColorRef(textColor), rect);
}

void CanvasContext::rasterPut(int x, int y, Pixel p) {
    if (!target->inClip(x, y)) return;
    const Pixel d = target->get(x, y);
    switch (rasterMode) {
        case RasterMode::CopyPen: target->put(x, y, p); break;
        case RasterMode::MergePen: target->put(x, y, (d | p) | 0xFF000000u); break;
        case RasterMode::NotXorPen: target->put(x, y, (~(d ^ p) & 0x00FFFFFFu) | 0xFF000000u); break;
    }
}

// A dotted pen: three pixels on, three off, as GDI's cosmetic dot pattern.
void CanvasContext::plotPen(int x, int y, bool& penOn, int& styleCount) {
    if (penOn) rasterPut(x, y, penColor);
    if (penStyle == PenStyle::Dotted && ++styleCount == 3) {
        styleCount = 0;
        penOn = !penOn;
    }
}

void CanvasContext::lineTo(int x, int y) {
    const CPos from = current;
    current = CPos(x, y);
    if (penWidth > 1) {
        // A wide pen: every pixel whose centre lies within half the width of the segment.
        const double r = penWidth / 2.0;
        const double ax = from.x + 0.5, ay = from.y + 0.5, bx = x + 0.5, by = y + 0.5;
        const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
        const int x0 = int(std::floor(std::min(ax, bx) - r)), x1 = int(std::ceil(std::max(ax, bx) + r));
        const int y0 = int(std::floor(std::min(ay, by) - r)), y1 = int(std::ceil(std::max(ay, by) + r));
        for (int py = y0; py <= y1; ++py)
            for (int px = x0; px <= x1; ++px) {
                const double cx = px + 0.5, cy = py + 0.5;
                double t = len2 > 0 ? ((cx - ax) * dx + (cy - ay) * dy) / len2 : 0;
                t = std::clamp(t, 0.0, 1.0);
                const double ex = ax + t * dx - cx, ey = ay + t * dy - cy;
                if (ex * ex + ey * ey <= r * r) rasterPut(px, py, penColor);
            }
        return;
    }
    // Bresenham from the start point, stopping before the end point.
    int cx = from.x, cy = from.y;
    const int dx = std::abs(x - cx), dy = -std::abs(y - cy);
    const int sx = cx < x ? 1 : -1, sy = cy < y ? 1 : -1;
    int err = dx + dy;
    bool penOn = true;
    int styleCount = 0;
    while (!(cx == x && cy == y)) {
        plotPen(cx, cy, penOn, styleCount);
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; cx += sx; }
        if (e2 <= dx) { err += dx; cy += sy; }
    }
}

void CanvasContext::fillRect(const CBounds& rect) { target->fill(rect, brushColor); }

void CanvasContext::fillEllipse(const CBounds& rect) {
    // With the empty pen the shape is one pixel smaller to the right and bottom.
    const double left = rect.left, top = rect.top, right = rect.right - 1, bottom = rect.bottom - 1;
    const double cx = (left + right) / 2, cy = (top + bottom) / 2;
    const double rx = (right - left) / 2, ry = (bottom - top) / 2;
    if (rx <= 0 || ry <= 0) return;
    for (int y = rect.top; y < rect.bottom - 1; ++y)
        for (int x = rect.left; x < rect.right - 1; ++x) {
            const double nx = (x + 0.5 - cx) / rx, ny = (y + 0.5 - cy) / ry;
            if (nx * nx + ny * ny <= 1.0) rasterPut(x, y, brushColor);
        }
}

void CanvasContext::copyFrom(DeviceContext& src, const CBounds& dest, CPos srcPoint) {
    auto* source = dynamic_cast<CanvasContext*>(&src);
    if (!source) return;
    const Canvas& from = source->canvas();
    // Through a copy, so that overlapping copies within one canvas read the old pixels.
    std::vector<Pixel> part(std::size_t(std::max(0, dest.width())) * std::size_t(std::max(0, dest.height())));
    for (int y = 0; y < dest.height(); ++y)
        for (int x = 0; x < dest.width(); ++x) {
            const int sx = srcPoint.x + x, sy = srcPoint.y + y;
            const bool inside = sx >= 0 && sy >= 0 && sx < from.width() && sy < from.height();
            part[std::size_t(y) * std::size_t(dest.width()) + std::size_t(x)] = inside ? from.get(sx, sy) : 0;
        }
    for (int y = 0; y < dest.height(); ++y)
        for (int x = 0; x < dest.width(); ++x) {
            const int sx = srcPoint.x + x, sy = srcPoint.y + y;
            if (sx >= 0 && sy >= 0 && sx < from.width() && sy < from.height())
                target->put(dest.left + x, dest.top + y, part[std::size_t(y) * std::size_t(dest.width()) + std::size_t(x)]);
        }
}

template <typename Put>
void CanvasContext::forEachBitmapPixel(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest, Put put) {
    const std::uint8_t* bits = bitmap.bits();
    const int w = bitmap.width(), h = bitmap.height();
    if (!bits) return;
    for (int y = 0; y < dest.height(); ++y) {
        const int sy = srcPoint.y + y;
        if (sy < 0 || sy >= h) continue;
        const std::uint8_t* row = bits + std::size_t(h - 1 - sy) * std::size_t(w) * 4;
        for (int x = 0; x < dest.width(); ++x) {
            const int sx = srcPoint.x + x;
            if (sx < 0 || sx >= w || !target->inClip(dest.left + x, dest.top + y)) continue;
            const std::uint8_t* p = row + std::size_t(sx) * 4;
            put(dest.left + x, dest.top + y, makePixel(p[2], p[1], p[0], p[3]));
        }
    }
}

void CanvasContext::copyBitmap(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest) {
    forEachBitmapPixel(bitmap, srcPoint, dest, [this](int x, int y, Pixel p) { target->put(x, y, p); });
}

namespace {
unsigned scale(unsigned value, unsigned factor) { return (value * factor + 127) / 255; }
}  // namespace

void CanvasContext::blendBitmap(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest,
                                std::uint8_t constantAlpha, bool usePixelAlpha) {
    const unsigned s = constantAlpha;
    forEachBitmapPixel(bitmap, srcPoint, dest, [&](int x, int y, Pixel p) {
        const Pixel d = target->get(x, y);
        const unsigned a = usePixelAlpha ? scale(alphaOf(p), s) : s;
        auto channel = [&](std::uint8_t src, std::uint8_t dst) {
            return std::uint8_t(std::min(255u, scale(src, s) + scale(dst, 255 - a)));
        };
        target->put(x, y, makePixel(channel(redOf(p), redOf(d)), channel(greenOf(p), greenOf(d)),
                                    channel(blueOf(p), blueOf(d)), std::uint8_t(std::min(255u, a + scale(alphaOf(d), 255 - a)))));
    });
}

void CanvasContext::copyBitmapKeyed(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest, ColorRef key) {
    const Pixel keyPixel = pixelFromColorRef(key) & 0x00FFFFFFu;
    forEachBitmapPixel(bitmap, srcPoint, dest, [&](int x, int y, Pixel p) {
        if ((p & 0x00FFFFFFu) != keyPixel) target->put(x, y, p | 0xFF000000u);
    });
}

std::unique_ptr<DeviceContext> CanvasContext::createCompatible(int width, int height) {
    return platform::createMemoryContext(width, height);
}

}  // namespace platform::canvas

namespace platform {
std::unique_ptr<DeviceContext> createMemoryContext(int width, int height) {
    return std::make_unique<canvas::CanvasContext>(std::make_unique<canvas::Canvas>(width, height));
}
}  // namespace platform
