// A block run in pieces that end at each frame where the joystick may be polled, with the
// poll there; the settings the engine reads are current from the next frame on, also those
// set by the poll.
#pragma once

#include <cstdint>

#include "plugin/SafeConvert.h"

// Polling starts only after this many frames: ten seconds at 44100 Hz, but a count of
// frames at every rate.
constexpr std::uint32_t kFramesBeforeJoystickPolls = 441000;

// Frames between joystick polls at the engine's rate; below 60 Hz it is 0: no polling.
inline std::int32_t joystickPollInterval(float rate) { return truncateToInt32(rate / 60.0); }

// run(first, last) processes frames first..last - 1; frameCounter counts frames since the
// instance was made and wraps.
template <typename Run, typename Poll>
void runWithJoystickPolls(bool joystickMapped, std::int32_t pollInterval,
                          std::uint32_t& frameCounter, std::int32_t frames, Run run, Poll poll) {
    const bool polling = joystickMapped && pollInterval > 0;
    const std::uint32_t interval = polling ? static_cast<std::uint32_t>(pollInterval) : 1;
    for (std::int32_t n = 0; n < frames;) {
        std::int32_t end = frames;
        if (polling) {
            const std::uint32_t untilMultiple = interval - frameCounter % interval;
            if (untilMultiple < static_cast<std::uint32_t>(frames - n))
                end = n + static_cast<std::int32_t>(untilMultiple);
        }
        run(n, end);
        frameCounter += static_cast<std::uint32_t>(end - n);
        n = end;
        if (polling && frameCounter > kFramesBeforeJoystickPolls && frameCounter % interval == 0) poll();
    }
}
