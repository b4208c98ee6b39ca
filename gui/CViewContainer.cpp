#include "gui/CViewContainer.h"

#include <algorithm>
#include <cstring>

#include "gui/CDrawSurface.h"
#include "gui/CFrame.h"
#include "gui/CImage.h"
#include "gui/COffscreenSurface.h"

namespace {

// Moves a surface's drawing origin by delta and puts it back on destruction.
class SurfaceShift {
public:
    SurfaceShift(CDrawSurface* surface, const CPos& delta)
        : surface(surface), screen(surface ? surface->getScreenOffset() : CPos()),
          offset(surface ? surface->getOffset() : CPos()) {
        if (!surface) return;
        surface->setScreenOffset(CPos(screen.x + delta.x, screen.y + delta.y));
        surface->setOffset(CPos(offset.x + delta.x, offset.y + delta.y));
    }
    ~SurfaceShift() {
        if (!surface) return;
        surface->setScreenOffset(screen);
        surface->setOffset(offset);
    }
    SurfaceShift(const SurfaceShift&) = delete;
    SurfaceShift& operator=(const SurfaceShift&) = delete;

private:
    CDrawSurface* surface;
    CPos screen;
    CPos offset;
};

CBounds bounded(CBounds rect, const CBounds& by) { return rect.bound(by); }

}  // namespace

CViewContainer::CViewContainer(const CBounds& size, CFrame* frame, CImage* background) : CView(size) {
    this->frame = frame;
    if (background) setBackground(background);
}

CViewContainer::~CViewContainer() {
    removeAll(true);
    if (offscreen) offscreen->release();
}

// Children ------------------------------------------------------------------------------

void CViewContainer::addView(CView* view, const CBounds& area, bool enabled) {
    if (!view) return;
    view->setMouseEnabled(enabled);
    view->setMouseArea(area);
    addView(view);
}

void CViewContainer::addView(CView* view) {
    if (!view) return;
    view->setFrame(frame);
    view->setParentView(this);
    Node* node = new Node{view, nullptr, lastChild};
    if (lastChild)
        lastChild->next = node;
    else
        firstChild = node;
    lastChild = node;
    view->onAttached(this);
    view->setDirty(true);
}

void CViewContainer::removeView(CView* view, bool release) {
    if (frame && view && frame->getFocusView() == view) frame->setFocusView(nullptr);
    for (Node* node = firstChild; node; node = node->next) {
        if (node->view != view) continue;
        view->onRemoved(this);
        if (release) view->release();
        if (node->previous)
            node->previous->next = node->next;
        else
            firstChild = node->next;
        if (node->next)
            node->next->previous = node->previous;
        else
            lastChild = node->previous;
        if (dragView == view) dragView = nullptr;
        delete node;
        return;
    }
}

void CViewContainer::removeAll(bool release) {
    Node* node = firstChild;
    firstChild = lastChild = nullptr;
    dragView = nullptr;
    while (node) {
        Node* next = node->next;
        node->view->onRemoved(this);
        if (release) node->view->release();
        delete node;
        node = next;
    }
}

bool CViewContainer::isChild(CView* view) const {
    for (Node* node = firstChild; node; node = node->next)
        if (node->view == view) return true;
    return false;
}

std::int32_t CViewContainer::getViewCount() const {
    std::int32_t count = 0;
    for (Node* node = firstChild; node; node = node->next) ++count;
    return count;
}

CView* CViewContainer::getView(std::int32_t index) const {
    if (index < 0) return nullptr;
    for (Node* node = firstChild; node; node = node->next)
        if (index-- == 0) return node->view;
    return nullptr;
}

// Background ----------------------------------------------------------------------------

void CViewContainer::setBackgroundColor(const CRgb& color) {
    backgroundColor = color;
    setDirty(true);
}

CRgb CViewContainer::getBackgroundColor() const { return backgroundColor; }
void CViewContainer::setBackgroundOffset(const CPos& point) { backgroundOffset = point; }
const CPos& CViewContainer::getBackgroundOffset() const { return backgroundOffset; }

