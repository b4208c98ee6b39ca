#include "gui/CParamDisplay.h"

#include <cstdio>
#include <cstring>

#include "gui/CDrawSurface.h"
#include "gui/CImage.h"

namespace {
template <typename T>
void setAndMarkDirty(CParamDisplay& display, T& field, const T& newValue) {
    if (field == newValue) return;
    field = newValue;
    display.setDirty(true);
}
}  // namespace

CParamDisplay::CParamDisplay(const CBounds& size, CImage* background, std::int32_t style)
    : CControl(size, nullptr, 0, background), textAlign(kAlignCenter), style(style), fontId(kFontNormal) {
    bitmapOffset = CPos();
    if (style & kDisplayNoDraw) setDirty(false);
}

bool CParamDisplay::isTypeOf(const char* className) const {
    if (className && std::strcmp(className, "CParamDisplay") == 0) return true;
    return CControl::isTypeOf(className);
}

void CParamDisplay::setFont(std::int32_t id) { setAndMarkDirty(*this, fontId, id); }
void CParamDisplay::setFontColor(const CRgb& color) { setAndMarkDirty(*this, fontColor, color); }
void CParamDisplay::setBackColor(const CRgb& color) { setAndMarkDirty(*this, backColor, color); }
void CParamDisplay::setFrameColor(const CRgb& color) { setAndMarkDirty(*this, frameColor, color); }
void CParamDisplay::setShadowColor(const CRgb& color) { setAndMarkDirty(*this, shadowColor, color); }
void CParamDisplay::setTextAlign(std::int32_t align) { setAndMarkDirty(*this, textAlign, align); }
void CParamDisplay::setStyle(std::int32_t newStyle) { setAndMarkDirty(*this, style, newStyle); }
void CParamDisplay::setFontStyle(std::int32_t newStyle) { setAndMarkDirty(*this, fontStyle, newStyle); }

void CParamDisplay::setValueToTextWithData(CValueToTextWithData function, void* data) {
    valueToTextWithData = function;
    userData = data;
}

void CParamDisplay::setValueToText(CValueToText function) { valueToText = function; }
void CParamDisplay::setTextToValue(CTextToValue function) { textToValue = function; }
void CParamDisplay::setTextTransparent(bool flag) { textTransparent = flag; }

void CParamDisplay::draw(CDrawSurface* surface) {
    char text[256] = {};
    const float current = value.load();
    if (valueToTextWithData)
        valueToTextWithData(current, text, userData);
    else if (valueToText)
        valueToText(current, text);
    else
        std::snprintf(text, sizeof text, "%2.2f", double(current));
    drawText(surface, text);
}

void CParamDisplay::drawText(CDrawSurface* surface, const char* text, CImage* image) {
    setDirty(false);
    if (style & kDisplayNoDraw) return;

    if (image || background) {
        drawBackgroundAt(surface, bitmapOffset, image);
    } else if (!transparent) {
        surface->setFillColor(backColor);
        surface->fillRect(size);
        if (!(style & (kDisplayNoFrame | kDisplayBevelIn | kDisplayBevelOut))) {
            surface->setFrameColor(frameColor);
            surface->drawRect(size);
        }
    }

    if (style & (kDisplayBevelIn | kDisplayBevelOut)) {
        const bool in = (style & kDisplayBevelIn) != 0;
        surface->setFrameColor(in ? backColor : frameColor);
        surface->moveTo(CPos(size.left, size.bottom));
        surface->lineTo(CPos(size.left, size.top));
        surface->lineTo(CPos(size.right + 1, size.top));
        surface->setFrameColor(in ? frameColor : backColor);
        surface->moveTo(CPos(size.right, size.top + 1));
        surface->lineTo(CPos(size.right, size.bottom));
        surface->lineTo(CPos(size.left, size.bottom));
    }

    if ((style & kDisplayNoText) || !text) return;
    CBounds savedClip;
    surface->getClipRect(savedClip);
    CBounds clip = size;
    surface->setClipRect(clip.bound(savedClip));
    surface->setFont(fontId, 0, fontStyle);
    if (style & kDisplayShadowText) {
        CBounds shadow = size;
        shadow.offset(1, 1);
        surface->setFontColor(shadowColor);
        surface->drawString(text, shadow, !textTransparent, textAlign);
    }
    surface->setFontColor(fontColor);
    surface->drawString(text, size, !textTransparent, textAlign);
    surface->setClipRect(savedClip);
}
