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
    const bool tracked = beginDrag(surface, buttons);
    follow(surface, where);
    if (!tracked) endEdit();
}

void CVerticalSwitch::onMouseMoved(CDrawSurface* surface, CPos& where, CButtonState buttons) {
    if (dragFollows(buttons)) follow(surface, where);
}

void CVerticalSwitch::onMouseUp(CDrawSurface*, CPos&, CButtonState) { endDrag(); }

void CVerticalSwitch::follow(CDrawSurface* surface, const CPos& where) {
    value.store(switchValueAt(where.y - size.top, frameHeight, positionCount));
    notifyIfDirty(surface);
}
