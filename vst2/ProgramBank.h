// The VST 2 plug-in's sixteen programs: named sets of the nine normalised values, which
// the host may rename. The current program's values follow every parameter change,
// from whatever thread makes it.
#pragma once

#include <cstdint>

#include "dsp/Parameters.h"
#include "common/RelaxedAtomic.h"

struct FilterProgram {
    static constexpr int kNameSize = 24;  // at most 23 characters and the terminator

    FilterProgram();

    RelaxedAtomic<float> values[kNumParams];
    char name[kNameSize];
};

class ProgramBank {
public:
    // Programs start blank ("init"); this fills them from the factory table.
    void fillFactoryPrograms();

    static bool isValidIndex(std::int32_t index) { return index >= 0 && index < kNumPrograms; }

    FilterProgram& operator[](std::int32_t index) { return programs[index]; }
    const FilterProgram& operator[](std::int32_t index) const { return programs[index]; }

    // Longer names are cut to the 23 characters that fit.
    void setName(std::int32_t index, const char* name);
    // The stored name, except that a program named exactly "Init" reads "Init <number>".
    void displayName(std::int32_t index, char* text) const;
    void storedName(std::int32_t index, char* text) const;

private:
    FilterProgram programs[kNumPrograms];
};
