#include "gui/CFrame.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "gui/CDrawSurface.h"
#include "gui/CDropData.h"
#include "gui/COffscreenSurface.h"
#include "gui/platform/Input.h"
#include "gui/platform/SystemLibraries.h"

namespace {
// Written by any editor's host call, read by knobs; one word, so relaxed is enough.
std::atomic<std::int32_t> knobMode{kKnobCircular};

platform::PointerShape shapeFor(std::int32_t type) {
    switch (type) {
        case kCursorWait: return platform::PointerShape::Wait;
        case kCursorSizeWE: return platform::PointerShape::SizeWE;
        case kCursorSizeNS: return platform::PointerShape::SizeNS;
        case kCursorSizeAll: return platform::PointerShape::SizeAll;
        case kCursorSizeNESW: return platform::PointerShape::SizeNESW;
        case kCursorSizeNWSE: return platform::PointerShape::SizeNWSE;
        case kCursorNotAllowed: return platform::PointerShape::NotAllowed;
        case kCursorHand: return platform::PointerShape::Hand;
        default: return platform::PointerShape::Default;
    }
}
}  // namespace

void CFrame::setKnobModeForAll(std::int32_t mode) { knobMode.store(mode, std::memory_order_relaxed); }

CFrame::CFrame(const CBounds& size, void* parentWindow, FrameEditor* editor, double scale)
    : CViewContainer(size, nullptr, nullptr),
      editor(editor),
      parentWindow(parentWindow),
      scale(scale >= 1.0 && scale <= 2.0 ? scale : 1.0) {
    frame = this;
    platform::beginDropSupport();
    blendLibrary = platform::loadBlendLibrary();
    if (parentWindow) {
        window = platform::createEditorWindow(parentWindow, std::int32_t(std::lround(size.width() * this->scale)),
                                              std::int32_t(std::lround(size.height() * this->scale)), *this);
        if (window) setDropEnabled(true);
    }
}

CFrame::~CFrame() {
    // A drag under way ends with the frame: the host sees its gesture end.
    endPointerTracking();
    if (modalView) removeView(modalView, false);
    setCursor(kCursorDefault);
    setDropEnabled(false);
    if (updateSurface) updateSurface->release();
    updateSurface = nullptr;
    platform::endDropSupport();
    if (backBuffer) backBuffer->release();
    backBuffer = nullptr;
    platform::freeBlendLibrary(blendLibrary);
    // The children go before the window so that nothing they release draws into it.
    removeAll(true);
    window.reset();
}

// Drawing -------------------------------------------------------------------------------

void CFrame::draw(CDrawSurface* surface) {
    firstDraw = false;
    if (!surface) surface = updateSurface;
    CViewContainer::draw(surface);
}

void CFrame::drawArea(CDrawSurface* surface, const CBounds& rect) {
    firstDraw = false;
    CDrawSurface* made = nullptr;
    if (!surface) surface = made = createDrawSurface();
    if (!surface) return;
    CBounds oldClip;
    surface->getClipRect(oldClip);
    CBounds clip = rect;
    surface->setClipRect(clip.bound(oldClip));
    if (rect.width() > 0 && rect.height() > 0) CViewContainer::drawArea(surface, rect);
    surface->setClipRect(oldClip);
    if (made) made->release();
}

void CFrame::idle() {
    if (window) window->handleEvents();
    if (!openFlag || firstDraw || !isDirty()) return;
    CDrawSurface* surface = createDrawSurface();
    update(surface);
    if (surface) surface->release();
}

