#include "gui/ImageScaler.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// For each target index along one axis: the first source index and the weights of the
// source pixels from there on (they sum to 1).
struct Taps {
    std::vector<std::int32_t> first;
    std::vector<std::int32_t> count;
    std::vector<float> weights;  // count[i] weights per target index, in order
    std::vector<std::size_t> start;
};

Taps areaTaps(std::int32_t source, std::int32_t target) {
    Taps taps;
    const double ratio = double(source) / double(target);
    for (std::int32_t i = 0; i < target; ++i) {
        const double from = i * ratio, to = (i + 1) * ratio;
        const auto first = std::int32_t(std::floor(from));
        const auto last = std::min(source - 1, std::int32_t(std::ceil(to)) - 1);
        taps.first.push_back(first);
        taps.count.push_back(last - first + 1);
        taps.start.push_back(taps.weights.size());
        for (std::int32_t j = first; j <= last; ++j) {
            const double covered = std::min(to, double(j + 1)) - std::max(from, double(j));
            taps.weights.push_back(float(covered / ratio));
        }
    }
    return taps;
}

}  // namespace

std::unique_ptr<platform::PixelBitmap> reduceFrames(const platform::PixelBitmap& source, std::int32_t frames,
                                                    std::int32_t targetWidth, std::int32_t targetFrameHeight) {
    const std::int32_t width = source.width(), height = source.height();
    if (frames <= 0 || targetWidth <= 0 || targetFrameHeight <= 0 || height % frames != 0) return nullptr;
    const std::int32_t frameHeight = height / frames;
    if (targetWidth > width || targetFrameHeight > frameHeight || !source.bits()) return nullptr;
    std::unique_ptr<platform::PixelBitmap> result = platform::createPixelBitmap(targetWidth, targetFrameHeight * frames);
    if (!result) return nullptr;

    const Taps across = areaTaps(width, targetWidth);
    const Taps down = areaTaps(frameHeight, targetFrameHeight);
    const std::int32_t targetHeight = targetFrameHeight * frames;
    // One frame reduced across, in picture rows (top-down), four channels per pixel.
    std::vector<float> narrowed(std::size_t(frameHeight) * std::size_t(targetWidth) * 4);
    auto sourceRow = [&](std::int32_t pictureRow) {
        return source.bits() + std::size_t(height - 1 - pictureRow) * std::size_t(width) * 4;
    };
    for (std::int32_t frame = 0; frame < frames; ++frame) {
        for (std::int32_t y = 0; y < frameHeight; ++y) {
            const std::uint8_t* row = sourceRow(frame * frameHeight + y);
            float* out = &narrowed[std::size_t(y) * std::size_t(targetWidth) * 4];
            for (std::int32_t x = 0; x < targetWidth; ++x) {
                float sum[4] = {};
                const float* w = &across.weights[across.start[std::size_t(x)]];
                const std::uint8_t* p = row + std::size_t(across.first[std::size_t(x)]) * 4;
                for (std::int32_t k = 0; k < across.count[std::size_t(x)]; ++k, p += 4)
                    for (int c = 0; c < 4; ++c) sum[c] += w[k] * float(p[c]);
                std::copy(sum, sum + 4, out + std::size_t(x) * 4);
            }
        }
        for (std::int32_t y = 0; y < targetFrameHeight; ++y) {
            const std::int32_t pictureRow = frame * targetFrameHeight + y;
            std::uint8_t* out = result->bits() + std::size_t(targetHeight - 1 - pictureRow) * std::size_t(targetWidth) * 4;
            const float* w = &down.weights[down.start[std::size_t(y)]];
            const std::int32_t first = down.first[std::size_t(y)];
            for (std::int32_t x = 0; x < targetWidth * 4; ++x) {
                float sum = 0.0f;
                for (std::int32_t k = 0; k < down.count[std::size_t(y)]; ++k)
                    sum += w[k] * narrowed[std::size_t(first + k) * std::size_t(targetWidth) * 4 + std::size_t(x)];
                out[x] = std::uint8_t(std::clamp(sum, 0.0f, 255.0f) + 0.5f);
            }
        }
    }
    return result;
}
