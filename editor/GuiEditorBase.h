// The panel base with a frame and a window: hands the window's events to the frame at
// idle or when the host sees them waiting, keeps the knob mode, brings the controls up to
// the host's changes at idle, and turns the frame's gesture notices into the plug-in's
// begin and end of edit.
#pragma once

#include <atomic>
#include <cstdint>

#include "common/EditedPlugin.h"
#include "editor/Panel.h"
#include "gui/FrameEditor.h"

class CFrame;

class GuiEditorBase : public Panel, public FrameEditor {
public:
    explicit GuiEditorBase(EditedPlugin* effect);
    ~GuiEditorBase() override;

    GuiEditorBase(const GuiEditorBase&) = delete;
    GuiEditorBase& operator=(const GuiEditorBase&) = delete;

    // Remembers the parent; the derived panel builds its frame there.
    bool open(void* parent) override;
    void close() override {}
    void* window() const override;
    std::int32_t width() override { return panelWidth; }
    std::int32_t height() override { return panelHeight; }
    void idle() override;
    bool setHostScale(double) override { return false; }
    void parameterChanged(std::int32_t index, float value) override;
    int eventDescriptor() const override;
    void processEvents() override;
    bool hasFocus() const override;
    // The derived panel's open without a parent builds a frame that draws only into
    // memory; it is drawn whole, read back and closed again.
    bool drawSnapshot(EditorSnapshot& snapshot) override;

    // Marks the controls for refreshing at the next idle; any thread.
    void requestUpdate() { updatePending.store(1, std::memory_order_relaxed); }
    void beginEdit(std::int32_t index) override;
    void endEdit(std::int32_t index) override;
    std::uint32_t getTicks() override;
    CFrame* getFrame() const { return frame; }
    EditedPlugin* getEffect() const { return effect; }

protected:
    // Brings the controls up to the plug-in's values.
    virtual void update() {}

    EditedPlugin* effect;
    void* systemWindow = nullptr;
    CFrame* frame = nullptr;
    std::int32_t panelWidth = 0;
    std::int32_t panelHeight = 0;

private:
    // Set from any thread (parameter changes), cleared on the user-interface thread.
    std::atomic<std::int32_t> updatePending{0};
};
