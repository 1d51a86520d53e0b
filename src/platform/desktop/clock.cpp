// The desktop's clock: milliseconds of the monotonic clock, wrapping at 2^32 as on Windows.
#include <time.h>

#include <cstdint>

#include "platform/desktop/desktop.h"

namespace standin::desktop {

DWORD ClockMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const std::uint64_t ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                             static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<DWORD>(ms);  // keeps the low 32 bits: the wrap is intended
}

}  // namespace standin::desktop
