#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "gui/CDrawSurface.h"
#include "gui/COffscreenSurface.h"
#include "gui/platform/linux/CanvasContext.h"
#include "gui/platform/linux/FontRenderer.h"
#include "gui/platform/linux/InputSource.h"
#include "gui/platform/Window.h"
#include "tests/gui/RecordingContext.h"

using platform::canvas::Canvas;
using platform::canvas::CanvasContext;
using platform::canvas::Pixel;
using platform::canvas::makePixel;

namespace {

constexpr Pixel kBlack = makePixel(0, 0, 0);
constexpr Pixel kWhite = makePixel(255, 255, 255);
constexpr Pixel kRed = makePixel(255, 0, 0);

// A surface drawing into a fresh canvas that starts black.
struct CanvasSurface {
    explicit CanvasSurface(int w = 40, int h = 30) : canvas(w, h), context(canvas) {
        canvas.fill(CBounds(0, 0, w, h), kBlack);
        surface = new CDrawSurface(nullptr, &context, nullptr);
    }
    ~CanvasSurface() { surface->release(); }
    Canvas canvas;
    CanvasContext context;
    CDrawSurface* surface;

    // The touched pixels' bounding box, for pixels differing from the background.
    CBounds touched(Pixel background = kBlack) const {
        CBounds box(canvas.width(), canvas.height(), -1, -1);
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                if (canvas.get(x, y) != background) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x);
                    box.bottom = std::max(box.bottom, y);
                }
        return box;  // inclusive last column and row
    }
    int countPixels(Pixel p) const {
        int n = 0;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x) n += canvas.get(x, y) == p ? 1 : 0;
        return n;
    }
};

}  // namespace

TEST(DrawSurfaceDefaults, AppliedThroughTheSettersInOrder) {
    RecordingContext rec;
    CDrawSurface* surface = new CDrawSurface(nullptr, &rec, nullptr);
    const std::vector<std::string> expected = {
        "bkmode transparent",
        "pen 0 1 16777215",  // white pen, solid, width 1
        "bkcolor 0", "brush 0",
        "textcolor 16777215",
        "font",
        "rop 0",
    };
    EXPECT_EQ(rec.calls, expected);
    EXPECT_EQ(surface->getFontId(), kFontSystem);
    EXPECT_EQ(surface->getFontSize(), 12);
    CBounds clip;
    surface->getClipRect(clip);
    EXPECT_EQ(clip, CBounds(0, 0, 1000, 1000));
    surface->release();
}

TEST(DrawSurfaceSetters, SameValuesMakeNoPlatformCalls) {
    RecordingContext rec;
    CDrawSurface* surface = new CDrawSurface(nullptr, &rec, nullptr);
    rec.clear();
    surface->setFrameColor(kColorWhite);
    surface->setLineStyle(kLineSolid);
    surface->setLineWidth(1);
    surface->setFillColor(kColorBlack);
    surface->setDrawMode(kModeCopy);
    surface->setFont(kFontSystem, 0, 0);
    surface->setFont(kFontSystem, 12, kStyleItalic);  // style alone does not count
    EXPECT_TRUE(rec.calls.empty());

    // The text colour is always applied.
    surface->setFontColor(kColorWhite);
    EXPECT_EQ(rec.count("textcolor"), 1);

    // Alpha alone is a change.
    surface->setFrameColor(CRgb(255, 255, 255, 254));
    EXPECT_EQ(rec.count("pen"), 1);
    surface->setFillColor(CRgb(0, 0, 0, 0));
    EXPECT_EQ(rec.count("brush"), 1);
    EXPECT_EQ(rec.count("bkcolor"), 1);
    surface->setLineStyle(kLineDotted);
    EXPECT_EQ(rec.calls.back(), "pen 1 1 16777215");
    surface->setLineWidth(3);
    EXPECT_EQ(rec.calls.back(), "pen 1 3 16777215");
    surface->setDrawMode(kModeXor);
    EXPECT_EQ(rec.calls.back(), "rop 2");
    surface->setDrawMode(7);
    EXPECT_EQ(rec.calls.back(), "rop 0");
    surface->release();
}

