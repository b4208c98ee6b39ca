// The VST 2 editor interface the effect holds. Host editor calls arrive here through
// the host binding; the panel derives from it, and the binding gives the effect its panel.
#pragma once

#include <atomic>
#include <cstdint>

#include "common/EditedPlugin.h"
#include "vst2/vst2.h"

class EditorBase {
public:
    explicit EditorBase(EditedPlugin* effect) : effect(effect) {}
    virtual ~EditorBase() = default;

    EditorBase(const EditorBase&) = delete;
    EditorBase& operator=(const EditorBase&) = delete;

    // Writes the editor rectangle's address to *out (none here) and answers 1 when it gave one.
    virtual intptr getRect(ERect** out);
    virtual intptr open(void* window);
    virtual void close() {}
    virtual void idle();
    virtual void update() {}
    virtual void requestUpdate() { updatePending.store(1, std::memory_order_relaxed); }
    virtual intptr onKeyDown(VstKeyCode& key);
    virtual intptr onKeyUp(VstKeyCode& key);
    virtual intptr setKnobMode(int32 mode);
    virtual bool onWheel(float distance);

    // The effect reports every parameter change here, from whatever thread made it.
    virtual void setParameter(int32 /*index*/, float /*value*/) {}

    // The host's effVendorSpecific calls; 0 when not understood.
    virtual intptr vendorSpecific(int32 /*index*/, intptr /*value*/, void* /*ptr*/, float /*opt*/) { return 0; }

    // True when a control of the open panel has the keyboard focus.
    virtual bool hasFocusView() const { return false; }

    void* getSystemWindow() const { return systemWindow; }
    EditedPlugin* getEffect() const { return effect; }

protected:
    EditedPlugin* effect;
    void* systemWindow = nullptr;
    // Set from any thread (parameter changes), cleared on the user-interface thread.
    std::atomic<std::int32_t> updatePending{0};
};
