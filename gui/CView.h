// A rectangle of the editor panel that draws itself, takes the mouse, keys and the
// focus, and can be marked dirty for the next idle redraw.
#pragma once

#include <cstdint>

#include "gui/CGeometry.h"
#include "gui/CKeyCode.h"
#include "gui/CRefObject.h"
#include "gui/MouseButtons.h"

class CDrawSurface;
class CDropData;
class CFrame;
class CImage;
class CViewContainer;
class FrameEditor;

// Shared message object: containers answer notify() with 1 only for this very address.
extern const char* const kMsgCheckIfViewContainer;

class CView : public CRefObject {
public:
    explicit CView(const CBounds& size);
    ~CView() override;

    virtual void draw(CDrawSurface* surface);
    virtual void drawArea(CDrawSurface* surface, const CBounds& area);
    virtual bool overlapsArea(const CBounds& area) const;
    virtual void onMouse(CDrawSurface* surface, CPos& where, CButtonState buttons);
    // A drag the view took on with CFrame::trackPointer goes on with these events until
    // the button is let go (or the frame ends it, buttons 0).
    virtual void onMouseMoved(CDrawSurface* surface, CPos& where, CButtonState buttons);
    virtual void onMouseUp(CDrawSurface* surface, CPos& where, CButtonState buttons);
    virtual void setBackground(CImage* image);
    virtual CImage* getBackground() const;
    virtual std::int32_t onKeyDown(CKeyCode& key);
    virtual std::int32_t onKeyUp(CKeyCode& key);
    virtual bool onWheel(CDrawSurface* surface, const CPos& where, float distance);
    virtual bool onDrop(CDrawSurface* surface, CDropData* drop, const CPos& where);
    virtual void onDragEnter(CDrawSurface* surface, CDropData* drop, const CPos& where);
    virtual void onDragLeave(CDrawSurface* surface, CDropData* drop, const CPos& where);
    virtual void onDragMove(CDrawSurface* surface, CDropData* drop, const CPos& where);
    virtual void loseFocus(CDrawSurface* surface);
    virtual void gainFocus(CDrawSurface* surface);
    virtual bool isDirty() const;
    virtual void setDirty(bool flag);
    virtual void setMouseEnabled(bool flag);
    virtual bool isMouseEnabled() const;
    virtual void setMouseArea(const CBounds& rect);
    virtual void getMouseArea(CBounds& out) const;
    virtual bool hitTest(const CPos& where, CButtonState buttons);
    virtual void setTransparent(bool flag);
    virtual bool isTransparent() const;
    virtual void setViewSize(const CBounds& rect);
    virtual void getViewSize(CBounds& out) const;
    virtual bool onRemoved(CViewContainer* parent);
    virtual bool onAttached(CViewContainer* parent);
    // In the parent's coordinates, the system of the view's size.
    virtual void getPointerPosition(CDrawSurface* surface, CPos& out);
    virtual CPos& toLocal(CPos& point) const;
    virtual CPos& toFrame(CPos& point) const;
    virtual FrameEditor* getEditor() const;
    virtual std::int32_t notify(CView* sender, const char* message);
    virtual void redrawArea(CDrawSurface* surface, const CBounds& rect);
    virtual bool wantsFocus() const;
    virtual void setWantsFocus(bool flag);
    virtual bool isTypeOf(const char* className) const;
    virtual void update(CDrawSurface* surface);

    // Draws the view at once through the frame.
    void redraw();
    CFrame* getFrame() const { return frame; }
    CViewContainer* getParentView() const { return parent; }

    // Set by the container that adopts the view.
    void setFrame(CFrame* newFrame) { frame = newFrame; }
    void setParentView(CViewContainer* newParent) { parent = newParent; }

protected:
    CBounds size;
    CBounds mouseArea;
    CFrame* frame = nullptr;
    CViewContainer* parent = nullptr;
    bool dirty = false;
    bool mouseEnabled = true;
    bool transparent = false;
    bool focusable = false;
    CImage* background = nullptr;
};