TEST(DrawSurfaceSetters, ClipAlreadyInForceMakesNoPlatformCall) {
    RecordingContext rec;
    CDrawSurface* surface = new CDrawSurface(nullptr, &rec, nullptr);
    surface->setClipRect(CBounds(0, 0, 10, 10));
    rec.clear();
    surface->setClipRect(CBounds(0, 0, 10, 10));
    EXPECT_EQ(rec.count("clip"), 0);
    surface->setClipRect(CBounds(0, 0, 10, 11));
    EXPECT_EQ(rec.count("clip"), 1);
    surface->release();
}

TEST(DrawSurfaceFonts, OutOfRangeIdFallsBackToBoldArialTwelve) {
    RecordingContext rec;
    CDrawSurface* surface = new CDrawSurface(nullptr, &rec, nullptr);
    surface->setFont(kFontTiny, 0, 0);
    surface->setFont(9, 0, 0);
    EXPECT_EQ(surface->getFontId(), kFontSystem);
    EXPECT_EQ(rec.lastFace, "Arial");
    EXPECT_EQ(rec.lastFont.height, -12);
    EXPECT_EQ(rec.lastFont.weight, 700);

    surface->setFont(kFontSmaller, 0, kStyleItalic | kStyleUnderline);
    EXPECT_EQ(rec.lastFont.height, -10);
    EXPECT_EQ(rec.lastFont.weight, 400);
    EXPECT_TRUE(rec.lastFont.italic);
    EXPECT_TRUE(rec.lastFont.underline);
    surface->setFont(kFontSymbol, 0, kStyleBold);
    EXPECT_EQ(rec.lastFace, "Symbol");
    EXPECT_EQ(rec.lastFont.height, -13);
    EXPECT_EQ(rec.lastFont.weight, 700);
    EXPECT_TRUE(rec.lastFont.decorative);
    surface->release();
}

TEST(DrawSurfaceFonts, FontconfigResolvesArialToAnInstalledFace) {
    platform::FontSpec arial;
    const std::string file = platform::canvas::FontRenderer::resolvedFile(arial);
    EXPECT_FALSE(file.empty());
    EXPECT_GT(platform::canvas::FontRenderer::textWidth(arial, "Cutoff"), 20);
    platform::FontSpec symbol;
    symbol.face = "Symbol";
    EXPECT_FALSE(std::string(platform::canvas::FontRenderer::resolvedFile(symbol)).empty());
}

TEST(DrawSurfaceText, LeftAlignedTextStartsOnePixelRightOfTheRectangle) {
    RecordingContext rec;
    CDrawSurface* surface = new CDrawSurface(nullptr, &rec, nullptr);
    surface->setOffset(CPos(5, 7));
    surface->drawString("Cutoff", CBounds(10, 0, 50, 20), false, kAlignLeft);
    EXPECT_EQ(rec.lastRect, CBounds(16, 7, 55, 27));
    surface->drawString("Cutoff", CBounds(10, 0, 50, 20), true, kAlignRight);
    EXPECT_EQ(rec.lastRect, CBounds(15, 7, 55, 27));
    EXPECT_EQ(rec.lastAlign, platform::TextAlign::Right);
    // Opaque only for the duration of the text.
    EXPECT_EQ(rec.calls[rec.calls.size() - 3], "bkmode opaque");
    EXPECT_EQ(rec.calls.back(), "bkmode transparent");
    rec.clear();
    surface->drawString(nullptr, CBounds(0, 0, 10, 10));
    EXPECT_TRUE(rec.calls.empty());
    surface->release();
}

