#include "editor/StandInEditor.h"

#include "editor/ParameterBar.h"
#include "gui/CFrame.h"
#include "plugin/EffectBaseExt.h"

namespace {
constexpr CRgb kPanelColor{24, 26, 30};
constexpr std::int32_t kMargin = 16;
constexpr std::int32_t kBarHeight = 18;
constexpr std::int32_t kGap = 3;
}  // namespace

StandInEditor::StandInEditor(EffectBaseExt* effect) : GuiEditorBase(effect) {
    rect.top = 0;
    rect.left = 0;
    rect.bottom = kHeight;
    rect.right = kWidth;
}

StandInEditor::~StandInEditor() { close(); }

void StandInEditor::build(void* parent) {
    frame = new CFrame(CBounds(0, 0, kWidth, kHeight), parent, this);
    frame->setBackgroundColor(kPanelColor);
    for (std::int32_t i = 0; i < kBars; ++i) {
        const std::int32_t top = kMargin + i * (kBarHeight + kGap);
        bars[i] = new ParameterBar(CBounds(kMargin, top, kWidth - kMargin, top + kBarHeight), effect, i);
        frame->addView(bars[i]);
    }
}

intptr StandInEditor::open(void* parent) {
    close();  // a second open without a close replaces the first window
    GuiEditorBase::open(parent);
    build(parent);
    if (!parent) return 0;
    if (!frame->getWindow()) {
        close();
        return 0;
    }
    return 1;
}

void StandInEditor::close() {
    if (frame) frame->release();
    frame = nullptr;
    for (ParameterBar*& bar : bars) bar = nullptr;
}

void StandInEditor::update() {
    for (ParameterBar* bar : bars)
        if (bar) bar->refresh();
}
