// The frame loop in AVX registers, four doubles each, for three to six channels. Built
// in its own file with AVX enabled on x86_64 only, and run only where the processor
// has AVX; elsewhere the SSE2 loops run.
#pragma once

#include "dsp/FrameRun.h"

// laneCount 3 to 6; only to be called where the processor has AVX.
FrameRunner wideFrameRunnerFor(int laneCount, const EngineSettings& settings);
