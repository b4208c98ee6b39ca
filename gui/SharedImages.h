// The decoded panel images of the whole process, one copy per resource, scale and frame
// count however many panels show them. A picture lives while some image holds it (the
// pointers count the holders) and is freed with the last one, so a second panel costs
// no image memory and closing every panel gives it all back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "gui/platform/DeviceContext.h"

struct SharedImage {
    bool found = false;  // the library holds a resource with this id
    bool opaque = false;
    // The picture's size in panel units, and one frame's height in pixels of pixels.
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t deviceFrameHeight = 0;
    std::shared_ptr<platform::PixelBitmap> pixels;
};

// The image resource id at scale (device pixels per panel unit, 1 to 2) with frames
// frames stacked top to bottom. At 1 the image itself; at 2 its twin drawn at twice the
// resolution (id + kDoubleResolutionIdOffset); between them that twin reduced by area
// averaging, each frame to round(frame size x scale).
SharedImage acquireSharedImage(std::int32_t resourceId, double scale, std::int32_t frames);

inline constexpr std::int32_t kDoubleResolutionIdOffset = 1000;

struct SharedImageRequest {
    std::int32_t resourceId;
    std::int32_t frames;
};

// Makes the requested images at scale that the process does not hold yet all at once,
// on as many threads as the machine has cores (a panel's images take a few hundred
// milliseconds one after the other at 2x). They stay while the returned holders live.
std::vector<std::shared_ptr<platform::PixelBitmap>> preloadSharedImages(const SharedImageRequest* requests,
                                                                        std::size_t count, double scale);

// Bytes of pixels the process holds for images now.
std::size_t sharedImageBytes();
