#include "vst2/EditorBase.h"

intptr EditorBase::getRect(ERect** out) {
    if (out) *out = nullptr;
    return 0;
}

intptr EditorBase::open(void* window) {
    systemWindow = window;
    return 0;
}

void EditorBase::idle() {
    if (updatePending.exchange(0, std::memory_order_relaxed) != 0) update();
}

intptr EditorBase::onKeyDown(VstKeyCode&) { return -1; }
intptr EditorBase::onKeyUp(VstKeyCode&) { return -1; }
intptr EditorBase::setKnobMode(int32) { return 0; }
bool EditorBase::onWheel(float) { return false; }
