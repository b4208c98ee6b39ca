// The editor the plug-in shows until its panel exists: one bar per parameter on a plain
// background, in a frame of the panel's size.
#pragma once

#include "editor/GuiEditorBase.h"
#include "plugin/vst2.h"

class ParameterBar;

class StandInEditor : public GuiEditorBase {
public:
    static constexpr std::int32_t kWidth = 800;
    static constexpr std::int32_t kHeight = 212;
    static constexpr std::int32_t kBars = 9;

    explicit StandInEditor(EffectBaseExt* effect);
    ~StandInEditor() override;

    // 1 with a window inside parent. Without a parent the frame draws only into memory
    // (snapshots) and the answer is 0; with a parent that cannot take a window, no frame.
    intptr open(void* parent) override;
    void close() override;
    void update() override;

private:
    void build(void* parent);

    ParameterBar* bars[kBars] = {};
};
