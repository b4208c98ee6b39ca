// The VST3 interface declarations we build against (Debian's dpf-source "travesty"
// headers), and what they leave out: the class id, the parameter ids, UTF-16 texts.
#pragma once

#include <cstdint>

#include "travesty/audio_processor.h"
#include "travesty/component.h"
#include "travesty/edit_controller.h"
#include "travesty/events.h"
#include "travesty/factory.h"
#include "travesty/unit.h"
#include "travesty/view.h"

// The one class this module makes: effect and controller in one object.
constexpr v3_tuid kVst3ClassId = {0x51, 0x56, 0x52, 0x4E, 0x46, 0x4C, 0x54, 0x33,
                                  0x8A, 0x2D, 0x41, 0x6F, 0x9C, 0x1E, 0x70, 0x36};

// Parameter ids beside the nine of the description (0..8): the program list's
// program-change parameter, and one hidden parameter per MIDI controller that
// Quorvane.ini maps, at this base plus the VST3 controller number.
constexpr v3_param_id kProgramParameterId = 100;
constexpr v3_param_id kMidiParameterBase = 1000;
constexpr std::int32_t kProgramListId = 1;

// VST3 numbers channel pressure 128 and pitch bend 129; Quorvane.ini the other way round.
constexpr std::int16_t kVst3AfterTouch = 128;
constexpr std::int16_t kVst3PitchBend = 129;

// ASCII (all our texts are) to and from the format's UTF-16 strings.
inline void toUtf16(v3_str_128 out, const char* text) {
    int i = 0;
    for (; text && text[i] && i < 127; ++i) out[i] = static_cast<std::int16_t>(static_cast<unsigned char>(text[i]));
    out[i] = 0;
}

template <std::size_t N>
void fromUtf16(const std::int16_t* text, char (&out)[N]) {
    std::size_t i = 0;
    for (; text && text[i] && i < N - 1; ++i) out[i] = text[i] > 0 && text[i] < 128 ? static_cast<char>(text[i]) : '?';
    out[i] = 0;
}
