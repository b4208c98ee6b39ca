// A drawing surface that owns a memory bitmap: the frame's back buffer and the private
// buffers of containers and controls, copied onto other surfaces in one block. Its size
// is in panel units; the bitmap has the pixels of the frame's scale.
#pragma once

#include <memory>

#include "gui/CDrawSurface.h"

class COffscreenSurface : public CDrawSurface {
public:
    COffscreenSurface(SurfaceFrame* frame, std::int32_t width, std::int32_t height,
                      const CRgb& backgroundColor = kColorBlack);
    ~COffscreenSurface() override;

    std::int32_t getWidth() const { return width; }
    std::int32_t getHeight() const { return height; }
    const CRgb& getBackgroundColor() const { return backgroundColor; }

    // rect (plus the other surface's offset) of the other surface into this one at
    // destination, which is in this offscreen's own pixels.
    void copyFrom(CDrawSurface* surface, const CBounds& rect, const CPos& destination);
    // width x height of rect from source (this offscreen's pixels) to rect plus the
    // other surface's offset.
    void copyTo(CDrawSurface* surface, const CBounds& rect, const CPos& source = CPos());

private:
    std::int32_t height;
    std::int32_t width;
    CRgb backgroundColor;
    // The memory context with its bitmap selected; deletes both on destruction.
    std::unique_ptr<platform::DeviceContext> memoryContext;
};
