// A knob that shows one sub-image of a vertical filmstrip chosen by its value instead of
// a handle; input and angle geometry are the knob's.
#pragma once

#include "gui/CKnob.h"

class CAnimKnob : public CKnob {
public:
    CAnimKnob(const CBounds& size, CControlObserver* listener, std::int32_t tag, std::int32_t frameCount,
              std::int32_t frameHeight, CImage* background, const CPos& backgroundOffset);

    void draw(CDrawSurface* surface) override;
    bool isDirty() const override;
    bool isTypeOf(const char* className) const override;

    // Index of the sub-image the value selects; 0 for values below 0 or NaN.
    std::int32_t subImageIndex() const;

protected:
    std::int32_t frameCount;
    std::int32_t frameHeight;
    CPos lastDrawnPoint;
    std::int32_t lastDrawnIndex = -1;
};
