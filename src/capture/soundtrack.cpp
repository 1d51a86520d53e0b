// The capture's sound: nothing is played; each request is recorded with the virtual time it
// came at, and the soundtrack is mixed from those records as the video is written.
//
// As with the desktop's sound one clip plays at a time: a new request replaces what plays, a
// stop silences it, and a file that cannot be played is replaced by the default sound unless
// the request asks for silence. A waited-for request is recorded like any other: the clock
// does not move while the program waits, so the wait would end at once.
#include <cstdio>
#include <cstring>

#include "capture/capture.h"
#include "platform/desktop/sound_clip.h"

using standin::kSoundChannels;
using standin::kSoundRate;
using standin::SoundSamples;

namespace {

constexpr int kMaxRequests = 16;

struct Request {
    std::uint64_t start;  // in samples per channel from the first frame
    SoundSamples clip;    // empty: silence from here on
};

struct Soundtrack {
    Request requests[kMaxRequests];
    int count = 0;
    std::uint32_t musicEndMs = 0;
};

Soundtrack gSoundtrack;

std::uint64_t SampleAtMs(std::uint32_t ms) {
    return static_cast<std::uint64_t>(ms) * kSoundRate / 1000u;
}

}  // namespace

namespace capture {

std::uint32_t MusicEndMs() { return gSoundtrack.musicEndMs; }

void MixSoundtrack(std::uint64_t first, int count, std::int16_t* out) {
    for (int i = 0; i < count; ++i) {
        std::uint64_t at = first + static_cast<std::uint64_t>(i);
        const Request* playing = nullptr;
        for (int r = 0; r < gSoundtrack.count && gSoundtrack.requests[r].start <= at; ++r) {
            playing = &gSoundtrack.requests[r];
        }
        std::int16_t left = 0;
        std::int16_t right = 0;
        if (playing != nullptr) {
            std::uint64_t offset = (at - playing->start) * kSoundChannels;
            if (offset + 1 < playing->clip.size()) {
                left = playing->clip[offset];
                right = playing->clip[offset + 1];
            }
        }
        out[2 * i] = left;
        out[2 * i + 1] = right;
    }
}

// A request from now on, whose clip the caller fills; null when there is no room for it.
Request* NewRequest() {
    Soundtrack& track = gSoundtrack;
    if (track.count == kMaxRequests) {
        std::fprintf(stderr,
                     "PlaySoundA: more than %d sounds in one capture; this one is left out\n",
                     kMaxRequests);
        return nullptr;
    }
    Request& request = track.requests[track.count++];
    request.start = SampleAtMs(ClockMs());
    request.clip.clear();
    return &request;
}

bool RecordSound(const standin::SoundRequest& sound) {
    Request* request = NewRequest();
    if (request == nullptr) return false;
    const char* why = "";
    if (!standin::LoadSoundFile(sound.path, &request->clip, &why)) {
        // Refused, the request stays, silent: it stops what played, as the desktop's sound does.
        return standin::DefaultInstead(sound.path, why, sound.useDefault,
                                       "the default sound is recorded instead", &request->clip);
    }
    std::uint64_t frames = request->clip.size() / kSoundChannels;
    gSoundtrack.musicEndMs =
        ClockMs() + static_cast<std::uint32_t>((frames * 1000u + kSoundRate - 1) / kSoundRate);
    return true;
}

void StopSound() { NewRequest(); }

}  // namespace capture