void CViewContainer::drawBackgroundArea(CDrawSurface* surface, const CBounds& rect) {
    if (!surface) return;
    // Whatever no opaque image covers is painted in the container's colour first, whole
    // (not fillRect's inset), so a partly transparent child drawn there again never
    // meets its own last picture.
    if (!transparent) {
        surface->setFillColor(backgroundColor);
        if (!background || !background->isOpaque()) {
            surface->drawRect(rect, kDrawFilled);
        } else {
            const CBounds covered(0, 0, background->getWidth() - backgroundOffset.x,
                                  background->getHeight() - backgroundOffset.y);
            const CBounds right(std::max(rect.left, covered.right), rect.top, rect.right, rect.bottom);
            const CBounds below(rect.left, std::max(rect.top, covered.bottom), std::min(rect.right, covered.right),
                                rect.bottom);
            for (const CBounds& part : {right, below})
                if (part.width() > 0 && part.height() > 0) surface->drawRect(part, kDrawFilled);
        }
    }
    if (background) {
        CBounds savedClip;
        surface->getClipRect(savedClip);
        surface->setClipRect(bounded(rect, savedClip));
        const CBounds whole(0, 0, background->getWidth(), background->getHeight());
        if (transparent)
            background->drawTransparent(surface, whole, backgroundOffset);
        else
            background->draw(surface, whole, backgroundOffset);
        surface->setClipRect(savedClip);
    }
}

void CViewContainer::setUpdateMode(std::int32_t mode) { updateMode = mode; }
std::int32_t CViewContainer::getUpdateMode() const { return updateMode; }

void CViewContainer::setDrawOffscreen(bool flag) {
    drawOffscreen = flag;
    if (!flag && offscreen) {
        offscreen->release();
        offscreen = nullptr;
    }
}

// Drawing -------------------------------------------------------------------------------

CDrawSurface* CViewContainer::beginDraw(CDrawSurface* surface, CPos& savedScreenOffset, CPos& savedOffset) {
    if (drawOffscreen && !offscreen)
        offscreen = new COffscreenSurface(frame, size.width(), size.height(), kColorBlack);
    if (offscreen && transparent) offscreen->copyFrom(surface, size, CPos());
    savedScreenOffset = surface->getScreenOffset();
    savedOffset = surface->getOffset();
    if (drawOffscreen) return offscreen;
    surface->setScreenOffset(CPos(savedScreenOffset.x + size.left, savedScreenOffset.y + size.top));
    surface->setOffset(CPos(savedOffset.x + size.left, savedOffset.y + size.top));
    return surface;
}

void CViewContainer::endDraw(CDrawSurface* surface, const CPos& savedScreenOffset, const CPos& savedOffset) {
    if (drawOffscreen) return;
    surface->setScreenOffset(savedScreenOffset);
    surface->setOffset(savedOffset);
}

CBounds CViewContainer::childClip(CDrawSurface* surface) const {
    CBounds clip;
    surface->getClipRect(clip);
    if (drawOffscreen) {
        // The surface is not shifted: its clip comes back in the parent's coordinates.
        clip.offset(-size.left, -size.top);
        if (static_cast<const CView*>(frame) != this) clip.offset(-clip.left, -clip.top);
    }
    return clip;
}

void CViewContainer::draw(CDrawSurface* surface) {
    if (!surface) return;
    CPos savedScreen, savedOffset;
    CDrawSurface* target = beginDraw(surface, savedScreen, savedOffset);

    const CBounds oldClip = childClip(surface);
    CBounds targetSavedClip;
    target->getClipRect(targetSavedClip);

    const CBounds local(0, 0, size.width(), size.height());
    target->setClipRect(bounded(local, oldClip));
    drawBackgroundArea(target, local);
    for (Node* node = firstChild; node; node = node->next) {
        CBounds childSize;
        node->view->getViewSize(childSize);
        target->setClipRect(bounded(childSize, oldClip));
        node->view->draw(target);
    }
    target->setClipRect(targetSavedClip);
    if (drawOffscreen)
        offscreen->copyTo(surface, size, CPos());
    else
        endDraw(surface, savedScreen, savedOffset);
    setDirty(false);
}

void CViewContainer::drawArea(CDrawSurface* surface, const CBounds& area) {
    if (!surface) return;
    CPos savedScreen, savedOffset;
    CDrawSurface* target = beginDraw(surface, savedScreen, savedOffset);

    const CBounds updateArea = bounded(area, size);
    CBounds localArea = updateArea;
    localArea.offset(-size.left, -size.top);

    const CBounds oldClip = childClip(surface);
    CBounds targetSavedClip;
    target->getClipRect(targetSavedClip);

    const CBounds newClip = bounded(localArea, oldClip);
    target->setClipRect(newClip);
    drawBackgroundArea(target, localArea);

    const bool scrolls = isTypeOf("CScrollContainer");
    for (Node* node = firstChild; node; node = node->next) {
        CView* child = node->view;
        if (!child->overlapsArea(localArea)) continue;
        CBounds childSize;
        child->getViewSize(childSize);
        const CBounds visible = bounded(childSize, newClip);
        if (visible.width() == 0 || visible.height() == 0) continue;
        target->setClipRect(visible);
        const bool wasDirty = child->isDirty();
        child->drawArea(target, localArea);
        // A dirty child drawn only in part keeps its flag so the rest is drawn later.
        if (wasDirty && visible != childSize && !scrolls) child->setDirty(true);
    }
    target->setClipRect(targetSavedClip);
    if (drawOffscreen)
        offscreen->copyTo(surface, updateArea, CPos(localArea.left, localArea.top));
    else
        endDraw(surface, savedScreen, savedOffset);
    if (isDirty() && newClip == size) setDirty(false);
}

