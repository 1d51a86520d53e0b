// timeGetTime: milliseconds of the monotonic clock, wrapping at 2^32 as on Windows.
#include <time.h>

#include <cstdint>

#include "platform/win32.h"

extern "C" DWORD WINAPI timeGetTime(void) {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const std::uint64_t ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                             static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<DWORD>(ms);  // keeps the low 32 bits: the wrap is intended
}
