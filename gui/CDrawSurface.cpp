#include "gui/CDrawSurface.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "gui/platform/Input.h"
#include "gui/platform/Window.h"

namespace {

const CFontDescription kFontTable[kNumFonts] = {
    {"Arial", 12}, {"Arial", 18}, {"Arial", 14}, {"Arial", 12},
    {"Arial", 11}, {"Arial", 10}, {"Arial", 9},  {"Symbol", 13},
};

std::atomic<bool> buttonsSwapped{false};

}  // namespace

const CFontDescription& getFontDescription(std::int32_t fontId) {
    return kFontTable[(fontId >= 0 && fontId < kNumFonts) ? fontId : kFontSystem];
}

void CDrawSurface::setButtonsSwapped(bool swapped) { buttonsSwapped.store(swapped); }

CDrawSurface::CDrawSurface(SurfaceFrame* frame, platform::DeviceContext* context, platform::Window* window)
    : window(window), frame(frame) {
    if (!context && window) {
        ownedContext = window->acquireContext();
        context = ownedContext.get();
    }
    if (window) screenOffset = window->getScreenTopLeft();
    clipRect = frame ? frame->getSurfaceBounds() : CBounds::fromCorners(0, 0, 1000, 1000);
    if (frame) scale = frame->getSurfaceScale();
    attachContext(context);
    applyDefaults();
}

// The platform context puts back the objects it had selected when it is destroyed;
// a window context taken here is given back with ownedContext.
CDrawSurface::~CDrawSurface() = default;

void CDrawSurface::attachContext(platform::DeviceContext* context) {
    deviceContext = context;
    if (deviceContext) deviceContext->setBackgroundMode(platform::BackgroundMode::Transparent);
}

void CDrawSurface::adoptContext(platform::DeviceContext* context) {
    attachContext(context);
    if (!deviceContext) return;
    rebuildPen();
    deviceContext->setBackgroundColor(fillColor.toColorRef());
    deviceContext->setBrush(fillColor.toColorRef());
    deviceContext->setTextColor(fontColor.toColorRef());
    applyFont(0);
    applyDrawMode();
}

void CDrawSurface::applyDefaults() {
    setFrameColor(kColorWhite);
    setLineStyle(kLineSolid);
    setLineWidth(1);
    setFillColor(kColorBlack);
    setFontColor(kColorWhite);
    setFont(kFontSystem, 0, 0);
    setDrawMode(kModeCopy);
}

int CDrawSurface::toDevice(int value) const {
    return scale == 1.0 ? value : int(std::lround(value * scale));
}

CBounds CDrawSurface::toDevice(const CBounds& rect) const {
    return CBounds(toDevice(rect.left), toDevice(rect.top), toDevice(rect.right), toDevice(rect.bottom));
}

void CDrawSurface::rebuildPen() {
    if (!deviceContext) return;
    deviceContext->setPen(lineStyle == kLineDotted ? platform::PenStyle::Dotted : platform::PenStyle::Solid,
                          std::max(1, toDevice(lineWidth)), frameColor.toColorRef());
}

void CDrawSurface::setFrameColor(const CRgb& color) {
    if (color == frameColor) return;
    frameColor = color;
    rebuildPen();
}

void CDrawSurface::setLineStyle(std::int32_t style) {
    if (style == lineStyle) return;
    lineStyle = style;
    rebuildPen();
}

void CDrawSurface::setLineWidth(std::int32_t width) {
    if (width == lineWidth) return;
    lineWidth = width;
    rebuildPen();
}

void CDrawSurface::setFillColor(const CRgb& color) {
    if (color == fillColor) return;
    fillColor = color;
    if (!deviceContext) return;
    deviceContext->setBackgroundColor(color.toColorRef());
    deviceContext->setBrush(color.toColorRef());
}

void CDrawSurface::setFontColor(const CRgb& color) {
    fontColor = color;
    if (deviceContext) deviceContext->setTextColor(color.toColorRef());
}

void CDrawSurface::setDrawMode(std::int32_t mode) {
    if (mode == drawMode) return;
    drawMode = mode;
    applyDrawMode();
}

void CDrawSurface::applyDrawMode() {
    if (!deviceContext) return;
    platform::RasterMode raster = platform::RasterMode::CopyPen;
    if (drawMode == kModeOr) raster = platform::RasterMode::MergePen;
    if (drawMode == kModeXor) raster = platform::RasterMode::NotXorPen;
    deviceContext->setRasterMode(raster);
}

// A style-only change takes no effect while the id and size stay the same.
void CDrawSurface::setFont(std::int32_t id, std::int32_t size, std::int32_t style) {
    if (id < 0 || id >= kNumFonts) id = kFontSystem;
    const CFontDescription& description = getFontDescription(id);
    const std::int32_t effectiveSize = size != 0 ? size : description.defaultSize;
    if (id == fontId && effectiveSize == fontSize) return;
    fontId = id;
    fontSize = effectiveSize;
    applyFont(style);
}

