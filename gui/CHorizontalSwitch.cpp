#include "gui/CHorizontalSwitch.h"

#include <cstring>

#include "gui/CDrawSurface.h"
#include "gui/CImage.h"
#include "gui/SwitchPositions.h"

CHorizontalSwitch::CHorizontalSwitch(const CBounds& size, CControlObserver* listener, std::int32_t tag,
                                     std::int32_t frameCount, std::int32_t frameHeight, std::int32_t positionCount,
                                     CImage* background, const CPos& backgroundOffset)
    : CControl(size, listener, tag, background),
      backgroundOffset(backgroundOffset),
      frameCount(frameCount),
      positionCount(positionCount),
      frameHeight(frameHeight) {
    defaultValue = 0.0f;
}

bool CHorizontalSwitch::isTypeOf(const char* className) const {
    if (className && std::strcmp(className, "CHorizontalSwitch") == 0) return true;
    return CControl::isTypeOf(className);
}

void CHorizontalSwitch::draw(CDrawSurface* surface) {
    const std::int32_t index = fitSubImage(switchPosition(value.load(), positionCount), positionCount, frameHeight,
                                           background);
    drawBackgroundAt(surface, CPos(0, index * frameHeight));
    setDirty(false);
}

void CHorizontalSwitch::onMouse(CDrawSurface* surface, CPos& where, CButtonState buttons) {
    if (!acceptPress(surface, buttons, PressOrder::ModifierFirst)) return;
    const bool tracked = beginDrag(surface, buttons);
    follow(surface, where);
    if (!tracked) endEdit();
}

void CHorizontalSwitch::onMouseMoved(CDrawSurface* surface, CPos& where, CButtonState buttons) {
    if (dragFollows(buttons)) follow(surface, where);
}

void CHorizontalSwitch::onMouseUp(CDrawSurface*, CPos&, CButtonState) { endDrag(); }

void CHorizontalSwitch::follow(CDrawSurface* surface, const CPos& where) {
    value.store(switchValueAt(where.x - size.left, background ? background->getWidth() : 0, positionCount));
    notifyIfDirty(surface);
}
