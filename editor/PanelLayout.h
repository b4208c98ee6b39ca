// Where everything on the panel lies. The editor builds the panel from it, the artwork
// generator draws the background's labels and bezels around it, and the tests check the
// images and pictures against it: moving a control is one edit here. The controls' sizes
// come from their images (a filmstrip control is one sub-image).
#pragma once

#include <cstdint>

#include "dsp/Parameters.h"
#include "gui/CGeometry.h"

namespace panel {

enum ImageId : std::int32_t {
    kAttackImage = 122,
    kCutoffImage = 123,
    kEnvAmountImage = 124,
    kInTrimImage = 125,
    kOutSatImage = 126,
    kSplashImage = 127,
    kBackgroundImage = 128,
    kReleaseImage = 129,
    kResonanceImage = 130,
    kStagesImage = 131,
    kModeImage = 134,
};

// The background image; the frame is wider, and what lies right of the image shows the
// frame's own colour.
inline constexpr std::int32_t kBackgroundWidth = 700;
inline constexpr std::int32_t kBackgroundHeight = 212;
inline constexpr std::int32_t kFrameWidth = kBackgroundWidth + 100;
inline constexpr std::int32_t kFrameHeight = kBackgroundHeight;

inline constexpr std::int32_t kSplashTag = 682;

enum class Kind { Knob, HorizontalSwitch, VerticalSwitch, Splash };

struct Control {
    std::int32_t tag;
    Kind kind;
    std::int32_t image;
    std::int32_t subImages;  // also the switches' position count
    CPos topLeft;
};

// In creation order, which is also the order of the frame's children.
inline constexpr Control kControls[] = {
    {kCutoff, Kind::Knob, kCutoffImage, 101, {306, 76}},
    {kResonance, Kind::Knob, kResonanceImage, 101, {418, 70}},
    {kEnvAmount, Kind::Knob, kEnvAmountImage, 101, {519, 64}},
    {kEnvAttack, Kind::Knob, kAttackImage, 101, {609, 60}},
    {kEnvRelease, Kind::Knob, kReleaseImage, 101, {694, 56}},
    {kInTrim, Kind::Knob, kInTrimImage, 101, {78, 138}},
    {kOutSat, Kind::Knob, kOutSatImage, 101, {185, 130}},
    {kStages, Kind::HorizontalSwitch, kStagesImage, 101, {120, 65}},
    {kMode, Kind::VerticalSwitch, kModeImage, 22, {62, 76}},
    {kSplashTag, Kind::Splash, kSplashImage, 1, {630, 0}},
};
inline constexpr std::int32_t kControlCount = std::int32_t(sizeof kControls / sizeof kControls[0]);

constexpr const Control& control(std::int32_t tag) {
    for (const Control& c : kControls)
        if (c.tag == tag) return c;
    return kControls[0];
}

// The splash: the area a click opens it in (at its row's top-left), and where the
// picture shows while it is open (its top-left; the size is the picture's).
inline constexpr CPos kSplashAreaSize(150, 25);
inline constexpr CPos kSplashShownAt(200, 60);

// The cutoff readout's box, the one text drawn at run time.
inline constexpr CBounds kReadout(320, 200, 385, 212);

}  // namespace panel
