// ParseWav against well-formed layouts and against every kind of damage a file can carry.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "test_wav.h"

namespace {

// The parser sees exactly `size` heap bytes, so a sanitizer build catches any over-read.
bool ParseCopy(const std::vector<std::uint8_t>& image, std::size_t size, WavPcm* pcm,
               const char** why, std::unique_ptr<std::uint8_t[]>* keep) {
    keep->reset(new std::uint8_t[size ? size : 1]);
    if (size) std::memcpy(keep->get(), image.data(), size);
    return ParseWav(keep->get(), size, pcm, why);
}

std::vector<std::uint8_t> Insert(std::vector<std::uint8_t> image, std::size_t at,
                                 const std::vector<std::uint8_t>& bytes) {
    image.insert(image.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin(), bytes.end());
    return image;
}

TEST(WavReader, ReadsEveryCanonicalLayout) {
    for (int channels : {1, 2}) {
        for (int bits : {8, 16}) {
            for (int rate : {8000, 22050, 44100, 48000}) {
                ToneSpec spec;
                spec.channels = channels;
                spec.bitsPerSample = bits;
                spec.sampleRate = rate;
                spec.frames = 1000;
                std::vector<std::uint8_t> image = BuildToneWav(spec);
                WavPcm pcm;
                const char* why = nullptr;
                ASSERT_TRUE(ParseWav(image.data(), image.size(), &pcm, &why))
                    << channels << "ch " << bits << "bit " << rate << "Hz: " << why;
                EXPECT_EQ(pcm.channels, channels);
                EXPECT_EQ(pcm.bitsPerSample, bits);
                EXPECT_EQ(pcm.sampleRate, rate);
                EXPECT_EQ(pcm.frameCount, static_cast<std::size_t>(spec.frames));
                EXPECT_EQ(pcm.samples, image.data() + kWavDataOffset);
                EXPECT_EQ(pcm.byteRate, static_cast<std::uint32_t>(rate * channels * bits / 8));
                EXPECT_EQ(pcm.riffSize, image.size() - 8);
            }
        }
    }
}

TEST(WavReader, SkipsUnknownChunksWithTheirPadByte) {
    std::vector<std::uint8_t> image = BuildToneWav(ToneSpec{});
    // An odd-sized "LIST" chunk before the format and one between format and data.
    std::vector<std::uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    std::vector<std::uint8_t> fact = {'f', 'a', 'c', 't', 4, 0, 0, 0, 1, 2, 3, 4};
    image = Insert(Insert(image, 36, fact), 12, list);
    WavPcm pcm;
    const char* why = nullptr;
    ASSERT_TRUE(ParseWav(image.data(), image.size(), &pcm, &why)) << why;
    EXPECT_EQ(pcm.samples, image.data() + kWavDataOffset + list.size() + fact.size());
    EXPECT_EQ(pcm.frameCount, static_cast<std::size_t>(ToneSpec{}.frames));
}

TEST(WavReader, DropsAPartialLastFrame) {
    ToneSpec spec;
    std::vector<std::uint8_t> image = BuildToneWav(spec);
    const std::vector<std::uint8_t> stray = {9, 9, 9};
    image.insert(image.end(), stray.begin(), stray.end());
    PutU32(&image, kWavDataSizeOffset, static_cast<std::uint32_t>(spec.frames * 4 + 3));
    WavPcm pcm;
    const char* why = nullptr;
    ASSERT_TRUE(ParseWav(image.data(), image.size(), &pcm, &why)) << why;
    EXPECT_EQ(pcm.frameCount, static_cast<std::size_t>(spec.frames));
}

// The extensible header carries the real format in a sub-format GUID after 24 extra bytes.
std::vector<std::uint8_t> Extensible(std::uint16_t subFormat, std::uint16_t validBits) {
    ToneSpec spec;
    std::vector<std::uint8_t> image = BuildToneWav(spec);
    std::vector<std::uint8_t> extra(24, 0);
    const std::uint8_t tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                   0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    extra[0] = 22;
    extra[2] = static_cast<std::uint8_t>(validBits);
    extra[4] = 3;  // front left and right
    extra[8] = static_cast<std::uint8_t>(subFormat);
    std::memcpy(extra.data() + 10, tail, sizeof tail);
    image = Insert(image, kWavFmtBodyOffset + 16, extra);
    PutU32(&image, kWavFmtSizeOffset, 40);
    PutU16(&image, kWavFmtBodyOffset, 0xFFFE);
    return image;
}

TEST(WavReader, ReadsTheExtensibleHeaderOnlyForPlainPcm) {
    WavPcm pcm;
    const char* why = nullptr;
    std::vector<std::uint8_t> pcmImage = Extensible(1, 16);
    ASSERT_TRUE(ParseWav(pcmImage.data(), pcmImage.size(), &pcm, &why)) << why;
    EXPECT_EQ(pcm.channels, 2);
    EXPECT_EQ(pcm.bitsPerSample, 16);
    EXPECT_EQ(pcm.samples, pcmImage.data() + kWavDataOffset + 24);

    std::vector<std::uint8_t> floatImage = Extensible(3, 16);
    EXPECT_FALSE(ParseWav(floatImage.data(), floatImage.size(), &pcm, &why));
    std::vector<std::uint8_t> padded = Extensible(1, 12);
    EXPECT_FALSE(ParseWav(padded.data(), padded.size(), &pcm, &why));
}

TEST(WavReader, RefusesEveryCutShortImage) {
    std::vector<std::uint8_t> image = BuildToneWav(ToneSpec{.frames = 64});
    std::unique_ptr<std::uint8_t[]> keep;
    for (std::size_t size = 0; size < image.size(); ++size) {
        WavPcm pcm;
        const char* why = nullptr;
        EXPECT_FALSE(ParseCopy(image, size, &pcm, &why, &keep)) << "cut at " << size;
        EXPECT_NE(why, nullptr);
    }
    WavPcm pcm;
    const char* why = nullptr;
    EXPECT_TRUE(ParseCopy(image, image.size(), &pcm, &why, &keep));
}

struct Damage {
    const char* name;
    void (*apply)(std::vector<std::uint8_t>*);
};

constexpr Damage kDamages[] = {
    {"RIFX byte order", [](auto* i) { (*i)[3] = 'X'; }},
    {"not WAVE", [](auto* i) { (*i)[11] = 'X'; }},
    {"huge format chunk", [](auto* i) { PutU32(i, kWavFmtSizeOffset, 0xFFFFFFF0u); }},
    {"format chunk too short", [](auto* i) { PutU32(i, kWavFmtSizeOffset, 14); }},
    {"huge data chunk", [](auto* i) { PutU32(i, kWavDataSizeOffset, 0xFFFFFFFFu); }},
    {"data chunk one byte long", [](auto* i) { PutU32(i, kWavDataSizeOffset, 1); }},
    {"empty data chunk",
     [](auto* i) {
         PutU32(i, kWavDataSizeOffset, 0);
         i->resize(kWavDataOffset);
     }},
    {"float samples", [](auto* i) { PutU16(i, kWavFmtBodyOffset, 3); }},
    {"no channels", [](auto* i) { PutU16(i, kWavFmtBodyOffset + 2, 0); }},
    {"six channels",
     [](auto* i) {
         PutU16(i, kWavFmtBodyOffset + 2, 6);
         PutU16(i, kWavFmtBodyOffset + 12, 12);
     }},
    {"zero rate", [](auto* i) { PutU32(i, kWavFmtBodyOffset + 4, 0); }},
    {"absurd rate", [](auto* i) { PutU32(i, kWavFmtBodyOffset + 4, 0x7FFFFFFFu); }},
    {"block size not the frame size", [](auto* i) { PutU16(i, kWavFmtBodyOffset + 12, 3); }},
    {"zero block size", [](auto* i) { PutU16(i, kWavFmtBodyOffset + 12, 0); }},
    {"24-bit samples",
     [](auto* i) {
         PutU16(i, kWavFmtBodyOffset + 14, 24);
         PutU16(i, kWavFmtBodyOffset + 12, 6);
     }},
    {"no format chunk", [](auto* i) { (*i)[12] = 'x'; }},
    {"no data chunk", [](auto* i) { (*i)[36] = 'x'; }},
};

TEST(WavReader, RefusesDamagedHeaders) {
    for (const Damage& damage : kDamages) {
        std::vector<std::uint8_t> image = BuildToneWav(ToneSpec{.frames = 100});
        damage.apply(&image);
        std::unique_ptr<std::uint8_t[]> keep;
        WavPcm pcm;
        const char* why = nullptr;
        EXPECT_FALSE(ParseCopy(image, image.size(), &pcm, &why, &keep)) << damage.name;
        EXPECT_NE(why, nullptr) << damage.name;
    }
}

TEST(WavReader, RefusesDataBeforeItsFormat) {
    std::vector<std::uint8_t> image = BuildToneWav(ToneSpec{.frames = 10});
    // Swap the chunks: data (8 + 40 bytes) first, then the format chunk (8 + 16 bytes).
    std::vector<std::uint8_t> swapped(image.begin(), image.begin() + 12);
    swapped.insert(swapped.end(), image.begin() + 36, image.end());
    swapped.insert(swapped.end(), image.begin() + 12, image.begin() + 36);
    WavPcm pcm;
    const char* why = nullptr;
    EXPECT_FALSE(ParseWav(swapped.data(), swapped.size(), &pcm, &why));
}

// Random byte damage anywhere in the header must never lead outside the image.
TEST(WavReader, RandomDamageStaysInsideTheImage) {
    const std::vector<std::uint8_t> original = BuildToneWav(ToneSpec{.frames = 32});
    std::uint32_t state = 0x9E3779B9u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    int accepted = 0;
    for (int round = 0; round < 5000; ++round) {
        std::vector<std::uint8_t> image = original;
        int hits = 1 + static_cast<int>(next() % 4);
        for (int h = 0; h < hits; ++h) {
            image[next() % kWavDataOffset] = static_cast<std::uint8_t>(next());
        }
        std::size_t size = next() % 3 == 0 ? next() % image.size() : image.size();
        std::unique_ptr<std::uint8_t[]> keep;
        WavPcm pcm;
        const char* why = nullptr;
        if (!ParseCopy(image, size, &pcm, &why, &keep)) continue;
        ++accepted;
        std::size_t frameBytes = static_cast<std::size_t>(pcm.channels * pcm.bitsPerSample / 8);
        ASSERT_GE(pcm.samples, keep.get());
        ASSERT_LE(pcm.samples + pcm.frameCount * frameBytes, keep.get() + size);
    }
    // Damage that misses every checked field leaves the file playable, so some must pass.
    EXPECT_GT(accepted, 0);
}

}  // namespace
