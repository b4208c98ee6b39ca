// Filter and envelope state of one channel; zero after resume.
#pragma once

struct ChannelState {
    float stage1 = 0.0f;
    float stage2 = 0.0f;
    float stage3 = 0.0f;
    float stage4 = 0.0f;
    float feedback = 0.0f;
    float envelope = 0.0f;
};
