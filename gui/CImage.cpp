#include "gui/CImage.h"

#include "gui/CDrawSurface.h"
#include "gui/PngDecoder.h"
#include "gui/ResourceStream.h"
#include "gui/platform/Resources.h"

namespace {

CBounds shifted(const CDrawSurface& surface, const CBounds& rect) {
    CBounds dest = rect;
    dest.offset(surface.getOffset().x, surface.getOffset().y);
    return dest;
}

}  // namespace

CImage::CImage(std::int32_t resourceId) : resourceId(resourceId) {
    loadFromResource(resourceId);
    transparentColor = kColorTransparent;
}

CImage::~CImage() { dispose(); }

void CImage::dispose() {
    pixels.reset();
    mask.reset();
    opaque = false;
    width = height = 0;
}

bool CImage::loadFromResource(std::int32_t id) {
    dispose();
    ResourceStream stream;
    if (!stream.open(id)) {
        pixels = platform::loadBitmapResource(id);
        if (!pixels) return false;
        width = pixels->width();
        height = pixels->height();
        opaque = true;
        return true;
    }
    DecodedImage decoded;
    decodePng(stream, decoded);
    width = decoded.width;
    height = decoded.height;
    pixels = std::move(decoded.pixels);
    opaque = false;
    return true;
}

bool CImage::loadFromPath(const char*) {
    dispose();
    return false;
}

void CImage::draw(CDrawSurface* surface, const CBounds& rect, const CPos& offset) {
    if (!opaque) {
        drawAlphaBlend(surface, rect, offset, 255);
        return;
    }
    if (!pixels || !surface || !surface->getDeviceContext()) return;
    surface->getDeviceContext()->copyBitmap(*pixels, offset, shifted(*surface, rect));
}

void CImage::drawTransparent(CDrawSurface* surface, const CBounds& rect, const CPos& offset) {
    if (!opaque) {
        drawAlphaBlend(surface, rect, offset, 255);
        return;
    }
    if (!pixels || !surface || !surface->getDeviceContext()) return;
    surface->getDeviceContext()->copyBitmapKeyed(*pixels, offset, shifted(*surface, rect),
                                                 transparentColor.toColorRef());
}

void CImage::drawAlphaBlend(CDrawSurface* surface, const CBounds& rect, const CPos& offset, std::uint8_t alpha) {
    if (!pixels || !surface || !surface->getDeviceContext()) return;
    surface->getDeviceContext()->blendBitmap(*pixels, offset, shifted(*surface, rect), alpha, !opaque);
}
