#include "gui/CKnob.h"

#include <cmath>
#include <cstring>

#include "gui/CDrawSurface.h"
#include "gui/CFrame.h"
#include "gui/CImage.h"

namespace {
constexpr float kPi = 3.14159265358979f;
constexpr float kTwoPi = 6.2831855f;
constexpr double kTwoPiDouble = 6.283185307179586;
constexpr float kLinearRange = 200.0f;

enum : std::uint8_t { kVirtualKeyLeft = 11, kVirtualKeyUp = 12, kVirtualKeyRight = 13, kVirtualKeyDown = 14 };
}  // namespace

CKnob::CKnob(const CBounds& size, CControlObserver* listener, std::int32_t tag, CImage* background,
             CImage* handle, const CPos& backgroundOffset)
    : CControl(size, listener, tag, background),
      backgroundOffset(backgroundOffset),
      handleImage(handle),
      radius(float(size.right - size.left) / 2.0f) {
    if (handleImage) {
        handleImage->retain();
        handleInset = std::int32_t(double(handleImage->getWidth()) / 2.0 + 2.5);
    }
    setStartAngle(5.0f * kPi / 4.0f);
    setSweepAngle(-3.0f * kPi / 2.0f);
    setWantsFocus(true);
}

CKnob::~CKnob() {
    if (handleImage) handleImage->release();
}

bool CKnob::isTypeOf(const char* className) const {
    if (className && std::strcmp(className, "CKnob") == 0) return true;
    return CControl::isTypeOf(className);
}

// Geometry -------------------------------------------------------------------------------

void CKnob::recomputeAngles() {
    // A zero sweep maps no angle to any value: the knob then stays at its minimum.
    valuePerRadian = sweepAngle != 0.0f ? (maxValue - minValue) / sweepAngle : 0.0f;
    valueAtZeroAngle = minValue - valuePerRadian * startAngle;
    deadZoneHalf = (kTwoPi - std::fabs(sweepAngle)) * 0.5f;
    setDirty(true);
}

void CKnob::setStartAngle(float angle) {
    startAngle = angle;
    recomputeAngles();
}

float CKnob::getStartAngle() const { return startAngle; }

void CKnob::setSweepAngle(float angle) {
    sweepAngle = angle;
    recomputeAngles();
}

float CKnob::getSweepAngle() const { return sweepAngle; }

void CKnob::valueToPoint(CPos& point) const {
    double alpha = (double(value.load()) - valueAtZeroAngle) / valuePerRadian;
    // NaN or an infinite angle (a NaN value, a zero sweep) would leave no point at all.
    if (!std::isfinite(alpha)) alpha = startAngle;
    const double arm = double(radius) - handleInset;
    point.x = std::int32_t(float(radius + std::cos(alpha) * arm + 0.5));
    point.y = std::int32_t(float(radius - std::sin(alpha) * arm + 0.5));
}

float CKnob::valueFromPoint(const CPos& point) const {
    float a = float(std::atan2(double(radius - float(point.y)), double(float(point.x) - radius)));
    if (a < 0.0f) a += kTwoPi;
    float d = a - startAngle;
    auto wrapped = [](float angle) {
        if (angle < 0.0f) return angle + kTwoPi;
        if (double(angle) > kTwoPiDouble) return angle - kTwoPi;
        return angle;
    };
    if (sweepAngle < 0.0f) {
        d -= sweepAngle;
        const float w = wrapped(d);
        const float bound = deadZoneHalf - sweepAngle;
        if (w > bound) return maxValue;
        if (w > -sweepAngle) return minValue;
        if (d > bound)
            d -= kTwoPi;
        else if (d < -deadZoneHalf)
            d += kTwoPi;
        return d * valuePerRadian + maxValue;
    }
    const float w = wrapped(d);
    const float bound = sweepAngle + deadZoneHalf;
    if (w > bound) return minValue;
    if (w > sweepAngle) return maxValue;
    if (d > bound)
        d -= kTwoPi;
    else if (d < -deadZoneHalf)
        d += kTwoPi;
    return d * valuePerRadian + minValue;
}

void CKnob::setHandleInset(std::int32_t inset) { handleInset = inset; }
void CKnob::setHandleColor(const CRgb& color) { handleColor = color; }
void CKnob::setHandleShadowColor(const CRgb& color) { handleShadowColor = color; }

void CKnob::setHandleImage(CImage* image) {
    if (image) image->retain();
    if (handleImage) handleImage->release();
    handleImage = image;
}

void CKnob::setFineFactor(float factor) { fineFactor = factor; }
float CKnob::getFineFactor() const { return fineFactor; }

// Drawing --------------------------------------------------------------------------------

void CKnob::draw(CDrawSurface* surface) {
    drawBackgroundAt(surface, backgroundOffset);
    drawHandle(surface);
    setDirty(false);
}

