// A readout of a text its owner sets, centred in the font colour on a plain box of the
// back colour; the control value plays no part.
#pragma once

#include "gui/CParamDisplay.h"

class CValueDisplay : public CParamDisplay {
public:
    CValueDisplay(const CBounds& size, const char* text);

    void draw(CDrawSurface* surface) override;

    // None keeps the old text; either way the display is redrawn at the next update.
    void setText(const char* newText);
    const char* getText() const { return text; }

protected:
    char text[256] = {};
};
