// A small clickable area that shows a larger image elsewhere on the panel, as the
// frame's modal view, until that image is clicked. value: 0 hidden, 1 shown.
#pragma once

#include "gui/CControl.h"

class CSplashScreen : public CControl {
public:
    CSplashScreen(const CBounds& size, CControlObserver* listener, std::int32_t tag, CImage* background,
                  const CBounds& displayArea, const CPos& displayOffset);

    void draw(CDrawSurface* surface) override;
    void onMouse(CDrawSurface* surface, CPos& where, CButtonState buttons) override;
    bool hitTest(const CPos& where, CButtonState buttons) override;
    bool isTypeOf(const char* className) const override;

    // Hides the image if it is shown, as a click on it would, without telling the listener.
    virtual void closeSplash();

protected:
    bool isShown() const;
    // Back to the small area and out of the frame's modal place.
    void hide();

    CBounds displayArea;
    CBounds savedSize;
    CPos displayOffset;
    std::uint8_t alpha = 255;
};
