// A reference-counted picture made from an image resource of the plug-in library:
// decoded once into premultiplied 32-bit pixels and drawn by offset, so every frame of
// a filmstrip is a sub-rectangle of one image. Sizes and offsets are in panel units; an
// image made for a scale holds pixels for it (SharedImages.h), shared in the process.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/CColor.h"
#include "gui/CGeometry.h"
#include "gui/CRefObject.h"
#include "gui/platform/DeviceContext.h"

class CDrawSurface;

class CImage : public CRefObject {
public:
    // Loads the resource; a missing or broken one leaves an image that draws nothing.
    explicit CImage(std::int32_t resourceId);
    // For surfaces of that scale; frames is the number of sub-images stacked in it.
    CImage(std::int32_t resourceId, double scale, std::int32_t frames);
    ~CImage() override;

    // The part starting at offset (a point in the image) into rect, same size.
    virtual void draw(CDrawSurface* surface, const CBounds& rect, const CPos& offset = CPos());
    // Opaque images skip the pixels of the transparent colour; others blend.
    virtual void drawTransparent(CDrawSurface* surface, const CBounds& rect, const CPos& offset = CPos());
    virtual void drawAlphaBlend(CDrawSurface* surface, const CBounds& rect, const CPos& offset, std::uint8_t alpha);
    virtual void dispose();
    // False only when the library holds neither kind of resource with this id.
    virtual bool loadFromResource(std::int32_t resourceId);
    // Loading from files is not supported.
    virtual bool loadFromPath(const char* path);

    std::int32_t getResourceId() const { return resourceId; }
    std::int32_t getWidth() const { return width; }
    std::int32_t getHeight() const { return height; }
    bool isOpaque() const { return opaque; }
    void setOpaque(bool flag) { opaque = flag; }
    const CRgb& getTransparentColor() const { return transparentColor; }
    void setTransparentColor(const CRgb& color) { transparentColor = color; }
    // The decoded pixels (bottom-up blue, green, red, alpha), or none.
    const platform::PixelBitmap* getPixels() const { return pixels.get(); }
    double getScale() const { return scale; }

private:
    bool load(std::int32_t id);
    // A point of the picture in panel units to its pixel, and the destination on the
    // surface in pixels, cut so that it stays within the frame the point lies in.
    CPos sourcePixel(const CPos& point) const;
    CBounds destination(const CDrawSurface& surface, const CBounds& rect, const CPos& offset) const;

    std::int32_t resourceId;
    double scale = 1.0;
    std::int32_t frames = 1;
    std::int32_t deviceFrameHeight = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    CRgb transparentColor = kColorTransparent;
    bool opaque = true;
    std::shared_ptr<platform::PixelBitmap> pixels;
};
