#include "gui/CSplashScreen.h"

#include <cstring>

#include "gui/CFrame.h"
#include "gui/CImage.h"

CSplashScreen::CSplashScreen(const CBounds& size, CControlObserver* listener, std::int32_t tag, CImage* background,
                             const CBounds& displayArea, const CPos& displayOffset)
    : CControl(size, listener, tag, background), displayArea(displayArea), displayOffset(displayOffset) {}

bool CSplashScreen::isTypeOf(const char* className) const {
    if (className && std::strcmp(className, "CSplashScreen") == 0) return true;
    return CControl::isTypeOf(className);
}

bool CSplashScreen::hitTest(const CPos& where, CButtonState buttons) {
    return mouseArea.contains(where) && (buttons & kMouseLeft) != 0;
}

void CSplashScreen::onMouse(CDrawSurface* surface, CPos&, CButtonState buttons) {
    if (!acceptPress(surface, buttons, PressOrder::ModifierFirstNoReset)) return;
    if (value.load() == 0.0f) {
        // Shown only as the frame's modal view; when another view holds that place the
        // splash stays hidden rather than drawn over a panel that still takes presses.
        if (!frame || !frame->setModalView(this)) {
            setDirty(true);
            return;
        }
        value.store(1.0f);
        savedSize = size;
        size = displayArea;
        mouseArea = displayArea;
        if (listener) listener->valueChanged(surface, this);
        setDirty(true);
        return;
    }
    hide();
    if (listener) listener->valueChanged(surface, this);
}

void CSplashScreen::closeSplash() {
    if (value.load() != 0.0f || isShown()) hide();
}

bool CSplashScreen::isShown() const { return frame && frame->getModalView() == this; }

void CSplashScreen::hide() {
    value.store(0.0f);
    // Only a splash that is shown has a small area saved to go back to; one whose value
    // was set from outside keeps the area it has.
    const bool shown = isShown();
    if (shown) {
        size = savedSize;
        mouseArea = savedSize;
    }
    if (frame) {
        frame->setDirty(true);
        if (shown) frame->setModalView(nullptr);
    }
}

void CSplashScreen::draw(CDrawSurface* surface) {
    if (value.load() != 0.0f && background) {
        if (!transparent)
            background->draw(surface, displayArea, displayOffset);
        else if (alpha == 0)
            background->drawTransparent(surface, displayArea, displayOffset);
        else
            background->drawAlphaBlend(surface, displayArea, displayOffset, alpha);
    }
    setDirty(false);
}
