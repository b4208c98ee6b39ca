#include "vst3/Vst3View.h"

#include <cstring>

#include "editor/FilterEditor.h"
#include "plugin/PluginDescription.h"
#include "vst3/Vst3Effect.h"

namespace {

Vst3View* owner(void* self) { return static_cast<Vst3View::Face*>(self)->owner; }

bool sameId(const v3_tuid a, const v3_tuid b) { return std::memcmp(a, b, sizeof(v3_tuid)) == 0; }

v3_result V3_API queryInterface(void* self, const v3_tuid iid, void** object) {
    return owner(self)->queryInterface(iid, object);
}
std::uint32_t V3_API addRef(void* self) { return owner(self)->addRef(); }
std::uint32_t V3_API release(void* self) { return owner(self)->release(); }

#if defined(_WIN32)
constexpr const char* kPlatformType = V3_VIEW_PLATFORM_TYPE_HWND;
#else
constexpr const char* kPlatformType = V3_VIEW_PLATFORM_TYPE_X11;
#endif

v3_result V3_API platformTypeSupported(void*, const char* type) {
    return type && std::strcmp(type, kPlatformType) == 0 ? V3_TRUE : V3_FALSE;
}
v3_result V3_API attached(void* self, void* parent, const char* type) { return owner(self)->attached(parent, type); }
v3_result V3_API removed(void* self) { return owner(self)->removed(); }
// Keys and the wheel reach the panel's own window; the host keeps what it is given here.
v3_result V3_API onWheel(void*, float) { return V3_FALSE; }
v3_result V3_API onKey(void*, std::int16_t, std::int16_t, std::int16_t) { return V3_FALSE; }
v3_result V3_API getSize(void* self, v3_view_rect* rect) { return owner(self)->size(rect); }
// The panel has one size at a scale: whatever the host offers, it keeps it.
v3_result V3_API onSize(void*, v3_view_rect*) { return V3_OK; }
v3_result V3_API onFocus(void*, v3_bool) { return V3_OK; }
v3_result V3_API setFrame(void* self, v3_plugin_frame** frame) { return owner(self)->setFrame(frame); }
v3_result V3_API canResize(void*) { return V3_FALSE; }
v3_result V3_API checkSizeConstraint(void* self, v3_view_rect* rect) { return owner(self)->size(rect); }

const v3_plugin_view_cpp kViewTable = {
    {queryInterface, addRef, release},
    {platformTypeSupported, attached, removed, onWheel, onKey, onKey, getSize, onSize, onFocus,
     setFrame, canResize, checkSizeConstraint},
};

v3_result V3_API setContentScale(void* self, float scale) { return owner(self)->setContentScale(scale); }

const v3_plugin_view_content_scale_cpp kScaleTable = {{queryInterface, addRef, release}, {setContentScale}};

v3_param_id idOf(std::int32_t index) { return parameterDescription(index).id; }

}  // namespace

Vst3View::Vst3View(Vst3Effect& owningEffect)
    : viewFace{&kViewTable, this}, scaleFace{&kScaleTable, this}, effect(owningEffect) {
    effect.addRef();
    panel = std::make_unique<FilterEditor>(this);
}

Vst3View::~Vst3View() {
    removed();
    panel.reset();
    if (frame) v3_cpp_obj_unref(frame);
    effect.release();
}

std::uint32_t Vst3View::release() {
    const std::uint32_t left = --references;
    if (left == 0) delete this;
    return left;
}

v3_result Vst3View::queryInterface(const v3_tuid iid, void** object) {
    Face* face = nullptr;
    if (sameId(iid, v3_funknown_iid) || sameId(iid, v3_plugin_view_iid))
        face = &viewFace;
    else if (sameId(iid, v3_plugin_view_content_scale_iid))
        face = &scaleFace;
    *object = face;
    if (!face) return V3_NO_INTERFACE;
    addRef();
    return V3_OK;
}

v3_result Vst3View::attached(void* parent, const char* platformType) {
    if (!parent || !platformType || std::strcmp(platformType, kPlatformType) != 0) return V3_FALSE;
    if (!panel->open(parent)) return V3_FALSE;
    ticks = ViewTicks::start(*this, frame, panel->eventDescriptor());
    return V3_OK;
}

v3_result Vst3View::removed() {
    ticks.reset();
    if (panel->window()) panel->close();
    return V3_OK;
}

v3_result Vst3View::size(v3_view_rect* rect) {
    if (!rect) return V3_INVALID_ARG;
    *rect = {0, 0, panel->width(), panel->height()};
    return V3_OK;
}

v3_result Vst3View::setFrame(v3_plugin_frame** newFrame) {
    if (newFrame) v3_cpp_obj_ref(newFrame);
    if (frame) v3_cpp_obj_unref(frame);
    frame = newFrame;
    return V3_OK;
}

v3_result Vst3View::setContentScale(float scale) {
    return panel->setHostScale(static_cast<double>(scale)) ? V3_OK : V3_FALSE;
}

// Values the host or the processor changed show on the panel; a program the host chose
// is announced to it from here, never from inside its own parameter call.
void Vst3View::tick() {
    follower.follow(*this, *panel);
    panel->idle();
    effect.announceValueChanges();
}

void Vst3View::windowEvents() { panel->processEvents(); }

float Vst3View::getParameter(std::int32_t index) {
    return index >= 0 && index < kNumParams ? static_cast<float>(effect.parameterValue(idOf(index))) : 0.0f;
}

void Vst3View::setParameterAndNotify(std::int32_t index, float value) {
    if (index < 0 || index >= kNumParams) return;
    effect.setParameterValue(idOf(index), value);
    follower.shows(index, value);
    panel->parameterChanged(index, value);
    if (v3_component_handler** handler = effect.componentHandler())
        v3_cpp_obj(handler)->perform_edit(handler, idOf(index), value);
}

// The splash's tag is no parameter: only parameters are told.
void Vst3View::beginEdit(std::int32_t index) {
    v3_component_handler** handler = effect.componentHandler();
    if (handler && index >= 0 && index < kNumParams) v3_cpp_obj(handler)->begin_edit(handler, idOf(index));
}

void Vst3View::endEdit(std::int32_t index) {
    v3_component_handler** handler = effect.componentHandler();
    if (handler && index >= 0 && index < kNumParams) v3_cpp_obj(handler)->end_edit(handler, idOf(index));
}

std::int32_t Vst3View::oversampleFactor() const { return effect.oversampleFactor(); }

bool Vst3View::resizeWindow(std::int32_t width, std::int32_t height) {
    if (!frame) return false;
    v3_view_rect rect{0, 0, width, height};
    return v3_cpp_obj(frame)->resize_view(frame, view(), &rect) == V3_OK;
}
