// Turns a WAV file into a clip of the one device format.
#include "platform/desktop/sound_clip.h"

#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "wav/wav.h"

namespace standin {

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

// The file's bytes, read once into storage that is not cleared first (a music file is tens
// of megabytes: every extra pass over it is time taken from the frames on a small machine).
struct FileImage {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0;
};

// Opened without blocking, so that a FIFO or a device at the path is turned away at once
// instead of waiting for a writer; only a regular file is read.
bool ReadWholeFile(const char* path, FileImage* image, const char** why) {
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Fail(why, errno == ENOENT ? "no such file" : "cannot be opened");
    struct stat info {};
    bool ok = false;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        Fail(why, "not a regular file");
    } else if (info.st_size > kMaxFileBytes) {
        Fail(why, "file too large");
    } else {
        const std::size_t size = static_cast<std::size_t>(info.st_size);
        image->bytes.reset(new std::uint8_t[size > 0 ? size : 1]);
        std::size_t got = 0;
        ok = true;
        while (got < size) {
            ssize_t n = read(fd, image->bytes.get() + got, size - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                ok = Fail(why, "read error");
                break;
            }
            if (n == 0) break;  // a file that shrank while being read is simply shorter
            got += static_cast<std::size_t>(n);
        }
        image->size = got;
    }
    close(fd);
    return ok;
}

// The common case of a file at the device's rate, mono or 8-bit, in one pass: SDL would go
// through floating point both ways, several times slower for minutes of music.
void WidenAtDeviceRate(const WavPcm& pcm, SoundSamples* out) {
    out->resize(pcm.frameCount * kSoundChannels);
    std::int16_t* to = out->data();
    const std::uint8_t* from = pcm.samples;
    const std::size_t values = pcm.frameCount * static_cast<std::size_t>(pcm.channels);
    const std::size_t copies = kSoundChannels / static_cast<std::size_t>(pcm.channels);
    for (std::size_t i = 0; i < values; ++i) {
        std::int16_t value;
        if (pcm.bitsPerSample == 8) {
            value = static_cast<std::int16_t>((from[i] - 128) * 256);  // unsigned, 128 is silence
        } else {
            value =
                static_cast<std::int16_t>(from[2 * i] | (from[2 * i + 1] << 8));  // little-endian
        }
        for (std::size_t c = 0; c < copies; ++c) *to++ = value;
    }
}

// SDL_ConvertAudio works on the whole clip at once, so the resampler sees every sample
// (SDL's streaming converter drops some of them when it resamples), at the price of a work
// buffer several times the file's size for low rates; that buffer is bounded. The clip's own
// storage is that work buffer, so the samples are copied once and converted in place.
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
    if (pcm.sampleRate == kSoundRate) {
        WidenAtDeviceRate(pcm, out);
        return true;
    }
    if (cvt.len_mult <= 0 || bytes > kMaxWorkBytes / static_cast<std::size_t>(cvt.len_mult)) {
        return Fail(why, "too long to convert");
    }
    const std::size_t workBytes = bytes * static_cast<std::size_t>(cvt.len_mult);
    out->resize((workBytes + sizeof(std::int16_t) - 1) / sizeof(std::int16_t));
    std::memcpy(out->data(), pcm.samples, bytes);
    cvt.buf = reinterpret_cast<Uint8*>(out->data());
    cvt.len = static_cast<int>(bytes);
    if (SDL_ConvertAudio(&cvt) != 0) return Fail(why, "conversion failed");
    std::size_t converted = static_cast<std::size_t>(cvt.len_cvt) / sizeof(std::int16_t);
    if (converted == 0) return Fail(why, "no samples");
    out->resize(converted);
    // The work room a resampler asked for may be far more than the clip: give it back.
    if (out->capacity() > converted + converted / 2) out->shrink_to_fit();
    return true;
}

}  // namespace

bool LoadSoundFile(const char* path, SoundSamples* samples, const char** why) {
    if (path == nullptr || *path == '\0') return Fail(why, "no file name");
    FileImage image;
    if (!ReadWholeFile(path, &image, why)) return false;
    WavPcm pcm;
    if (!ParseWav(image.bytes.get(), image.size, &pcm, why)) return false;
    SoundSamples converted;
    if (!ConvertToDeviceFormat(pcm, &converted, why)) return false;
    samples->swap(converted);
    return true;
}

}  // namespace standin
