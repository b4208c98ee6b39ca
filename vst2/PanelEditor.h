// The VST 2 editor over the format-neutral panel: the host's rectangle (an ERect in
// pixels), its open, close and idle, its knob mode, the parameter changes the effect
// reports, and the vendor-specific calls (a host's scale, the headless snapshot). Keys
// stay with the host.
#pragma once

#include <cstdint>
#include <memory>

#include "editor/Panel.h"
#include "vst2/EditorBase.h"

class PanelEditor : public EditorBase {
public:
    // effVendorSpecific index and value of a host's scale (the float argument).
    static constexpr std::int32_t kScaleRequest = 0x50726553;       // 'PreS'
    static constexpr std::int32_t kScaleRequestValue = 0x41654373;  // 'AeCs'

    PanelEditor(EditedPlugin* effect, std::unique_ptr<Panel> panel);
    ~PanelEditor() override;

    intptr getRect(ERect** out) override;
    // 1 with the panel in a window inside parent, else 0.
    intptr open(void* parent) override;
    void close() override;
    void idle() override;
    // effSetEditKnobMode: 0 circular, 1 relative circular, 2 linear.
    intptr setKnobMode(int32 mode) override;
    void setParameter(int32 index, float value) override;
    // Answers a host's scale (1 when taken) and kEditorSnapshotRequest (EditorSnapshot.h).
    intptr vendorSpecific(int32 index, intptr value, void* ptr, float opt) override;
    bool hasFocusView() const override;

    Panel& panel() const { return *view; }

private:
    // The host may keep the rectangle getRect gave it: it follows the open panel's size.
    void refreshRect();

    std::unique_ptr<Panel> view;
    ERect rect{};
};
