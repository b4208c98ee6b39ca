// A stand-in control until the panel's knobs exist: a bar showing one parameter, set by
// dragging across it or by the wheel, with a begin and end of edit around each gesture.
#pragma once

#include <atomic>

#include "gui/CView.h"

class EffectBase;

class ParameterBar : public CView {
public:
    ParameterBar(const CBounds& size, EffectBase* effect, std::int32_t index);

    void draw(CDrawSurface* surface) override;
    void onMouse(CDrawSurface* surface, CPos& where, CButtonState buttons) override;
    bool onWheel(CDrawSurface* surface, const CPos& where, float distance) override;

    // From the effect's stored value; marks the bar dirty when it moved.
    void refresh();

private:
    void change(float newValue);
    float valueAt(const CPos& where) const;

    EffectBase* effect;
    std::int32_t index;
    float value = 0.0f;
    char name[32] = {};
};
