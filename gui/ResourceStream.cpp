#include "gui/ResourceStream.h"

#include "gui/platform/Resources.h"

bool ResourceStream::open(std::int32_t resourceId) {
    platform::ResourceBytes bytes;
    if (!platform::findImageResource(resourceId, bytes) || !bytes.data) return false;
    data = bytes.data;
    size = bytes.size;
    position = 0;
    return true;
}

bool ResourceStream::read(void* buffer, std::uint32_t n) {
    if (n == 0 || std::uint64_t(position) + n > size) return false;
    auto* out = static_cast<std::uint8_t*>(buffer);
    for (std::uint32_t i = 0; i < n; ++i) out[i] = unscramble(data[position++]);
    return true;
}
