#include "gui/CValueDisplay.h"

#include <cstring>

#include "gui/CDrawSurface.h"

CValueDisplay::CValueDisplay(const CBounds& size, const char* initialText) : CParamDisplay(size, nullptr, 0) {
    setText(initialText);
}

void CValueDisplay::setText(const char* newText) {
    if (newText) {
        std::strncpy(text, newText, sizeof text - 1);
        text[sizeof text - 1] = '\0';
    }
    setDirty(true);
}

void CValueDisplay::draw(CDrawSurface* surface) {
    surface->setFillColor(backColor);
    surface->fillRect(size);
    surface->setFrameColor(backColor);
    surface->drawRect(size);
    surface->setFont(fontId, 0, 0);
    surface->setFontColor(fontColor);
    surface->drawString(text, size, false, kAlignCenter);
}
