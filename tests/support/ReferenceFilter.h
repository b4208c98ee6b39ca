// A straightforward scalar model of the whole filter, written apart from the engine:
// one channel after another, one sample at a time, every stored value a float. The
// tests compare the engine with it bit for bit; the benchmark times it.
#pragma once

struct ReferenceChannel {
    float stage1 = 0, stage2 = 0, stage3 = 0, stage4 = 0, feedback = 0, envelope = 0;
};

class ReferenceFilter {
public:
    ReferenceFilter(int channelCount, int oversampleFactor);

    void setParameter(int index, float value);
    float parameter(int index) const { return values[index]; }
    // Clears the state and takes the host rate (with the engine's guard below 44100 Hz).
    void resume(float hostRate);
    void setConnected(int channel, bool connected) { this->connected[channel] = connected; }

    void process(float** inputs, float** outputs, int frames, bool replacing);

    ReferenceChannel channel[6];

private:
    void derive(int index);
    float sample(ReferenceChannel& s, float input);

    int channels;
    int n;
    bool connected[6] = {true, true, true, true, true, true};
    float values[9] = {};
    float referenceRate;
    float oversampledRate;
    float kLimit;

    float inputGain = 0, cutoffCoef = 0, poleCoef = 0, feedbackGain = 0, resoMakeupGain = 0;
    float envDepth = 0, attackCoef = 0, attackRest = 0, releaseCoef = 0, releaseRest = 0;
    bool highPass = false, envEnabled = false, satEnabled = false;
    int stageCount = 0;
};