TEST(DrawSurfaceText, TextIsClippedToItsRectangleAndVerticallyCentred) {
    CanvasSurface s(80, 40);
    s.surface->drawString("Release Release", CBounds(10, 10, 30, 30), false, kAlignLeft);
    const CBounds box = s.touched();
    EXPECT_GE(box.left, 11);
    EXPECT_LE(box.right, 29);
    EXPECT_GE(box.top, 10);
    EXPECT_LE(box.bottom, 29);
    // Centred: the ink's middle lies near the rectangle's middle (20).
    EXPECT_NEAR((box.top + box.bottom) / 2.0, 20.0, 3.0);
}

// Each shape in red on black: the box of touched pixels (last column and row included)
// and how many pixels turned red (-1: not counted).
TEST(DrawSurfaceShapes, EachShapeCoversExactlyItsPixels) {
    struct Case {
        const char* what;
        std::function<void(CDrawSurface&)> draw;
        CBounds touched;
        int red;
    };
    const Case cases[] = {
        {"fillRect leaves the top row and left column", [](CDrawSurface& s) { s.fillRect(CBounds(0, 0, 10, 10)); },
         CBounds(1, 1, 9, 9), 81},
        {"a filled rect excludes right and bottom",
         [](CDrawSurface& s) { s.drawRect(CBounds(0, 0, 10, 10), kDrawFilled); }, CBounds(0, 0, 9, 9), 100},
        {"an outline runs inside the last row and column; style 3 draws nothing",
         [](CDrawSurface& s) {
             s.drawRect(CBounds(2, 3, 12, 9), kDrawOutline);
             s.drawRect(CBounds(20, 20, 25, 25), 3);
         },
         CBounds(2, 3, 11, 8), 2 * 10 + 2 * 4},
        {"an ellipse is shifted one right and down", [](CDrawSurface& s) { s.fillEllipse(CBounds(0, 0, 20, 10)); },
         CBounds(1, 1, 19, 9), -1},
        {"a line stops before its end point",
         [](CDrawSurface& s) {
             s.moveTo(CPos(2, 4));
             s.lineTo(CPos(12, 4));
             s.lineTo(CPos(12, 14));
         },
         CBounds(2, 4, 12, 13), 10 + 10},
    };
    for (const Case& c : cases) {
        CanvasSurface s;
        s.surface->setFrameColor(kColorRed);
        s.surface->setFillColor(kColorRed);
        c.draw(*s.surface);
        EXPECT_EQ(s.touched(), c.touched) << c.what;
        if (c.red >= 0) {
            EXPECT_EQ(s.countPixels(kRed), c.red) << c.what;
        }
    }
    CanvasSurface outline;
    outline.surface->setFrameColor(kColorRed);
    outline.surface->drawRect(CBounds(2, 3, 12, 9), kDrawOutline);
    EXPECT_EQ(outline.canvas.get(5, 5), kBlack) << "an outline is not filled";
    CanvasSurface ellipse;
    ellipse.surface->setFillColor(kColorRed);
    ellipse.surface->fillEllipse(CBounds(0, 0, 20, 10));
    EXPECT_EQ(ellipse.canvas.get(10, 5), kRed);
    EXPECT_EQ(ellipse.canvas.get(1, 1), kBlack) << "corners stay outside the ellipse";
    CanvasSurface dotted;
    dotted.surface->setFrameColor(kColorRed);
    dotted.surface->setLineStyle(kLineDotted);
    dotted.surface->moveTo(CPos(0, 0));
    dotted.surface->lineTo(CPos(24, 0));
    EXPECT_EQ(dotted.countPixels(kRed), 12) << "a dotted pen leaves gaps";
    EXPECT_EQ(dotted.canvas.get(0, 0), kRed);
}

TEST(DrawSurfaceFills, FillAfterOutlineKeepsTheOutline) {
    CanvasSurface s;
    s.surface->setFrameColor(kColorWhite);
    s.surface->setFillColor(kColorRed);
    s.surface->drawRect(CBounds(0, 0, 10, 10), kDrawOutline);
    s.surface->fillRect(CBounds(0, 0, 10, 10));
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(s.canvas.get(i, 0), kWhite);
        EXPECT_EQ(s.canvas.get(0, i), kWhite);
    }
    EXPECT_EQ(s.canvas.get(5, 5), kRed);
}