bool CViewContainer::isDirty() const {
    if (dirty) return true;
    const CBounds local(0, 0, size.width(), size.height());
    for (Node* node = firstChild; node; node = node->next) {
        if (!node->view->isDirty()) continue;
        CBounds childSize;
        node->view->getViewSize(childSize);
        childSize.bound(local);
        if (childSize.width() > 0 && childSize.height() > 0) return true;
    }
    return false;
}

void CViewContainer::update(CDrawSurface* surface) {
    const CBounds local(0, 0, size.width(), size.height());
    switch (updateMode) {
        case kUpdateWhole:
            if (isDirty()) {
                redrawArea(surface, local);
                setDirty(false);
            }
            break;
        case kUpdateDirtyChildren:
            if (dirty) {
                redrawArea(surface, local);
                setDirty(false);
                break;
            }
            for (Node* node = firstChild; node; node = node->next) {
                CView* child = node->view;
                if (!child->isDirty() || !child->overlapsArea(local)) continue;
                if (child->notify(this, kMsgCheckIfViewContainer) == 1) {
                    child->update(surface);
                } else {
                    CBounds childSize;
                    child->getViewSize(childSize);
                    redrawArea(surface, bounded(childSize, local));
                }
            }
            setDirty(false);
            break;
        default:
            break;
    }
}

void CViewContainer::redrawArea(CDrawSurface* surface, const CBounds& rect) {
    CBounds moved = rect;
    moved.offset(size.left, size.top);
    if (transparent) {
        // What lies behind must be drawn too.
        if (parent)
            parent->redrawArea(surface, moved);
        else if (frame)
            frame->drawArea(surface, moved);
        return;
    }
    if (parent) {
        CPos origin;
        parent->toFrame(origin);
        SurfaceShift shift(surface, origin);
        drawArea(surface, moved);
    } else {
        drawArea(surface, moved);
    }
}

// Input ---------------------------------------------------------------------------------

void CViewContainer::onMouse(CDrawSurface* surface, CPos& where, CButtonState buttons) {
    CPos local(where.x - size.left, where.y - size.top);
    if (buttons == kButtonsUnread && surface) buttons = surface->getButtonState();
    for (Node* node = lastChild; node; node = node->previous) {
        CView* child = node->view;
        if (child->isMouseEnabled() && child->hitTest(local, buttons)) {
            child->onMouse(surface, local, buttons);
            return;
        }
    }
}

bool CViewContainer::onWheel(CDrawSurface* surface, const CPos& where, float distance) {
    CView* target = getViewAt(where, false);
    if (!target) return false;
    SurfaceShift shift(surface, CPos(size.left, size.top));
    const CPos local(where.x - size.left, where.y - size.top);
    return target->onWheel(surface, local, distance);
}

std::int32_t CViewContainer::onKeyDown(CKeyCode& key) {
    for (Node* node = lastChild; node; node = node->previous) {
        const std::int32_t result = node->view->onKeyDown(key);
        if (result != -1) return result;
    }
    return -1;
}

std::int32_t CViewContainer::onKeyUp(CKeyCode& key) {
    for (Node* node = lastChild; node; node = node->previous) {
        const std::int32_t result = node->view->onKeyUp(key);
        if (result != -1) return result;
    }
    return -1;
}

void CViewContainer::loseFocus(CDrawSurface* surface) {
    for (Node* node = firstChild; node; node = node->next) node->view->loseFocus(surface);
}

void CViewContainer::gainFocus(CDrawSurface* surface) {
    for (Node* node = firstChild; node; node = node->next) node->view->gainFocus(surface);
}

CView* CViewContainer::getViewAt(const CPos& where, bool deep) const {
    if (!frame) return nullptr;
    const CPos local(where.x - size.left, where.y - size.top);
    for (Node* node = lastChild; node; node = node->previous) {
        CBounds area;
        node->view->getMouseArea(area);
        if (!area.contains(local)) continue;
        if (deep && node->view->isTypeOf("CViewContainer"))
            return static_cast<CViewContainer*>(node->view)->getViewAt(local, true);
        return node->view;
    }
    return nullptr;
}