void CFrame::update(CDrawSurface* surface) {
    if (!openFlag || updatesAreDisabled) return;
    CDrawSurface* saved = updateSurface;
    COffscreenSurface* back = getBackBuffer();
    if (!back) return;
    updateSurface = back;
    // Only what was redrawn goes to the window: one knob is a small copy.
    CBounds changed = size;
    if (dirty) {
        draw(back);
        setDirty(false);
    } else {
        changed = CBounds();
        auto include = [&changed](const CView* view) {
            CBounds area;
            view->getViewSize(area);
            if (area.width() <= 0 || area.height() <= 0) return;
            changed = changed.width() > 0 ? CBounds(std::min(changed.left, area.left), std::min(changed.top, area.top),
                                                    std::max(changed.right, area.right),
                                                    std::max(changed.bottom, area.bottom))
                                          : area;
        };
        CBounds clip;
        back->getClipRect(clip);
        if (modalView && modalView->isDirty()) {
            include(modalView);
            modalView->update(back);
        }
        for (Node* node = firstChild; node; node = node->next) {
            CBounds childClip;
            node->view->getViewSize(childClip);
            back->setClipRect(childClip.bound(clip));
            if (node->view->isDirty()) include(node->view);
            node->view->update(back);
        }
        back->setClipRect(clip);
        changed.bound(size);
    }
    if (surface && changed.width() > 0 && changed.height() > 0)
        back->copyTo(surface, changed, CPos(changed.left, changed.top));
    updateSurface = saved;
}

void CFrame::drawView(CView* view) {
    if (view && !isChild(view)) view = nullptr;
    CDrawSurface* surface = createDrawSurface();
    if (!surface) return;
    if (view)
        view->draw(surface);
    else
        draw(surface);
    surface->release();
}

CDrawSurface* CFrame::createDrawSurface() {
    if (updateSurface) {
        updateSurface->retain();
        return updateSurface;
    }
    return new CDrawSurface(this, nullptr, window.get());
}

COffscreenSurface* CFrame::getBackBuffer() {
    if (!backBuffer) backBuffer = new COffscreenSurface(this, size.width(), size.height(), kColorBlack);
    return backBuffer;
}

void CFrame::invalidate(const CBounds& rect) {
    for (Node* node = firstChild; node; node = node->next) {
        CBounds childSize;
        node->view->getViewSize(childSize);
        if (childSize.overlaps(rect)) node->view->setDirty(true);
    }
}

bool CFrame::setUpdatesDisabled(bool flag) {
    const bool previous = updatesAreDisabled;
    updatesAreDisabled = flag;
    return previous;
}

bool CFrame::updatesDisabled() const { return updatesAreDisabled; }

// Input ---------------------------------------------------------------------------------

void CFrame::onMouse(CDrawSurface* surface, CPos& where, CButtonState buttons) {
    if (!surface) surface = updateSurface;
    if (focusView) setFocusView(nullptr);
    if (buttons == kButtonsUnread && surface) buttons = surface->getButtonState();
    if (modalView) {
        if (modalView->hitTest(where, buttons)) modalView->onMouse(surface, where, buttons);
        return;
    }
    CViewContainer::onMouse(surface, where, buttons);
}

void CFrame::trackPointer(CView* view) { pointerTracker = view; }

void CFrame::endPointerTracking() {
    CPos nowhere;
    onMouseUp(nullptr, nowhere, 0);
}

namespace {
// A frame point in the coordinates of the view's parent, as the press reached it.
CPos inParentOf(const CView* view, CPos where) {
    for (const CViewContainer* container = view->getParentView(); container; container = container->getParentView()) {
        CBounds area;
        container->getViewSize(area);
        where.offset(-area.left, -area.top);
    }
    return where;
}
}  // namespace

void CFrame::onMouseMoved(CDrawSurface* surface, CPos& where, CButtonState buttons) {
    if (!pointerTracker) return;
    CPos local = inParentOf(pointerTracker, where);
    pointerTracker->onMouseMoved(surface, local, buttons);
}

void CFrame::onMouseUp(CDrawSurface* surface, CPos& where, CButtonState buttons) {
    CView* tracker = pointerTracker;
    pointerTracker = nullptr;
    if (!tracker) return;
    CPos local = inParentOf(tracker, where);
    tracker->onMouseUp(surface, local, buttons);
}

bool CFrame::onWheel(CDrawSurface* surface, const CPos& where, float distance) {
    CView* target = modalView ? modalView : getViewAt(where, false);
    if (!target) return false;
    CDrawSurface* made = nullptr;
    if (!surface) surface = made = createDrawSurface();
    const bool result = target->onWheel(surface, where, distance);
    if (made) made->release();
    return result;
}

