#include "dsp/ProgramBank.h"

#include <cstdio>
#include <cstring>

namespace {

struct FactoryProgram {
    const char* name;
    float values[kNumParams];
};

// In Trim, Mode, Stages, Cutoff, Reso, Env Amt, Attack, Release, Out Sat.
const FactoryProgram kFactoryPrograms[kNumPrograms] = {
    {"LPF", {0.5f, 0.0f, 1.0f, 0.2f, 0.0f, 0.5f, 0.9f, 0.9f, 0.0f}},
    {"HPF", {0.5f, 1.0f, 0.0f, 0.5f, 0.0f, 0.5f, 0.9f, 0.9f, 0.0f}},
    {"Toasty Tubes", {1.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.3f, 0.0f, 0.0f, 0.65f}},
    {"Ottawa", {0.5f, 1.0f, 1.0f, 0.0f, 0.55f, 0.85f, 0.5f, 0.9664f, 0.72f}},
    {"Inv Env Follow", {0.5f, 0.0f, 1.0f, 0.43f, 0.2f, 0.1f, 0.9f, 0.9f, 0.0f}},
    {"Grungelizer", {0.5f, 0.0f, 1.0f, 0.2f, 0.0f, 0.9f, 0.0f, 0.0f, 0.0f}},
    {"Inverse Grungelizer", {0.5f, 0.0f, 1.0f, 0.5f, 0.0f, 0.1f, 0.0f, 0.0f, 0.0f}},
    {"HPF Grungelizer", {0.5f, 1.0f, 1.0f, 0.12f, 0.0f, 0.9f, 0.0f, 0.0f, 0.0f}},
    {"Planet JX-3P", {0.5f, 0.0f, 1.0f, 0.3f, 0.6f, 0.1812f, 0.6979f, 0.9664f, 0.919462f}},
    {"Wet Suction", {0.5f, 1.0f, 1.0f, 0.4f, 0.3758f, 0.0872f, 0.7919f, 0.302f, 0.74f}},
    {"Ray Gun", {0.5f, 1.0f, 1.0f, 0.2f, 0.8f, 0.77f, 0.0f, 0.9664f, 0.6f}},
    {"Neighbour's Party", {0.5f, 0.0f, 1.0f, 0.1141f, 0.5033f, 0.7315f, 0.0f, 0.0f, 0.6f}},
    {"Alien Computer", {0.5f, 1.0f, 1.0f, 0.34f, 0.7f, 0.2f, 0.37f, 0.2f, 0.64f}},
    {"Blown Woofer", {0.5f, 1.0f, 1.0f, 0.15f, 0.0f, 0.9f, 0.0f, 0.0f, 0.0f}},
    {"Blown Tweeter", {0.5f, 0.0f, 1.0f, 0.5f, 0.0f, 0.1f, 0.0f, 0.0f, 0.0f}},
    {"MIDI Exp Wah-wah", {0.5f, 1.0f, 0.75f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.0f}},
};

const float kBlankProgramValues[kNumParams] = {0.5f, 0.0f, 1.0f, 1.0f, 0.0f, 0.5f, 0.9f, 0.9f, 0.0f};

}  // namespace

FilterProgram::FilterProgram() : name("init") {
    for (int i = 0; i < kNumParams; ++i) values[i].store(kBlankProgramValues[i]);
}

void ProgramBank::fillFactoryPrograms() {
    for (int p = 0; p < kNumPrograms; ++p) {
        setName(p, kFactoryPrograms[p].name);
        for (int i = 0; i < kNumParams; ++i) programs[p].values[i].store(kFactoryPrograms[p].values[i]);
    }
}

void ProgramBank::setName(std::int32_t index, const char* name) {
    char* target = programs[index].name;
    std::strncpy(target, name, FilterProgram::kNameSize - 1);
    target[FilterProgram::kNameSize - 1] = 0;
}

void ProgramBank::displayName(std::int32_t index, char* text) const {
    if (std::strcmp(programs[index].name, "Init") == 0)
        std::sprintf(text, "%s %d", programs[index].name, index + 1);
    else
        storedName(index, text);
}

void ProgramBank::storedName(std::int32_t index, char* text) const {
    std::strcpy(text, programs[index].name);
}
