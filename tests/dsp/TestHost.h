// A host callback for effects built directly in the tests: records automation and
// answers the pin queries from a table the test sets.
#pragma once

#include <utility>
#include <vector>

#include "vst2/FilterEffect.h"

struct TestHost {
    static inline bool inputDisconnected[kMaxChannels] = {};
    static inline std::vector<std::pair<int, float>> automation;

    static void reset() {
        for (bool& d : inputDisconnected) d = false;
        automation.clear();
    }

    static intptr VSTCALL callback(AEffect*, int32 opcode, int32 index, intptr value, void*, float opt) {
        if (opcode == audioMasterAutomate) automation.emplace_back(index, opt);
        if (opcode == audioMasterPinConnected && value == 0 && index >= 0 && index < kMaxChannels)
            return inputDisconnected[index] ? 1 : 0;
        return 0;
    }
};

// Sets every parameter from a table of nine values.
inline void setAll(FilterEffect& effect, const float (&values)[kNumParams]) {
    for (int i = 0; i < kNumParams; ++i) effect.setParameter(i, values[i]);
}
