// Reads the pixels of a memory context back, for pictures of the editor drawn headless.
#pragma once

#include <cstdint>

#include "gui/platform/DeviceContext.h"

namespace platform {

// width x height words 0xAARRGGBB, rows top-down; false when the context cannot be read.
bool readPixels(DeviceContext& context, std::int32_t width, std::int32_t height, std::uint32_t* out);

}  // namespace platform
