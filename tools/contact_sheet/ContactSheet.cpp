// Writes a PNG contact sheet of the eleven panel images, loaded from the library's own
// embedded resources through CImage and drawn with the toolkit's offscreen surfaces:
// the assembled panel at two settings, sample frames of every filmstrip, the splash.
//
//   quorvane-contact-sheet OUTPUT.png
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gui/CImage.h"
#include "gui/COffscreenSurface.h"
#include "gui/platform/linux/CanvasContext.h"

namespace {

struct Control {
    const char* name;
    std::int32_t id;
    int x, y, frames;
};

// The panel layout: image id, top-left corner and sub-image count of every control.
const Control kControls[] = {
    {"Cutoff", 123, 306, 76, 101},  {"Reso", 130, 418, 70, 101},   {"Env Amt", 124, 519, 64, 101},
    {"Attack", 122, 609, 60, 101},  {"Release", 129, 694, 56, 101}, {"In Trim", 125, 78, 138, 101},
    {"Out Sat", 126, 185, 130, 101}, {"Stages", 131, 120, 65, 101}, {"LPF/HPF", 134, 62, 76, 22},
};
constexpr std::int32_t kBackgroundId = 128;
constexpr std::int32_t kSplashId = 127;
constexpr int kPanelWidth = 800, kPanelHeight = 212;
constexpr int kSheetWidth = 840, kMargin = 20;

int frameHeight(const CImage& image, int frames) { return image.getHeight() / frames; }

void drawFrame(CDrawSurface& surface, CImage& image, int frames, int frame, int x, int y) {
    const int h = frameHeight(image, frames);
    image.draw(&surface, CBounds(x, y, x + image.getWidth(), y + h), CPos(0, frame * h));
}

// The panel as the editor assembles it: opaque background, then every control's
// sub-image for the value, the splash on top when asked.
void drawPanel(CDrawSurface& surface, int x, int y, double value, bool withSplash) {
    surface.setFillColor(kColorBlack);
    surface.drawRect(CBounds(x, y, x + kPanelWidth, y + kPanelHeight), kDrawFilled);
    CImage* background = new CImage(kBackgroundId);
    background->setOpaque(true);
    background->draw(&surface, CBounds(x, y, x + background->getWidth(), y + background->getHeight()));
    background->release();
    for (const Control& c : kControls) {
        CImage* image = new CImage(c.id);
        drawFrame(surface, *image, c.frames, int((c.frames - 1) * value + 0.5), x + c.x, y + c.y);
        image->release();
    }
    surface.setFontColor(kColorGrey);
    surface.setFont(kFontSmaller);
    surface.drawString("~7875.0 Hz", CBounds(x + 320, y + 200, x + 385, y + 212), false, kAlignCenter);
    if (withSplash) {
        CImage* splash = new CImage(kSplashId);
        splash->draw(&surface, CBounds(x + 200, y + 60, x + 200 + splash->getWidth(), y + 60 + splash->getHeight()));
        splash->release();
    }
}

void caption(CDrawSurface& surface, const char* text, int x, int y) {
    surface.setFontColor(CRgb(200, 200, 205, 255));
    surface.setFont(kFontNormal, 0, kStyleBold);
    surface.drawString(text, CBounds(x, y, x + 800, y + 16), false, kAlignLeft);
}

bool writePng(platform::canvas::Canvas& canvas, const char* path) {
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(canvas.width()), png_uint_32(canvas.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(std::size_t(canvas.width()) * 3);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const platform::canvas::Pixel p = canvas.get(x, y);
            row[std::size_t(x) * 3] = platform::canvas::redOf(p);
            row[std::size_t(x) * 3 + 1] = platform::canvas::greenOf(p);
            row[std::size_t(x) * 3 + 2] = platform::canvas::blueOf(p);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    const int panelBlock = kPanelHeight + 28;
    const int stripBlock = 126;
    const int height = kMargin + 3 * panelBlock + 7 * stripBlock + 160 + kMargin;
    COffscreenSurface sheet(nullptr, kSheetWidth, height, CRgb(48, 50, 56, 255));

    int y = kMargin;
    caption(sheet, "Panel at minimum (800 x 212; the background covers the left 700)", kMargin, y);
    drawPanel(sheet, kMargin, y + 20, 0.0, false);
    y += panelBlock;
    caption(sheet, "Panel at the centre position", kMargin, y);
    drawPanel(sheet, kMargin, y + 20, 0.5, false);
    y += panelBlock;
    caption(sheet, "Panel at maximum, splash shown", kMargin, y);
    drawPanel(sheet, kMargin, y + 20, 1.0, true);
    y += panelBlock;

    // Knob filmstrips: sub-images 0, 10, ..., 100.
    for (int k = 0; k < 7; ++k) {
        const Control& c = kControls[k];
        CImage* image = new CImage(c.id);
        char text[160];
        std::snprintf(text, sizeof text, "%s (id %d): %d x %d, %d sub-images of %d x %d", c.name,
                      c.id, image->getWidth(), image->getHeight(), c.frames, image->getWidth(),
                      frameHeight(*image, c.frames));
        caption(sheet, text, kMargin, y);
        const int step = image->getWidth() + 6;
        const int every = 11 * step <= kSheetWidth - 2 * kMargin ? 10 : 20;
        for (int i = 0; i * every <= 100; ++i) drawFrame(sheet, *image, c.frames, i * every, kMargin + i * step, y + 20);
        image->release();
        y += stripBlock;
    }
    // Switches: the stages switch at one to four stages, the mode switch at both ends
    // of both bands.
    caption(sheet, "Stages (id 131) at positions 0, 26, 51, 100; LPF/HPF (id 134) at sub-images 0, 10, 11, 21",
            kMargin, y);
    CImage* stages = new CImage(131);
    const int stagePositions[] = {0, 26, 51, 100};
    for (int i = 0; i < 4; ++i)
        drawFrame(sheet, *stages, 101, stagePositions[i], kMargin + i * (stages->getWidth() + 10), y + 20);
    stages->release();
    y += 70;
    CImage* mode = new CImage(134);
    const int modeFrames[] = {0, 10, 11, 21};
    for (int i = 0; i < 4; ++i) drawFrame(sheet, *mode, 22, modeFrames[i], kMargin + i * 70, y + 20);
    mode->release();
    y += 90;

    auto* canvasContext = dynamic_cast<platform::canvas::CanvasContext*>(sheet.getDeviceContext());
    if (!canvasContext || !writePng(canvasContext->canvas(), argv[1])) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    std::printf("Contact sheet: %s\n", argv[1]);
    return 0;
}
