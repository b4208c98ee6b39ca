#include <new>
#include <vector>

#include "gui/platform/DeviceContext.h"

namespace platform {
namespace {

class MemoryPixelBitmap : public PixelBitmap {
public:
    MemoryPixelBitmap(std::int32_t w, std::int32_t h, std::vector<std::uint8_t>&& data)
        : w(w), h(h), data(std::move(data)) {}
    std::int32_t width() const override { return w; }
    std::int32_t height() const override { return h; }
    std::uint8_t* bits() override { return data.data(); }

private:
    std::int32_t w;
    std::int32_t h;
    std::vector<std::uint8_t> data;
};

}  // namespace

std::unique_ptr<PixelBitmap> createPixelBitmap(std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0) return nullptr;
    try {
        std::vector<std::uint8_t> data(std::size_t(width) * std::size_t(height) * 4, 0);
        return std::make_unique<MemoryPixelBitmap>(width, height, std::move(data));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace platform
