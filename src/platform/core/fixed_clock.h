// The fixed clock of a program run frame by frame (the capture, the page's tests): frame n, from
// 0, is drawn with the clock reading floor(n * 1000 / fps) ms, whatever the time it took. The
// capture's stills and the page's are compared because both keep this one rule.
#pragma once

#include <cstdint>

namespace standin {

// The clock's reading at frame n; it wraps at 2^32 ms, as the Windows clock does.
constexpr std::uint32_t FixedClockMs(std::uint64_t frame, int fps) {
    return static_cast<std::uint32_t>(frame * 1000u / static_cast<std::uint64_t>(fps));
}

// The first frame whose reading is at or after ms: the smallest n with
// floor(n * 1000 / fps) >= ms, which is ceil(ms * fps / 1000).
constexpr std::uint64_t FixedClockFrameAtOrAfter(std::uint32_t ms, int fps) {
    return (static_cast<std::uint64_t>(ms) * static_cast<std::uint64_t>(fps) + 999u) / 1000u;
}

}  // namespace standin