void CKnob::drawHandle(CDrawSurface* surface) {
    CPos point;
    valueToPoint(point);
    if (handleImage) {
        const std::int32_t w = handleImage->getWidth();
        const std::int32_t h = handleImage->getHeight();
        point.offset(size.left - w / 2, size.top - h / 2);
        handleImage->drawTransparent(surface, CBounds(point.x, point.y, point.x + w, point.y + h), CPos());
        return;
    }
    CPos centre(size.width() / 2, size.height() / 2);
    point.offset(size.left - 1, size.top);
    centre.offset(size.left - 1, size.top);
    surface->setFrameColor(handleColor);
    surface->moveTo(point);
    surface->lineTo(centre);
    point.offset(1, -1);
    centre.offset(1, -1);
    surface->setFrameColor(handleShadowColor);
    surface->moveTo(point);
    surface->lineTo(centre);
}

// Input ----------------------------------------------------------------------------------

float CKnob::linearRange(CButtonState state) const {
    // A fine factor of 0 or NaN would make the drag infinitely sensitive.
    const float fine = kLinearRange * fineFactor;
    return (state & kKeyShift) && std::isfinite(fine) && fine != 0.0f ? fine : kLinearRange;
}

void CKnob::onMouse(CDrawSurface* surface, CPos& where, CButtonState buttons) {
    if (!acceptPress(surface, buttons)) return;
    const float span = maxValue - minValue;
    drag = Drag();
    drag.entry = value.load();
    drag.coef = span / kLinearRange;
    drag.previous = buttons;
    drag.lastPoint = CPos(-1, -1);
    drag.linear = (frame ? frame->getKnobMode() : kKnobCircular) == kKnobLinear;
    if (buttons & kKeyAlt) drag.linear = !drag.linear;
    if (drag.linear) {
        drag.coef = span / linearRange(buttons);
        drag.first = where;
    } else {
        drag.old = valueFromPoint(CPos(where.x - size.left, where.y - size.top));
    }
    const bool tracked = beginDrag(surface, buttons);
    follow(surface, where, buttons);
    if (!tracked) endEdit();
}

void CKnob::onMouseMoved(CDrawSurface* surface, CPos& where, CButtonState buttons) {
    if (isDragging()) follow(surface, where, buttons);
}

// The release's own point is where the last move already went.
void CKnob::onMouseUp(CDrawSurface*, CPos&, CButtonState) { endDrag(); }

void CKnob::follow(CDrawSurface* surface, const CPos& where, CButtonState state) {
    if (where == drag.lastPoint) return;
    if (drag.linear) {
        if (state != drag.previous) {
            // The keys changed at the last point: same value there under the new scale, no jump.
            const float span = maxValue - minValue;
            const float before = float((drag.lastPoint.x - drag.first.x) + (drag.first.y - drag.lastPoint.y));
            const float coef2 = span / linearRange(state);
            drag.entry += before * (drag.coef - coef2);
            drag.coef = coef2;
            drag.previous = state;
        }
        drag.lastPoint = where;
        const float diff = float((where.x - drag.first.x) + (drag.first.y - where.y));
        value.store(diff * drag.coef + drag.entry);
        clampValue();
    } else {
        drag.lastPoint = where;
        const float middle = (maxValue - minValue) * 0.5f;
        const float v = valueFromPoint(CPos(where.x - size.left, where.y - size.top));
        value.store(v);
        // A swing over half the range crossed the dead zone: stay at the end it left.
        if (drag.old - v > middle)
            value.store(maxValue);
        else if (v - drag.old > middle)
            value.store(minValue);
        else
            drag.old = v;
    }
    notifyIfDirty(surface);
}

bool CKnob::onWheel(CDrawSurface* surface, const CPos&, float distance) {
    if (!isMouseEnabled()) return false;
    float step = distance * wheelStep;
    if (surface && (surface->getButtonState() & kKeyShift)) step *= 0.1f;
    value.store(value.load() + step);
    clampValue();
    if (listener && isDirty()) {
        beginEdit();
        listener->valueChanged(surface, this);
        endEdit();
    }
    return true;
}

std::int32_t CKnob::onKeyDown(CKeyCode& key) {
    float step;
    switch (key.virt) {
        case kVirtualKeyUp:
        case kVirtualKeyRight: step = 1.0f; break;
        case kVirtualKeyLeft:
        case kVirtualKeyDown: step = -1.0f; break;
        default: return -1;
    }
    if (key.modifier & kModifierShift) step *= 0.1f;
    value.store(value.load() + step * wheelStep);
    clampValue();
    if (listener && isDirty()) {
        beginEdit();
        listener->valueChanged(nullptr, this);
        endEdit();
    }
    return 1;
}
