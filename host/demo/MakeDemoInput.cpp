// quorvane-demo-input: writes the demo's drum-and-bass loop as a 44.1 kHz stereo file.
#include <cstdlib>
#include <iostream>

#include "host/AudioFile.h"
#include "host/ExitCode.h"
#include "host/demo/DrumAndBassPattern.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: quorvane-demo-input OUTPUT.wav [BARS]\n";
        return static_cast<int>(ExitCode::Usage);
    }
    const int bars = argc == 3 ? std::atoi(argv[2]) : 6;
    if (bars < 1 || bars > 1000) {
        std::cerr << "quorvane-demo-input: BARS must be 1..1000\n";
        return static_cast<int>(ExitCode::Usage);
    }
    try {
        const std::vector<float> frames = synthesiseDrumAndBass(44100, bars);
        AudioWriter writer(argv[1], 44100, 2, SampleEncoding::Pcm24);
        writer.write(frames.data(), static_cast<std::int64_t>(frames.size() / 2));
        writer.commit();
    } catch (const HostError& error) {
        std::cerr << "quorvane-demo-input: " << error.what() << "\n";
        return static_cast<int>(error.code);
    }
    return 0;
}
