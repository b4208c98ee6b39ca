// A control of N positions following the pointer's height inside it, drawn as one
// sub-image of a vertical filmstrip per position.
#pragma once

#include "gui/CControl.h"

class CVerticalSwitch : public CControl {
public:
    CVerticalSwitch(const CBounds& size, CControlObserver* listener, std::int32_t tag, std::int32_t frameCount,
                    std::int32_t frameHeight, std::int32_t positionCount, CImage* background,
                    const CPos& backgroundOffset);

    void draw(CDrawSurface* surface) override;
    void onMouse(CDrawSurface* surface, CPos& where, CButtonState buttons) override;
    // The drag ends as soon as the buttons or keys differ from the press's.
    void onMouseMoved(CDrawSurface* surface, CPos& where, CButtonState buttons) override;
    void onMouseUp(CDrawSurface* surface, CPos& where, CButtonState buttons) override;
    bool isTypeOf(const char* className) const override;

protected:
    CPos backgroundOffset;
    std::int32_t frameCount;
    std::int32_t frameHeight;
    std::int32_t positionCount;

private:
    void follow(CDrawSurface* surface, const CPos& where);
};
