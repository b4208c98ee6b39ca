// The panel images as the Windows build embeds them ("ZVB" resources compiled in with
// windres, here into the test program itself), and a blended draw through AlphaBlend
// compared with what the software canvas of the Linux build computes for it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "gui/CDrawSurface.h"
#include "gui/CImage.h"
#include "gui/platform/win32/DibBitmap.h"
#include "gui/platform/win32/GdiContext.h"
#include "tests/gui/PanelImagesCheck.h"

namespace {

const std::uint8_t* pixelOf(const platform::PixelBitmap& bitmap, int x, int y) {
    return bitmap.bits() + (std::size_t(bitmap.height() - 1 - y) * bitmap.width() + x) * 4;
}

// The software canvas's source-over for a premultiplied source at full constant alpha.
std::uint8_t canvasBlend(std::uint8_t src, std::uint8_t dst, std::uint8_t alpha) {
    return std::uint8_t(std::min(255u, src + (dst * (255u - alpha) + 127) / 255));
}

}  // namespace

TEST(GdiImageResources, AllElevenLoadFromTheEmbeddedResourcesAndFitThePanel) {
    expectPanelImagesFit();
}

TEST(GdiImageDrawing, BlendedKnobGivesTheSoftwareCanvasPixels) {
    CImage* knob = new CImage(123);
    const platform::PixelBitmap* source = knob->getPixels();
    ASSERT_NE(source, nullptr);
    ASSERT_FALSE(knob->isOpaque());
    const int size = knob->getWidth();

    auto target = platform::createPixelBitmap(size, size);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, static_cast<platform::win32::DibBitmap&>(*target).handle());
    {
        platform::win32::GdiContext context(dc);
        CDrawSurface* surface = new CDrawSurface(nullptr, &context, nullptr);
        const CRgb under(40, 200, 90);
        surface->setFillColor(under);
        surface->drawRect(CBounds(0, 0, size, size), kDrawFilled);
        knob->draw(surface, CBounds(0, 0, size, size));
        surface->release();
    }
    GdiFlush();

    // Every pixel of the first sub-image: transparent, edge and opaque ones alike.
    int transparent = 0, partial = 0, opaque = 0, differing = 0;
    const std::uint8_t under[3] = {90, 200, 40};  // blue, green, red
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const std::uint8_t* s = pixelOf(*source, x, y);
            const std::uint8_t* d = pixelOf(*target, x, y);
            (s[3] == 0 ? transparent : s[3] == 255 ? opaque : partial)++;
            for (int c = 0; c < 3; ++c)
                if (d[c] != canvasBlend(s[c], under[c], s[3]) && ++differing <= 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << " channel " << c << ": drawn " << int(d[c])
                                  << ", canvas " << int(canvasBlend(s[c], under[c], s[3]));
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(transparent, 0);
    EXPECT_GT(partial, 0);
    EXPECT_GT(opaque, 0);

    SelectObject(dc, previous);
    DeleteDC(dc);
    knob->release();
}
