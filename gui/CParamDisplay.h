// A text display of a control value: formatted by a hook or "%2.2f", drawn over a
// filled and framed (or bevelled) background with its own font, colours and style.
#pragma once

#include "gui/CColor.h"
#include "gui/CControl.h"

enum : std::int32_t {
    kDisplayShadowText = 0x4,
    kDisplayBevelIn = 0x80,
    kDisplayBevelOut = 0x100,
    kDisplayNoText = 0x800,
    kDisplayNoDraw = 0x1000,
    kDisplayNoFrame = 0x4000,
};

using CValueToText = void (*)(float value, char* text);
using CValueToTextWithData = void (*)(float value, char* text, void* data);
// The reverse conversion for displays that take typed input: false when the text is no number.
using CTextToValue = bool (*)(const char* text, float* value, void* data);

class CParamDisplay : public CControl {
public:
    CParamDisplay(const CBounds& size, CImage* background = nullptr, std::int32_t style = 0);

    void draw(CDrawSurface* surface) override;
    bool isTypeOf(const char* className) const override;

    virtual void setFont(std::int32_t id);
    virtual void setFontColor(const CRgb& color);
    virtual void setBackColor(const CRgb& color);
    virtual void setFrameColor(const CRgb& color);
    virtual void setShadowColor(const CRgb& color);
    virtual void setTextAlign(std::int32_t align);
    virtual void setValueToTextWithData(CValueToTextWithData function, void* data);
    virtual void setValueToText(CValueToText function);
    virtual void setTextToValue(CTextToValue function);
    virtual void setStyle(std::int32_t newStyle);
    virtual void setFontStyle(std::int32_t newStyle);
    virtual void setTextTransparent(bool flag);

    // Background, bevel and text; image, when given, replaces the background.
    void drawText(CDrawSurface* surface, const char* text, CImage* image = nullptr);

protected:
    CValueToText valueToText = nullptr;
    CValueToTextWithData valueToTextWithData = nullptr;
    CTextToValue textToValue = nullptr;
    void* userData = nullptr;
    std::int32_t textAlign;
    std::int32_t style;
    std::int32_t fontId;
    std::int32_t fontStyle = 0;
    CRgb fontColor = kColorWhite;
    CRgb backColor = kColorBlack;
    CRgb frameColor = kColorBlack;
    CRgb shadowColor = kColorRed;
    bool textTransparent = true;
};
