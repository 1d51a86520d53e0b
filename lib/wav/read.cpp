// The bounded RIFF/WAVE walk behind ParseWav: chunks are visited only while their whole
// header and body lie inside the image, and the format is checked for self-consistency.
#include "wav/wav.h"

#include <cstring>

namespace {

constexpr std::uint16_t kFormatPcm = 0x0001;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

// The tail shared by every KSDATAFORMAT_SUBTYPE GUID; the first two bytes carry the format tag.
constexpr std::uint8_t kSubtypeTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                           0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Rates outside this range are far more likely to be corruption than real audio.
constexpr std::uint32_t kMinRate = 1000;
constexpr std::uint32_t kMaxRate = 192000;

std::uint16_t ReadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ReadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool Fail(const char** why, const char* reason) {
    if (why) *why = reason;
    return false;
}

struct Format {
    std::uint16_t channels;
    std::uint32_t rate;
    std::uint32_t byteRate;
    std::uint16_t blockAlign;
    std::uint16_t bits;
};

bool ReadFormat(const std::uint8_t* body, std::uint32_t size, Format* format, const char** why) {
    if (size < 16) return Fail(why, "format chunk too short");
    std::uint16_t tag = ReadU16(body);
    format->channels = ReadU16(body + 2);
    format->rate = ReadU32(body + 4);
    format->byteRate = ReadU32(body + 8);
    format->blockAlign = ReadU16(body + 12);
    format->bits = ReadU16(body + 14);
    if (tag == kFormatExtensible) {
        if (size < 40 || ReadU16(body + 16) < 22)
            return Fail(why, "extensible format chunk too short");
        if (ReadU16(body + 18) != format->bits)
            return Fail(why, "padded samples are not supported");
        tag = ReadU16(body + 24);
        if (std::memcmp(body + 26, kSubtypeTail, sizeof kSubtypeTail) != 0) {
            return Fail(why, "unknown extensible sub-format");
        }
    }
    if (tag != kFormatPcm) return Fail(why, "not integer PCM");
    if (format->channels != 1 && format->channels != 2) return Fail(why, "not mono or stereo");
    if (format->bits != 8 && format->bits != 16) return Fail(why, "not 8 or 16 bits per sample");
    if (format->rate < kMinRate || format->rate > kMaxRate)
        return Fail(why, "implausible sample rate");
    if (format->blockAlign != format->channels * format->bits / 8) {
        return Fail(why, "block size does not match the format");
    }
    return true;
}

}  // namespace

bool ParseWav(const std::uint8_t* image, std::size_t size, WavPcm* pcm, const char** why) {
    if (image == nullptr || size < 12) return Fail(why, "too short for a WAV header");
    if (std::memcmp(image, "RIFF", 4) != 0 || std::memcmp(image + 8, "WAVE", 4) != 0) {
        return Fail(why, "not a RIFF/WAVE file");
    }
    // The RIFF length is often wrong in files written by streaming tools, so the walk is
    // bounded by the real image size instead; each chunk must still fit inside it.
    Format format{};
    bool haveFormat = false;
    std::size_t offset = 12;
    while (size - offset >= 8) {
        const std::uint8_t* header = image + offset;
        std::uint32_t chunkSize = ReadU32(header + 4);
        std::size_t room = size - offset - 8;
        bool isData = std::memcmp(header, "data", 4) == 0;
        if (chunkSize > room) {
            return Fail(why,
                        isData ? "sample data cut short" : "chunk runs past the end of the file");
        }
        const std::uint8_t* body = header + 8;
        if (std::memcmp(header, "fmt ", 4) == 0) {
            if (haveFormat) return Fail(why, "two format chunks");
            if (!ReadFormat(body, chunkSize, &format, why)) return false;
            haveFormat = true;
        } else if (isData) {
            if (!haveFormat) return Fail(why, "sample data before the format chunk");
            std::size_t frames = chunkSize / format.blockAlign;
            if (frames == 0) return Fail(why, "no samples");
            pcm->channels = format.channels;
            pcm->sampleRate = static_cast<int>(format.rate);
            pcm->bitsPerSample = format.bits;
            pcm->samples = body;
            pcm->frameCount = frames;
            pcm->riffSize = ReadU32(image + 4);
            pcm->byteRate = format.byteRate;
            return true;
        }
        // Chunks are padded to an even length; a missing pad byte at the very end is harmless.
        std::size_t advance = 8 + static_cast<std::size_t>(chunkSize) + (chunkSize & 1u);
        if (advance > size - offset) break;
        offset += advance;
    }
    return Fail(why, haveFormat ? "no sample data" : "no format chunk");
}