void CDrawSurface::applyFont(std::int32_t style) {
    if (!deviceContext || fontId < 0 || fontId >= kNumFonts) return;
    platform::FontSpec spec;
    spec.face = getFontDescription(fontId).face;
    spec.height = -toDevice(fontSize);
    spec.weight = ((style & kStyleBold) != 0 || fontId == kFontSystem) ? 700 : 400;
    spec.italic = (style & kStyleItalic) != 0;
    spec.underline = (style & kStyleUnderline) != 0;
    spec.decorative = fontId == kFontSymbol;
    deviceContext->setFont(spec);
}

std::int32_t CDrawSurface::getStringWidth(const char* text) {
    if (!deviceContext || !text) return 0;
    const int width = deviceContext->getTextWidth(text);
    return scale == 1.0 ? width : int(std::lround(width / scale));
}

void CDrawSurface::drawString(const char* text, const CBounds& rect, bool opaque, std::int32_t align) {
    if (!text || !deviceContext) return;
    deviceContext->setBackgroundMode(opaque ? platform::BackgroundMode::Opaque : platform::BackgroundMode::Transparent);
    CBounds target = rect;
    target.offset(offset.x, offset.y);
    platform::TextAlign textAlign = platform::TextAlign::Left;
    if (align == kAlignCenter) textAlign = platform::TextAlign::Center;
    else if (align == kAlignRight) textAlign = platform::TextAlign::Right;
    else target.left += 1;
    deviceContext->drawText(text, toDevice(target), textAlign);
    deviceContext->setBackgroundMode(platform::BackgroundMode::Transparent);
}

void CDrawSurface::moveTo(const CPos& point) {
    if (deviceContext) deviceContext->moveTo(toDevice(point.x + offset.x), toDevice(point.y + offset.y));
}

void CDrawSurface::lineTo(const CPos& point) {
    if (deviceContext) deviceContext->lineTo(toDevice(point.x + offset.x), toDevice(point.y + offset.y));
}

void CDrawSurface::drawRect(const CBounds& rect, std::int32_t style) {
    if (!deviceContext) return;
    CBounds r = rect;
    r.offset(offset.x, offset.y);
    r = toDevice(r);
    if (style == kDrawFilled || style == kDrawFilledOutline) deviceContext->fillRect(r);
    if (style == kDrawOutline || style == kDrawFilledOutline) {
        deviceContext->moveTo(r.left, r.top);
        deviceContext->lineTo(r.right - 1, r.top);
        deviceContext->lineTo(r.right - 1, r.bottom - 1);
        deviceContext->lineTo(r.left, r.bottom - 1);
        deviceContext->lineTo(r.left, r.top);
    }
}

void CDrawSurface::fillRect(const CBounds& rect) {
    if (!deviceContext) return;
    CBounds r = rect;
    r.offset(offset.x, offset.y);
    r.left += 1;
    r.top += 1;
    deviceContext->fillRect(toDevice(r));
}

void CDrawSurface::fillEllipse(const CBounds& rect) {
    if (!deviceContext) return;
    CBounds r = rect;
    r.offset(offset.x + 1, offset.y + 1);
    deviceContext->fillEllipse(toDevice(r));
}

void CDrawSurface::setClipRect(const CBounds& rect) {
    CBounds device = rect;
    device.offset(offset.x, offset.y);
    if (device == clipRect) return;
    clipRect = device;
    if (deviceContext) deviceContext->setClipRect(toDevice(clipRect));
}

void CDrawSurface::getClipRect(CBounds& out) const {
    out = clipRect;
    out.offset(-offset.x, -offset.y);
}

CButtonState CDrawSurface::getButtonState() const { return toButtonState(platform::getPhysicalButtons()); }

CButtonState CDrawSurface::toButtonState(const platform::PhysicalButtons& b) const {
    const bool swapped = buttonsSwapped.load();
    CButtonState state = 0;
    if (b.left) state |= swapped ? kMouseRight : kMouseLeft;
    if (b.middle) state |= kMouseMiddle;
    if (b.right) state |= swapped ? kMouseLeft : kMouseRight;
    if (b.shift) state |= kKeyShift;
    if (b.control) state |= kKeyControl;
    if (b.alt) state |= kKeyAlt;
    return state;
}

void CDrawSurface::getPointerPosition(CPos& out) const {
    const CPos screen = platform::getPointerScreenPosition();
    out = CPos(screen.x - screenOffset.x, screen.y - screenOffset.y);
    if (scale != 1.0) out = CPos(int(std::floor(out.x / scale)), int(std::floor(out.y / scale)));
}
