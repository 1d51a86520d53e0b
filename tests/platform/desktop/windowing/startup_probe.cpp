// A program of its own for the start-up test: its WinMain reports what it was given and
// returns a status the test can recognise.
#include <cstdio>

#include "platform/win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    std::printf("WinMain [%s] %d %d %d\n", commandLine, showCommand, instance != nullptr,
                previous == nullptr);
    return 42;
}
