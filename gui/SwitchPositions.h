// Positions of the filmstrip switches: the band under the pointer and the sub-image of a
// value, safe for any input.
#pragma once

#include <cstdint>

#include "gui/Filmstrip.h"

// Value of the band at pixel offset along extent pixels cut into positionCount bands:
// position / (positionCount - 1), held to 0..1.
inline float switchValueAt(std::int32_t offset, std::int32_t extent, std::int32_t positionCount) {
    if (positionCount <= 1 || extent <= 0) return 0.0f;
    const double step = double(extent) / positionCount;
    const std::int32_t position = truncateInto(offset / step, -1, positionCount);
    const float v = float(position) / float(positionCount - 1);
    return v > 1.0f ? 1.0f : (v < 0.0f ? 0.0f : v);
}

// The position shown for value, rounded to the nearest; values outside 0..1 or NaN give
// the nearer end (NaN the first).
inline std::int32_t switchPosition(float value, std::int32_t positionCount) {
    if (positionCount <= 1) return 0;
    return truncateInto(float(positionCount - 1) * value + 0.5f, 0, positionCount - 1);
}