CView* CViewContainer::getViewUnderMouse() {
    if (!frame) return nullptr;
    CPos where;
    frame->getCurrentLocation(where);
    toLocal(where);
    for (Node* node = lastChild; node; node = node->previous) {
        CBounds area;
        node->view->getMouseArea(area);
        if (area.contains(where)) return node->view;
    }
    return nullptr;
}

bool CViewContainer::moveFocus(CView* current, bool reverse) {
    bool passed = current == nullptr;
    for (Node* node = reverse ? lastChild : firstChild; node; node = reverse ? node->previous : node->next) {
        CView* child = node->view;
        if (!passed) {
            passed = child == current;
            continue;
        }
        if (child->wantsFocus()) {
            if (frame) frame->setFocusView(child);
            return true;
        }
        if (child->isTypeOf("CViewContainer") && static_cast<CViewContainer*>(child)->moveFocus(nullptr, reverse))
            return true;
    }
    return false;
}

// Drag and drop -------------------------------------------------------------------------

void CViewContainer::onDragEnter(CDrawSurface* surface, CDropData* drop, const CPos& where) {
    if (!frame) return;
    SurfaceShift shift(surface, CPos(size.left, size.top));
    const CPos local(where.x - size.left, where.y - size.top);
    if (dragView) dragView->onDragLeave(surface, drop, local);
    dragView = getViewAt(where, false);
    if (dragView) dragView->onDragEnter(surface, drop, local);
}

void CViewContainer::onDragMove(CDrawSurface* surface, CDropData* drop, const CPos& where) {
    if (!frame) return;
    SurfaceShift shift(surface, CPos(size.left, size.top));
    const CPos local(where.x - size.left, where.y - size.top);
    CView* view = getViewAt(where, false);
    if (view != dragView) {
        if (dragView) dragView->onDragLeave(surface, drop, local);
        if (view) view->onDragEnter(surface, drop, local);
        dragView = view;
    } else if (dragView) {
        dragView->onDragMove(surface, drop, local);
    }
}

void CViewContainer::onDragLeave(CDrawSurface* surface, CDropData* drop, const CPos& where) {
    if (!frame) return;
    SurfaceShift shift(surface, CPos(size.left, size.top));
    const CPos local(where.x - size.left, where.y - size.top);
    if (dragView) dragView->onDragLeave(surface, drop, local);
    dragView = nullptr;
}

bool CViewContainer::onDrop(CDrawSurface* surface, CDropData* drop, const CPos& where) {
    if (!frame) return false;
    SurfaceShift shift(surface, CPos(size.left, size.top));
    const CPos local(where.x - size.left, where.y - size.top);
    CView* view = getViewAt(where, false);
    if (view != dragView) {
        if (dragView) dragView->onDragLeave(surface, drop, local);
        dragView = view;
    }
    bool result = false;
    if (dragView) {
        result = dragView->onDrop(surface, drop, local);
        dragView->onDragLeave(surface, drop, local);
    }
    dragView = nullptr;
    return result;
}

// Geometry and identity -----------------------------------------------------------------

bool CViewContainer::hitTest(const CPos& where, CButtonState buttons) { return CView::hitTest(where, buttons); }

void CViewContainer::setViewSize(const CBounds& rect) {
    CView::setViewSize(rect);
    if (offscreen && drawOffscreen) {
        offscreen->release();
        offscreen = new COffscreenSurface(frame, size.width(), size.height(), kColorBlack);
    }
}

bool CViewContainer::onRemoved(CViewContainer*) {
    if (offscreen) {
        offscreen->release();
        offscreen = nullptr;
    }
    return true;
}

bool CViewContainer::onAttached(CViewContainer*) {
    if (drawOffscreen && !offscreen)
        offscreen = new COffscreenSurface(frame, size.width(), size.height(), kColorBlack);
    return true;
}

CPos& CViewContainer::toLocal(CPos& point) const {
    point.offset(-size.left, -size.top);
    return CView::toLocal(point);
}

CPos& CViewContainer::toFrame(CPos& point) const {
    point.offset(size.left, size.top);
    return CView::toFrame(point);
}

std::int32_t CViewContainer::notify(CView*, const char* message) {
    return message == kMsgCheckIfViewContainer ? 1 : 0;
}

bool CViewContainer::isTypeOf(const char* className) const {
    if (className && std::strcmp(className, "CViewContainer") == 0) return true;
    return CView::isTypeOf(className);
}
