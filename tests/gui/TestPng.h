// Builds PNG files in memory for the decoder tests, with libpng's writer.
#pragma once

#include <png.h>

#include <cstdint>
#include <vector>

struct TestPng {
    int width = 0;
    int height = 0;
    int bitDepth = 8;
    int colorType = PNG_COLOR_TYPE_RGBA;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;  // tRNS for palette images
    bool greyTransparent = false;
    png_color_16 transparentGrey{};
    bool interlaced = false;
    std::size_t idatChunkSize = 0;  // 0: libpng's default
    // Packed rows as libpng expects them for the colour type and depth, top row first.
    std::vector<std::vector<png_byte>> rows;

    std::vector<std::uint8_t> encode() const {
        std::vector<std::uint8_t> out;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            png_destroy_write_struct(&png, &info);
            return {};
        }
        png_set_write_fn(png, &out, [](png_structp p, png_bytep data, png_size_t n) {
            auto* o = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
            o->insert(o->end(), data, data + n);
        }, nullptr);
        png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), bitDepth, colorType,
                     interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        if (idatChunkSize) png_set_compression_buffer_size(png, idatChunkSize);
        if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
        if (!paletteAlpha.empty())
            png_set_tRNS(png, info, paletteAlpha.data(), int(paletteAlpha.size()), nullptr);
        if (greyTransparent) png_set_tRNS(png, info, nullptr, 0, &transparentGrey);
        png_write_info(png, info);
        std::vector<png_bytep> pointers;
        for (auto& r : rows) pointers.push_back(const_cast<png_bytep>(r.data()));
        png_write_image(png, pointers.data());
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        return out;
    }
};

// The storage form: every byte other than 0x00 and 0xFF complemented.
inline std::vector<std::uint8_t> scrambled(std::vector<std::uint8_t> bytes) {
    for (auto& b : bytes)
        if (b != 0x00 && b != 0xFF) b = std::uint8_t(b ^ 0xFF);
    return bytes;
}
