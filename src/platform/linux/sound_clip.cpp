// Turns a WAV file, or the built-in chime, into a device-format clip.
#include "platform/linux/sound_clip.h"

#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

#include "wav/wav.h"

namespace {

// Far beyond any music file the demo ships (about 18 MB), and small enough that a bogus
// path to some huge file cannot exhaust memory.
constexpr long long kMaxFileBytes = 256ll * 1024 * 1024;

// The converter's work buffer may reach this much before a clip is refused as too long:
// about 50 minutes of CD-format sound, or 25 of mono at 22050 Hz.
constexpr std::size_t kMaxWorkBytes = 512u * 1024 * 1024;

bool Fail(const char** why, const char* reason) {
    if (why) *why = reason;
    return false;
}

// Opened without blocking, so that a FIFO or a device at the path is turned away at once
// instead of waiting for a writer; only a regular file is read.
bool ReadWholeFile(const char* path, std::vector<std::uint8_t>* bytes, const char** why) {
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Fail(why, errno == ENOENT ? "no such file" : "cannot be opened");
    struct stat info {};
    bool ok = false;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        Fail(why, "not a regular file");
    } else if (info.st_size > kMaxFileBytes) {
        Fail(why, "file too large");
    } else {
        bytes->resize(static_cast<std::size_t>(info.st_size));
        std::size_t got = 0;
        ok = true;
        while (got < bytes->size()) {
            ssize_t n = read(fd, bytes->data() + got, bytes->size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                ok = Fail(why, "read error");
                break;
            }
            if (n == 0) break;  // a file that shrank while being read is simply shorter
            got += static_cast<std::size_t>(n);
        }
        bytes->resize(got);
    }
    close(fd);
    return ok;
}

// SDL_ConvertAudio works on the whole clip at once, so the resampler sees every sample
// (SDL's streaming converter drops some of them when it resamples), at the price of a work
// buffer several times the file's size for low rates; that buffer is bounded.
bool ConvertToDeviceFormat(const WavPcm& pcm, SoundSamples* out, const char** why) {
    SDL_AudioFormat format = pcm.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    SDL_AudioCVT cvt;
    int needed = SDL_BuildAudioCVT(&cvt, format, static_cast<Uint8>(pcm.channels), pcm.sampleRate,
                                   AUDIO_S16SYS, kSoundChannels, kSoundRate);
    if (needed < 0) return Fail(why, "no converter for this format");
    std::size_t bytes =
        pcm.frameCount * static_cast<std::size_t>(pcm.channels * pcm.bitsPerSample / 8);
    if (needed == 0) {
        out->resize(bytes / sizeof(std::int16_t));
        std::memcpy(out->data(), pcm.samples, out->size() * sizeof(std::int16_t));
        return true;
    }
    if (cvt.len_mult <= 0 || bytes > kMaxWorkBytes / static_cast<std::size_t>(cvt.len_mult)) {
        return Fail(why, "too long to convert");
    }
    std::vector<Uint8> work(bytes * static_cast<std::size_t>(cvt.len_mult));
    std::memcpy(work.data(), pcm.samples, bytes);
    cvt.buf = work.data();
    cvt.len = static_cast<int>(bytes);
    if (SDL_ConvertAudio(&cvt) != 0) return Fail(why, "conversion failed");
    std::size_t converted = static_cast<std::size_t>(cvt.len_cvt) / sizeof(std::int16_t);
    if (converted == 0) return Fail(why, "no samples");
    out->resize(converted);
    std::memcpy(out->data(), work.data(), converted * sizeof(std::int16_t));
    return true;
}

}  // namespace

bool LoadSoundFile(const char* path, SoundSamples* samples, const char** why) {
    if (path == nullptr || *path == '\0') return Fail(why, "no file name");
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes, why)) return false;
    WavPcm pcm;
    if (!ParseWav(bytes.data(), bytes.size(), &pcm, why)) return false;
    SoundSamples converted;
    if (!ConvertToDeviceFormat(pcm, &converted, why)) return false;
    samples->swap(converted);
    return true;
}

void MakeDefaultSound(SoundSamples* samples) {
    // Two bell-like partials a fourth apart, the second entering as the first fades,
    // each with a short attack (no click) and an exponential ring-out.
    struct Tone {
        double hertz, start, decay;
    };
    constexpr Tone kTones[] = {{880.0, 0.0, 0.06}, {659.25, 0.11, 0.07}};
    constexpr double kLength = 0.3;
    constexpr double kAttack = 0.004;
    constexpr double kRelease = 0.02;  // a final fade so the chime ends exactly at silence
    constexpr double kLevel = 0.25 * 32767.0;

    std::size_t frames = static_cast<std::size_t>(kLength * kSoundRate);
    samples->assign(frames * kSoundChannels, 0);
    for (std::size_t i = 0; i < frames; ++i) {
        double t = static_cast<double>(i) / kSoundRate;
        double value = 0.0;
        for (const Tone& tone : kTones) {
            double local = t - tone.start;
            if (local < 0.0) continue;
            double envelope = std::min(1.0, local / kAttack) * std::exp(-local / tone.decay);
            value += envelope * std::sin(2.0 * std::numbers::pi * tone.hertz * local);
        }
        value *= std::min(1.0, (kLength - t) / kRelease);
        auto sample = static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * kLevel));
        for (int c = 0; c < kSoundChannels; ++c) (*samples)[i * kSoundChannels + c] = sample;
    }
}
