#include "gui/PngDecoder.h"

#include <png.h>

#include <csetjmp>

namespace {

// A short read stops the decoder through its error exit instead of decoding whatever
// the buffer held before.
void readFromStream(png_structp png, png_bytep buffer, png_size_t length) {
    auto* stream = static_cast<ResourceStream*>(png_get_io_ptr(png));
    if (length > 0xFFFFFFFFu || !stream->read(buffer, std::uint32_t(length))) png_error(png, "read past the end");
}

// No C++ object with a destructor lives in this frame: an error jumps out of it.
void readImage(png_structp png, png_infop info, DecodedImage& out) {
    if (setjmp(png_jmpbuf(png))) return;

    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    out.width = std::int32_t(width);
    out.height = std::int32_t(height);

    if (std::uint64_t(width) * height > kMaxDecodedPixels) return;
    out.pixels = platform::createPixelBitmap(out.width, out.height);
    if (!out.pixels) return;

    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    else png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    if (bitDepth == 16) png_set_strip_16(png);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != png_size_t(width) * 4) png_error(png, "unexpected row layout");

    // The picture's top row goes into the last row of the bottom-up buffer.
    png_bytep bits = out.pixels->bits();
    const png_size_t stride = png_size_t(width) * 4;
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 row = 0; row < height; ++row) png_read_row(png, bits + (height - 1 - row) * stride, nullptr);
    png_read_end(png, nullptr);
    out.complete = true;
}

// Nothing is logged: errors only leave through the error exit.
void quietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void quietWarning(png_structp, png_const_charp) {}

}  // namespace

void premultiply(std::uint8_t* bgra, std::size_t pixelCount) {
    for (std::size_t i = 0; i < pixelCount; ++i, bgra += 4) {
        const unsigned a = bgra[3];
        if (a == 0) {
            bgra[0] = bgra[1] = bgra[2] = 0;
            continue;
        }
        for (int c = 0; c < 3; ++c) bgra[c] = std::uint8_t((bgra[c] * a) >> 8);
    }
}

void decodePng(ResourceStream& stream, DecodedImage& out) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    if (!png) return;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return;
    }
    png_set_read_fn(png, &stream, readFromStream);
    readImage(png, info, out);
    png_destroy_read_struct(&png, &info, nullptr);
    if (out.pixels && out.complete) premultiply(out.pixels->bits(), std::size_t(out.width) * std::size_t(out.height));
}
