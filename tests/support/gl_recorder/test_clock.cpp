// timeGetTime for tests: whatever the test last set.
#include "gl_recorder.h"

namespace {
DWORD clockValue = 0;
}

void SetTestClock(DWORD ms) { clockValue = ms; }

extern "C" DWORD WINAPI timeGetTime(void) { return clockValue; }
