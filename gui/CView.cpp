#include "gui/CView.h"

#include <cstring>

#include "gui/CDrawSurface.h"
#include "gui/CFrame.h"
#include "gui/CImage.h"
#include "gui/CViewContainer.h"

const char* const kMsgCheckIfViewContainer = "kMsgCheckIfViewContainer";

CView::CView(const CBounds& size) : size(size), mouseArea(size) {}

CView::~CView() {
    if (background) background->release();
}

void CView::draw(CDrawSurface* surface) {
    if (background) {
        if (transparent)
            background->drawTransparent(surface, size, CPos());
        else
            background->draw(surface, size, CPos());
    }
    setDirty(false);
}

void CView::drawArea(CDrawSurface* surface, const CBounds&) { draw(surface); }

bool CView::overlapsArea(const CBounds& area) const { return area.overlaps(size); }

void CView::onMouse(CDrawSurface*, CPos&, CButtonState) {}
void CView::onMouseMoved(CDrawSurface*, CPos&, CButtonState) {}
void CView::onMouseUp(CDrawSurface*, CPos&, CButtonState) {}

void CView::setBackground(CImage* image) {
    if (background) background->release();
    background = image;
    if (background) background->retain();
    setDirty(true);
}

CImage* CView::getBackground() const { return background; }
std::int32_t CView::onKeyDown(CKeyCode&) { return -1; }
std::int32_t CView::onKeyUp(CKeyCode&) { return -1; }
bool CView::onWheel(CDrawSurface*, const CPos&, float) { return false; }
bool CView::onDrop(CDrawSurface*, CDropData*, const CPos&) { return false; }
void CView::onDragEnter(CDrawSurface*, CDropData*, const CPos&) {}
void CView::onDragLeave(CDrawSurface*, CDropData*, const CPos&) {}
void CView::onDragMove(CDrawSurface*, CDropData*, const CPos&) {}
void CView::loseFocus(CDrawSurface*) {}
void CView::gainFocus(CDrawSurface*) {}
bool CView::isDirty() const { return dirty; }
void CView::setDirty(bool flag) { dirty = flag; }
void CView::setMouseEnabled(bool flag) { mouseEnabled = flag; }
bool CView::isMouseEnabled() const { return mouseEnabled; }
void CView::setMouseArea(const CBounds& rect) { mouseArea = rect; }
void CView::getMouseArea(CBounds& out) const { out = mouseArea; }
bool CView::hitTest(const CPos& where, CButtonState) { return mouseArea.contains(where); }
void CView::setTransparent(bool flag) { transparent = flag; }
bool CView::isTransparent() const { return transparent; }

void CView::setViewSize(const CBounds& rect) {
    size = rect;
    setDirty(true);
}

void CView::getViewSize(CBounds& out) const { out = size; }
bool CView::onRemoved(CViewContainer*) { return true; }
bool CView::onAttached(CViewContainer*) { return true; }

void CView::getPointerPosition(CDrawSurface* surface, CPos& out) {
    if (!surface) return;
    if (parent && parent->notify(this, kMsgCheckIfViewContainer) == 1) {
        CBounds parentSize;
        parent->getViewSize(parentSize);
        const CPos savedScreen = surface->getScreenOffset();
        const CPos savedOffset = surface->getOffset();
        surface->setScreenOffset(CPos(savedScreen.x + parentSize.left, savedScreen.y + parentSize.top));
        surface->setOffset(CPos(savedOffset.x + parentSize.left, savedOffset.y + parentSize.top));
        parent->getPointerPosition(surface, out);
        surface->setScreenOffset(savedScreen);
        surface->setOffset(savedOffset);
    } else {
        surface->getPointerPosition(out);
    }
}

CPos& CView::toLocal(CPos& point) const {
    if (parent && parent->isTypeOf("CViewContainer")) return parent->toLocal(point);
    return point;
}

CPos& CView::toFrame(CPos& point) const {
    if (parent && parent->isTypeOf("CViewContainer")) return parent->toFrame(point);
    return point;
}

FrameEditor* CView::getEditor() const { return frame ? frame->getEditor() : nullptr; }

std::int32_t CView::notify(CView*, const char*) { return 0; }

void CView::redrawArea(CDrawSurface* surface, const CBounds& rect) {
    if (parent)
        parent->redrawArea(surface, rect);
    else if (frame)
        frame->drawArea(surface, rect);
}

bool CView::wantsFocus() const { return focusable; }
void CView::setWantsFocus(bool flag) { focusable = flag; }

bool CView::isTypeOf(const char* className) const { return className && std::strcmp(className, "CView") == 0; }

void CView::update(CDrawSurface* surface) {
    if (isDirty()) {
        if (surface)
            redrawArea(surface, size);
        else
            redraw();
        setDirty(false);
    }
}

void CView::redraw() {
    if (frame) frame->drawView(this);
}
