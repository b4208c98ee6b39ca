#include "editor/GuiEditorBase.h"

#include "editor/EditorSnapshot.h"
#include "gui/CFrame.h"
#include "gui/COffscreenSurface.h"
#include "gui/platform/Clock.h"
#include "gui/platform/PixelReadback.h"
#include "gui/platform/Window.h"

void Panel::setKnobMode(KnobMode mode) {
    switch (mode) {
        case KnobMode::Circular: CFrame::setKnobModeForAll(kKnobCircular); break;
        case KnobMode::RelativeCircular: CFrame::setKnobModeForAll(kKnobRelativeCircular); break;
        case KnobMode::Linear: CFrame::setKnobModeForAll(kKnobLinear); break;
    }
}

GuiEditorBase::GuiEditorBase(EditedPlugin* effect) : effect(effect) { platform::beginDropSupport(); }

GuiEditorBase::~GuiEditorBase() { platform::endDropSupport(); }

bool GuiEditorBase::open(void* parent) {
    requestUpdate();
    systemWindow = parent;
    return false;
}

void* GuiEditorBase::window() const {
    return frame && frame->getWindow() ? frame->getWindow()->nativeHandle() : nullptr;
}

void GuiEditorBase::idle() {
    if (updatePending.exchange(0, std::memory_order_relaxed) != 0) update();
    if (frame) frame->idle();
}

void GuiEditorBase::parameterChanged(std::int32_t, float) { requestUpdate(); }

int GuiEditorBase::eventDescriptor() const {
    return frame && frame->getWindow() ? frame->getWindow()->eventDescriptor() : -1;
}

void GuiEditorBase::processEvents() { idle(); }

bool GuiEditorBase::hasFocus() const { return frame && frame->getFocusView(); }

bool GuiEditorBase::drawSnapshot(EditorSnapshot& snapshot) {
    // The size as it stands: a snapshot does not ask the desktop.
    const std::int32_t w = panelWidth;
    const std::int32_t h = panelHeight;
    if (w <= 0 || h <= 0) return false;
    if (!snapshot.pixels) {
        snapshot.width = w;
        snapshot.height = h;
        return true;
    }
    if (snapshot.width != w || snapshot.height != h || frame) return false;
    open(nullptr);
    bool read = false;
    if (frame && !frame->getWindow()) {
        COffscreenSurface* back = frame->getBackBuffer();
        frame->draw(back);
        read = back->getDeviceContext() && platform::readPixels(*back->getDeviceContext(), w, h, snapshot.pixels);
    }
    close();
    return read;
}

void GuiEditorBase::beginEdit(std::int32_t index) {
    if (effect) effect->beginEdit(index);
}

void GuiEditorBase::endEdit(std::int32_t index) {
    if (effect) effect->endEdit(index);
}

std::uint32_t GuiEditorBase::getTicks() { return platform::getTicks(); }
