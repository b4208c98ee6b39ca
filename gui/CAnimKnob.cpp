#include "gui/CAnimKnob.h"

#include <cstring>

#include "gui/CImage.h"
#include "gui/Filmstrip.h"

CAnimKnob::CAnimKnob(const CBounds& size, CControlObserver* listener, std::int32_t tag, std::int32_t frameCount,
                     std::int32_t frameHeight, CImage* background, const CPos& backgroundOffset)
    : CKnob(size, listener, tag, background, nullptr, backgroundOffset),
      frameCount(frameCount),
      frameHeight(frameHeight) {
    handleInset = 0;
}

bool CAnimKnob::isTypeOf(const char* className) const {
    if (className && std::strcmp(className, "CAnimKnob") == 0) return true;
    return CKnob::isTypeOf(className);
}

std::int32_t CAnimKnob::subImageIndex() const {
    const float v = value.load();
    if (!(v >= 0.0f) || frameCount <= 1 || frameHeight <= 0) return 0;
    // Offset along the strip, then down to the start of its sub-image; at least the last
    // sub-image for 1 and anything above.
    const std::int64_t span = std::int64_t(frameCount - 1) * frameHeight;
    const std::int64_t offset = truncateInto(float(span) * v, 0, std::int32_t(span));
    return fitSubImage(std::int32_t(offset / frameHeight), frameCount, frameHeight, background);
}

void CAnimKnob::draw(CDrawSurface* surface) {
    const std::int32_t index = subImageIndex();
    drawBackgroundAt(surface, CPos(0, index * frameHeight));
    valueToPoint(lastDrawnPoint);
    lastDrawnIndex = index;
    setDirty(false);
}

// Redrawn when the handle point moves, and also when the sub-image changes without it:
// a small knob's handle point can stay put across a step of the strip.
bool CAnimKnob::isDirty() const {
    if (!CView::isDirty()) {
        CPos point;
        valueToPoint(point);
        if (point == lastDrawnPoint && subImageIndex() == lastDrawnIndex) return false;
    }
    return CControl::isDirty();
}
