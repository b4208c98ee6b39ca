#include "gui/SharedImages.h"

#include <cmath>
#include <map>
#include <mutex>
#include <tuple>

#include "gui/ImageScaler.h"
#include "gui/PngDecoder.h"
#include "gui/ResourceStream.h"
#include "gui/platform/Resources.h"

namespace {

struct Entry {
    SharedImage shape;  // everything but the pixels
    std::weak_ptr<platform::PixelBitmap> pixels;
};

using Key = std::tuple<std::int32_t, long, std::int32_t>;  // id, scale in thousandths, frames

std::mutex cacheLock;
std::map<Key, Entry>& cache() {
    static auto* entries = new std::map<Key, Entry>;  // outlives every image, even static ones
    return *entries;
}

SharedImage decode(std::int32_t id) {
    SharedImage image;
    ResourceStream stream;
    if (!stream.open(id)) {
        std::unique_ptr<platform::PixelBitmap> bitmap = platform::loadBitmapResource(id);
        if (!bitmap) return image;
        image.found = true;
        image.opaque = true;
        image.width = bitmap->width();
        image.height = bitmap->height();
        image.pixels = std::move(bitmap);
        return image;
    }
    DecodedImage decoded;
    decodePng(stream, decoded);
    image.found = true;
    image.width = decoded.width;
    image.height = decoded.height;
    image.pixels = std::move(decoded.pixels);
    return image;
}

SharedImage make(std::int32_t id, double scale, std::int32_t frames) {
    if (scale == 1.0) {
        SharedImage image = decode(id);
        image.deviceFrameHeight = frames > 0 ? image.height / frames : image.height;
        return image;
    }
    SharedImage twice = decode(id + kDoubleResolutionIdOffset);
    SharedImage image;
    image.found = twice.found;
    if (!twice.pixels || frames <= 0 || twice.height % (2 * frames) != 0 || twice.width % 2 != 0) return image;
    image.width = twice.width / 2;
    image.height = twice.height / 2;
    const std::int32_t frameHeight = image.height / frames;
    if (scale == 2.0) {
        image.deviceFrameHeight = 2 * frameHeight;
        image.pixels = std::move(twice.pixels);
        return image;
    }
    image.deviceFrameHeight = std::int32_t(std::lround(frameHeight * scale));
    image.pixels = reduceFrames(*twice.pixels, frames, std::int32_t(std::lround(image.width * scale)),
                                image.deviceFrameHeight);
    return image;
}

std::size_t bytesOf(const platform::PixelBitmap& bitmap) {
    return std::size_t(bitmap.width()) * std::size_t(bitmap.height()) * 4;
}

}  // namespace

SharedImage acquireSharedImage(std::int32_t resourceId, double scale, std::int32_t frames) {
    if (!(scale >= 1.0 && scale <= 2.0)) scale = 1.0;
    if (scale == 1.0) frames = 1;  // the picture as stored, however it is divided
    const Key key(resourceId, std::lround(scale * 1000.0), frames);
    std::lock_guard<std::mutex> guard(cacheLock);
    std::map<Key, Entry>& entries = cache();
    for (auto it = entries.begin(); it != entries.end();)
        it = it->second.pixels.expired() && it->first != key ? entries.erase(it) : std::next(it);
    auto found = entries.find(key);
    if (found != entries.end()) {
        SharedImage image = found->second.shape;
        image.pixels = found->second.pixels.lock();
        if (image.pixels || !image.found) return image;
    }
    SharedImage image = make(resourceId, scale, frames);
    Entry& entry = entries[key];
    entry.shape = image;
    entry.shape.pixels.reset();
    entry.pixels = image.pixels;
    return image;
}

std::size_t sharedImageBytes() {
    std::lock_guard<std::mutex> guard(cacheLock);
    std::size_t total = 0;
    for (const auto& entry : cache())
        if (auto pixels = entry.second.pixels.lock()) total += bytesOf(*pixels);
    return total;
}
