#include "dsp/FusedFrameLoops.h"

#if defined(__FMA__)
#include "dsp/FrameLoop.h"

const bool fusedFrameLoopsBuilt = true;

FrameRunner fusedFrameRunnerFor(int laneCount, const EngineSettings& settings) {
    return frameRunnerFor<true>(laneCount, settings);
}
#else
const bool fusedFrameLoopsBuilt = false;

FrameRunner fusedFrameRunnerFor(int, const EngineSettings&) { return nullptr; }
#endif
