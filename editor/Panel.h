// The plug-in's panel as every format's binding drives it: opened into a host window and
// closed, its size in pixels at the scale that applies, the host's idle and scale, the
// host's parameter changes, and the window's events for hosts that watch a descriptor.
// The panel talks back only through EditedPlugin; it never calls the host's idle.
#pragma once

#include <cstdint>

struct EditorSnapshot;

// How a knob follows the pointer: round its arc, round its arc from where the press
// was, or along a straight drag up and right.
enum class KnobMode { Circular, RelativeCircular, Linear };

class Panel {
public:
    virtual ~Panel() = default;

    // True with the panel in a window inside parent (a host window handle); false, and no
    // panel, when no window can be made there. Without a parent the panel draws only
    // into memory (answering false).
    virtual bool open(void* parent) = 0;
    virtual void close() = 0;
    // The panel's own window, or none while closed.
    virtual void* window() const = 0;
    // In pixels at the scale that applies now; while closed, the size open would give.
    virtual std::int32_t width() = 0;
    virtual std::int32_t height() = 0;
    // Takes the host's window events and redraws what changed.
    virtual void idle() = 0;
    // The host's scale, its pixels per panel unit; false when it is no scale. An open
    // panel is laid out again and asks the host for its new size.
    virtual bool setHostScale(double scale) = 0;
    // A parameter the host changed; from any thread, shown at the next idle.
    virtual void parameterChanged(std::int32_t index, float value) = 0;
    // A descriptor that turns readable when the window has events waiting (the X
    // connection), -1 where the host's message loop delivers them; processEvents then
    // handles them without waiting for the idle.
    virtual int eventDescriptor() const = 0;
    virtual void processEvents() = 0;
    // True when a control of the open panel has the keyboard focus.
    virtual bool hasFocus() const = 0;
    // The panel drawn without a window (EditorSnapshot.h); false when it cannot be.
    virtual bool drawSnapshot(EditorSnapshot& snapshot) = 0;

    // For every panel of the process.
    static void setKnobMode(KnobMode mode);
};
