// One LV2 UI instance: the plug-in's panel over the host's port interface. A gesture on
// the panel becomes a touch notice and writes to the control port of its parameter; port
// events from the host show on the panel at its next idle.
#pragma once

#include <cstdint>
#include <memory>

#include <lv2/ui/ui.h>

#include "common/EditedPlugin.h"
#include "dsp/Parameters.h"

class FilterEditor;

class PanelUi final : public EditedPlugin {
public:
    // touch and resize are null when the host offers none; hostScale is 0 when it sent none.
    PanelUi(std::int32_t oversampleFactor, LV2UI_Write_Function write, LV2UI_Controller controller,
            const LV2UI_Touch* touch, const LV2UI_Resize* resize, float hostScale);
    ~PanelUi();

    // The panel's window inside parent (an X window), or null when none can be made there.
    void* open(void* parent);
    void portEvent(std::uint32_t port, float value);
    void idle();
    std::int32_t width() const;
    std::int32_t height() const;

    float getParameter(std::int32_t index) override;
    void setParameterAndNotify(std::int32_t index, float value) override;
    void beginEdit(std::int32_t index) override;
    void endEdit(std::int32_t index) override;
    std::int32_t oversampleFactor() const override { return factor; }
    bool resizeWindow(std::int32_t width, std::int32_t height) override;

private:
    const std::int32_t factor;
    const LV2UI_Write_Function write;
    const LV2UI_Controller controller;
    const LV2UI_Touch* const touch;
    const LV2UI_Resize* const resize;
    // The control ports' values as the host last reported them or the panel wrote them.
    float values[kNumParams];
    std::unique_ptr<FilterEditor> editor;
};
