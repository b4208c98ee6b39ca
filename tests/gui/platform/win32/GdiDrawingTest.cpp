// The drawing surfaces over GDI: every call draws into a device-independent bitmap whose
// pixels are read back and compared with the pixels the software canvas of the Linux
// build draws for the same calls. For fills, outlines, lines, clips, offsets and block
// copies those pixels follow exact rules, rebuilt here in a plain grid of colours.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/CDrawSurface.h"
#include "gui/COffscreenSurface.h"
#include "gui/platform/win32/DibBitmap.h"
#include "gui/platform/win32/GdiContext.h"

using platform::win32::GdiContext;

namespace {

// 0xRRGGBB; the alpha byte GDI leaves in a bitmap plays no part.
using Rgb = std::uint32_t;

constexpr Rgb rgbOf(const CRgb& c) { return (Rgb(c.red) << 16) | (Rgb(c.green) << 8) | Rgb(c.blue); }

// A surface drawing through GDI into a bitmap section whose pixels the test can read.
class DibSurface {
public:
    DibSurface(int width, int height, const CRgb& background)
        : pixels(platform::createPixelBitmap(width, height)), dc(CreateCompatibleDC(nullptr)) {
        previous = SelectObject(dc, static_cast<platform::win32::DibBitmap&>(*pixels).handle());
        context = std::make_unique<GdiContext>(dc);
        surface = new CDrawSurface(nullptr, context.get(), nullptr);
        surface->setFillColor(background);
        surface->drawRect(CBounds(0, 0, width, height), kDrawFilled);
    }
    ~DibSurface() {
        surface->release();
        context.reset();
        SelectObject(dc, previous);
        DeleteDC(dc);
    }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    CDrawSurface* operator->() { return surface; }
    CDrawSurface* get() { return surface; }

    Rgb at(int x, int y) const {
        GdiFlush();
        const std::uint8_t* p = pixels->bits() + (std::size_t(pixels->height() - 1 - y) * pixels->width() + x) * 4;
        return (Rgb(p[2]) << 16) | (Rgb(p[1]) << 8) | Rgb(p[0]);
    }
    int width() const { return pixels->width(); }
    int height() const { return pixels->height(); }

private:
    std::unique_ptr<platform::PixelBitmap> pixels;
    HDC dc;
    HGDIOBJ previous = nullptr;
    std::unique_ptr<GdiContext> context;
    CDrawSurface* surface = nullptr;
};

// The software canvas's rules for the same calls: half-open rectangles, lines that stop
// before their end point, everything limited to the clip.
class ExpectedPixels {
public:
    ExpectedPixels(int width, int height, const CRgb& background)
        : w(width), h(height), grid(std::size_t(width * height), rgbOf(background)), clip(0, 0, width, height) {}

    void setClip(const CBounds& c) { clip = c; }
    void fill(int left, int top, int right, int bottom, Rgb c) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) put(x, y, c);
    }
    // From (x0, y0) towards (x1, y1), horizontal or vertical, without the end point.
    void line(int x0, int y0, int x1, int y1, Rgb c) {
        const int dx = (x1 > x0) - (x1 < x0), dy = (y1 > y0) - (y1 < y0);
        for (int x = x0, y = y0; x != x1 || y != y1; x += dx, y += dy) put(x, y, c);
    }
    void outline(int left, int top, int right, int bottom, Rgb c) {
        line(left, top, right - 1, top, c);
        line(right - 1, top, right - 1, bottom - 1, c);
        line(right - 1, bottom - 1, left, bottom - 1, c);
        line(left, bottom - 1, left, top, c);
    }
    Rgb at(int x, int y) const { return grid[std::size_t(y * w + x)]; }

private:
    void put(int x, int y, Rgb c) {
        if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom && x >= 0 && y >= 0 && x < w &&
            y < h)
            grid[std::size_t(y * w + x)] = c;
    }
    int w, h;
    std::vector<Rgb> grid;
    CBounds clip;
};

// Every pixel, so a stray one anywhere fails; the first few differences are named.
void expectSamePixels(const DibSurface& drawn, const ExpectedPixels& expected) {
    int differing = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (drawn.at(x, y) != expected.at(x, y) && ++differing <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << ": drawn " << std::hex << drawn.at(x, y) << ", expected "
                              << expected.at(x, y);
    EXPECT_EQ(differing, 0);
}

const CRgb kBack{10, 20, 30};

}  // namespace

TEST(GdiSurfaceShapes, FilledRectangleAndFillRectInsetMatchTheRules) {
    DibSurface s(24, 16, kBack);
    ExpectedPixels e(24, 16, kBack);
    s->setFillColor(kColorRed);
    s->drawRect(CBounds(2, 3, 12, 9), kDrawFilled);
    e.fill(2, 3, 12, 9, rgbOf(kColorRed));
    s->setFillColor(kColorBlue);
    s->fillRect(CBounds(14, 3, 22, 15));
    e.fill(15, 4, 22, 15, rgbOf(kColorBlue));
    s->drawRect(CBounds(0, 0, 5, 5), 7);  // no such style: nothing
    expectSamePixels(s, e);
}

