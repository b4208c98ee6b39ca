#include "clap/ClapGui.h"

#include <cassert>
#include <cstring>

#include "clap/ClapEffect.h"
#include "editor/FilterEditor.h"

namespace {

#if defined(_WIN32)
constexpr const char* kApi = CLAP_WINDOW_API_WIN32;
#else
constexpr const char* kApi = CLAP_WINDOW_API_X11;
#endif

ClapEffect& effectOf(const clap_plugin_t* plugin) {
    ClapEffect& effect = *ClapEffect::of(plugin);
    assert(effect.threads().mainThread());
    return effect;
}
ClapGui* guiOf(const clap_plugin_t* plugin) { return effectOf(plugin).gui(); }

bool isApiSupported(const clap_plugin_t*, const char* api, bool floating) {
    return !floating && api && std::strcmp(api, kApi) == 0;
}
bool preferredApi(const clap_plugin_t*, const char** api, bool* floating) {
    if (!api || !floating) return false;
    *api = kApi;
    *floating = false;
    return true;
}
bool create(const clap_plugin_t* plugin, const char* api, bool floating) {
    return isApiSupported(plugin, api, floating) && effectOf(plugin).createGui();
}
void destroy(const clap_plugin_t* plugin) { effectOf(plugin).destroyGui(); }
bool setScale(const clap_plugin_t* plugin, double scale) {
    ClapGui* gui = guiOf(plugin);
    return gui && gui->setScale(scale);
}
bool getSize(const clap_plugin_t* plugin, std::uint32_t* width, std::uint32_t* height) {
    ClapGui* gui = guiOf(plugin);
    if (!gui || !width || !height) return false;
    *width = gui->width();
    *height = gui->height();
    return true;
}
bool canResize(const clap_plugin_t*) { return false; }
bool resizeHints(const clap_plugin_t*, clap_gui_resize_hints_t* hints) {
    if (!hints) return false;
    *hints = {false, false, false, 0, 0};
    return true;
}
// One size at a scale: whatever the host offers becomes it, and only it is taken.
bool adjustSize(const clap_plugin_t* plugin, std::uint32_t* width, std::uint32_t* height) {
    return getSize(plugin, width, height);
}
bool setSize(const clap_plugin_t* plugin, std::uint32_t width, std::uint32_t height) {
    ClapGui* gui = guiOf(plugin);
    return gui && width == gui->width() && height == gui->height();
}
bool setParent(const clap_plugin_t* plugin, const clap_window_t* window) {
    ClapGui* gui = guiOf(plugin);
    return gui && gui->setParent(window);
}
bool setTransient(const clap_plugin_t*, const clap_window_t*) { return false; }
void suggestTitle(const clap_plugin_t*, const char*) {}
bool show(const clap_plugin_t* plugin) {
    ClapGui* gui = guiOf(plugin);
    return gui && gui->show();
}
bool hide(const clap_plugin_t* plugin) {
    ClapGui* gui = guiOf(plugin);
    return gui && gui->hide();
}

void onTimer(const clap_plugin_t* plugin, clap_id id) {
    ClapGui* gui = guiOf(plugin);
    if (gui && gui->ticks()) gui->ticks()->onTimer(id);
}
void onFd(const clap_plugin_t* plugin, int fd, clap_posix_fd_flags_t) {
    ClapGui* gui = guiOf(plugin);
    if (gui && gui->ticks()) gui->ticks()->onFd(fd);
}

}  // namespace

const clap_plugin_gui_t kClapGui = {isApiSupported, preferredApi, create, destroy, setScale, getSize,
                                    canResize, resizeHints, adjustSize, setSize, setParent, setTransient,
                                    suggestTitle, show, hide};
const clap_plugin_timer_support_t kClapTimerSupport = {onTimer};
const clap_plugin_posix_fd_support_t kClapPosixFdSupport = {onFd};

ClapGui::ClapGui(ClapEffect& owner, const clap_host_t* clapHost) : effect(owner), host(clapHost) {
    panel = std::make_unique<FilterEditor>(this);
}

ClapGui::~ClapGui() {
    running.reset();
    if (panel->window()) panel->close();
}

// A panel refuses scales it cannot draw at; an open one is laid out again in a new
// window, whose events are then watched instead.
bool ClapGui::setScale(double scale) {
    if (!(scale >= 1.0 && scale <= 2.0) || !panel->setHostScale(scale)) return false;
    if (!running) return true;
    running.reset();  // before the new ticks register with the host
    running = GuiTicks::start(*this, host, panel->window(), panel->eventDescriptor());
    return true;
}

std::uint32_t ClapGui::width() const { return static_cast<std::uint32_t>(panel->width()); }
std::uint32_t ClapGui::height() const { return static_cast<std::uint32_t>(panel->height()); }

bool ClapGui::setParent(const clap_window_t* window) {
    if (!window || !window->api || std::strcmp(window->api, kApi) != 0 || !window->ptr) return false;
    running.reset();
    if (panel->window()) panel->close();
    if (!panel->open(window->ptr)) return false;
    running = GuiTicks::start(*this, host, panel->window(), panel->eventDescriptor());
    return true;
}

// The panel stays in the host's window, which the host shows and hides; hidden, it is
// not ticked.
bool ClapGui::show() {
    if (!panel->window()) return false;
    if (!running) running = GuiTicks::start(*this, host, panel->window(), panel->eventDescriptor());
    return true;
}

bool ClapGui::hide() {
    running.reset();
    return panel->window() != nullptr;
}

void ClapGui::tick() {
    follower.follow(*this, *panel);
    panel->idle();
}

void ClapGui::windowEvents() { panel->processEvents(); }

float ClapGui::getParameter(std::int32_t index) {
    return index >= 0 && index < kNumParams ? effect.parameter(index) : 0.0f;
}

void ClapGui::setParameterAndNotify(std::int32_t index, float value) {
    if (index < 0 || index >= kNumParams) return;
    effect.setParameterFromPanel(index, value);
    follower.shows(index, getParameter(index));
    panel->parameterChanged(index, getParameter(index));
}

// The splash's tag is no parameter: only parameters are told.
void ClapGui::beginEdit(std::int32_t index) {
    if (index >= 0 && index < kNumParams) effect.beginGesture(index);
}

void ClapGui::endEdit(std::int32_t index) {
    if (index >= 0 && index < kNumParams) effect.endGesture(index);
}

std::int32_t ClapGui::oversampleFactor() const { return effect.oversampleFactor(); }

bool ClapGui::resizeWindow(std::int32_t width, std::int32_t height) {
    const auto* hostGui = static_cast<const clap_host_gui_t*>(host->get_extension(host, CLAP_EXT_GUI));
    return hostGui && width > 0 && height > 0 &&
           hostGui->request_resize(host, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
}
