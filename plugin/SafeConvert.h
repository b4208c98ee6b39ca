// Conversions of values that come from outside (a host, a file) that must never be
// undefined behaviour, whatever the value.
#pragma once

#include <cstdint>

// Truncates toward zero; NaN and values outside the 32-bit range give 0.
inline std::int32_t truncateToInt32(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) return 0;
    return static_cast<std::int32_t>(value);
}
