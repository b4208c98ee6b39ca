#include "vst2/PanelEditor.h"

#include <cmath>

#include "editor/EditorSnapshot.h"

PanelEditor::PanelEditor(EditedPlugin* effect, std::unique_ptr<Panel> panel)
    : EditorBase(effect), view(std::move(panel)) {}

PanelEditor::~PanelEditor() { view->close(); }

void PanelEditor::refreshRect() {
    rect.top = 0;
    rect.left = 0;
    rect.right = std::int16_t(view->width());
    rect.bottom = std::int16_t(view->height());
}

intptr PanelEditor::getRect(ERect** out) {
    if (!out) return 0;
    refreshRect();
    *out = &rect;
    return 1;
}

intptr PanelEditor::open(void* parent) {
    EditorBase::open(parent);
    const bool opened = view->open(parent);
    if (opened) refreshRect();
    return opened ? 1 : 0;
}

void PanelEditor::close() { view->close(); }

void PanelEditor::idle() { view->idle(); }

intptr PanelEditor::setKnobMode(int32 mode) {
    switch (mode) {
        case 1: Panel::setKnobMode(KnobMode::RelativeCircular); break;
        case 2: Panel::setKnobMode(KnobMode::Linear); break;
        default: Panel::setKnobMode(KnobMode::Circular); break;
    }
    return 1;
}

void PanelEditor::setParameter(int32 index, float value) { view->parameterChanged(index, value); }

intptr PanelEditor::vendorSpecific(int32 index, intptr value, void* ptr, float opt) {
    if (index == kScaleRequest && value == kScaleRequestValue) {
        if (!std::isfinite(opt) || !view->setHostScale(double(opt))) return 0;
        if (view->window()) refreshRect();
        return 1;
    }
    if (index == kEditorSnapshotRequest && ptr) return view->drawSnapshot(*static_cast<EditorSnapshot*>(ptr)) ? 1 : 0;
    return 0;
}

bool PanelEditor::hasFocusView() const { return view->hasFocus(); }
