// The panel as the VST3 plug view: embedded in the host's window (an X11 window id on
// Linux, an HWND on Windows), at the host's content scale, not resizable. A gesture
// reaches the host's component handler as begin, perform and end edit; the host's and the
// processor's changes move the controls at the next tick of the view's timer, which on
// Linux the host's run loop drives (with the window's X connection as an event source).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "common/EditedPlugin.h"
#include "editor/PanelFollower.h"
#include "vst3/Vst3Interfaces.h"

class Panel;
class Vst3Effect;
class ViewTicks;

class Vst3View final : public EditedPlugin {
public:
    struct Face {
        const void* table;
        Vst3View* owner;
    };

    explicit Vst3View(Vst3Effect& effect);

    v3_plugin_view** view() { return reinterpret_cast<v3_plugin_view**>(&viewFace); }
    v3_result queryInterface(const v3_tuid iid, void** object);
    std::uint32_t addRef() { return ++references; }
    std::uint32_t release();

    v3_result attached(void* parent, const char* platformType);
    v3_result removed();
    v3_result size(v3_view_rect* rect);
    v3_result setFrame(v3_plugin_frame** frame);
    v3_result setContentScale(float scale);

    // The timer's tick and the window's events (from the host's run loop or our timer).
    void tick();
    void windowEvents();

    float getParameter(std::int32_t index) override;
    void setParameterAndNotify(std::int32_t index, float value) override;
    void beginEdit(std::int32_t index) override;
    void endEdit(std::int32_t index) override;
    std::int32_t oversampleFactor() const override;
    bool resizeWindow(std::int32_t width, std::int32_t height) override;

private:
    ~Vst3View();

    Face viewFace, scaleFace;
    std::atomic<std::uint32_t> references{1};
    Vst3Effect& effect;
    std::unique_ptr<Panel> panel;
    std::unique_ptr<ViewTicks> ticks;
    v3_plugin_frame** frame = nullptr;
    PanelFollower follower{*this};
};

// What drives a view while it is attached: the host's run loop on Linux, a window timer
// on Windows. Made in vst3/platform/.
class ViewTicks {
public:
    virtual ~ViewTicks() = default;
    // Ticks the view about 30 times a second and hands it the window's events from
    // eventDescriptor (-1: none to watch) until destroyed; null when nothing can.
    static std::unique_ptr<ViewTicks> start(Vst3View& view, v3_plugin_frame** frame, int eventDescriptor);
};
