// The panel drawn headless for every factory program against committed pictures, the
// panel with images that fail to load, and a panel redrawn after changes against a fresh
// draw. References: program-00.png is the whole panel; the others hold only the pixels
// that differ from it (the rest transparent). QV_UPDATE_REFERENCES=1 rewrites them from
// what the build draws.
#include <gtest/gtest.h>
#include <png.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dsp/Parameters.h"
#include "editor/EditorSnapshot.h"
#include "editor/FilterEditor.h"
#include "vst2/PanelEditor.h"
#include "gui/CFrame.h"
#include "gui/COffscreenSurface.h"
#include "gui/CRefObject.h"
#include "gui/SharedImages.h"
#include "gui/platform/PixelReadback.h"
#include "gui/platform/Resources.h"
#include "vst2/FilterEffect.h"
#include "resources/EmbeddedResources.h"
#include "tests/editor/PanelSequences.h"
#include "vst2/EntryPoint.h"

// The library's resources, or none of them while imagesMissing is set.
namespace {
bool imagesMissing = false;
}

namespace platform {
bool findImageResource(std::int32_t id, ResourceBytes& out) {
    if (imagesMissing) return false;
    for (std::size_t i = 0; i < kEmbeddedResourceCount; ++i)
        if (kEmbeddedResources[i].id == (id & 0xFFFF)) {
            out.data = kEmbeddedResources[i].data;
            out.size = kEmbeddedResources[i].size;
            return true;
        }
    return false;
}
std::unique_ptr<PixelBitmap> loadBitmapResource(std::int32_t) { return nullptr; }
}  // namespace platform

namespace {

constexpr int kW = FilterEditor::kWidth, kH = FilterEditor::kHeight;
// The panel is drawn from our own images: it must match to the level. Only the readout's
// text goes through the system's font renderer, which another build may shade otherwise
// or place a pixel apart: there a pixel may match any reference pixel next to it, within
// kTextLevels.
constexpr int kLevels = 1;
constexpr int kTextLevels = 40;

using Pixels = std::vector<std::uint32_t>;  // 0xAARRGGBB, rows top-down

Pixels snapshot(FilterEffect& effect, int w = kW, int h = kH) {
    Pixels pixels(std::size_t(w) * std::size_t(h));
    EditorSnapshot request;
    request.width = w;
    request.height = h;
    request.pixels = pixels.data();
    EXPECT_EQ(effect.dispatcher(effVendorSpecific, kEditorSnapshotRequest, 0, &request, 0.0f), 1);
    for (std::uint32_t& p : pixels) p |= 0xFF000000u;
    return pixels;
}

bool readPng(const std::string& path, Pixels& out, int w = kW, int h = kH) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_BGRA;  // little-endian words 0xAARRGGBB
    if (int(image.width) != w || int(image.height) != h) {
        png_image_free(&image);
        return false;
    }
    out.assign(std::size_t(w) * std::size_t(h), 0);
    return png_image_finish_read(&image, nullptr, out.data(), 0, nullptr) != 0;
}

bool writePng(const std::string& path, const Pixels& pixels, bool withAlpha, int w = kW, int h = kH) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(w);
    image.height = png_uint_32(h);
    image.format = withAlpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t p : pixels) {
        bytes.insert(bytes.end(), {std::uint8_t(p), std::uint8_t(p >> 8), std::uint8_t(p >> 16)});
        if (withAlpha) bytes.push_back(std::uint8_t(p >> 24));
    }
    return png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr) != 0;
}

int channelDistance(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int shift : {0, 8, 16}) worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

bool matchesNearby(const Pixels& got, const Pixels& expected, int x, int y, int w, int h) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int u = x + dx, v = y + dy;
            if (u < 0 || v < 0 || u >= w || v >= h) continue;
            if (channelDistance(got[std::size_t(y) * w + x], expected[std::size_t(v) * w + u]) <= kTextLevels)
                return true;
        }
    return false;
}

