// Sub-image arithmetic shared by the filmstrip controls, safe for any value and any image.
#pragma once

#include <cstdint>

#include "gui/CImage.h"

// index limited to the sub-images whose whole band lies inside the image (and to
// 0..count - 1): a strip shorter than its count promises, or an image that failed to
// load, never makes a control read outside it.
inline std::int32_t fitSubImage(std::int32_t index, std::int32_t count, std::int32_t frameHeight,
                                const CImage* image) {
    std::int32_t last = count - 1;
    if (image && frameHeight > 0) {
        const std::int32_t inImage = image->getHeight() / frameHeight - 1;
        if (inImage < last) last = inImage;
    }
    if (index > last) index = last;
    return index < 0 ? 0 : index;
}

// x truncated toward zero and held to low..high; NaN gives low. A plain cast of NaN or of
// a value beyond the integer range is undefined.
inline std::int32_t truncateInto(double x, std::int32_t low, std::int32_t high) {
    if (!(x >= low)) return low;
    if (x >= high) return high;
    return std::int32_t(x);
}
