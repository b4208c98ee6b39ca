// The frame loops again, compiled for x86-64 processors with fused multiply-add. Only
// FusedFrameLoops.cpp is built with those instructions; the processing loop calls in
// only after it has found them on the processor.
#pragma once

#include "dsp/EngineSettings.h"
#include "dsp/FrameRun.h"

// False in builds without these loops (32-bit x86). A value, not a function, so that
// asking runs none of this file's code.
extern const bool fusedFrameLoopsBuilt;

FrameRunner fusedFrameRunnerFor(int laneCount, const EngineSettings& settings);
