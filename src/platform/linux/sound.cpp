// PlaySoundA: one clip at a time, played in the background through an SDL audio device.
//
// The device is opened on the first call and kept for the whole process, so playback does
// not depend on any window. It runs at the clip format of sound_clip.h; SDL adapts that to
// the hardware. Flags understood: SND_ASYNC, SND_SYNC, SND_NODEFAULT (SND_FILENAME is
// accepted, since a name is always a file here); any other flag fails with FALSE. A NULL
// name stops what plays. Files are read and converted before the call returns (tens of
// milliseconds for minutes of music); only the playing happens in the background.
// Calls are expected from one thread, as the demo makes them.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/linux/sound_clip.h"
#include "platform/win32.h"

namespace {

constexpr DWORD kSupportedFlags = SND_ASYNC | SND_NODEFAULT | SND_FILENAME;
constexpr Uint16 kDeviceBufferFrames = 1024;  // about 23 ms: replacement is heard at once
constexpr Uint32 kSyncPollMs = 5;

struct Playback {
    SDL_AudioDeviceID device = 0;
    bool closeRegistered = false;
    bool reportedNoDevice = false;
    // Shared with the audio thread, whose callback runs with the device lock held: once the
    // device exists these are touched only under that lock.
    SoundSamples clip;
    std::size_t position = 0;  // samples of clip already handed to the device
};

Playback playback;

void FeedDevice(void*, Uint8* stream, int length) {
    auto* out = reinterpret_cast<std::int16_t*>(stream);
    std::size_t wanted = static_cast<std::size_t>(length) / sizeof(std::int16_t);
    std::size_t left = playback.clip.size() - playback.position;
    std::size_t copied = std::min(wanted, left);
    if (copied) std::memcpy(out, playback.clip.data() + playback.position, copied * sizeof *out);
    std::memset(out + copied, 0, (wanted - copied) * sizeof *out);
    playback.position += copied;
}

// The audio thread must stop before the clip's storage is destroyed with the other statics.
void CloseDevice() {
    if (!playback.device) return;
    SDL_CloseAudioDevice(playback.device);
    playback.device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool OpenDevice() {
    if (playback.device) return true;
    const char* reason = nullptr;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        reason = SDL_GetError();
    } else {
        SDL_AudioSpec wanted{};
        wanted.freq = kSoundRate;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = kSoundChannels;
        wanted.samples = kDeviceBufferFrames;
        wanted.callback = FeedDevice;
        playback.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
        if (!playback.device) {
            reason = SDL_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }
    if (!playback.device) {
        if (!playback.reportedNoDevice) {
            std::fprintf(stderr, "PlaySoundA: no audio device (%s), so there is no sound\n",
                         reason);
            playback.reportedNoDevice = true;
        }
        return false;
    }
    if (!playback.closeRegistered) playback.closeRegistered = std::atexit(CloseDevice) == 0;
    SDL_PauseAudioDevice(playback.device, 0);
    return true;
}

// Swaps the new clip in under the lock; the old one is freed outside it, by the caller's
// vector, so the audio thread never waits on a large deallocation.
void Install(SoundSamples* clip) {
    SDL_LockAudioDevice(playback.device);
    playback.clip.swap(*clip);
    playback.position = 0;
    SDL_UnlockAudioDevice(playback.device);
}

void Stop() {
    if (!playback.device) return;
    SoundSamples none;
    Install(&none);
}

void WaitUntilPlayed() {
    for (;;) {
        SDL_LockAudioDevice(playback.device);
        bool done = playback.position >= playback.clip.size();
        SDL_UnlockAudioDevice(playback.device);
        if (done) return;
        SDL_Delay(kSyncPollMs);
    }
}

}  // namespace

extern "C" BOOL WINAPI PlaySoundA(LPCSTR sound, HMODULE, DWORD flags) {
    if (flags & ~kSupportedFlags) return FALSE;
    if (sound == nullptr) {
        Stop();
        return TRUE;
    }
    if (!OpenDevice()) return FALSE;

    SoundSamples clip;
    const char* why = "";
    if (!LoadSoundFile(sound, &clip, &why)) {
        if (flags & SND_NODEFAULT) {
            std::fprintf(stderr, "PlaySoundA: cannot play \"%s\": %s\n", sound, why);
            Stop();
            return FALSE;
        }
        std::fprintf(stderr, "PlaySoundA: cannot play \"%s\": %s; playing the default sound\n",
                     sound, why);
        MakeDefaultSound(&clip);
    }
    Install(&clip);
    if (!(flags & SND_ASYNC)) WaitUntilPlayed();
    return TRUE;
}
