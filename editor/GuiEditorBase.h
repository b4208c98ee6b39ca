// The editor base with a frame and a window: forwards keys and the wheel to the frame,
// keeps the knob mode, hands the window's events to the frame at idle, and turns the
// frame's gesture notices into the plug-in's begin and end of edit.
#pragma once

#include <cstdint>

#include "gui/FrameEditor.h"
#include "vst2/EditorBase.h"

class CFrame;

class GuiEditorBase : public EditorBase, public FrameEditor {
public:
    explicit GuiEditorBase(EditedPlugin* effect);
    ~GuiEditorBase() override;

    intptr getRect(ERect** out) override;
    intptr open(void* window) override;
    void close() override {}
    void idle() override;
    void update() override {}
    intptr onKeyDown(VstKeyCode& key) override;
    intptr onKeyUp(VstKeyCode& key) override;
    intptr setKnobMode(int32 mode) override;
    bool onWheel(float distance) override;
    void setParameter(int32 index, float value) override;
    bool hasFocusView() const override;
    // Answers kEditorSnapshotRequest (EditorSnapshot.h) while the editor is closed.
    intptr vendorSpecific(int32 index, intptr value, void* ptr, float opt) override;

    // The given rectangle of the frame, or the whole frame without one, drawn at once.
    virtual void draw(ERect* rect);
    void beginEdit(std::int32_t index) override;
    void endEdit(std::int32_t index) override;

    std::uint32_t getTicks() override;
    CFrame* getFrame() const { return frame; }

private:
    // The derived editor's open without a parent window builds a frame that draws only
    // into memory; it is drawn whole, read back and closed again.
    bool drawSnapshot(struct EditorSnapshot& snapshot);

protected:
    ERect rect{};
    CFrame* frame = nullptr;
};
