// The image resources stored in the plug-in library itself.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/platform/DeviceContext.h"

namespace platform {

struct ResourceBytes {
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
};

// The stored bytes of the "ZVB" resource with this id (low 16 bits used); false when
// there is none.
bool findImageResource(std::int32_t id, ResourceBytes& out);

// A plain platform bitmap resource of that id, or none.
std::unique_ptr<PixelBitmap> loadBitmapResource(std::int32_t id);

}  // namespace platform
