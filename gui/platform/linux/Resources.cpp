// Linux: the scrambled image resources are compiled into the library as byte arrays.
#include "gui/platform/Resources.h"

#include "resources/EmbeddedResources.h"

namespace platform {

bool findImageResource(std::int32_t id, ResourceBytes& out) {
    const int wanted = id & 0xFFFF;
    for (std::size_t i = 0; i < kEmbeddedResourceCount; ++i) {
        if (kEmbeddedResources[i].id == wanted) {
            out.data = kEmbeddedResources[i].data;
            out.size = kEmbeddedResources[i].size;
            return true;
        }
    }
    return false;
}

// The Linux build has no plain bitmap resources.
std::unique_ptr<PixelBitmap> loadBitmapResource(std::int32_t) { return nullptr; }

}  // namespace platform