// The pixels that differ beyond what their place allows, and the rectangle around them;
// empty when the pictures agree. The pictures are drawn at scale (w x h pixels).
std::string mismatch(const Pixels& got, const Pixels& expected, double scale = 1.0) {
    const int w = int(std::lround(kW * scale)), h = int(std::lround(kH * scale));
    const CBounds readout(int(panel::kReadout.left * scale), int(panel::kReadout.top * scale),
                          int(std::ceil(panel::kReadout.right * scale)), int(std::ceil(panel::kReadout.bottom * scale)));
    DifferingPixels differing;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t i = std::size_t(y) * w + x;
            const bool ok = readout.containsStrict(CPos(x, y)) ? matchesNearby(got, expected, x, y, w, h)
                                                               : channelDistance(got[i], expected[i]) <= kLevels;
            if (!ok) differing.add(x, y);
        }
    return differing.describe();
}

std::string referencePath(int program) {
    char name[32];
    std::snprintf(name, sizeof name, "/program-%02d.png", program);
    return QV_REFERENCE_DIR + std::string(name);
}

}  // namespace

TEST(FilterEditorSnapshot, EveryFactoryProgramLooksAsCommitted) {
    FilterEffect effect(nullptr, 2, false);
    attachPanel(effect);
    const bool update = std::getenv("QV_UPDATE_REFERENCES") != nullptr;
    Pixels base;
    for (int program = 0; program < 16; ++program) {
        SCOPED_TRACE(program);
        effect.setProgram(program);
        const Pixels got = snapshot(effect);
        if (update) {
            Pixels stored = got;
            if (program > 0)
                for (std::size_t i = 0; i < stored.size(); ++i)
                    if (stored[i] == base[i]) stored[i] = 0;
            ASSERT_TRUE(writePng(referencePath(program), stored, program > 0));
            if (program == 0) base = got;
            continue;
        }
        Pixels expected;
        ASSERT_TRUE(readPng(referencePath(program), expected)) << referencePath(program);
        if (program == 0)
            base = expected;
        else
            for (std::size_t i = 0; i < expected.size(); ++i)
                if ((expected[i] >> 24) == 0) expected[i] = base[i];
        const std::string differs = mismatch(got, expected);
        if (!differs.empty()) {
            char name[48];
            std::snprintf(name, sizeof name, "/program-%02d-got.png", program);
            writePng(QV_SNAPSHOT_OUT_DIR + std::string(name), got, false);
            ADD_FAILURE() << differs << "; the picture drawn is " << QV_SNAPSHOT_OUT_DIR << name;
        }
    }
}

TEST(FilterEditorSnapshot, ImagesThatFailToLoadLeaveEmptyControlsAndThePanelOpens) {
    FilterEffect effect(nullptr, 2, false);
    attachPanel(effect);
    imagesMissing = true;
    const std::int32_t liveBefore = CRefObject::liveCount();
    const Pixels got = snapshot(effect);
    // Only the readout draws: grey text on black at the bottom.
    int lit = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if ((got[std::size_t(y) * kW + x] & 0xFFFFFF) != 0) {
                ++lit;
                EXPECT_TRUE(panel::kReadout.containsStrict(CPos(x, y))) << x << "," << y;
            }
    EXPECT_GT(lit, 0) << "the readout still shows";

    Display* display = XOpenDisplay(nullptr);
    const bool windowed = display != nullptr;
    if (display) {
        Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 800, 212, 0, 0, 0);
        XSync(display, False);
        EXPECT_EQ(effect.dispatcher(effEditOpen, 0, 0, reinterpret_cast<void*>(parent), 0.0f), 1);
        effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
        effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
        XDestroyWindow(display, parent);
        XCloseDisplay(display);
    }
    imagesMissing = false;
    EXPECT_EQ(CRefObject::liveCount(), liveBefore);
    if (!windowed) GTEST_SKIP() << "the panel in a window: no X display (the headless half ran)";
}

