#include "editor/FilterEditor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <new>

#include "dsp/ParameterModel.h"
#include "dsp/Parameters.h"
#include "editor/EditorSnapshot.h"
#include "gui/CAnimKnob.h"
#include "gui/CDrawSurface.h"
#include "gui/CFrame.h"
#include "gui/CHorizontalSwitch.h"
#include "gui/CImage.h"
#include "gui/CSplashScreen.h"
#include "gui/CValueDisplay.h"
#include "gui/CVerticalSwitch.h"
#include "common/PanelPreferences.h"
#include "gui/SharedImages.h"
#include "gui/platform/DesktopScale.h"

using panel::Kind;

namespace {
std::uint32_t bit(std::int32_t index) { return 1u << index; }

struct HostCall {
    explicit HostCall(std::int32_t& depth) : depth(depth) { ++depth; }
    ~HostCall() { --depth; }
    HostCall(const HostCall&) = delete;
    HostCall& operator=(const HostCall&) = delete;
    std::int32_t& depth;
};
}  // namespace

FilterEditor::FilterEditor(EditedPlugin* effect) : GuiEditorBase(effect) { setScale(1.0); }

FilterEditor::~FilterEditor() {
    close();
    hostCallDepth = 0;
    releaseRetiredFrames();
}

// Scale -------------------------------------------------------------------------------------

double FilterEditor::resolveScale(void* parent, bool askDesktop) const {
    double wanted = panelPreferences().scale;
    if (!(wanted > 0.0)) wanted = hostScale;
    if (!(wanted > 0.0) && askDesktop) wanted = platform::desktopScale(parent);
    if (!(wanted > 0.0)) wanted = 1.0;
    // Hundredths are plenty; 1 and 2 are then exactly the stored pictures.
    return std::clamp(std::round(wanted * 100.0) / 100.0, 1.0, 2.0);
}

void FilterEditor::setScale(double newScale) {
    scale = newScale;
    panelWidth = std::int32_t(std::lround(kWidth * scale));
    panelHeight = std::int32_t(std::lround(kHeight * scale));
}

std::int32_t FilterEditor::width() {
    if (!frame) setScale(resolveScale(nullptr, true));
    return panelWidth;
}

std::int32_t FilterEditor::height() {
    if (!frame) setScale(resolveScale(nullptr, true));
    return panelHeight;
}

bool FilterEditor::setHostScale(double newScale) {
    if (!(newScale > 0.0) || !std::isfinite(newScale)) return false;
    hostScale = newScale;
    void* parent = frame && frame->getWindow() ? systemWindow : nullptr;
    // Opening again lays the panel out at the new scale and asks the host for the size.
    if (parent && resolveScale(parent, true) != scale) open(parent);
    return true;
}

bool FilterEditor::drawSnapshot(EditorSnapshot& snapshot) {
    if (!frame) setScale(resolveScale(nullptr, false));
    return GuiEditorBase::drawSnapshot(snapshot);
}

// Opening and closing ---------------------------------------------------------------------

bool FilterEditor::open(void* parent) {
    close();  // a second open without a close replaces the first panel
    releaseRetiredFrames();
    const std::int32_t reportedWidth = panelWidth, reportedHeight = panelHeight;
    setScale(resolveScale(parent, parent != nullptr));
    GuiEditorBase::open(parent);
    build(parent);
    if (!parent) return false;  // a frame that draws only into memory
    if (!frame->getWindow()) {
        close();
        return false;
    }
    // The window's monitor may differ from what the size was given for.
    if (reportedWidth != panelWidth || reportedHeight != panelHeight) effect->resizeWindow(panelWidth, panelHeight);
    return true;
}

