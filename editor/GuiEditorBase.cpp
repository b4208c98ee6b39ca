#include "editor/GuiEditorBase.h"

#include "editor/EditorSnapshot.h"
#include "gui/CDrawSurface.h"
#include "gui/CFrame.h"
#include "gui/COffscreenSurface.h"
#include "gui/platform/Clock.h"
#include "gui/platform/PixelReadback.h"
#include "gui/platform/Window.h"

namespace {
CKeyCode toKeyCode(const VstKeyCode& key) {
    CKeyCode code;
    code.character = key.character;
    code.virt = key.virt;
    code.modifier = key.modifier;
    return code;
}
}  // namespace

GuiEditorBase::GuiEditorBase(EditedPlugin* effect) : EditorBase(effect) {
    systemWindow = nullptr;
    platform::beginDropSupport();
}

GuiEditorBase::~GuiEditorBase() { platform::endDropSupport(); }

intptr GuiEditorBase::getRect(ERect** out) {
    if (!out) return 0;
    *out = &rect;
    return 1;
}

intptr GuiEditorBase::open(void* window) {
    requestUpdate();
    EditorBase::open(window);
    return 0;
}

void GuiEditorBase::idle() {
    EditorBase::idle();
    if (frame) frame->idle();
}

intptr GuiEditorBase::onKeyDown(VstKeyCode& key) {
    if (!frame) return -1;
    CKeyCode code = toKeyCode(key);
    return frame->onKeyDown(code);
}

intptr GuiEditorBase::onKeyUp(VstKeyCode& key) {
    if (!frame) return -1;
    CKeyCode code = toKeyCode(key);
    return frame->onKeyUp(code);
}

intptr GuiEditorBase::setKnobMode(int32 mode) {
    CFrame::setKnobModeForAll(mode);
    return 1;
}

bool GuiEditorBase::onWheel(float distance) {
    if (!frame) return false;
    CDrawSurface* surface = new CDrawSurface(frame, nullptr, frame->getWindow());
    CPos where;
    surface->getPointerPosition(where);
    const bool result = frame->onWheel(surface, where, distance);
    surface->release();
    return result;
}

void GuiEditorBase::setParameter(int32, float) { requestUpdate(); }

bool GuiEditorBase::hasFocusView() const { return frame && frame->getFocusView(); }

intptr GuiEditorBase::vendorSpecific(int32 index, intptr, void* ptr, float) {
    if (index != kEditorSnapshotRequest || !ptr) return 0;
    return drawSnapshot(*static_cast<EditorSnapshot*>(ptr)) ? 1 : 0;
}

bool GuiEditorBase::drawSnapshot(EditorSnapshot& snapshot) {
    const std::int32_t width = rect.right - rect.left;
    const std::int32_t height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    if (!snapshot.pixels) {
        snapshot.width = width;
        snapshot.height = height;
        return true;
    }
    if (snapshot.width != width || snapshot.height != height || frame) return false;
    open(nullptr);
    bool read = false;
    if (frame && !frame->getWindow()) {
        COffscreenSurface* back = frame->getBackBuffer();
        frame->draw(back);
        read = back->getDeviceContext() && platform::readPixels(*back->getDeviceContext(), width, height, snapshot.pixels);
    }
    close();
    return read;
}

void GuiEditorBase::draw(ERect* area) {
    if (!frame) return;
    if (!area) {
        frame->drawView(nullptr);
        return;
    }
    CDrawSurface* surface = new CDrawSurface(frame, nullptr, frame->getWindow());
    frame->drawArea(surface, CBounds(area->left, area->top, area->right, area->bottom));
    surface->release();
}

void GuiEditorBase::beginEdit(std::int32_t index) {
    if (effect) effect->beginEdit(index);
}

void GuiEditorBase::endEdit(std::int32_t index) {
    if (effect) effect->endEdit(index);
}

std::uint32_t GuiEditorBase::getTicks() { return platform::getTicks(); }
