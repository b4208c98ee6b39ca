#include "gui/platform/PixelReadback.h"

#include <cstring>

#include "gui/platform/linux/CanvasContext.h"

namespace platform {

bool readPixels(DeviceContext& context, std::int32_t width, std::int32_t height, std::uint32_t* out) {
    auto* canvasContext = dynamic_cast<canvas::CanvasContext*>(&context);
    if (!canvasContext || !out) return false;
    canvas::Canvas& canvas = canvasContext->canvas();
    if (canvas.width() < width || canvas.height() < height || width <= 0 || height <= 0) return false;
    for (std::int32_t y = 0; y < height; ++y)
        std::memcpy(out + std::size_t(y) * std::size_t(width), canvas.row(y), std::size_t(width) * 4);
    return true;
}

}  // namespace platform
