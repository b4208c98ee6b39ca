#include <gtest/gtest.h>

#include "gui/CImage.h"
#include "gui/COffscreenSurface.h"
#include "gui/platform/linux/CanvasContext.h"
#include "gui/platform/Resources.h"
#include "tests/gui/PanelImagesCheck.h"

using platform::canvas::CanvasContext;
using platform::canvas::Pixel;
using platform::canvas::makePixel;

namespace {

Pixel at(COffscreenSurface& s, int x, int y) {
    return dynamic_cast<CanvasContext*>(s.getDeviceContext())->canvas().get(x, y);
}

// The first fully transparent pixel of an image, searched from the top-left corner.
bool findTransparentPixel(const CImage& image, int& tx, int& ty) {
    const platform::PixelBitmap* bits = image.getPixels();
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x) {
            const std::uint8_t* p = bits->bits() + (std::size_t(image.getHeight() - 1 - y) * image.getWidth() + x) * 4;
            if (p[3] == 0) {
                tx = x;
                ty = y;
                return true;
            }
        }
    return false;
}

}  // namespace

TEST(ImageResources, AllElevenLoadAndFitThePanel) { expectPanelImagesFit(); }

TEST(ImageResources, OnlyTheLowSixteenBitsOfTheIdCount) {
    platform::ResourceBytes a, b;
    ASSERT_TRUE(platform::findImageResource(128, a));
    ASSERT_TRUE(platform::findImageResource(128 + 0x30000, b));
    EXPECT_EQ(a.data, b.data);
    EXPECT_FALSE(platform::findImageResource(132, a));
}

TEST(ImageResources, MissingResourceOrAPathLeavesAnEmptyImageThatDrawsNothing) {
    CImage* loaded = new CImage(131);
    ASSERT_GT(loaded->getWidth(), 0);
    EXPECT_FALSE(loaded->loadFromPath("/tmp/anything.png")) << "loading from a path is not supported";
    EXPECT_EQ(loaded->getWidth(), 0);
    EXPECT_EQ(loaded->getPixels(), nullptr);
    loaded->release();
    CImage* image = new CImage(132);
    EXPECT_EQ(image->getWidth(), 0);
    EXPECT_EQ(image->getHeight(), 0);
    EXPECT_EQ(image->getPixels(), nullptr);
    EXPECT_EQ(image->getTransparentColor(), kColorTransparent);
    EXPECT_FALSE(image->loadFromResource(133));
    COffscreenSurface* s = new COffscreenSurface(nullptr, 10, 10, kColorGreen);
    image->draw(s, CBounds(0, 0, 10, 10));
    image->drawTransparent(s, CBounds(0, 0, 10, 10));
    image->drawAlphaBlend(s, CBounds(0, 0, 10, 10), CPos(), 128);
    image->setOpaque(true);
    image->draw(s, CBounds(0, 0, 10, 10));
    EXPECT_EQ(at(*s, 5, 5), makePixel(0, 255, 0));
    s->release();
    image->release();
}

TEST(ImageDrawing, OpaqueMarkedImageIsCopiedSoTransparentPixelsTurnBlack) {
    CImage* knob = new CImage(123);
    int tx = 0, ty = 0;
    ASSERT_TRUE(findTransparentPixel(*knob, tx, ty));
    COffscreenSurface* s = new COffscreenSurface(nullptr, 100, 100, kColorGreen);

    knob->draw(s, CBounds(0, 0, knob->getWidth(), knob->getWidth()));
    EXPECT_EQ(at(*s, tx, ty), makePixel(0, 255, 0)) << "blended: the background shows through";

    knob->setOpaque(true);
    knob->draw(s, CBounds(0, 0, knob->getWidth(), knob->getWidth()));
    EXPECT_EQ(at(*s, tx, ty) & 0xFFFFFF, 0u) << "copied: transparent pixels are black";
    s->release();
    knob->release();
}

