#include "editor/ParameterBar.h"

#include <algorithm>
#include <cstdio>

#include "gui/CDrawSurface.h"
#include "gui/CFrame.h"
#include "plugin/EffectBase.h"

namespace {
constexpr CRgb kTrackColor{40, 44, 52};
constexpr CRgb kFillColor{230, 150, 40};
constexpr float kWheelStep = 0.05f;
}  // namespace

ParameterBar::ParameterBar(const CBounds& size, EffectBase* effect, std::int32_t index)
    : CView(size), effect(effect), index(index) {
    if (effect) {
        effect->getParameterName(index, name);
        value = effect->getParameter(index);
    }
}

void ParameterBar::draw(CDrawSurface* surface) {
    surface->setFillColor(kTrackColor);
    surface->fillRect(CBounds(size.left - 1, size.top - 1, size.right, size.bottom));
    const float shown = std::clamp(value, 0.0f, 1.0f);
    CBounds filled(size.left - 1, size.top - 1, size.left + std::int32_t(shown * float(size.width())), size.bottom);
    surface->setFillColor(kFillColor);
    surface->fillRect(filled);
    char text[64];
    std::snprintf(text, sizeof text, "%s %.2f", name, double(value));
    surface->setFontColor(kColorWhite);
    surface->setFont(kFontNormal);
    surface->drawString(text, size, false, kAlignCenter);
    setDirty(false);
}

float ParameterBar::valueAt(const CPos& where) const {
    return std::clamp(float(where.x - size.left) / float(std::max(1, size.width())), 0.0f, 1.0f);
}

void ParameterBar::change(float newValue) {
    if (newValue == value) return;
    value = newValue;
    setDirty(true);
    if (effect) effect->setParameterAndNotify(index, value);
}

void ParameterBar::onMouse(CDrawSurface* surface, CPos& where, CButtonState buttons) {
    if (!(buttons & kMouseLeft) || !frame) return;
    frame->beginEdit(index);
    CPos pointer = where;
    do {
        change(valueAt(pointer));
        getPointerPosition(surface, pointer);
        frame->pumpIdle();
    } while (surface && (surface->getButtonState() & kMouseLeft));
    frame->endEdit(index);
}

bool ParameterBar::onWheel(CDrawSurface*, const CPos&, float distance) {
    if (!frame) return false;
    frame->beginEdit(index);
    change(std::clamp(value + distance * kWheelStep, 0.0f, 1.0f));
    frame->endEdit(index);
    return true;
}

void ParameterBar::refresh() {
    if (!effect) return;
    const float stored = effect->getParameter(index);
    if (stored != value) {
        value = stored;
        setDirty(true);
    }
}