TEST(DrawSurfaceModes, XorTwiceRestoresAndOrMerges) {
    CanvasSurface s;
    s.canvas.fill(CBounds(0, 0, 40, 30), makePixel(0x0F, 0x30, 0x81));
    s.surface->setFrameColor(CRgb(0xF0, 0x11, 0x01, 255));
    s.surface->setDrawMode(kModeXor);
    s.surface->moveTo(CPos(0, 0));
    s.surface->lineTo(CPos(10, 0));
    // The inverse of pen XOR destination.
    EXPECT_EQ(s.canvas.get(3, 0) & 0xFFFFFF, Pixel(~(0xF01101u ^ 0x0F3081u) & 0xFFFFFF));
    s.surface->moveTo(CPos(0, 0));
    s.surface->lineTo(CPos(10, 0));
    EXPECT_EQ(s.canvas.get(3, 0) & 0xFFFFFF, 0x0F3081u);
    s.surface->setDrawMode(kModeOr);
    s.surface->moveTo(CPos(0, 1));
    s.surface->lineTo(CPos(10, 1));
    EXPECT_EQ(s.canvas.get(3, 1) & 0xFFFFFF, 0xFF3181u);
}

TEST(DrawSurfaceOffsets, OffsetMovesDrawingAndClipIsKeptInDeviceCoordinates) {
    CanvasSurface s(200, 100);
    s.surface->setOffset(CPos(100, 50));
    s.surface->setFrameColor(kColorRed);
    s.surface->moveTo(CPos(0, 0));
    s.surface->lineTo(CPos(3, 0));
    EXPECT_EQ(s.touched(), CBounds(100, 50, 102, 50));

    s.surface->setClipRect(CBounds(0, 0, 10, 10));
    CBounds clip;
    s.surface->getClipRect(clip);
    EXPECT_EQ(clip, CBounds(0, 0, 10, 10));
    EXPECT_EQ(s.surface->getDeviceClipRect(), CBounds(100, 50, 110, 60));

    // The clip holds back everything outside it.
    s.surface->setFillColor(kColorRed);
    s.surface->drawRect(CBounds(-20, -20, 40, 40), kDrawFilled);
    EXPECT_EQ(s.touched(), CBounds(100, 50, 109, 59));
}

namespace {
struct FakeInput : platform::InputSource {
    CPos pointer;
    platform::PhysicalButtons buttons;
    CPos pointerScreenPosition() override { return pointer; }
    platform::PhysicalButtons physicalButtons() override { return buttons; }
};

struct FakeWindow : platform::Window {
    Canvas canvas{50, 50};
    int acquired = 0;
    std::unique_ptr<platform::DeviceContext> acquireContext() override {
        ++acquired;
        return std::make_unique<CanvasContext>(canvas);
    }
    CPos getScreenTopLeft() const override { return CPos(300, 200); }
};
}  // namespace

TEST(DrawSurfaceMouse, ButtonsFollowTheSwapSettingAndPointerIsWindowRelative) {
    FakeInput input;
    platform::setInputSource(&input);
    FakeWindow window;
    CDrawSurface* surface = new CDrawSurface(nullptr, nullptr, &window);
    EXPECT_EQ(window.acquired, 1);

    input.pointer = CPos(310, 225);
    CPos where;
    surface->getPointerPosition(where);
    EXPECT_EQ(where, CPos(10, 25));

    input.buttons.left = true;
    input.buttons.control = true;
    EXPECT_EQ(surface->getButtonState(), kMouseLeft | kKeyControl);
    CDrawSurface::setButtonsSwapped(true);
    EXPECT_EQ(surface->getButtonState(), kMouseRight | kKeyControl);
    input.buttons = platform::PhysicalButtons();
    input.buttons.right = true;
    input.buttons.middle = true;
    input.buttons.shift = true;
    input.buttons.alt = true;
    EXPECT_EQ(surface->getButtonState(), kMouseLeft | kMouseMiddle | kKeyShift | kKeyAlt);
    CDrawSurface::setButtonsSwapped(false);
    EXPECT_EQ(surface->getButtonState(), kMouseRight | kMouseMiddle | kKeyShift | kKeyAlt);

    // It draws into the window it took the context from.
    surface->setFillColor(kColorRed);
    surface->drawRect(CBounds(0, 0, 2, 2), kDrawFilled);
    EXPECT_EQ(window.canvas.get(1, 1), kRed);
    surface->release();
    platform::setInputSource(nullptr);
}

