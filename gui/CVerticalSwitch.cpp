#include "gui/CVerticalSwitch.h"

#include <cstring>

#include "gui/CDrawSurface.h"
#include "gui/CImage.h"
#include "gui/SwitchPositions.h"

CVerticalSwitch::CVerticalSwitch(const CBounds& size, CControlObserver* listener, std::int32_t tag,
                                 std::int32_t frameCount, std::int32_t frameHeight, std::int32_t positionCount,
                                 CImage* background, const CPos& backgroundOffset)
    : CControl(size, listener, tag, background),
      backgroundOffset(backgroundOffset),
      frameCount(frameCount),
      frameHeight(frameHeight),
      positionCount(positionCount) {
    defaultValue = 0.0f;
}

bool CVerticalSwitch::isTypeOf(const char* className) const {
    if (className && std::strcmp(className, "CVerticalSwitch") == 0) return true;
    return CControl::isTypeOf(className);
}

void CVerticalSwitch::draw(CDrawSurface* surface) {
    const std::int32_t index = fitSubImage(switchPosition(value.load(), positionCount), positionCount, frameHeight,
                                           background);
    drawBackgroundAt(surface, CPos(0, index * frameHeight));
    setDirty(false);
}

void CVerticalSwitch::onMouse(CDrawSurface* surface, CPos& where, CButtonState buttons) {
    if (!acceptPress(surface, buttons)) return;
    pressButtons = buttons;
    beginEdit();
    // Tracked before the first value: a host that closes the panel from that value's
    // notice ends the drag there.
    const bool tracked = trackPointer(surface);
    dragging = tracked;
    follow(surface, where);
    if (!tracked) endEdit();
}

void CVerticalSwitch::onMouseMoved(CDrawSurface* surface, CPos& where, CButtonState buttons) {
    if (!dragging) return;
    if (buttons == pressButtons)
        follow(surface, where);
    else
        onMouseUp(surface, where, buttons);
}

void CVerticalSwitch::onMouseUp(CDrawSurface*, CPos&, CButtonState) {
    if (!dragging) return;
    dragging = false;
    endEdit();
}

void CVerticalSwitch::follow(CDrawSurface* surface, const CPos& where) {
    value.store(switchValueAt(where.y - size.top, frameHeight, positionCount));
    notifyIfDirty(surface);
}
