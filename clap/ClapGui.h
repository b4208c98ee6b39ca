// The panel through CLAP's gui extension: embedded in the host's window (X11 on Linux,
// win32 on Windows, never floating), at the host's scale, of one size. The panel's
// gestures go to the engine at once and to the host as output events of the next process
// or flush; values the host or the controllers set reach the panel at the next tick.
#pragma once

#include <cstdint>
#include <memory>

#include "clap/ext/gui.h"
#include "clap/ext/timer-support.h"
#include "clap/PosixFdSupport.h"
#include "common/EditedPlugin.h"
#include "editor/PanelFollower.h"

class ClapEffect;
class Panel;
class GuiTicks;

extern const clap_plugin_gui_t kClapGui;
extern const clap_plugin_timer_support_t kClapTimerSupport;
extern const clap_plugin_posix_fd_support_t kClapPosixFdSupport;

class ClapGui final : public EditedPlugin {
public:
    ClapGui(ClapEffect& effect, const clap_host_t* host);
    ~ClapGui();

    bool setScale(double scale);
    std::uint32_t width() const;
    std::uint32_t height() const;
    bool setParent(const clap_window_t* window);
    bool show();
    bool hide();
    GuiTicks* ticks() const { return running.get(); }

    // Values changed elsewhere shown, the window's events taken, what changed redrawn.
    void tick();
    void windowEvents();

    float getParameter(std::int32_t index) override;
    void setParameterAndNotify(std::int32_t index, float value) override;
    void beginEdit(std::int32_t index) override;
    void endEdit(std::int32_t index) override;
    std::int32_t oversampleFactor() const override;
    bool resizeWindow(std::int32_t width, std::int32_t height) override;

private:
    ClapEffect& effect;
    const clap_host_t* host;
    std::unique_ptr<Panel> panel;
    std::unique_ptr<GuiTicks> running;
    PanelFollower follower{*this};
};

// What ticks an embedded panel about every 30 ms and hands it its window's events; made
// in clap/platform/. The host's callbacks to the plug-in arrive here.
class GuiTicks {
public:
    virtual ~GuiTicks() = default;
    virtual void onTimer(clap_id) {}
    virtual void onFd(int) {}
    virtual void onMainThread() {}
    // window is the panel's own, eventDescriptor its X connection (-1: none).
    static std::unique_ptr<GuiTicks> start(ClapGui& gui, const clap_host_t* host, void* window, int eventDescriptor);
};