TEST(DrawSurfaceWithoutContext, AcceptsEveryCall) {
    CDrawSurface* surface = new CDrawSurface(nullptr, nullptr, nullptr);
    surface->setFillColor(kColorRed);
    surface->fillRect(CBounds(0, 0, 10, 10));
    surface->drawString("x", CBounds(0, 0, 10, 10));
    surface->lineTo(CPos(5, 5));
    EXPECT_EQ(surface->getStringWidth("abc"), 0);
    EXPECT_EQ(surface->getFillColor(), kColorRed);
    surface->release();
}

namespace {
Pixel at(COffscreenSurface& offscreen, int x, int y) {
    return dynamic_cast<CanvasContext*>(offscreen.getDeviceContext())->canvas().get(x, y);
}
}  // namespace

TEST(OffscreenSurface, PaintsItsWholeAreaInTheBackgroundColour) {
    COffscreenSurface* offscreen = new COffscreenSurface(nullptr, 7, 5, kColorGreen);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(at(*offscreen, x, y), makePixel(0, 255, 0)) << x << "," << y;
    EXPECT_EQ(offscreen->getDeviceClipRect(), CBounds(0, 0, 7, 5));
    EXPECT_EQ(offscreen->getFillColor(), kColorGreen);
    EXPECT_EQ(offscreen->getFrameColor(), kColorGreen);
    // The defaults reached the memory context too: white text on the surface.
    EXPECT_EQ(offscreen->getFontColor(), kColorWhite);
    offscreen->release();
}

TEST(OffscreenSurface, CopyToAndFromUseOffsetsOnTheOtherSurfaceOnly) {
    COffscreenSurface* offscreen = new COffscreenSurface(nullptr, 20, 20, kColorBlack);
    offscreen->setFillColor(kColorRed);
    offscreen->drawRect(CBounds(4, 4, 8, 8), kDrawFilled);

    CanvasSurface target(60, 60);
    target.surface->setOffset(CPos(10, 20));
    offscreen->copyTo(target.surface, CBounds(0, 0, 4, 4), CPos(4, 4));
    EXPECT_EQ(target.touched(), CBounds(10, 20, 13, 23));
    EXPECT_EQ(target.countPixels(kRed), 16);

    COffscreenSurface* other = new COffscreenSurface(nullptr, 20, 20, kColorBlack);
    other->copyFrom(target.surface, CBounds(0, 0, 2, 2), CPos(15, 15));
    EXPECT_EQ(at(*other, 15, 15), kRed);
    EXPECT_EQ(at(*other, 16, 16), kRed);
    EXPECT_EQ(at(*other, 17, 17), kBlack);
    EXPECT_EQ(at(*other, 14, 14), kBlack);
    other->release();
    offscreen->release();
}

TEST(RefObject, CountStartsAtOneAndReleaseAtZeroDestroys) {
    struct Tracked : CRefObject {
        bool* gone;
        explicit Tracked(bool* g) : gone(g) {}
        ~Tracked() override { *gone = true; }
    };
    bool gone = false;
    Tracked* t = new Tracked(&gone);
    EXPECT_EQ(t->getRefCount(), 1);
    t->retain();
    t->release();
    EXPECT_FALSE(gone);
    t->release();
    EXPECT_TRUE(gone);
}