// The shared sequences on a panel that draws into memory. A gesture is what it leaves the
// editor with, the control's new value reported by the control (the window tests make the
// real ones); what the host does to the window has no headless counterpart.
TEST(FilterEditorSnapshot, APanelRedrawnAfterChangesEqualsAFreshDraw) {
    FilterEffect effect(nullptr, 2, false);
    attachPanel(effect);
    AEffect* record = effect.effectRecord();
    auto& editor = static_cast<FilterEditor&>(static_cast<PanelEditor*>(effect.getEditor())->panel());
    editor.open(nullptr);
    CFrame* frame = editor.getFrame();
    ASSERT_NE(frame, nullptr);
    COffscreenSurface* back = frame->getBackBuffer();
    frame->draw(back);  // the first paint
    auto shown = [&] {
        Pixels pixels(std::size_t(kW) * kH);
        EXPECT_TRUE(platform::readPixels(*back->getDeviceContext(), kW, kH, pixels.data()));
        for (std::uint32_t& p : pixels) p &= 0xFFFFFFu;
        return pixels;
    };
    auto run = [&](const PanelStep& step) {
        switch (step.kind) {
            case PanelStep::Gesture: {
                CControl* control = editor.controlFor(step.index);
                const panel::Kind kind = panel::control(step.index).kind;
                const float value = kind == panel::Kind::Knob               ? control->getValue() + step.value / 200
                                    : kind == panel::Kind::HorizontalSwitch ? step.fx
                                                                            : step.fy;
                control->setValue(std::min(1.0f, std::max(0.0f, value)));
                editor.valueChanged(nullptr, control);
                if (step.hostIndex >= 0) record->setParameter(record, step.hostIndex, step.hostValue);
                break;
            }
            case PanelStep::Host: record->setParameter(record, step.index, step.value); break;
            case PanelStep::Program: effect.dispatcher(effSetProgram, 0, step.index, nullptr, 0.0f); break;
            case PanelStep::SplashClick: {
                CBounds area;
                editor.controlFor(FilterEditor::kSplashTag)->getViewSize(area);
                CPos centre((area.left + area.right) / 2, (area.top + area.bottom) / 2);
                frame->onMouse(nullptr, centre, kMouseLeft);
                break;
            }
            case PanelStep::HideAndShow:
            case PanelStep::MoveHalfOffAndBack: break;
        }
        editor.idle();
    };

    for (const PanelSequence& sequence : panelSequences()) {
        for (const PanelStep& step : sequence.steps) run(step);
        EXPECT_EQ(pictureDifference(shown(), freshDraw(effect)), "") << "after " << sequence.what;
    }
    editor.close();
}

// The panel at a host's scale ---------------------------------------------------------------

namespace {

struct Scaled {
    double scale;
    int w, h;
    Pixels pixels;
};

// Program 0 drawn headless after the host's scale request.
Scaled scaledSnapshot(double scale) {
    FilterEffect effect(nullptr, 2, false);
    attachPanel(effect);
    EXPECT_EQ(effect.dispatcher(effVendorSpecific, PanelEditor::kScaleRequest, PanelEditor::kScaleRequestValue,
                                nullptr, float(scale)),
              1);
    Scaled out{scale, int(std::lround(kW * scale)), int(std::lround(kH * scale)), {}};
    out.pixels = snapshot(effect, out.w, out.h);
    return out;
}

// Luma of 0xRRGGBB.
double luma(std::uint32_t p) { return 0.299 * ((p >> 16) & 0xFF) + 0.587 * ((p >> 8) & 0xFF) + 0.114 * (p & 0xFF); }

// A picture of twice the size's detail finer than the 1x pixel grid: the mean squared
// luma distance of each pixel from the mean of its 2 x 2 block (the part a 1x pixel
// cannot hold). A pixel enlargement has none; enlarged-then-smoothed pictures little.
double fineDetail(const Pixels& p, int w, int h) {
    double sum = 0;
    for (int y = 0; y + 1 < h; y += 2)
        for (int x = 0; x + 1 < w; x += 2) {
            double block[4], mean = 0;
            for (int k = 0; k < 4; ++k) mean += (block[k] = luma(p[std::size_t(y + k / 2) * w + x + k % 2])) / 4;
            for (double v : block) sum += (v - mean) * (v - mean);
        }
    return sum / (double(w) * h);
}

}  // namespace

