// timeGetTime and PlaySoundA: the clock is the backend's, and so is the sound device; the core
// says what PlaySoundA's flags ask of it.
//
// Flags understood: SND_ASYNC, SND_SYNC, SND_NODEFAULT and SND_FILENAME (accepted, since a name
// is always a file here); any other flag fails with FALSE. A null name stops what plays. A file
// that cannot be played gives the default sound, unless SND_NODEFAULT asks for silence.
//
// A relative name is looked for in the current folder first, as the program asks, then in the
// backend's data folder, as Windows looks along its search path for a sound's file: so an
// installed program finds its files from any folder.
#include <unistd.h>

#include <string>

#include "platform/core/core.h"

namespace {

constexpr DWORD kSupportedFlags = SND_ASYNC | SND_NODEFAULT | SND_FILENAME;

std::string FindFile(const char* name) {
    const char* folder = standin::TheBackend().dataFolder();
    if (folder == nullptr || name[0] == '/' || access(name, F_OK) == 0) return name;
    std::string installed = std::string(folder) + '/' + name;
    return access(installed.c_str(), F_OK) == 0 ? installed : name;
}

}  // namespace

extern "C" DWORD WINAPI timeGetTime(void) { return standin::TheBackend().clockMs(); }

extern "C" BOOL WINAPI PlaySoundA(LPCSTR sound, HMODULE, DWORD flags) {
    if (flags & ~kSupportedFlags) return FALSE;
    const standin::Backend& backend = standin::TheBackend();
    if (sound == nullptr) {
        backend.stopSound();
        return TRUE;
    }
    const std::string path = FindFile(sound);
    const standin::SoundRequest request{path.c_str(), (flags & SND_ASYNC) == 0,
                                        (flags & SND_NODEFAULT) == 0};
    return backend.playSound(request) ? TRUE : FALSE;
}
