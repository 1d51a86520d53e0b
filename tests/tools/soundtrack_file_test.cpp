// The music file the build writes: its format, length, levels across the demo's timeline,
// and that generating it again gives the very same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "master.h"
#include "sequencer.h"
#include "wav/wav.h"

namespace {

constexpr double kRate = 44100.0;

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::vector<std::uint8_t>& BuiltBytes() {
    static const std::vector<std::uint8_t> bytes = ReadFileBytes(QUORVANE_SOUNDTRACK_WAV);
    return bytes;
}

// The built file as the stand-in reads it, with its 16-bit samples decoded.
struct BuiltFile {
    bool ok = false;
    const char* error = "";
    WavPcm pcm;
    std::vector<std::int16_t> samples;
};

const BuiltFile& Built() {
    static const BuiltFile built = [] {
        BuiltFile file;
        const std::vector<std::uint8_t>& bytes = BuiltBytes();
        file.ok = ParseWav(bytes.data(), bytes.size(), &file.pcm, &file.error);
        if (file.ok && file.pcm.bitsPerSample == 16) {
            const std::uint8_t* p = file.pcm.samples;
            file.samples.resize(file.pcm.frameCount * static_cast<std::size_t>(file.pcm.channels));
            for (std::size_t i = 0; i < file.samples.size(); ++i)
                file.samples[i] = static_cast<std::int16_t>(p[2 * i] | p[2 * i + 1] << 8);
        }
        return file;
    }();
    return built;
}

std::size_t At(double seconds) { return static_cast<std::size_t>(seconds * kRate); }

// Root mean square of [from, to) as a fraction of full scale.
double Rms(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(s[i]) * s[i];
    return std::sqrt(sum / static_cast<double>(to - from)) / 32768.0;
}

double RmsSeconds(const std::vector<std::int16_t>& s, double from, double to) {
    return Rms(s, At(from), At(to));
}

double LengthSeconds(const BuiltFile& wav) {
    return static_cast<double>(wav.pcm.frameCount) / wav.pcm.sampleRate;
}

// ParseWav checks the rest of the header: the block size against the format, and every
// chunk against the file's size.
TEST(SoundtrackFile, IsMono16BitPcmAt44100WithAConsistentHeader) {
    const BuiltFile& wav = Built();
    ASSERT_TRUE(wav.ok) << wav.error << " in " << QUORVANE_SOUNDTRACK_WAV;
    EXPECT_EQ(wav.pcm.channels, 1);
    EXPECT_EQ(wav.pcm.sampleRate, 44100);
    EXPECT_EQ(wav.pcm.bitsPerSample, 16);
    EXPECT_EQ(wav.pcm.byteRate, 44100u * 2u);
    EXPECT_EQ(wav.pcm.riffSize, BuiltBytes().size() - 8);
    // The canonical layout: a plain PCM format chunk, the samples right after the header.
    EXPECT_EQ(wav.pcm.samples, BuiltBytes().data() + kWavDataOffset);
    EXPECT_EQ(wav.samples.size() * 2 + kWavDataOffset, BuiltBytes().size());
}

TEST(SoundtrackFile, OutlastsTheLastCreditsChange) {
    ASSERT_TRUE(Built().ok);
    EXPECT_GE(LengthSeconds(Built()), 100.0);
}

TEST(SoundtrackFile, PeaksBelowFullScaleWithoutBeingTimid) {
    ASSERT_TRUE(Built().ok);
    int peak = 0;
    for (const std::int16_t s : Built().samples)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_LT(peak, 32767);
    EXPECT_GT(peak, 32768 / 2);
}

TEST(SoundtrackFile, NoFiveSecondWindowAfterTheFirstSecondIsSilent) {
    ASSERT_TRUE(Built().ok);
    const auto& s = Built().samples;
    // Running sums of squares make every window, a tenth of a second apart, cheap to check.
    std::vector<double> energy(s.size() + 1, 0.0);
    for (std::size_t i = 0; i < s.size(); ++i)
        energy[i + 1] = energy[i] + static_cast<double>(s[i]) * s[i];
    const std::size_t window = At(5.0);
    constexpr double kThreshold = 0.01;  // -40 dB of full scale
    for (std::size_t from = At(1.0); from + window <= s.size(); from += At(0.1)) {
        const double rms =
            std::sqrt((energy[from + window] - energy[from]) / static_cast<double>(window)) /
            32768.0;
        ASSERT_GT(rms, kThreshold) << "window from " << static_cast<double>(from) / kRate << " s";
    }
}

TEST(SoundtrackFile, FollowsTheDemosTimeline) {
    ASSERT_TRUE(Built().ok);
    const auto& s = Built().samples;
    const double length = LengthSeconds(Built());
    const double boot = RmsSeconds(s, 1.0, 29.0);
    const double main = RmsSeconds(s, 33.0, length);
    EXPECT_GT(main, 2.0 * boot) << "boot " << boot << ", main " << main;
    // The loading line builds up: louder than the boot screen, and louder in its second half.
    EXPECT_GT(RmsSeconds(s, 29.0, 33.0), 1.5 * boot);
    EXPECT_GT(RmsSeconds(s, 31.0, 33.0), RmsSeconds(s, 29.0, 31.0));
    // It fades out: the last second is far below the farewell's opening, the last sample near zero.
    EXPECT_LT(RmsSeconds(s, length - 1.0, length), 0.25 * RmsSeconds(s, 90.0, 98.0));
    EXPECT_LT(std::abs(static_cast<int>(s.back())), 64);
}

TEST(SoundtrackFile, GeneratingTwiceGivesIdenticalBytes) {
    const std::string first = std::string(QUORVANE_SOUNDTRACK_SCRATCH) + "/first.wav";
    const std::string second = std::string(QUORVANE_SOUNDTRACK_SCRATCH) + "/second.wav";
    using namespace soundtrack;
    ASSERT_TRUE(WriteWavFile(first, EncodeWav(kFileFormat, ToPcm16(RenderTune()))));
    ASSERT_TRUE(WriteWavFile(second, EncodeWav(kFileFormat, ToPcm16(RenderTune()))));
    const auto a = ReadFileBytes(first);
    const auto b = ReadFileBytes(second);
    ASSERT_FALSE(a.empty());
    EXPECT_TRUE(a == b);
    // ...and the same bytes as the generator program wrote during the build.
    EXPECT_TRUE(a == BuiltBytes());
}

TEST(SoundtrackFile, WritingReportsAFileThatCannotBeCreated) {
    const std::string nowhere = std::string(QUORVANE_SOUNDTRACK_SCRATCH) + "/no such folder/x.wav";
    EXPECT_FALSE(WriteWavFile(nowhere, {1, 2, 3}));
}

}  // namespace
