// The timed sequence's own state and the open box it spins: data shared by the frame code
// and anything that needs to look at it (the frame tests reset it between runs).
#pragma once

#include "platform/win32.h"

// Lives from the first frame to the end of the process; window re-creation leaves it alone,
// so a mode switch carries the sequence on where it was.
struct TimelineState {
    bool started = false;
    DWORD startTime = 0;      // clock reading at the first frame
    DWORD now = 0;            // clock reading of the current frame
    float wavePhaseA = 0.0f;  // radians: credits colour and horizontal wobble
    float wavePhaseB = 0.0f;  // radians: credits green and vertical wobble
    float spinAngle = 0.0f;   // degrees: the tumbling rectangle, later the box
    float pulse = 0.0f;       // triangle wave, 0 to about 1.04
    float pulseStep = 0.08f;  // signed increment of pulse
};

extern TimelineState timelineState;

// A colour channel of the box: a fixed level, or the current pulse.
enum class BoxTint : unsigned char { Zero, Half, One, Pulse };

struct BoxVertex {
    BoxTint colour[3];
    float x, y, z;
};

// Top, bottom, back, left, right: four rows per quad, the front face (z = +1) left open.
inline constexpr BoxVertex boxQuadTable[20] = {
    {{BoxTint::Pulse, BoxTint::Zero, BoxTint::One}, 1.0f, 1.0f, -1.0f},
    {{BoxTint::One, BoxTint::Zero, BoxTint::Pulse}, -1.0f, 1.0f, -1.0f},
    {{BoxTint::Zero, BoxTint::Pulse, BoxTint::One}, -1.0f, 1.0f, 1.0f},
    {{BoxTint::One, BoxTint::One, BoxTint::Pulse}, 1.0f, 1.0f, 1.0f},

    {{BoxTint::One, BoxTint::Pulse, BoxTint::Zero}, 1.0f, -1.0f, 1.0f},
    {{BoxTint::One, BoxTint::Zero, BoxTint::Pulse}, -1.0f, -1.0f, 1.0f},
    {{BoxTint::Pulse, BoxTint::One, BoxTint::Zero}, -1.0f, -1.0f, -1.0f},
    {{BoxTint::Pulse, BoxTint::Zero, BoxTint::One}, 1.0f, -1.0f, -1.0f},

    {{BoxTint::Pulse, BoxTint::Half, BoxTint::One}, 1.0f, -1.0f, -1.0f},
    {{BoxTint::Zero, BoxTint::Zero, BoxTint::Pulse}, -1.0f, -1.0f, -1.0f},
    {{BoxTint::Zero, BoxTint::Pulse, BoxTint::Zero}, -1.0f, 1.0f, -1.0f},
    {{BoxTint::Pulse, BoxTint::Zero, BoxTint::Half}, 1.0f, 1.0f, -1.0f},

    {{BoxTint::Half, BoxTint::Pulse, BoxTint::One}, -1.0f, 1.0f, 1.0f},
    {{BoxTint::Pulse, BoxTint::Pulse, BoxTint::Half}, -1.0f, 1.0f, -1.0f},
    {{BoxTint::One, BoxTint::Zero, BoxTint::Pulse}, -1.0f, -1.0f, -1.0f},
    {{BoxTint::Pulse, BoxTint::Half, BoxTint::Pulse}, -1.0f, -1.0f, 1.0f},

    {{BoxTint::One, BoxTint::Pulse, BoxTint::Half}, 1.0f, 1.0f, -1.0f},
    {{BoxTint::Zero, BoxTint::One, BoxTint::Pulse}, 1.0f, 1.0f, 1.0f},
    {{BoxTint::Pulse, BoxTint::Pulse, BoxTint::One}, 1.0f, -1.0f, 1.0f},
    {{BoxTint::Half, BoxTint::Pulse, BoxTint::Half}, 1.0f, -1.0f, -1.0f},
};

// The level a channel stands for at the given pulse.
constexpr float BoxTintLevel(BoxTint tint, float pulse) {
    switch (tint) {
        case BoxTint::Zero:
            return 0.0f;
        case BoxTint::Half:
            return 0.5f;
        case BoxTint::One:
            return 1.0f;
        case BoxTint::Pulse:
            return pulse;
    }
    return 0.0f;
}