TEST(GdiSurfaceShapes, OutlineAndFillAfterItKeepTheTopAndLeftEdges) {
    DibSurface s(20, 14, kBack);
    ExpectedPixels e(20, 14, kBack);
    s->setFrameColor(kColorYellow);
    s->setFillColor(kColorGreen);
    s->drawRect(CBounds(3, 2, 15, 11), kDrawOutline);
    s->fillRect(CBounds(3, 2, 15, 11));
    e.outline(3, 2, 15, 11, rgbOf(kColorYellow));
    e.fill(4, 3, 15, 11, rgbOf(kColorGreen));
    expectSamePixels(s, e);
}

TEST(GdiSurfaceLines, OnePixelLinesStopBeforeTheirEndPointInEitherDirection) {
    DibSurface s(16, 16, kBack);
    ExpectedPixels e(16, 16, kBack);
    s->setFrameColor(kColorCyan);
    s->moveTo(CPos(1, 1));
    s->lineTo(CPos(9, 1));
    s->lineTo(CPos(9, 12));
    s->moveTo(CPos(14, 5));
    s->lineTo(CPos(4, 5));
    s->moveTo(CPos(2, 14));
    s->lineTo(CPos(2, 7));
    e.line(1, 1, 9, 1, rgbOf(kColorCyan));
    e.line(9, 1, 9, 12, rgbOf(kColorCyan));
    e.line(14, 5, 4, 5, rgbOf(kColorCyan));
    e.line(2, 14, 2, 7, rgbOf(kColorCyan));
    expectSamePixels(s, e);
}

TEST(GdiSurfaceLines, OrMergesAndXorTwiceRestores) {
    DibSurface s(8, 4, kColorRed);
    s->setDrawMode(kModeOr);
    s->setFrameColor(kColorBlue);
    s->moveTo(CPos(0, 1));
    s->lineTo(CPos(8, 1));
    EXPECT_EQ(s.at(3, 1), rgbOf(kColorMagenta));
    s->setDrawMode(kModeXor);
    s->setFrameColor(CRgb(0x0F, 0xF0, 0x55));
    s->moveTo(CPos(0, 2));
    s->lineTo(CPos(8, 2));
    EXPECT_EQ(s.at(3, 2), ~(Rgb(0x0FF055) ^ rgbOf(kColorRed)) & 0xFFFFFF);
    s->moveTo(CPos(0, 2));
    s->lineTo(CPos(8, 2));
    EXPECT_EQ(s.at(3, 2), rgbOf(kColorRed));
}

TEST(GdiSurfaceClip, OffsetMovesDrawingAndTheClipStaysInDeviceCoordinates) {
    DibSurface s(24, 20, kBack);
    ExpectedPixels e(24, 20, kBack);
    s->setOffset(CPos(5, 4));
    s->setClipRect(CBounds(0, 0, 8, 9));
    CBounds clip;
    s->getClipRect(clip);
    EXPECT_EQ(clip, CBounds(0, 0, 8, 9));
    EXPECT_EQ(s->getDeviceClipRect(), CBounds(5, 4, 13, 13));
    e.setClip(CBounds(5, 4, 13, 13));

    s->setFillColor(kColorRed);
    s->drawRect(CBounds(-3, -3, 30, 30), kDrawFilled);
    e.fill(2, 1, 35, 34, rgbOf(kColorRed));
    s->setFrameColor(kColorWhite);
    s->moveTo(CPos(-5, 2));
    s->lineTo(CPos(20, 2));
    e.line(0, 6, 25, 6, rgbOf(kColorWhite));
    s->setFillColor(kColorBlue);
    s->fillRect(CBounds(4, 4, 12, 12));
    e.fill(10, 9, 17, 16, rgbOf(kColorBlue));
    expectSamePixels(s, e);

    // A new clip replaces the old one rather than narrowing it.
    s->setClipRect(CBounds(10, 10, 14, 14));
    e.setClip(CBounds(15, 14, 19, 18));
    s->setFillColor(kColorGreen);
    s->drawRect(CBounds(0, 0, 30, 30), kDrawFilled);
    e.fill(0, 0, 24, 20, rgbOf(kColorGreen));
    expectSamePixels(s, e);
}

TEST(GdiOffscreen, PaintedInItsBackgroundAndCopiedWithTheOtherSurfacesOffset) {
    COffscreenSurface* off = new COffscreenSurface(nullptr, 12, 10, kColorRed);
    ASSERT_NE(off->getDeviceContext(), nullptr);
    off->setFillColor(kColorBlue);
    off->drawRect(CBounds(2, 2, 6, 5), kDrawFilled);

    DibSurface s(30, 24, kBack);
    ExpectedPixels e(30, 24, kBack);
    s->setOffset(CPos(3, 1));
    off->copyTo(s.get(), CBounds(4, 5, 14, 13), CPos(1, 1));
    // Offscreen (1..10, 1..8) lands at device (7..16, 6..13).
    e.fill(7, 6, 17, 14, rgbOf(kColorRed));
    e.fill(8, 7, 12, 10, rgbOf(kColorBlue));
    expectSamePixels(s, e);

    // Back the other way: device (8, 7) of the surface, 4 x 3, into the offscreen at (6, 6).
    off->copyFrom(s.get(), CBounds(5, 6, 9, 9), CPos(6, 6));
    s->setOffset(CPos(0, 0));
    off->copyTo(s.get(), CBounds(0, 14, 12, 24), CPos(0, 0));
    e.fill(0, 14, 12, 24, rgbOf(kColorRed));
    e.fill(2, 16, 6, 19, rgbOf(kColorBlue));
    e.fill(6, 20, 10, 23, rgbOf(kColorBlue));
    expectSamePixels(s, e);
    off->release();
}
