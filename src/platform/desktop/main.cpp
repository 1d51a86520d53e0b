// The desktop's start-up code: main() hands over to the program's WinMain, as the Windows C
// runtime does.
//
// A program without a display could show nothing, not even a message box explaining why, so
// that is checked first and told on the terminal in one line.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/desktop/desktop.h"

namespace {

// The command line after the program name, the arguments rejoined by single blanks; arguments
// with blanks in them are quoted, as they would have been typed.
std::string CommandLineAfterProgram(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        bool quote = *argv[i] == '\0' || std::strpbrk(argv[i], " \t") != nullptr;
        if (quote) line += '"';
        line += argv[i];
        if (quote) line += '"';
    }
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    if (!standin::desktop::EnsureVideo()) {
        std::fprintf(
            stderr,
            "%s: cannot open a display (%s); it needs a graphical desktop (X11 or Wayland)\n",
            standin::desktop::ProgramName(argc > 0 ? argv[0] : nullptr, "program"), SDL_GetError());
        return 1;
    }
    std::string commandLine = CommandLineAfterProgram(argc, argv);
    int result = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT);
    SDL_Quit();
    return result;
}