TEST(ImageDrawing, DrawUsesTheSurfaceOffsetAndTheImageOffset) {
    CImage* mode = new CImage(134);
    const int w = mode->getWidth(), h = mode->getHeight() / 22;
    COffscreenSurface* direct = new COffscreenSurface(nullptr, 200, 200, kColorBlack);
    COffscreenSurface* shifted = new COffscreenSurface(nullptr, 200, 200, kColorBlack);
    mode->draw(direct, CBounds(30, 40, 30 + w, 40 + h), CPos(0, 21 * h));
    shifted->setOffset(CPos(20, 30));
    mode->draw(shifted, CBounds(10, 10, 10 + w, 10 + h), CPos(0, 21 * h));
    int differing = 0, inked = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            differing += at(*direct, x, y) != at(*shifted, x, y) ? 1 : 0;
            inked += at(*direct, x, y) != makePixel(0, 0, 0) ? 1 : 0;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(inked, w * h / 4);
    // Sub-image 21 differs from sub-image 0: the offset selects the frame.
    COffscreenSurface* first = new COffscreenSurface(nullptr, 200, 200, kColorBlack);
    mode->draw(first, CBounds(30, 40, 30 + w, 40 + h), CPos(0, 0));
    int changed = 0;
    for (int y = 40; y < 40 + h; ++y)
        for (int x = 30; x < 30 + w; ++x) changed += at(*direct, x, y) != at(*first, x, y) ? 1 : 0;
    EXPECT_GT(changed, 20);
    first->release();
    shifted->release();
    direct->release();
    mode->release();
}

TEST(ImageDrawing, ConstantAlphaScalesTheSource) {
    CImage* background = new CImage(128);
    background->setOpaque(true);
    COffscreenSurface* full = new COffscreenSurface(nullptr, 50, 50, kColorBlack);
    COffscreenSurface* half = new COffscreenSurface(nullptr, 50, 50, kColorBlack);
    background->drawAlphaBlend(full, CBounds(0, 0, 50, 50), CPos(0, 0), 255);
    background->drawAlphaBlend(half, CBounds(0, 0, 50, 50), CPos(0, 0), 128);
    for (int y = 5; y < 45; y += 7)
        for (int x = 5; x < 45; x += 7) {
            const int a = platform::canvas::redOf(at(*full, x, y)), b = platform::canvas::redOf(at(*half, x, y));
            EXPECT_NEAR(b, a * 128 / 255.0, 1.0) << x << "," << y;
        }
    half->release();
    full->release();
    background->release();
}

TEST(ImageDrawing, ColourKeyedCopySkipsOnlyTheTransparentColour) {
    CImage* background = new CImage(128);
    background->setOpaque(true);
    COffscreenSurface* s = new COffscreenSurface(nullptr, 10, 10, kColorGreen);
    background->draw(s, CBounds(0, 0, 10, 10), CPos(100, 100));
    const Pixel sample = at(*s, 3, 3);
    COffscreenSurface* keyed = new COffscreenSurface(nullptr, 10, 10, kColorGreen);
    background->setTransparentColor(CRgb(platform::canvas::redOf(sample), platform::canvas::greenOf(sample),
                                         platform::canvas::blueOf(sample), 255));
    background->drawTransparent(keyed, CBounds(0, 0, 10, 10), CPos(100, 100));
    int skipped = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            if ((at(*s, x, y) & 0xFFFFFF) == (sample & 0xFFFFFF)) {
                EXPECT_EQ(at(*keyed, x, y), makePixel(0, 255, 0));
                ++skipped;
            } else {
                EXPECT_EQ(at(*keyed, x, y) & 0xFFFFFF, at(*s, x, y) & 0xFFFFFF);
            }
        }
    EXPECT_GE(skipped, 1);
    // A blended image ignores the key.
    background->setOpaque(false);
    background->drawTransparent(keyed, CBounds(0, 0, 10, 10), CPos(100, 100));
    EXPECT_EQ(at(*keyed, 3, 3) & 0xFFFFFF, sample & 0xFFFFFF);
    keyed->release();
    s->release();
    background->release();
}
