#include "gui/CControl.h"

#include <cstring>

#include "gui/CDrawSurface.h"
#include "gui/CFrame.h"
#include "gui/CImage.h"
#include "gui/platform/DoubleClickTime.h"

namespace {
constexpr std::int32_t kShortestDoubleClick = 250;
constexpr CButtonState kControlClick = kMouseLeft | kKeyControl;

bool sameBits(float a, float b) {
    std::uint32_t x, y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}
}  // namespace

std::int32_t CControlObserver::onModifierClick(CDrawSurface*, CControl*, CButtonState) { return 0; }

CControl::CControl(const CBounds& size, CControlObserver* listener, std::int32_t tag, CImage* background)
    : CView(size), listener(listener), tag(tag) {
    const std::int32_t systemTime = platform::getDoubleClickTime();
    doubleClickTime = systemTime < kShortestDoubleClick ? kShortestDoubleClick : systemTime;
    setBackground(background);
}

CControl::~CControl() = default;

bool CControl::isDirty() const {
    const float current = value.load();
    // A NaN on either side compares unequal: such a control always counts as dirty.
    if (!(current == lastValue)) return true;
    return CView::isDirty();
}

void CControl::setDirty(bool flag) {
    CView::setDirty(flag);
    const float current = value.load();
    if (flag)
        lastValue = sameBits(current, -1.0f) ? 0.0f : -1.0f;
    else
        lastValue = current;
}

bool CControl::isTypeOf(const char* className) const {
    if (className && std::strcmp(className, "CControl") == 0) return true;
    return CView::isTypeOf(className);
}

void CControl::setValue(float newValue) { value.store(newValue); }
float CControl::getValue() const { return value.load(); }
void CControl::setMin(float newMin) { minValue = newMin; }
float CControl::getMin() const { return minValue; }
void CControl::setMax(float newMax) { maxValue = newMax; }
float CControl::getMax() const { return maxValue; }
void CControl::setLastValue(float newLast) { lastValue = newLast; }
float CControl::getLastValue() const { return lastValue; }
void CControl::setDefaultValue(float newDefault) { defaultValue = newDefault; }
float CControl::getDefaultValue() const { return defaultValue; }
void CControl::setTag(std::int32_t newTag) { tag = newTag; }

void CControl::beginEdit() {
    if (!frame) return;
    frame->setFocusView(this);
    frame->beginEdit(tag);
}

void CControl::endEdit() {
    if (frame) frame->endEdit(tag);
}

void CControl::setBitmapOffset(const CPos& offset) { bitmapOffset = offset; }
void CControl::adoptBitmapOffset() { bitmapOffset = CPos(size.left, size.top); }
void CControl::setWheelStep(float step) { wheelStep = step; }
float CControl::getWheelStep() const { return wheelStep; }

void CControl::clampValue() {
    const float current = value.load();
    if (current > maxValue)
        value.store(maxValue);
    else if (!(current >= minValue))  // a NaN from outside counts as below the range
        value.store(minValue);
}

bool CControl::resetOnControlClick(CDrawSurface* surface, CButtonState buttons) {
    if (buttons != kControlClick) return false;
    beginEdit();
    value.store(getDefaultValue());
    notifyIfDirty(surface);
    endEdit();
    return true;
}

bool CControl::isDoubleClick() {
    const auto now = std::int32_t(frame ? frame->getTicks() : 0);
    // In 64 bits: ticks near the wrap-around must not overflow the sum.
    if (lastClickTicks > 0 && std::int64_t(now) < std::int64_t(lastClickTicks) + doubleClickTime) {
        lastClickTicks = 0;
        return true;
    }
    lastClickTicks = now;
    return false;
}

bool CControl::acceptPress(CDrawSurface* surface, CButtonState& buttons, PressOrder order) {
    if (!isMouseEnabled()) return false;
    if (buttons == kButtonsUnread) buttons = surface ? surface->getButtonState() : 0;
    const bool modifierFirst = order != PressOrder::ButtonFirst;
    if (!modifierFirst && !(buttons & kMouseLeft)) return false;
    if (listener && (buttons & kModifierBits) && listener->onModifierClick(surface, this, buttons) != 0)
        return false;
    if (modifierFirst && !(buttons & kMouseLeft)) return false;
    if (order == PressOrder::ModifierFirstNoReset) return true;
    return !resetOnControlClick(surface, buttons);
}

bool CControl::trackPointer(CDrawSurface* surface) {
    if (!surface || !frame) return false;
    frame->trackPointer(this);
    return true;
}

bool CControl::beginDrag(CDrawSurface* surface, CButtonState buttons) {
    beginEdit();
    // Tracked before the first value: a host that closes the panel from that value's
    // notice ends the drag there.
    dragging = trackPointer(surface);
    dragButtons = buttons;
    return dragging;
}

bool CControl::dragFollows(CButtonState buttons) {
    if (!dragging) return false;
    if (buttons == dragButtons) return true;
    endDrag();
    return false;
}

void CControl::endDrag() {
    if (!dragging) return;
    dragging = false;
    endEdit();
}

void CControl::drawBackgroundAt(CDrawSurface* surface, const CPos& offset, CImage* image) {
    if (!image) image = background;
    if (!image) return;
    if (transparent)
        image->drawTransparent(surface, size, offset);
    else
        image->draw(surface, size, offset);
}

void CControl::notifyIfDirty(CDrawSurface* surface) {
    if (listener && isDirty()) listener->valueChanged(surface, this);
}
