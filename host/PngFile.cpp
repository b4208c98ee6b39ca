#include "host/PngFile.h"

#include <png.h>

#include <cstdio>
#include <vector>

bool writePng(const std::string& path, std::int32_t width, std::int32_t height, const std::uint32_t* pixels) {
    if (width <= 0 || height <= 0 || !pixels) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> row(std::size_t(width) * 4);
    bool written = false;
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint32_t* source = pixels + std::size_t(y) * std::size_t(width);
            for (std::int32_t x = 0; x < width; ++x) {
                const std::uint32_t p = source[x];
                // The canvas holds premultiplied pixels; the editor's picture is opaque.
                row[std::size_t(x) * 4 + 0] = png_byte(p >> 16);
                row[std::size_t(x) * 4 + 1] = png_byte(p >> 8);
                row[std::size_t(x) * 4 + 2] = png_byte(p);
                row[std::size_t(x) * 4 + 3] = 255;
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(file) == 0 && written;
}
