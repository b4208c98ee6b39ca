// A view holding an ordered list of child views over a background image or colour.
// Children draw first to last and take input last to first.
#pragma once

#include "gui/CColor.h"
#include "gui/CView.h"

class COffscreenSurface;

enum : std::int32_t { kUpdateWhole = 0, kUpdateDirtyChildren = 1 };

class CViewContainer : public CView {
public:
    CViewContainer(const CBounds& size, CFrame* frame, CImage* background = nullptr);
    ~CViewContainer() override;

    void draw(CDrawSurface* surface) override;
    void drawArea(CDrawSurface* surface, const CBounds& area) override;
    void onMouse(CDrawSurface* surface, CPos& where, CButtonState buttons) override;
    std::int32_t onKeyDown(CKeyCode& key) override;
    std::int32_t onKeyUp(CKeyCode& key) override;
    bool onWheel(CDrawSurface* surface, const CPos& where, float distance) override;
    bool onDrop(CDrawSurface* surface, CDropData* drop, const CPos& where) override;
    void onDragEnter(CDrawSurface* surface, CDropData* drop, const CPos& where) override;
    void onDragLeave(CDrawSurface* surface, CDropData* drop, const CPos& where) override;
    void onDragMove(CDrawSurface* surface, CDropData* drop, const CPos& where) override;
    void loseFocus(CDrawSurface* surface) override;
    void gainFocus(CDrawSurface* surface) override;
    bool isDirty() const override;
    bool hitTest(const CPos& where, CButtonState buttons) override;
    void setViewSize(const CBounds& rect) override;
    bool onRemoved(CViewContainer* parent) override;
    bool onAttached(CViewContainer* parent) override;
    CPos& toLocal(CPos& point) const override;
    CPos& toFrame(CPos& point) const override;
    std::int32_t notify(CView* sender, const char* message) override;
    void redrawArea(CDrawSurface* surface, const CBounds& rect) override;
    bool isTypeOf(const char* className) const override;
    void update(CDrawSurface* surface) override;

    virtual void addView(CView* view, const CBounds& mouseArea, bool mouseEnabled);
    // Adopts the caller's reference.
    virtual void addView(CView* view);
    virtual void removeView(CView* view, bool release = true);
    virtual void removeAll(bool release = true);
    virtual bool isChild(CView* view) const;
    virtual std::int32_t getViewCount() const;
    virtual CView* getView(std::int32_t index) const;
    virtual void setBackgroundColor(const CRgb& color);
    virtual CRgb getBackgroundColor() const;
    virtual void setBackgroundOffset(const CPos& point);
    virtual const CPos& getBackgroundOffset() const;
    virtual void drawBackgroundArea(CDrawSurface* surface, const CBounds& rect);
    virtual void setUpdateMode(std::int32_t mode);
    virtual std::int32_t getUpdateMode() const;
    virtual void setDrawOffscreen(bool flag);
    virtual CView* getViewUnderMouse();
    virtual CView* getViewAt(const CPos& where, bool deep = false) const;
    virtual bool moveFocus(CView* current, bool reverse);

protected:
    struct Node {
        CView* view;
        Node* next;
        Node* previous;
    };

    Node* firstChild = nullptr;
    Node* lastChild = nullptr;
    std::int32_t updateMode = kUpdateDirtyChildren;
    COffscreenSurface* offscreen = nullptr;
    CRgb backgroundColor = kColorBlack;
    CPos backgroundOffset;
    bool drawOffscreen = false;
    CView* dragView = nullptr;

private:
    // Offscreen and shifted-surface handling shared by the whole and the partial draw.
    CDrawSurface* beginDraw(CDrawSurface* surface, CPos& savedScreenOffset, CPos& savedOffset);
    void endDraw(CDrawSurface* surface, const CPos& savedScreenOffset, const CPos& savedOffset);
    // The surface's clip in the coordinates the children are drawn in.
    CBounds childClip(CDrawSurface* surface) const;
};