void FilterEditor::build(void* parent) {
    SharedImageRequest images[panel::kControlCount + 1] = {{panel::kBackgroundImage, 1}};
    for (std::int32_t i = 0; i < panel::kControlCount; ++i)
        images[i + 1] = {panel::kControls[i].image, panel::kControls[i].subImages};
    const auto preloaded = preloadSharedImages(images, std::size(images), scale);
    CImage* background = new CImage(panel::kBackgroundImage, scale, 1);
    background->setOpaque(true);
    // Without its background the panel keeps the size the host was given.
    CBounds frameSize(0, 0, background->getWidth() + panel::kFrameWidth - panel::kBackgroundWidth,
                      background->getHeight());
    if (background->getWidth() <= 0 || background->getHeight() <= 0) frameSize = CBounds(0, 0, kWidth, kHeight);
    frame = new CFrame(frameSize, parent, this, scale);
    frame->setKnobModePreference(panelPreferences().knobMode);
    frame->setBackground(background);
    // Right of the background the frame shows its own colour, painted under every redraw
    // there: the black that the artwork's right edge fades into.
    frame->setBackgroundColor(kColorBlack);
    background->release();

    for (std::int32_t i = 0; i < panel::kControlCount; ++i) {
        const panel::Control& row = panel::kControls[i];
        CImage* image = new CImage(row.image, scale, row.subImages);
        const std::int32_t w = image->getWidth();
        const std::int32_t h = image->getHeight() / row.subImages;
        CBounds size(0, 0, w, h);
        size.offset(row.topLeft.x, row.topLeft.y);
        CControl* control = nullptr;
        switch (row.kind) {
            case Kind::Knob:
                control = new (std::nothrow) CAnimKnob(size, this, row.tag, row.subImages, h, image, CPos());
                break;
            case Kind::HorizontalSwitch:
                control = new (std::nothrow)
                    CHorizontalSwitch(size, this, row.tag, row.subImages, h, row.subImages, image, CPos());
                break;
            case Kind::VerticalSwitch:
                control = new (std::nothrow)
                    CVerticalSwitch(size, this, row.tag, row.subImages, h, row.subImages, image, CPos());
                break;
            case Kind::Splash: {
                const CBounds area(row.topLeft.x, row.topLeft.y, row.topLeft.x + panel::kSplashAreaSize.x,
                                   row.topLeft.y + panel::kSplashAreaSize.y);
                CBounds display(0, 0, w, image->getHeight());
                display.offset(panel::kSplashShownAt.x, panel::kSplashShownAt.y);
                control = new (std::nothrow) CSplashScreen(area, this, row.tag, image, display, CPos());
                break;
            }
        }
        controls[i] = control;
        if (control) frame->addView(control);
        image->release();
    }

    // Changes from now on are picked up at the next idle; the values read below are at
    // least as new as the moment the marks were cleared.
    staleParameters.store(0, std::memory_order_relaxed);
    refresh(~0u);
    if (controlFor(kCutoff)) {
        char text[256];
        formatCutoffReadout(text);
        cutoffReadout = new (std::nothrow) CValueDisplay(panel::kReadout, text);
        if (cutoffReadout) {
            cutoffReadout->setFont(kFontSmaller);
            cutoffReadout->setFontColor(kColorGrey);
            cutoffReadout->setBackColor(kColorBlack);
            frame->addView(cutoffReadout);
        }
    }
}

void FilterEditor::close() {
    if (frame) {
        // The host sees a drag under way end now, not when a retired frame goes.
        frame->endPointerTracking();
        // The frame's event handling is on the stack below the host's call: the frame
        // goes once that call has returned.
        if (hostCallDepth > 0)
            retiredFrames.push_back(frame);
        else
            frame->release();
    }
    frame = nullptr;
    for (CControl*& control : controls) control = nullptr;
    cutoffReadout = nullptr;
}

void FilterEditor::releaseRetiredFrames() {
    if (hostCallDepth > 0) return;
    for (CFrame* retired : retiredFrames) retired->release();
    retiredFrames.clear();
}

void FilterEditor::idle() {
    releaseRetiredFrames();
    GuiEditorBase::idle();
}

// Parameters --------------------------------------------------------------------------------

void FilterEditor::parameterChanged(std::int32_t index, float) {
    if (index >= 0 && index < kNumParams) staleParameters.fetch_or(bit(index), std::memory_order_relaxed);
    requestUpdate();
}

void FilterEditor::update() { refresh(staleParameters.exchange(0, std::memory_order_relaxed)); }

void FilterEditor::refresh(std::uint32_t parameters) {
    if (!frame) return;
    for (std::int32_t index = 0; index < kNumParams; ++index) {
        CControl* control = controlFor(index);
        if (!(parameters & bit(index)) || !control) continue;
        const float stored = effect->getParameter(index);
        // The switch's top band is high-pass (Mode 1).
        control->setValue(index == kMode ? 1.0f - stored : stored);
    }
    if (cutoffReadout && (parameters & (bit(kCutoff) | bit(kEnvAmount)))) {
        char text[256];
        formatCutoffReadout(text);
        if (std::strcmp(text, cutoffReadout->getText()) != 0) cutoffReadout->setText(text);
    }
}

void FilterEditor::formatCutoffReadout(char* text) const {
    const float e = float((2.0 * double(effect->getParameter(kEnvAmount)) - 1.0) * 0.99999);
    const std::int32_t factor = effect->oversampleFactor();
    if (e < 0.02f && e > -0.02f)
        std::snprintf(text, 256, "~%.1f Hz",
                      ParameterModel::approxCutoffHz(factor, effect->getParameter(kCutoff)));
    else
        std::snprintf(text, 256, "ENV ON");
}

CControl* FilterEditor::controlFor(std::int32_t tag) const {
    for (std::int32_t i = 0; i < panel::kControlCount; ++i)
        if (panel::kControls[i].tag == tag) return controls[i];
    return nullptr;
}

// The controls --------------------------------------------------------------------------------

void FilterEditor::valueChanged(CDrawSurface*, CControl* control) {
    const std::int32_t tag = control->getTag();
    const float value = control->getValue();
    HostCall call(hostCallDepth);
    if (tag == kMode)
        effect->setParameterAndNotify(kMode, 1.0f - value);
    else if (tag >= 0 && tag < kNumParams)
        effect->setParameterAndNotify(tag, value);
    // The control shows what the effect stored (Env Amt snaps in its dead zone).
    if (frame && controlFor(tag) == control) update();
    control->setDirty(true);
}

void FilterEditor::beginEdit(std::int32_t index) {
    HostCall call(hostCallDepth);
    GuiEditorBase::beginEdit(index);
}

void FilterEditor::endEdit(std::int32_t index) {
    HostCall call(hostCallDepth);
    GuiEditorBase::endEdit(index);
}

