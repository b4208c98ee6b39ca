// The base of the interactive widgets: one value with bounds and a default, a tag that
// names the control to its owner, and an observer told of the user's changes. Dirty
// tracking compares the value with the one last drawn, so a bare setValue is enough to
// get the control redrawn at the frame's next update.
#pragma once

#include <cstdint>

#include "common/RelaxedAtomic.h"
#include "gui/CView.h"

class CControl;

class CControlObserver {
public:
    // surface: the gesture's, or none for a key.
    virtual void valueChanged(CDrawSurface* surface, CControl* control) = 0;
    // A press with a modifier held; nonzero means the press is consumed.
    virtual std::int32_t onModifierClick(CDrawSurface* surface, CControl* control, CButtonState buttons);

protected:
    ~CControlObserver() = default;
};

// Shift, control, alt and the further modifier bit: any of them makes a modifier click.
inline constexpr CButtonState kModifierBits = 0x78;

class CControl : public CView {
public:
    CControl(const CBounds& size, CControlObserver* listener, std::int32_t tag, CImage* background);
    ~CControl() override;

    void draw(CDrawSurface* surface) override = 0;
    bool isDirty() const override;
    void setDirty(bool flag) override;
    bool isTypeOf(const char* className) const override;

    // Plain store and load: no clamping, no notice; may come from any thread.
    virtual void setValue(float newValue);
    virtual float getValue() const;
    virtual void setMin(float newMin);
    virtual float getMin() const;
    virtual void setMax(float newMax);
    virtual float getMax() const;
    virtual void setLastValue(float newLast);
    virtual float getLastValue() const;
    virtual void setDefaultValue(float newDefault);
    virtual float getDefaultValue() const;
    virtual void setTag(std::int32_t newTag);
    // Bracket every user gesture; the control must be in a frame.
    virtual void beginEdit();
    virtual void endEdit();
    virtual void setBitmapOffset(const CPos& offset);
    virtual void adoptBitmapOffset();
    virtual void setWheelStep(float step);
    virtual float getWheelStep() const;
    virtual void clampValue();
    // Left + control and nothing else: back to the default inside one gesture.
    virtual bool resetOnControlClick(CDrawSurface* surface, CButtonState buttons);

    std::int32_t getTag() const { return tag; }
    CControlObserver* getListener() const { return listener; }
    bool isDoubleClick();

protected:
    enum class PressOrder { ButtonFirst, ModifierFirst, ModifierFirstNoReset };
    // Steps shared by every control's press before its gesture begins: the button state
    // read when unknown, the left button required, the listener's modifier click and
    // the control-click reset, in the given order. False when the press ends there.
    bool acceptPress(CDrawSurface* surface, CButtonState& buttons, PressOrder order = PressOrder::ButtonFirst);
    // After the press that began a gesture: true when the frame now sends this control
    // the pointer's moves and release; false without a surface, where nothing can
    // follow and the gesture ends with the press.
    bool trackPointer(CDrawSurface* surface);
    // A gesture the pointer drives: begun at the press (the edit begun, the pointer
    // tracked; false when it cannot be tracked and must end with the press), followed
    // while it lasts and ended once.
    bool beginDrag(CDrawSurface* surface, CButtonState buttons);
    bool isDragging() const { return dragging; }
    // For drags that end when the buttons or keys differ from the press's: true while
    // the move is to be followed; the drag ends at the first move that differs.
    bool dragFollows(CButtonState buttons);
    void endDrag();
    // Tells the listener when the value moved since it was last drawn.
    void notifyIfDirty(CDrawSurface* surface);
    // The background image into the size from offset, keyed when the view is transparent.
    void drawBackgroundAt(CDrawSurface* surface, const CPos& offset, CImage* image = nullptr);

    CControlObserver* listener;
    std::int32_t tag;
    float lastValue = 1.0f;
    float defaultValue = 0.5f;
    RelaxedAtomic<float> value{0.0f};
    float minValue = 0.0f;
    float maxValue = 1.0f;
    float wheelStep = 0.1f;
    std::int32_t lastClickTicks = -1;
    std::int32_t doubleClickTime;
    CPos bitmapOffset;

private:
    bool dragging = false;
    CButtonState dragButtons = 0;
};
