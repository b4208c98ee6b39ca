#include "gui/CImage.h"

#include <algorithm>
#include <cmath>

#include "gui/CDrawSurface.h"
#include "gui/SharedImages.h"

CImage::CImage(std::int32_t resourceId) : resourceId(resourceId) {
    loadFromResource(resourceId);
    transparentColor = kColorTransparent;
}

CImage::CImage(std::int32_t resourceId, double scale, std::int32_t frames)
    : resourceId(resourceId), scale(scale), frames(std::max(1, frames)) {
    load(resourceId);
}

CImage::~CImage() { dispose(); }

void CImage::dispose() {
    pixels.reset();
    opaque = false;
    width = height = 0;
}

bool CImage::loadFromResource(std::int32_t id) {
    scale = 1.0;
    frames = 1;
    return load(id);
}

bool CImage::load(std::int32_t id) {
    dispose();
    SharedImage image = acquireSharedImage(id, scale, frames);
    width = image.width;
    height = image.height;
    opaque = image.opaque;
    deviceFrameHeight = image.deviceFrameHeight;
    pixels = std::move(image.pixels);
    return image.found;
}

bool CImage::loadFromPath(const char*) {
    dispose();
    return false;
}

CPos CImage::sourcePixel(const CPos& point) const {
    if (scale == 1.0) return point;
    const std::int32_t frameHeight = height / frames;
    const std::int32_t frame = frameHeight > 0 ? std::clamp(point.y / frameHeight, 0, frames - 1) : 0;
    return CPos(std::int32_t(std::lround(point.x * scale)),
                frame * deviceFrameHeight + std::int32_t(std::lround((point.y - frame * frameHeight) * scale)));
}

CBounds CImage::destination(const CDrawSurface& surface, const CBounds& rect, const CPos& offset) const {
    CBounds dest = rect;
    dest.offset(surface.getOffset().x, surface.getOffset().y);
    if (scale == 1.0) return dest;
    dest = surface.toDevice(dest);
    // Rounding may make the destination a pixel taller than what is left of the frame.
    if (deviceFrameHeight > 0) {
        const std::int32_t left = deviceFrameHeight - sourcePixel(offset).y % deviceFrameHeight;
        dest.bottom = std::min(dest.bottom, dest.top + left);
    }
    return dest;
}

void CImage::draw(CDrawSurface* surface, const CBounds& rect, const CPos& offset) {
    if (!opaque) {
        drawAlphaBlend(surface, rect, offset, 255);
        return;
    }
    if (!pixels || !surface || !surface->getDeviceContext()) return;
    surface->getDeviceContext()->copyBitmap(*pixels, sourcePixel(offset), destination(*surface, rect, offset));
}

void CImage::drawTransparent(CDrawSurface* surface, const CBounds& rect, const CPos& offset) {
    if (!opaque) {
        drawAlphaBlend(surface, rect, offset, 255);
        return;
    }
    if (!pixels || !surface || !surface->getDeviceContext()) return;
    surface->getDeviceContext()->copyBitmapKeyed(*pixels, sourcePixel(offset), destination(*surface, rect, offset),
                                                 transparentColor.toColorRef());
}

void CImage::drawAlphaBlend(CDrawSurface* surface, const CBounds& rect, const CPos& offset, std::uint8_t alpha) {
    if (!pixels || !surface || !surface->getDeviceContext()) return;
    surface->getDeviceContext()->blendBitmap(*pixels, sourcePixel(offset), destination(*surface, rect, offset), alpha,
                                             !opaque);
}
