// Text for the software canvas: fontconfig resolves the logical font's face (so
// "Arial" becomes a metric-compatible face), FreeType renders anti-aliased glyphs.
#pragma once

#include <cstdint>

#include "gui/CGeometry.h"
#include "gui/platform/DeviceContext.h"
#include "gui/platform/linux/Canvas.h"

namespace platform::canvas {

struct TextMetrics {
    int ascent = 0;   // pixels above the baseline
    int descent = 0;  // pixels below it
    int height() const { return ascent + descent; }
};

class FontRenderer {
public:
    // Pixel width of the text in the font (sum of whole-pixel advances).
    static int textWidth(const FontSpec& font, const char* text);
    static TextMetrics metrics(const FontSpec& font);
    // Draws the text with its baseline's left end at (x, baseline), clipped to the
    // canvas clip and to clipRect.
    static void draw(Canvas& canvas, const FontSpec& font, const char* text, int x, int baseline, Pixel color,
                     const CBounds& clipRect);
    // The font file fontconfig chose for the face, for tests and diagnostics.
    static const char* resolvedFile(const FontSpec& font);
};

}  // namespace platform::canvas
