// A rotary control: the value follows the pointer around the knob's centre or along a
// straight drag, the wheel and the arrow keys step it, and it draws a background image
// with a handle line or handle image on top.
#pragma once

#include "gui/CColor.h"
#include "gui/CControl.h"

class CKnob : public CControl {
public:
    CKnob(const CBounds& size, CControlObserver* listener, std::int32_t tag, CImage* background,
          CImage* handle, const CPos& backgroundOffset);
    ~CKnob() override;

    void draw(CDrawSurface* surface) override;
    void onMouse(CDrawSurface* surface, CPos& where, CButtonState buttons) override;
    void onMouseMoved(CDrawSurface* surface, CPos& where, CButtonState buttons) override;
    void onMouseUp(CDrawSurface* surface, CPos& where, CButtonState buttons) override;
    std::int32_t onKeyDown(CKeyCode& key) override;
    bool onWheel(CDrawSurface* surface, const CPos& where, float distance) override;
    bool isTypeOf(const char* className) const override;

    virtual void drawHandle(CDrawSurface* surface);
    // Angles in radians, counter-clockwise from the positive x axis with y up; a
    // negative sweep turns clockwise.
    virtual void setStartAngle(float angle);
    virtual float getStartAngle() const;
    virtual void setSweepAngle(float angle);
    virtual float getSweepAngle() const;
    // The handle point for the value, in control-local pixels.
    virtual void valueToPoint(CPos& point) const;
    virtual float valueFromPoint(const CPos& point) const;
    virtual void setHandleInset(std::int32_t inset);
    virtual void setHandleColor(const CRgb& color);
    virtual void setHandleShadowColor(const CRgb& color);
    virtual void setHandleImage(CImage* image);
    // How much longer the linear drag over the whole range is while shift is held.
    virtual void setFineFactor(float factor);
    virtual float getFineFactor() const;

protected:
    void recomputeAngles();

    CPos backgroundOffset;
    CRgb handleShadowColor = kColorWhite;
    CRgb handleColor = kColorGrey;
    CImage* handleImage = nullptr;
    std::int32_t handleInset = 3;
    float startAngle = 0.0f;
    float sweepAngle = 0.0f;
    float deadZoneHalf = 0.0f;
    float valuePerRadian = 0.0f;
    float valueAtZeroAngle = 0.0f;
    float radius;
    float fineFactor = 1.5f;

private:
    // The state a drag keeps from one pointer event to the next.
    struct Drag {
        bool linear = false;
        CPos first;
        CPos lastPoint;
        float entry = 0.0f;
        float coef = 0.0f;
        float old = 0.0f;
        CButtonState previous = 0;
    };
    float linearRange(CButtonState state) const;
    void follow(CDrawSurface* surface, const CPos& where, CButtonState state);
    Drag drag;
};
