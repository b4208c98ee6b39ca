// VST3 texts are UTF-16 in fixed arrays; the host speaks UTF-8.
#pragma once

#include <cstdint>
#include <string>

std::string utf8FromUtf16(const std::int16_t* text, std::size_t capacity);
void utf16FromUtf8(const std::string& text, std::int16_t* out, std::size_t capacity);
