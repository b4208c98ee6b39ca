// Pictures written as PNG files.
#pragma once

#include <cstdint>
#include <string>

// width x height words 0xAARRGGBB, rows top-down, written as 8-bit RGBA. False when the
// file cannot be written.
bool writePng(const std::string& path, std::int32_t width, std::int32_t height, const std::uint32_t* pixels);
