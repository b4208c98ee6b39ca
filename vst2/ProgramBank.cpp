#include "vst2/ProgramBank.h"

#include <cstdio>
#include <cstring>

#include "plugin/PluginDescription.h"

namespace {

const float kBlankProgramValues[kNumParams] = {0.5f, 0.0f, 1.0f, 1.0f, 0.0f, 0.5f, 0.9f, 0.9f, 0.0f};

}  // namespace

FilterProgram::FilterProgram() : name("init") {
    for (int i = 0; i < kNumParams; ++i) values[i].store(kBlankProgramValues[i]);
}

void ProgramBank::fillFactoryPrograms() {
    for (int p = 0; p < kNumPrograms; ++p) {
        const FactoryProgramValues& factory = factoryProgram(p);
        setName(p, factory.name);
        for (int i = 0; i < kNumParams; ++i) programs[p].values[i].store(factory.values[i]);
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
