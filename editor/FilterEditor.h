// The plug-in's panel: seven filmstrip knobs, the Stages and LPF/HPF switches, the
// splash and the cutoff readout on the background image. Turns the user's gestures into
// parameter changes of the effect and shows every change made elsewhere. It is laid out
// in panel units (kWidth x kHeight) and drawn at a scale of 1 to 2: Scale= in the
// configuration file, else the host's, else the desktop's, else 1.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "editor/GuiEditorBase.h"
#include "editor/PanelLayout.h"
#include "gui/CControl.h"

class CValueDisplay;

class FilterEditor : public GuiEditorBase, public CControlObserver {
public:
    static constexpr std::int32_t kWidth = panel::kFrameWidth;
    static constexpr std::int32_t kHeight = panel::kFrameHeight;
    static constexpr std::int32_t kSplashTag = panel::kSplashTag;

    explicit FilterEditor(EditedPlugin* effect);
    ~FilterEditor() override;

    // Images that fail to load leave empty controls; the panel still opens.
    bool open(void* parent) override;
    void close() override;
    std::int32_t width() override;
    std::int32_t height() override;
    // Applied at once to an open panel: laid out again, the host asked to resize its
    // window, redrawn.
    bool setHostScale(double scale) override;
    // At the scale without asking the desktop.
    bool drawSnapshot(EditorSnapshot& snapshot) override;
    double getScale() const { return scale; }
    void idle() override;
    // Any thread: marks the parameter's control for refreshing at the next idle.
    void parameterChanged(std::int32_t index, float value) override;
    void beginEdit(std::int32_t index) override;
    void endEdit(std::int32_t index) override;

    void valueChanged(CDrawSurface* surface, CControl* control) override;

    // The readout's text for the plug-in's current Cutoff and Env Amt; text holds 256 bytes.
    void formatCutoffReadout(char* text) const;

    // The control showing the parameter index (the splash for kSplashTag), or none.
    CControl* controlFor(std::int32_t tag) const;
    CValueDisplay* getCutoffReadout() const { return cutoffReadout; }

protected:
    // Brings the controls of the changed parameters and the readout up to the stored values.
    void update() override;

private:
    // The frame with every view; without a parent it draws into memory only.
    void build(void* parent);
    // The scale that applies now; the desktop is asked only with a window to show.
    double resolveScale(void* parent, bool askDesktop) const;
    void setScale(double newScale);
    void refresh(std::uint32_t parameters);
    void releaseRetiredFrames();

    // The controls of panel::kControls, row by row; the frame owns them.
    CControl* controls[panel::kControlCount] = {};
    CValueDisplay* cutoffReadout = nullptr;

    // One bit per parameter changed since the last refresh; set from any thread.
    std::atomic<std::uint32_t> staleParameters{0};
    // Calls into the host under way from inside the frame (a gesture's notices and
    // parameter changes): the host may close the panel from there.
    std::int32_t hostCallDepth = 0;
    // Frames closed during such a call; released at the next idle outside every one.
    std::vector<CFrame*> retiredFrames;
    // The host's scale, 0 while it sent none; and the one the panel uses.
    double hostScale = 0.0;
    double scale = 1.0;
};
