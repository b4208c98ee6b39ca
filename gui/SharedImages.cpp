#include "gui/SharedImages.h"

#include <cmath>
#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <system_error>
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
// Destroyed when the library is unloaded; it holds no pixels, only weak references, so
// images still alive then keep theirs.
std::map<Key, Entry>& cache() {
    static std::map<Key, Entry> entries;
    return entries;
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

double validScale(double scale) { return scale >= 1.0 && scale <= 2.0 ? scale : 1.0; }

Key keyOf(std::int32_t resourceId, double scale, std::int32_t frames) {
    // At 1 the picture as stored, however it is divided.
    return Key(resourceId, std::lround(scale * 1000.0), scale == 1.0 ? 1 : frames);
}

// With the lock held: the cached image, if it is there.
bool lookUp(const Key& key, SharedImage& image) {
    std::map<Key, Entry>& entries = cache();
    auto found = entries.find(key);
    if (found == entries.end()) return false;
    image = found->second.shape;
    image.pixels = found->second.pixels.lock();
    return image.pixels || !image.found;
}

// With the lock held.
void store(const Key& key, const SharedImage& image) {
    std::map<Key, Entry>& entries = cache();
    for (auto it = entries.begin(); it != entries.end();)
        it = it->second.pixels.expired() && it->first != key ? entries.erase(it) : std::next(it);
    Entry& entry = entries[key];
    entry.shape = image;
    entry.shape.pixels.reset();
    entry.pixels = image.pixels;
}

}  // namespace

SharedImage acquireSharedImage(std::int32_t resourceId, double scale, std::int32_t frames) {
    scale = validScale(scale);
    const Key key = keyOf(resourceId, scale, frames);
    std::lock_guard<std::mutex> guard(cacheLock);
    SharedImage image;
    if (lookUp(key, image)) return image;
    image = make(resourceId, scale, std::get<2>(key));
    store(key, image);
    return image;
}

std::vector<std::shared_ptr<platform::PixelBitmap>> preloadSharedImages(const SharedImageRequest* requests,
                                                                        std::size_t count, double scale) {
    scale = validScale(scale);
    std::vector<Key> missing;
    std::vector<std::shared_ptr<platform::PixelBitmap>> holders;
    {
        std::lock_guard<std::mutex> guard(cacheLock);
        for (std::size_t i = 0; i < count; ++i) {
            const Key key = keyOf(requests[i].resourceId, scale, requests[i].frames);
            SharedImage image;
            if (lookUp(key, image))
                holders.push_back(image.pixels);
            else if (std::find(missing.begin(), missing.end(), key) == missing.end())
                missing.push_back(key);
        }
    }
    std::vector<SharedImage> made(missing.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < missing.size();)
            made[i] = make(std::get<0>(missing[i]), scale, std::get<2>(missing[i]));
    };
    // This thread works too: one helper fewer than there are cores.
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t helpers = missing.empty() ? 0 : std::min(missing.size(), cores) - 1;
    std::vector<std::thread> threads;
    try {
        for (std::size_t i = 0; i < helpers; ++i) threads.emplace_back(work);
    } catch (const std::system_error&) {
        // No more threads: this one does the rest.
    }
    work();
    for (std::thread& thread : threads) thread.join();
    std::lock_guard<std::mutex> guard(cacheLock);
    for (std::size_t i = 0; i < missing.size(); ++i) {
        SharedImage image;
        if (!lookUp(missing[i], image)) store(missing[i], image = made[i]);
        holders.push_back(image.pixels);
    }
    return holders;
}

std::size_t sharedImageBytes() {
    std::lock_guard<std::mutex> guard(cacheLock);
    std::size_t total = 0;
    for (const auto& entry : cache())
        if (auto pixels = entry.second.pixels.lock()) total += bytesOf(*pixels);
    return total;
}
