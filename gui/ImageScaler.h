// Area-averaging reduction of a picture made of equal frames stacked top to bottom (a
// filmstrip, or one frame): every target pixel is the mean of the source area it
// covers, weighted by how much of each source pixel lies inside it. Each frame is
// reduced on its own, so no frame bleeds into the next.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/platform/DeviceContext.h"

// source holds frames frames of equal height (premultiplied pixels, bottom-up rows as
// every PixelBitmap); the result has frames frames of targetWidth x targetFrameHeight.
// None when a size is not positive, the source is not a whole number of frames, the
// target is larger than the source, or memory runs out.
std::unique_ptr<platform::PixelBitmap> reduceFrames(const platform::PixelBitmap& source, std::int32_t frames,
                                                    std::int32_t targetWidth, std::int32_t targetFrameHeight);
