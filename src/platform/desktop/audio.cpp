// The desktop's sound: one clip at a time, played in the background through an SDL audio
// device.
//
// The device is opened on the first call and kept for the whole process, so playback does
// not depend on any window. It runs at the clip format of sound_clip.h; SDL adapts that to
// the hardware.
//
// Without a wait the call returns at once, as Windows' sound service does: the file is
// opened, read and converted on a loader thread of its own, and the clip starts when it is
// ready (the audio thread takes it at its next buffer). Until then whatever played goes on.
// Each call is a request numbered in order; only the newest request's clip is ever played,
// so a later call wins even when an earlier, slower load finishes after it. Whether the file
// could be played is known only on the loader thread, so a call without a wait answers true
// for any file; the stderr line and the default sound (or silence) come when the load fails.
// A waited-for file is loaded and played on the caller's thread.
//
// Loader threads are never waited for: the process may end while one is still reading (a
// slow disk, a FIFO nobody writes), and everything a loader touches is never destroyed.
// Calls are expected from one thread, as the demo makes them.
#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "platform/desktop/desktop.h"
#include "platform/desktop/sound_clip.h"

namespace standin::desktop {

namespace {

constexpr Uint16 kDeviceBufferFrames = 1024;  // about 23 ms: replacement is heard at once
constexpr Uint32 kSyncPollMs = 5;

// Never destroyed: a loader thread may still hand its clip over while the process exits.
struct Playback {
    SDL_AudioDeviceID device = 0;
    bool closeRegistered = false;
    bool reportedNoDevice = false;

    // Shared with the audio thread, whose callback runs with the device lock held: once the
    // device exists these are touched only under that lock.
    SoundSamples clip;
    std::size_t position = 0;  // samples of clip already handed to the device

    // Shared with the loader threads and the audio thread, under `handOver`. The audio
    // thread only tries the lock, so it never waits on a loader.
    std::mutex handOver;
    std::uint64_t newest = 0;  // number of the newest request
    SoundSamples ready;        // a loaded clip of the newest request, for the audio thread
    // `ready` holds a clip not yet taken (else: the leftovers of one taken).
    bool readyWaiting = false;
};

Playback& ThePlayback() {
    static Playback* playback = new Playback;
    return *playback;
}

void FeedDevice(void*, Uint8* stream, int length) {
    Playback& playback = ThePlayback();
    if (playback.handOver.try_lock()) {
        if (playback.readyWaiting) {
            // The clip that played is left in `ready`, freed later off this thread.
            playback.clip.swap(playback.ready);
            playback.position = 0;
            playback.readyWaiting = false;
        }
        playback.handOver.unlock();
    }
    auto* out = reinterpret_cast<std::int16_t*>(stream);
    std::size_t wanted = static_cast<std::size_t>(length) / sizeof(std::int16_t);
    std::size_t left = playback.clip.size() - playback.position;
    std::size_t copied = std::min(wanted, left);
    if (copied) std::memcpy(out, playback.clip.data() + playback.position, copied * sizeof *out);
    std::memset(out + copied, 0, (wanted - copied) * sizeof *out);
    playback.position += copied;
}

// The audio thread stops before the process's other statics are destroyed.
void CloseDevice() {
    Playback& playback = ThePlayback();
    if (!playback.device) return;
    SDL_CloseAudioDevice(playback.device);
    playback.device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool OpenDevice() {
    Playback& playback = ThePlayback();
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

// A new request: every earlier one is superseded, and a clip of theirs not yet taken by the
// audio thread is dropped (into *dropped, so the caller frees it outside the lock).
std::uint64_t NewRequest(SoundSamples* dropped) {
    Playback& playback = ThePlayback();
    std::lock_guard<std::mutex> hold(playback.handOver);
    playback.readyWaiting = false;
    dropped->swap(playback.ready);
    return ++playback.newest;
}

// Puts the clip in place at once, on the caller's thread; the old one is freed outside the
// device lock, by the caller's vector, so the audio thread never waits on a deallocation.
void Install(SoundSamples* clip) {
    Playback& playback = ThePlayback();
    SDL_LockAudioDevice(playback.device);
    playback.clip.swap(*clip);
    playback.position = 0;
    SDL_UnlockAudioDevice(playback.device);
}

void WaitUntilPlayed() {
    Playback& playback = ThePlayback();
    for (;;) {
        SDL_LockAudioDevice(playback.device);
        bool done = playback.position >= playback.clip.size();
        SDL_UnlockAudioDevice(playback.device);
        if (done) return;
        SDL_Delay(kSyncPollMs);
    }
}

// Loads the named file, or in its place the default sound (or silence), saying on stderr why
// the file could not be played. False when it could not.
bool LoadClip(const char* sound, bool useDefault, SoundSamples* clip) {
    const char* why = "";
    if (LoadSoundFile(sound, clip, &why)) return true;
    return DefaultInstead(sound, why, useDefault, "playing the default sound", clip);
}

// The loader: the clip goes to the audio thread only if no later request came meanwhile.
void LoadInBackground(const std::string& sound, bool useDefault, std::uint64_t request) {
    SoundSamples clip;
    LoadClip(sound.c_str(), useDefault, &clip);
    Playback& playback = ThePlayback();
    std::lock_guard<std::mutex> hold(playback.handOver);
    if (request != playback.newest) return;  // superseded: the clip is freed here
    playback.ready.swap(clip);               // what `ready` held before is freed with `clip`
    playback.readyWaiting = true;
}

}  // namespace

void StopSound() {
    if (!ThePlayback().device) return;
    SoundSamples dropped;
    NewRequest(&dropped);
    SoundSamples none;
    Install(&none);
}

bool PlaySoundFile(const SoundRequest& request) {
    if (!OpenDevice()) return false;

    SoundSamples dropped;
    const std::uint64_t number = NewRequest(&dropped);
    if (!request.wait) {
        std::string name(request.path);
        try {
            std::thread(LoadInBackground, name, request.useDefault, number).detach();
        } catch (const std::system_error&) {
            LoadInBackground(name, request.useDefault, number);  // no thread to be had: load here
        }
        return true;
    }

    SoundSamples clip;
    const bool playable = LoadClip(request.path, request.useDefault, &clip);
    Install(&clip);
    if (!playable) return false;
    WaitUntilPlayed();
    return true;
}

}  // namespace standin::desktop
