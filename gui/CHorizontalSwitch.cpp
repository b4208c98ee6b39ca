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
    const std::int32_t width = background ? background->getWidth() : 0;
    beginEdit();
    do {
        value.store(switchValueAt(where.x - size.left, width, positionCount));
        notifyIfDirty(surface);
        getPointerPosition(surface, where);
        pumpIdle();
    } while (surface && surface->getButtonState() == buttons);
    endEdit();
}
