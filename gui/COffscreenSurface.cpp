#include "gui/COffscreenSurface.h"

#include "gui/platform/Window.h"

COffscreenSurface::COffscreenSurface(SurfaceFrame* frame, std::int32_t width, std::int32_t height,
                                     const CRgb& backgroundColor)
    : CDrawSurface(frame, nullptr, nullptr), height(height), width(width), backgroundColor(backgroundColor) {
    // Sized in panel units, made of device pixels.
    const int deviceWidth = toDevice(width), deviceHeight = toDevice(height);
    platform::Window* frameWindow = frame ? frame->getSurfaceWindow() : nullptr;
    if (frameWindow) {
        std::unique_ptr<platform::DeviceContext> windowContext = frameWindow->acquireContext();
        if (windowContext) memoryContext = windowContext->createCompatible(deviceWidth, deviceHeight);
    } else {
        memoryContext = platform::createMemoryContext(deviceWidth, deviceHeight);
    }
    // The surface's defaults were stored while it had no context; hand them to this one.
    adoptContext(memoryContext.get());
    setClipRectDevice(CBounds(0, 0, width, height));
    setFillColor(backgroundColor);
    setFrameColor(backgroundColor);
    fillRect(CBounds(0, 0, width, height));
    drawRect(CBounds(0, 0, width, height), kDrawOutline);
}

COffscreenSurface::~COffscreenSurface() = default;

void COffscreenSurface::copyFrom(CDrawSurface* surface, const CBounds& rect, const CPos& destination) {
    if (!surface || !surface->getDeviceContext() || !getDeviceContext()) return;
    CBounds dest(destination.x, destination.y, destination.x + rect.width(), destination.y + rect.height());
    const CPos source(surface->toDevice(rect.left + surface->getOffset().x),
                      surface->toDevice(rect.top + surface->getOffset().y));
    getDeviceContext()->copyFrom(*surface->getDeviceContext(), toDevice(dest), source);
}

void COffscreenSurface::copyTo(CDrawSurface* surface, const CBounds& rect, const CPos& source) {
    if (!surface || !surface->getDeviceContext() || !getDeviceContext()) return;
    CBounds dest = rect;
    dest.offset(surface->getOffset().x, surface->getOffset().y);
    surface->getDeviceContext()->copyFrom(*getDeviceContext(), surface->toDevice(dest),
                                          CPos(toDevice(source.x), toDevice(source.y)));
}
