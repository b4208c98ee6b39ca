#include <gtest/gtest.h>

#include "gui/platform/linux/CanvasContext.h"

using namespace platform::canvas;

namespace {

// A 1 x 1 bitmap holding one premultiplied pixel.
std::unique_ptr<platform::PixelBitmap> onePixel(int b, int g, int r, int a) {
    auto bitmap = platform::createPixelBitmap(1, 1);
    std::uint8_t* p = bitmap->bits();
    p[0] = std::uint8_t(b);
    p[1] = std::uint8_t(g);
    p[2] = std::uint8_t(r);
    p[3] = std::uint8_t(a);
    return bitmap;
}

}  // namespace

// result = source * s + destination * (1 - a * s), s the constant and a the pixel alpha.
TEST(CanvasBlend, SourceOverWithPremultipliedSource) {
    Canvas canvas(1, 1);
    canvas.fill(CBounds(0, 0, 1, 1), makePixel(200, 100, 40));
    CanvasContext context(canvas);
    auto bitmap = onePixel(0, 0, 64, 128);  // red 128 premultiplied by alpha 128
    context.blendBitmap(*bitmap, CPos(0, 0), CBounds(0, 0, 1, 1), 255, true);
    const Pixel p = canvas.get(0, 0);
    EXPECT_NEAR(redOf(p), 64 + 200 * (1 - 128 / 255.0), 1.0);
    EXPECT_NEAR(greenOf(p), 100 * (1 - 128 / 255.0), 1.0);

    canvas.fill(CBounds(0, 0, 1, 1), makePixel(200, 100, 40));
    context.blendBitmap(*bitmap, CPos(0, 0), CBounds(0, 0, 1, 1), 128, true);
    const double s = 128 / 255.0, a = 128 / 255.0;
    EXPECT_NEAR(redOf(canvas.get(0, 0)), 64 * s + 200 * (1 - a * s), 1.0);

    // Without per-pixel alpha the pixel counts as opaque.
    canvas.fill(CBounds(0, 0, 1, 1), makePixel(200, 100, 40));
    context.blendBitmap(*bitmap, CPos(0, 0), CBounds(0, 0, 1, 1), 128, false);
    EXPECT_NEAR(redOf(canvas.get(0, 0)), 64 * s + 200 * (1 - s), 1.0);
    EXPECT_NEAR(greenOf(canvas.get(0, 0)), 100 * (1 - s), 1.0);
}

TEST(CanvasBlend, PartsOutsideTheBitmapOrClipAreLeftAlone) {
    Canvas canvas(4, 4);
    canvas.fill(CBounds(0, 0, 4, 4), makePixel(1, 2, 3));
    CanvasContext context(canvas);
    auto bitmap = onePixel(9, 9, 9, 255);
    context.setClipRect(CBounds(0, 0, 1, 4));
    context.copyBitmap(*bitmap, CPos(0, 0), CBounds(0, 0, 4, 4));
    EXPECT_EQ(canvas.get(0, 0), makePixel(9, 9, 9, 255));
    EXPECT_EQ(canvas.get(0, 1), makePixel(1, 2, 3)) << "outside the bitmap";
    context.setClipRect(CBounds(2, 2, 4, 4));
    context.copyBitmap(*bitmap, CPos(0, 0), CBounds(0, 0, 1, 1));
    EXPECT_EQ(canvas.get(0, 0), makePixel(9, 9, 9, 255));
    EXPECT_EQ(canvas.get(1, 1), makePixel(1, 2, 3));
}
