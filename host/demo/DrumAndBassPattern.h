// A short drum-and-bass loop synthesised from code, the demo's input: kick, snare, hats
// and a bass line at 174 beats per minute. The same arguments give the same samples.
#pragma once

#include <vector>

constexpr double kPatternTempo = 174.0;

// Interleaved stereo frames, peak normalised to -1 dBFS.
std::vector<float> synthesiseDrumAndBass(int sampleRate, int bars);