std::int32_t CFrame::onKeyDown(CKeyCode& key) {
    std::int32_t result = -1;
    if (focusView) result = focusView->onKeyDown(key);
    if (result == -1 && modalView) result = modalView->onKeyDown(key);
    if (result == -1 && key.virt == kVirtualKeyTab)
        result = moveFocus(focusView, (key.modifier & kModifierShift) != 0) ? 1 : -1;
    return result;
}

std::int32_t CFrame::onKeyUp(CKeyCode& key) {
    std::int32_t result = -1;
    if (focusView) result = focusView->onKeyUp(key);
    if (result == -1 && modalView) result = modalView->onKeyUp(key);
    return result;
}

bool CFrame::moveFocus(CView* current, bool reverse) {
    if (modalView) return false;
    if (!current) current = focusView;
    if (!current) return CViewContainer::moveFocus(nullptr, reverse);
    if (isChild(current)) {
        if (CViewContainer::moveFocus(current, reverse)) return true;
        return CViewContainer::moveFocus(nullptr, reverse);
    }
    // Deeper in the tree: each container on the way up advances from its child on the path.
    CView* child = current;
    for (CViewContainer* container = current->getParentView(); container && container != this;
         container = container->getParentView()) {
        if (container->moveFocus(child, reverse)) return true;
        child = container;
    }
    return CViewContainer::moveFocus(current, reverse);
}

bool CFrame::setModalView(CView* view) {
    if (view && modalView) return false;
    if (modalView) removeView(modalView, false);
    modalView = view;
    if (view) addView(view);
    return true;
}

CView* CFrame::getModalView() const { return modalView; }

void CFrame::setFocusView(CView* view) {
    CView* old = focusView;
    focusView = view;
    if (view && view->wantsFocus()) view->setDirty(true);
    if (old) {
        old->loseFocus(nullptr);
        if (old->wantsFocus()) old->setDirty(true);
    }
}

CView* CFrame::getFocusView() const { return focusView; }

// Window and editor ---------------------------------------------------------------------

bool CFrame::open(CPos*) { return false; }
bool CFrame::close() { return false; }
bool CFrame::isOpen() const { return openFlag; }
std::uint32_t CFrame::getTicks() const { return editor ? editor->getTicks() : 0; }
std::int32_t CFrame::getKnobMode() const {
    return preferredKnobMode >= 0 ? preferredKnobMode : knobMode.load(std::memory_order_relaxed);
}
bool CFrame::setPosition(std::int32_t, std::int32_t) { return false; }

bool CFrame::getPosition(std::int32_t& x, std::int32_t& y) const {
    if (!openFlag || !window) return false;
    const CPos where = window->getOuterPosition();
    x = where.x;
    y = where.y;
    return true;
}

bool CFrame::setSize(std::int32_t, std::int32_t) { return false; }
bool CFrame::getSize(CBounds* rect) const { return rect && getSize(*rect); }

bool CFrame::getSize(CBounds& rect) const {
    if (!openFlag || !window) return false;
    rect = window->getParentBounds();
    return true;
}

void CFrame::setViewSize(const CBounds& rect) { setSize(rect.width(), rect.height()); }

void CFrame::beginEdit(std::int32_t index) {
    if (editor) editor->beginEdit(index);
}

void CFrame::endEdit(std::int32_t index) {
    if (editor) editor->endEdit(index);
}

bool CFrame::getCurrentLocation(CPos& out) {
    const CPos screen = platform::getPointerScreenPosition();
    const CPos origin = window ? window->getScreenTopLeft() : CPos();
    out = toPanel(CPos(screen.x - origin.x, screen.y - origin.y));
    return true;
}

void CFrame::setCursor(std::int32_t type) {
    if (window) window->setCursor(shapeFor(type));
}

bool CFrame::setDropEnabled(bool flag) {
    if (!dropEnabled && !flag) return true;
    if (!window) return false;
    window->setDropEnabled(false);
    // A platform without drag and drop refuses; the frame then says so.
    dropEnabled = flag && window->setDropEnabled(true);
    return dropEnabled == flag;
}

