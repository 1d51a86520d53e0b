// The stand-in's timeGetTime: milliseconds of the monotonic clock, kept to 32 bits.
#include <gtest/gtest.h>

#include <time.h>

#include <cstdint>

#include "platform/win32.h"

namespace {

std::uint64_t MonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
           static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

TEST(Clock, CountsMillisecondsOfTheMonotonicClockModulo2To32) {
    for (int i = 0; i < 100; ++i) {
        const std::uint64_t before = MonotonicMs();
        const DWORD reading = timeGetTime();
        const std::uint64_t after = MonotonicMs();
        // Compared as 32-bit differences, so a wrap between the readings changes nothing.
        const DWORD sinceBefore = reading - static_cast<DWORD>(before);
        const DWORD untilAfter = static_cast<DWORD>(after) - reading;
        EXPECT_LE(sinceBefore, static_cast<DWORD>(after - before));
        EXPECT_LE(untilAfter, static_cast<DWORD>(after - before));
    }
}

}  // namespace
