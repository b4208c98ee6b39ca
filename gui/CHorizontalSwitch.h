// A control of N positions following the pointer's place across the image's width,
// drawn as one sub-image of a vertical filmstrip per position.
#pragma once

#include "gui/CControl.h"

class CHorizontalSwitch : public CControl {
public:
    CHorizontalSwitch(const CBounds& size, CControlObserver* listener, std::int32_t tag,
                      std::int32_t frameCount, std::int32_t frameHeight, std::int32_t positionCount,
                      CImage* background, const CPos& backgroundOffset);

    void draw(CDrawSurface* surface) override;
    void onMouse(CDrawSurface* surface, CPos& where, CButtonState buttons) override;
    // The drag ends as soon as the buttons or keys differ from the press's.
    void onMouseMoved(CDrawSurface* surface, CPos& where, CButtonState buttons) override;
    void onMouseUp(CDrawSurface* surface, CPos& where, CButtonState buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    CPos backgroundOffset;
    std::int32_t frameCount;
    std::int32_t positionCount;
    std::int32_t frameHeight;

private:
    void follow(CDrawSurface* surface, const CPos& where);
};