TEST(FilterEditorSnapshot, ThePanelAtOtherScalesLooksAsCommitted) {
    const bool update = std::getenv("QV_UPDATE_REFERENCES") != nullptr;
    for (double scale : {2.0, 1.5}) {
        SCOPED_TRACE(scale);
        const Scaled got = scaledSnapshot(scale);
        char name[48];
        std::snprintf(name, sizeof name, "/program-00@%gx.png", scale);
        const std::string path = QV_REFERENCE_DIR + std::string(name);
        if (update) {
            ASSERT_TRUE(writePng(path, got.pixels, false, got.w, got.h));
            continue;
        }
        Pixels expected;
        ASSERT_TRUE(readPng(path, expected, got.w, got.h)) << path;
        const std::string differs = mismatch(got.pixels, expected, scale);
        if (!differs.empty()) {
            std::snprintf(name, sizeof name, "/program-00@%gx-got.png", scale);
            writePng(QV_SNAPSHOT_OUT_DIR + std::string(name), got.pixels, false, got.w, got.h);
            ADD_FAILURE() << differs << "; the picture drawn is " << QV_SNAPSHOT_OUT_DIR << name;
        }
    }
}

// The 2x panel against the 1x panel enlarged pixel by pixel to the same size: the same
// picture (each 2 x 2 block's mean close to the 1x pixel), and sharper.
TEST(FilterEditorSnapshot, TwiceTheScaleIsSharperThanThePanelEnlarged) {
    const Scaled one = scaledSnapshot(1.0), two = scaledSnapshot(2.0);
    ASSERT_EQ(two.w, 2 * one.w);
    Pixels enlarged(two.pixels.size());
    double blockDistance = 0;
    for (int y = 0; y < two.h; ++y)
        for (int x = 0; x < two.w; ++x) enlarged[std::size_t(y) * two.w + x] = one.pixels[std::size_t(y / 2) * one.w + x / 2];
    for (int y = 0; y < one.h; ++y)
        for (int x = 0; x < one.w; ++x) {
            double mean = 0;
            for (int k = 0; k < 4; ++k) mean += luma(two.pixels[std::size_t(2 * y + k / 2) * two.w + 2 * x + k % 2]) / 4;
            blockDistance += std::abs(mean - luma(one.pixels[std::size_t(y) * one.w + x]));
        }
    blockDistance /= double(one.w) * one.h;
    const double sharp = fineDetail(two.pixels, two.w, two.h);
    const double blown = fineDetail(enlarged, two.w, two.h);
    std::printf("detail finer than a 1x pixel: 2x %.2f, 1x enlarged %.2f (squared luma levels); mean 2x2 block "
                "distance from the 1x picture %.2f levels\n",
                sharp, blown, blockDistance);
    EXPECT_LT(blockDistance, 6.0) << "the 2x panel shows the 1x panel's picture";
    EXPECT_GT(sharp, blown + 10.0);
}

// One copy of each image per scale in the process: a second panel adds none, the last
// panel to close frees them, and the copy grows with the square of the scale.
TEST(FilterEditorSnapshot, PanelsShareTheirImagesAndTheLastCloseFreesThem) {
    std::size_t oneX = 0;
    for (double scale : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(scale);
        ASSERT_EQ(sharedImageBytes(), 0u);
        FilterEffect a(nullptr, 2, false), b(nullptr, 2, false);
        for (FilterEffect* effect : {&a, &b}) {
            attachPanel(*effect);
            effect->dispatcher(effVendorSpecific, PanelEditor::kScaleRequest, PanelEditor::kScaleRequestValue, nullptr,
                               float(scale));
        }
        auto& first = static_cast<FilterEditor&>(static_cast<PanelEditor*>(a.getEditor())->panel());
        auto& second = static_cast<FilterEditor&>(static_cast<PanelEditor*>(b.getEditor())->panel());
        first.open(nullptr);
        const std::size_t bytes = sharedImageBytes();
        if (scale == 1.0) oneX = bytes;
        EXPECT_NEAR(double(bytes), double(oneX) * scale * scale, 0.01 * double(bytes));
        second.open(nullptr);
        EXPECT_EQ(sharedImageBytes(), bytes);
        first.close();
        EXPECT_EQ(sharedImageBytes(), bytes);
        second.close();
        EXPECT_EQ(sharedImageBytes(), 0u);
    }
}
