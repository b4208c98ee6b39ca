// Decodes a PNG from a resource stream into a 32-bit bitmap: blue, green, red, alpha,
// premultiplied, rows bottom-up.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/ResourceStream.h"
#include "gui/platform/DeviceContext.h"

struct DecodedImage {
    std::int32_t width = 0;  // from the header, once it was read
    std::int32_t height = 0;
    // None when the header was not read or the buffer could not be made; possibly only
    // partly filled when the data was corrupt.
    std::unique_ptr<platform::PixelBitmap> pixels;
    // Every row and the end of the PNG were read; only then are the pixels premultiplied.
    bool complete = false;
};

// Bitmaps above this many pixels are refused rather than allocated (absurd headers).
inline constexpr std::uint64_t kMaxDecodedPixels = 16u * 1024u * 1024u;

void decodePng(ResourceStream& stream, DecodedImage& out);

// (channel * alpha) >> 8 for every colour channel; alpha 0 clears the whole pixel.
void premultiply(std::uint8_t* bgra, std::size_t pixelCount);
