// The music file the build writes: its format, length, levels across the demo's timeline,
// and that generating it again gives the very same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "master.h"
#include "sequencer.h"
#include "wav.h"
#include "wav_reader.h"

namespace {

constexpr double kRate = 44100.0;

const std::vector<unsigned char>& BuiltBytes() {
    static const std::vector<unsigned char> bytes = ReadFileBytes(QUORVANE_SOUNDTRACK_WAV);
    return bytes;
}

const WavFile& Built() {
    static const WavFile wav = ParseWav(BuiltBytes());
    return wav;
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

double LengthSeconds(const WavFile& wav) {
    return static_cast<double>(wav.samples.size()) / wav.channels / wav.sampleRate;
}

TEST(SoundtrackFile, IsMono16BitPcmAt44100WithAConsistentHeader) {
    const WavFile& wav = Built();
    ASSERT_TRUE(wav.ok) << wav.error << " in " << QUORVANE_SOUNDTRACK_WAV;
    EXPECT_EQ(wav.format, 1);
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.sampleRate, 44100u);
    EXPECT_EQ(wav.bitsPerSample, 16);
    EXPECT_EQ(wav.blockAlign, wav.channels * wav.bitsPerSample / 8);
    EXPECT_EQ(wav.byteRate, wav.sampleRate * wav.blockAlign);
    EXPECT_EQ(wav.riffSize, BuiltBytes().size() - 8);
    EXPECT_EQ(wav.samples.size() * 2 + 44, BuiltBytes().size());
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
    const double threshold = 0.01;  // -40 dB of full scale
    for (std::size_t from = At(1.0); from + window <= s.size(); from += At(0.1)) {
        const double rms =
            std::sqrt((energy[from + window] - energy[from]) / static_cast<double>(window)) /
            32768.0;
        ASSERT_GT(rms, threshold) << "window from " << static_cast<double>(from) / kRate << " s";
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
    ASSERT_TRUE(WriteFileBytes(first.c_str(), EncodeWav(ToPcm16(RenderTune()))));
    ASSERT_TRUE(WriteFileBytes(second.c_str(), EncodeWav(ToPcm16(RenderTune()))));
    const auto a = ReadFileBytes(first);
    const auto b = ReadFileBytes(second);
    ASSERT_FALSE(a.empty());
    EXPECT_TRUE(a == b);
    // ...and the same bytes as the generator program wrote during the build.
    EXPECT_TRUE(a == BuiltBytes());
}

TEST(SoundtrackFile, WritingReportsAFileThatCannotBeCreated) {
    const std::string nowhere = std::string(QUORVANE_SOUNDTRACK_SCRATCH) + "/no such folder/x.wav";
    EXPECT_FALSE(soundtrack::WriteFileBytes(nowhere.c_str(), {1, 2, 3}));
}

}  // namespace
