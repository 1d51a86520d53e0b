// The capture's virtual clock: time moves only when a frame is presented.
//
// Frame n (from 0) is rendered at the fixed clock's reading (platform/core/fixed_clock.h), and
// every read between two presents gives the same value, so a frame's content depends on its number
// alone and two captures are identical. The clock reads 0 at the first frame: the raw reading is
// the demo time, which keeps anything that depends on the raw value (a cycle of the clock) easy to
// work out from a frame's time.
#include "capture/capture.h"
#include "platform/core/fixed_clock.h"

namespace {

struct VirtualClock {
    int fps = 60;
    std::uint64_t presented = 0;
};

VirtualClock gClock;

}  // namespace

namespace capture {

void StartClock(int fps) {
    gClock.fps = fps;
    gClock.presented = 0;
}

std::uint64_t FramesPresented() { return gClock.presented; }

DWORD ClockMs() { return DemoMsOfFrame(gClock.presented); }

void AdvanceClock() { ++gClock.presented; }

std::uint32_t DemoMsOfFrame(std::uint64_t frame) {
    return standin::FixedClockMs(frame, gClock.fps);
}

std::uint64_t FrameAtOrAfter(std::uint32_t ms) {
    return standin::FixedClockFrameAtOrAfter(ms, gClock.fps);
}

}  // namespace capture
