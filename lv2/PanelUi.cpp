#include "lv2/PanelUi.h"

#include <cmath>

#include "dsp/ParameterModel.h"
#include "plugin/PluginDescription.h"
#include "editor/FilterEditor.h"
#include "gui/platform/DesktopScale.h"

PanelUi::PanelUi(std::int32_t oversampleFactor, LV2UI_Write_Function writeFunction,
                 LV2UI_Controller hostController, const LV2UI_Touch* touchFeature,
                 const LV2UI_Resize* resizeFeature, float hostScale)
    : factor(oversampleFactor),
      write(writeFunction),
      controller(hostController),
      touch(touchFeature),
      resize(resizeFeature) {
    // The ports' defaults until the host reports their values.
    for (std::int32_t i = 0; i < kNumParams; ++i) values[i] = parameterDescription(i).defaultValue;
    editor = std::make_unique<FilterEditor>(this);
    if (hostScale > 0.0f) editor->setHostScale(double(hostScale));
}

PanelUi::~PanelUi() = default;

void* PanelUi::open(void* parent) { return editor->open(parent) ? editor->window() : nullptr; }

void PanelUi::portEvent(std::uint32_t port, float value) {
    if (port >= kNumParams || !std::isfinite(value)) return;
    values[port] = value;
    editor->parameterChanged(std::int32_t(port), value);
}

void PanelUi::idle() { editor->idle(); }

std::int32_t PanelUi::width() const { return editor->width(); }

std::int32_t PanelUi::height() const { return editor->height(); }

float PanelUi::getParameter(std::int32_t index) {
    return ParameterModel::isValidIndex(index) ? values[index] : 0.0f;
}

void PanelUi::setParameterAndNotify(std::int32_t index, float value) {
    if (!ParameterModel::isValidIndex(index) || !std::isfinite(value)) return;
    values[index] = value;
    write(controller, std::uint32_t(index), sizeof value, 0, &value);
    editor->parameterChanged(index, value);
}

// The splash's tag is no port: only parameters are touched.
void PanelUi::beginEdit(std::int32_t index) {
    if (touch && ParameterModel::isValidIndex(index)) touch->touch(touch->handle, std::uint32_t(index), true);
}

void PanelUi::endEdit(std::int32_t index) {
    if (touch && ParameterModel::isValidIndex(index)) touch->touch(touch->handle, std::uint32_t(index), false);
}

// The panel draws in device pixels; a host whose toolkit scales its own windows takes
// the size in its units.
bool PanelUi::resizeWindow(std::int32_t width, std::int32_t height) {
    const double units = platform::hostWindowScale();
    return resize && resize->ui_resize(resize->handle, int(std::lround(width / units)),
                                       int(std::lround(height / units))) == 0;
}