bool CFrame::isDropEnabled() const { return dropEnabled; }
void CFrame::setOpenFlag(bool flag) { openFlag = flag; }
bool CFrame::getOpenFlag() const { return openFlag; }

bool CFrame::isTypeOf(const char* className) const {
    if (className && std::strcmp(className, "CFrame") == 0) return true;
    return CViewContainer::isTypeOf(className);
}

// Window events -------------------------------------------------------------------------

CPos CFrame::toPanel(const CPos& where) const {
    if (scale == 1.0) return where;
    return CPos(std::int32_t(std::floor(where.x / scale)), std::int32_t(std::floor(where.y / scale)));
}

CBounds CFrame::toPanel(const CBounds& rect) const {
    if (scale == 1.0) return rect;
    return CBounds(std::int32_t(std::floor(rect.left / scale)), std::int32_t(std::floor(rect.top / scale)),
                   std::int32_t(std::ceil(rect.right / scale)), std::int32_t(std::ceil(rect.bottom / scale)));
}

void CFrame::windowPaint(const CBounds& area, platform::DeviceContext& paintContext) {
    const CBounds rect = toPanel(area);
    COffscreenSurface* back = getBackBuffer();
    CDrawSurface* paint = new CDrawSurface(this, &paintContext, window.get());
    if (back) {
        drawArea(back, rect);
        back->copyTo(paint, rect, CPos(rect.left, rect.top));
    } else {
        drawArea(paint, rect);
    }
    paint->release();
}

void CFrame::windowButtonDown(const CPos& where, const platform::PhysicalButtons& buttons) {
    CDrawSurface* surface = new CDrawSurface(this, nullptr, window.get());
    CPos point = toPanel(where);
    // Another button during a drag changes the drag's buttons; it presses nothing new.
    if (pointerTracker)
        onMouseMoved(surface, point, surface->toButtonState(buttons));
    else
        onMouse(surface, point, surface->toButtonState(buttons));
    surface->release();
}

void CFrame::windowPointerMove(const CPos& where, const platform::PhysicalButtons& buttons) {
    if (!pointerTracker) return;
    CDrawSurface* surface = new CDrawSurface(this, nullptr, window.get());
    CPos point = toPanel(where);
    onMouseMoved(surface, point, surface->toButtonState(buttons));
    surface->release();
}

void CFrame::windowButtonUp(const CPos& where, const platform::PhysicalButtons& buttons) {
    if (!pointerTracker) return;
    CDrawSurface* surface = new CDrawSurface(this, nullptr, window.get());
    CPos point = toPanel(where);
    onMouseUp(surface, point, surface->toButtonState(buttons));
    surface->release();
}

void CFrame::windowWheel(const CPos& where, float distance) {
    CDrawSurface* surface = new CDrawSurface(this, nullptr, window.get());
    onWheel(surface, toPanel(where), distance);
    surface->release();
}

void CFrame::windowDestroyed() {
    setOpenFlag(false);
    parentWindow = nullptr;
}

namespace {
// A surface and the pointer in frame coordinates for one drag event.
struct DragEvent {
    explicit DragEvent(CFrame& frame) : surface(frame.createDrawSurface()) { frame.getPointerPosition(surface, where); }
    ~DragEvent() { surface->release(); }
    DragEvent(const DragEvent&) = delete;
    DragEvent& operator=(const DragEvent&) = delete;
    CDrawSurface* surface;
    CPos where;
};
}  // namespace

void CFrame::windowDragEnter(CDropData* drop) {
    DragEvent event(*this);
    onDragEnter(event.surface, drop, event.where);
}

void CFrame::windowDragMove(CDropData* drop) {
    DragEvent event(*this);
    onDragMove(event.surface, drop, event.where);
}

void CFrame::windowDragLeave(CDropData* drop) {
    DragEvent event(*this);
    onDragLeave(event.surface, drop, event.where);
}

void CFrame::windowDrop(CDropData* drop) {
    DragEvent event(*this);
    onDrop(event.surface, drop, event.where);
}
