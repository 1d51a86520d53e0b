// PlaySoundA heard through SDL's disk audio driver: the file's samples in the output,
// conversion of other layouts, replacement and stopping, the default sound for every kind
// of bad file, and failure without an audio device.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/win32.h"
#include "sound_session.h"
#include "test_wav.h"

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
// Output written after the point of interest before judging what follows it: a second of
// sound is many device buffers, so late buffers cannot hide behind it.
constexpr std::size_t kTailBytes = kDeviceRate * kFrameBytes;

std::size_t FirstAudible(const std::vector<std::int16_t>& out, std::size_t from, int above = 0) {
    for (std::size_t i = from; i < out.size(); ++i) {
        if (std::abs(out[i]) > above) return i;
    }
    return kNone;
}

std::size_t LastAudible(const std::vector<std::int16_t>& out, int above = 0) {
    for (std::size_t i = out.size(); i-- > 0;) {
        if (std::abs(out[i]) > above) return i;
    }
    return kNone;
}

std::size_t Frames(double seconds) { return static_cast<std::size_t>(seconds * kDeviceRate); }

// The child's stderr without the disk driver's own "CRITICAL:" notices.
std::string OwnErrors(const SoundSession& session) {
    std::string all = ReadErrors(session);
    std::string own;
    std::size_t at = 0;
    while (at < all.size()) {
        std::size_t end = all.find('\n', at);
        end = end == std::string::npos ? all.size() : end + 1;
        if (all.compare(at, 9, "CRITICAL:") != 0) own.append(all, at, end - at);
        at = end;
    }
    return own;
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvane-sound-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }

    void TearDown() override {
        if (session.pid >= 0) FinishSession(&session);
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    std::string WriteTone(const char* name, const ToneSpec& spec) {
        std::string path = dir + "/" + name;
        EXPECT_TRUE(WriteWavFile(path, BuildToneWav(spec)));
        return path;
    }

    void Start(const char* driver = "disk") { ASSERT_TRUE(StartSession(&session, dir, driver)); }

    // Plays one file asynchronously and returns the whole output once `seconds` of sound
    // past its first audible sample (or past the start, if it stays silent) were written.
    std::vector<std::int16_t> PlayAndCollect(const std::string& path, double seconds,
                                             unsigned flags = SND_ASYNC) {
        Start();
        PlayReply reply = Play(&session, path, flags);
        EXPECT_TRUE(reply.ok);
        EXPECT_EQ(reply.result, TRUE);
        std::size_t first = WaitUntilAudible(5.0);
        std::size_t start = first == kNone ? 0 : first * sizeof(std::int16_t);
        EXPECT_TRUE(WaitForOutput(session, start + Frames(seconds) * kFrameBytes + kTailBytes));
        exitStatus = FinishSession(&session);
        return ReadOutput(session);
    }

    // Polls the output until something is audible in it, for at most `seconds` of output;
    // the index of the first audible sample, or kNone.
    std::size_t WaitUntilAudible(double seconds) {
        for (std::size_t seen = 4096; seen <= Frames(seconds) * kFrameBytes; seen += 4096) {
            if (!WaitForOutput(session, seen)) break;
            std::size_t first = FirstAudible(ReadOutput(session), 0);
            if (first != kNone) return first;
        }
        return kNone;
    }

    std::string dir;
    SoundSession session;
    int exitStatus = -1;
};

TEST_F(SoundTest, PlaysADeviceFormatFileSampleForSample) {
    ToneSpec spec;  // 44100 Hz stereo 16-bit: the device's own format
    spec.frames = static_cast<int>(Frames(0.5));
    std::vector<std::int16_t> out = PlayAndCollect(WriteTone("tone.wav", spec), 0.5);
    EXPECT_EQ(exitStatus, 0);
    std::size_t start = FirstAudible(out, 0);
    ASSERT_NE(start, kNone);
    EXPECT_EQ(start % kDeviceChannels, 0u) << "the clip starts on a frame boundary";
    ASSERT_GE(out.size(), start + static_cast<std::size_t>(spec.frames) * 2);
    int mismatches = 0;
    for (int f = 0; f < spec.frames; ++f) {
        for (int c = 0; c < 2; ++c) {
            if (out[start + 2 * static_cast<std::size_t>(f) + c] != StoredSample(spec, c, f)) {
                ++mismatches;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    // Played once: nothing but silence after it.
    EXPECT_EQ(FirstAudible(out, start + static_cast<std::size_t>(spec.frames) * 2), kNone);
}

// Same rate, other sample layouts: converted sample by sample, within rounding.
TEST_F(SoundTest, ConvertsMonoAndEightBitFiles) {
    struct Layout {
        int channels, bits;
        int tolerance;  // in 16-bit steps
    };
    constexpr Layout kLayouts[] = {{1, 16, 2}, {2, 8, 300}, {1, 8, 300}};
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(std::to_string(layout.channels) + " channels, " + std::to_string(layout.bits) +
                     " bits");
        ToneSpec spec;
        spec.channels = layout.channels;
        spec.bitsPerSample = layout.bits;
        spec.frames = static_cast<int>(Frames(0.3));
        std::string name = "layout" + std::to_string(layout.channels) + std::to_string(layout.bits);
        session = SoundSession{};
        std::vector<std::int16_t> out = PlayAndCollect(WriteTone(name.c_str(), spec), 0.3);
        EXPECT_EQ(exitStatus, 0);
        std::size_t start = FirstAudible(out, 0);
        ASSERT_NE(start, kNone);
        start -= start % kDeviceChannels;
        ASSERT_GE(out.size(), start + static_cast<std::size_t>(spec.frames) * 2);
        int worst = 0;
        for (int f = 0; f < spec.frames; ++f) {
            for (int c = 0; c < 2; ++c) {
                // A mono file sounds the same on both sides.
                int source = layout.channels == 1 ? 0 : c;
                double expected = ToneValue(spec, source, f) * 32767.0;
                double got = out[start + 2 * static_cast<std::size_t>(f) + c];
                worst = std::max(worst, static_cast<int>(std::lround(std::fabs(got - expected))));
            }
        }
        EXPECT_LE(worst, layout.tolerance);
    }
}

// Another rate is resampled: the tone's shape and length survive.
TEST_F(SoundTest, ResamplesOtherRates) {
    ToneSpec spec;
    spec.channels = 1;
    spec.sampleRate = 22050;
    spec.frames = 22050 / 2;
    spec.leftHertz = 300.0;
    std::vector<std::int16_t> out = PlayAndCollect(WriteTone("slow.wav", spec), 0.5);
    EXPECT_EQ(exitStatus, 0);
    std::size_t first = FirstAudible(out, 0, 64);
    std::size_t last = LastAudible(out, 64);
    ASSERT_NE(first, kNone);
    double heardFrames = static_cast<double>(last - first) / 2.0;
    const double expectedFrames = 0.5 * kDeviceRate;
    EXPECT_NEAR(heardFrames, expectedFrames, expectedFrames * 0.02);

    // Correlate the left channel with the ideal tone at the device rate, around the onset.
    const std::size_t onset = first / 2;
    const std::size_t length = Frames(0.45);
    ToneSpec atDeviceRate = spec;
    atDeviceRate.sampleRate = kDeviceRate;
    double best = -1.0;
    for (int lag = -64; lag <= 64; ++lag) {
        if (static_cast<long>(onset) + lag < 0) continue;
        double dot = 0, heard = 0, ideal = 0;
        for (std::size_t f = 0; f < length; ++f) {
            std::size_t at = 2 * (onset + static_cast<std::size_t>(lag) + f);
            if (at >= out.size()) break;
            double x = ToneValue(atDeviceRate, 0, static_cast<int>(f));
            dot += out[at] * x;
            heard += static_cast<double>(out[at]) * out[at];
            ideal += x * x;
        }
        if (heard > 0 && ideal > 0) best = std::max(best, dot / std::sqrt(heard * ideal));
    }
    EXPECT_GT(best, 0.99);
}

TEST_F(SoundTest, ALaterCallReplacesWhatPlays) {
    ToneSpec longSpec;
    longSpec.frames = static_cast<int>(Frames(10.0));
    ToneSpec shortSpec;
    shortSpec.frames = static_cast<int>(Frames(0.4));
    shortSpec.leftHertz = 1000.0;
    shortSpec.rightHertz = 1500.0;
    std::string longPath = WriteTone("long.wav", longSpec);
    std::string shortPath = WriteTone("short.wav", shortSpec);
    Start();

    PlayReply first = Play(&session, longPath, SND_ASYNC);
    ASSERT_TRUE(first.ok);
    EXPECT_EQ(first.result, TRUE);
    EXPECT_LT(first.elapsedMs, 5000) << "an asynchronous call returns long before the end";
    ASSERT_NE(WaitUntilAudible(10.0), kNone);
    std::size_t before = OutputBytes(session) / sizeof(std::int16_t);
    PlayReply second = Play(&session, shortPath, SND_ASYNC);
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.result, TRUE);
    ASSERT_TRUE(
        WaitForOutput(session, OutputBytes(session) + Frames(0.4) * kFrameBytes + kTailBytes));
    EXPECT_EQ(FinishSession(&session), 0);
    std::vector<std::int16_t> out = ReadOutput(session);

    // The short tone appears whole somewhere after the moment it was asked for.
    auto matchesAt = [&](std::size_t at) {
        if (at + static_cast<std::size_t>(shortSpec.frames) * 2 > out.size()) return false;
        for (int f = 0; f < shortSpec.frames; ++f) {
            for (int c = 0; c < 2; ++c) {
                if (out[at + 2 * static_cast<std::size_t>(f) + c] !=
                    StoredSample(shortSpec, c, f)) {
                    return false;
                }
            }
        }
        return true;
    };
    std::size_t found = kNone;
    for (std::size_t at = before - before % 2; at < out.size() && found == kNone; at += 2) {
        if (matchesAt(at)) found = at;
    }
    ASSERT_NE(found, kNone) << "the second file is not in the output";
    // The long tone was cut short and does not come back afterwards.
    EXPECT_LT(found / 2, Frames(10.0));
    EXPECT_EQ(FirstAudible(out, found + static_cast<std::size_t>(shortSpec.frames) * 2), kNone);
    // Up to the switch, the output was the long tone from its start.
    std::size_t start = FirstAudible(out, 0);
    ASSERT_NE(start, kNone);
    for (std::size_t i = start; i < found; ++i) {
        std::size_t f = (i - start) / 2;
        ASSERT_EQ(out[i],
                  StoredSample(longSpec, static_cast<int>((i - start) % 2), static_cast<int>(f)))
            << "at sample " << i;
    }
}

TEST_F(SoundTest, ANullNameStopsPlayback) {
    ToneSpec spec;
    spec.frames = static_cast<int>(Frames(10.0));
    std::string path = WriteTone("long.wav", spec);
    Start();
    ASSERT_EQ(Play(&session, path, SND_ASYNC).result, TRUE);
    ASSERT_NE(WaitUntilAudible(10.0), kNone);
    PlayReply stop = Stop(&session);
    ASSERT_TRUE(stop.ok);
    EXPECT_EQ(stop.result, TRUE);
    std::size_t stoppedBy = OutputBytes(session) + kTailBytes;
    ASSERT_TRUE(WaitForOutput(session, stoppedBy + kTailBytes));
    EXPECT_EQ(FinishSession(&session), 0);
    std::vector<std::int16_t> out = ReadOutput(session);
    EXPECT_EQ(FirstAudible(out, stoppedBy / sizeof(std::int16_t)), kNone);
    std::size_t last = LastAudible(out);
    ASSERT_NE(last, kNone);
    EXPECT_LT(last / 2 - FirstAudible(out, 0) / 2, Frames(10.0)) << "stopped before its end";
}

TEST_F(SoundTest, SyncPlaybackReturnsWhenTheSoundIsOver) {
    ToneSpec spec;
    spec.frames = static_cast<int>(Frames(0.5));
    std::string path = WriteTone("tone.wav", spec);
    Start();
    PlayReply reply = Play(&session, path, SND_SYNC);
    ASSERT_TRUE(reply.ok);
    EXPECT_EQ(reply.result, TRUE);
    // The device takes the clip in real time, a buffer at a time; the first may go at once.
    EXPECT_GE(reply.elapsedMs, 400);
    std::size_t after = OutputBytes(session);
    ASSERT_TRUE(WaitForOutput(session, after + kTailBytes));
    EXPECT_EQ(FinishSession(&session), 0);
    std::vector<std::int16_t> out = ReadOutput(session);
    std::size_t last = LastAudible(out);
    ASSERT_NE(last, kNone);
    // Everything had gone to the device by the time the call returned (give the disk
    // driver's file buffer and two device buffers of slack).
    EXPECT_LT(last * sizeof(std::int16_t), after + 4096 + 2 * 1024 * kFrameBytes);
}

struct BadFile {
    const char* name;
    // Writes the file (or not) and returns its path.
    std::string (*make)(const std::string& dir);
};

std::string WriteDamaged(const std::string& dir, const char* name,
                         void (*damage)(std::vector<std::uint8_t>*)) {
    std::vector<std::uint8_t> image = BuildToneWav(ToneSpec{});
    damage(&image);
    std::string path = dir + "/" + name;
    WriteWavFile(path, image);
    return path;
}

const BadFile kBadFiles[] = {
    {"missing", [](const std::string& dir) { return dir + "/Data/no such file.wav"; }},
    {"directory", [](const std::string& dir) { return dir; }},
    {"zero length",
     [](const std::string& dir) {
         return WriteDamaged(dir, "empty.wav", [](auto* i) { i->clear(); });
     }},
    {"truncated",
     [](const std::string& dir) {
         return WriteDamaged(dir, "cut.wav", [](auto* i) { i->resize(i->size() / 2); });
     }},
    {"header only",
     [](const std::string& dir) {
         return WriteDamaged(dir, "header.wav", [](auto* i) { i->resize(kWavDataOffset); });
     }},
    {"wrong header",
     [](const std::string& dir) {
         return WriteDamaged(dir, "rifx.wav", [](auto* i) { std::memcpy(i->data(), "RIFX", 4); });
     }},
    {"absurd format size",
     [](const std::string& dir) {
         return WriteDamaged(dir, "fmt.wav",
                             [](auto* i) { PutU32(i, kWavFmtSizeOffset, 0xFFFFFFF0u); });
     }},
    {"absurd data size",
     [](const std::string& dir) {
         return WriteDamaged(dir, "data.wav",
                             [](auto* i) { PutU32(i, kWavDataSizeOffset, 0x7FFFFFF0u); });
     }},
    {"absurd channel count",
     [](const std::string& dir) {
         return WriteDamaged(dir, "channels.wav",
                             [](auto* i) { PutU16(i, kWavFmtBodyOffset + 2, 0xFFFF); });
     }},
    {"not audio",
     [](const std::string& dir) {
         std::string path = dir + "/text.wav";
         const char text[] = "just some text, not a sound\n";
         WriteWavFile(path, std::vector<std::uint8_t>(text, text + sizeof text - 1));
         return path;
     }},
};

void PrintTo(const BadFile& file, std::ostream* out) { *out << file.name; }

class BadFileTest : public SoundTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(BadFileTest, PlaysTheDefaultSoundAndCarriesOn) {
    std::string path = GetParam().make(dir);
    std::vector<std::int16_t> out = PlayAndCollect(path, 1.0);
    EXPECT_EQ(exitStatus, 0) << "the process lives";
    std::size_t first = FirstAudible(out, 0);
    std::size_t last = LastAudible(out);
    ASSERT_NE(first, kNone) << "the default sound is heard";
    double seconds = static_cast<double>(last - first) / 2.0 / kDeviceRate;
    EXPECT_GT(seconds, 0.1);
    EXPECT_LT(seconds, 1.0) << "a short sound, played once";
    int peak = 0;
    for (std::int16_t s : out) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_GT(peak, 32767 / 20) << "clearly audible";
    EXPECT_LT(peak, 32767) << "not clipped";
    std::string errors = ReadErrors(session);
    EXPECT_NE(errors.find(path), std::string::npos) << "says which file failed: " << errors;
}

INSTANTIATE_TEST_SUITE_P(Files, BadFileTest, ::testing::ValuesIn(kBadFiles), [](const auto& param) {
    std::string name = param.param.name;
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
});

// Asynchronously the file is only tried on the loader thread, so the call answers TRUE at
// once, as Windows' sound service does; synchronously the failure is the answer.
TEST_F(SoundTest, NoDefaultMeansSilence) {
    Start();
    const std::string missing = dir + "/missing.wav";
    PlayReply async = Play(&session, missing, SND_ASYNC | SND_NODEFAULT);
    ASSERT_TRUE(async.ok);
    EXPECT_EQ(async.result, TRUE);
    PlayReply sync = Play(&session, missing, SND_SYNC | SND_NODEFAULT);
    ASSERT_TRUE(sync.ok);
    EXPECT_EQ(sync.result, FALSE);
    // Flags this service does not implement fail rather than being half-honoured.
    EXPECT_EQ(Play(&session, WriteTone("tone.wav", ToneSpec{}), SND_ASYNC | SND_LOOP).result,
              FALSE);
    ASSERT_TRUE(WaitForOutput(session, OutputBytes(session) + kTailBytes));
    EXPECT_EQ(FinishSession(&session), 0);
    EXPECT_EQ(FirstAudible(ReadOutput(session), 0), kNone);
    std::string errors = OwnErrors(session);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << errors;
    EXPECT_NE(errors.find(missing), std::string::npos) << errors;
    EXPECT_EQ(errors.find("default sound"), std::string::npos) << errors;
}

// Ten minutes of 8-bit mono at 11025 Hz: converting it to the device format takes a second
// or more, so its load is still running long after a call that starts it has returned.
std::string WriteSlowFile(const std::string& dir) {
    ToneSpec spec;
    spec.channels = 1;
    spec.sampleRate = 11025;
    spec.bitsPerSample = 8;
    spec.frames = 11025 * 60 * 10;
    spec.leftHertz = 200.0;
    std::string path = dir + "/slow.wav";
    EXPECT_TRUE(WriteWavFile(path, BuildToneWav(spec)));
    return path;
}

constexpr long kAtOnceMs = 500;        // an asynchronous call's answer, on a loaded machine
constexpr double kPastSlowLoad = 8.0;  // seconds of output that surely outlast the slow load

TEST_F(SoundTest, AsyncReturnsAtOnceAndAFifoGetsTheDefaultSound) {
    const std::string fifo = dir + "/pipe.wav";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    Start();
    PlayReply reply = Play(&session, fifo, SND_ASYNC);  // nobody ever writes to it
    ASSERT_TRUE(reply.ok);
    EXPECT_EQ(reply.result, TRUE);
    EXPECT_LT(reply.elapsedMs, kAtOnceMs);
    ASSERT_NE(WaitUntilAudible(5.0), kNone) << "the default sound plays";
    EXPECT_EQ(FinishSession(&session), 0);
    std::string errors = ReadErrors(session);
    EXPECT_NE(errors.find(fifo), std::string::npos) << errors;
    EXPECT_NE(errors.find("default sound"), std::string::npos) << errors;
}

TEST_F(SoundTest, ALaterCallWinsOverAnEarlierLoadThatFinishesLater) {
    const std::string slow = WriteSlowFile(dir);
    ToneSpec shortSpec;
    shortSpec.frames = static_cast<int>(Frames(0.3));
    shortSpec.leftHertz = 1000.0;
    shortSpec.rightHertz = 1500.0;
    const std::string quick = WriteTone("quick.wav", shortSpec);
    Start();
    PlayReply first = Play(&session, slow, SND_ASYNC);
    ASSERT_TRUE(first.ok);
    EXPECT_EQ(first.result, TRUE);
    EXPECT_LT(first.elapsedMs, kAtOnceMs) << "the slow file is loaded off the caller's thread";
    PlayReply second = Play(&session, quick, SND_ASYNC);
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.result, TRUE);
    std::size_t start = WaitUntilAudible(5.0);
    ASSERT_NE(start, kNone);
    ASSERT_TRUE(
        WaitForOutput(session, start * sizeof(std::int16_t) + Frames(kPastSlowLoad) * kFrameBytes));
    EXPECT_EQ(FinishSession(&session), 0);
    std::vector<std::int16_t> out = ReadOutput(session);
    // The quick tone, whole, and nothing after it: the slow clip, loaded later, never plays.
    start -= start % kDeviceChannels;
    ASSERT_GE(out.size(), start + static_cast<std::size_t>(shortSpec.frames) * 2);
    for (int f = 0; f < shortSpec.frames; ++f) {
        for (int c = 0; c < 2; ++c) {
            ASSERT_EQ(out[start + 2 * static_cast<std::size_t>(f) + c],
                      StoredSample(shortSpec, c, f))
                << "frame " << f;
        }
    }
    EXPECT_EQ(FirstAudible(out, start + static_cast<std::size_t>(shortSpec.frames) * 2), kNone);
}

TEST_F(SoundTest, ANullNameAlsoCancelsALoadInProgress) {
    const std::string slow = WriteSlowFile(dir);
    Start();
    ASSERT_EQ(Play(&session, slow, SND_ASYNC).result, TRUE);
    PlayReply stop = Stop(&session);
    ASSERT_TRUE(stop.ok);
    EXPECT_EQ(stop.result, TRUE);
    ASSERT_TRUE(WaitForOutput(session, Frames(kPastSlowLoad) * kFrameBytes));
    EXPECT_EQ(FinishSession(&session), 0);
    EXPECT_EQ(FirstAudible(ReadOutput(session), 0), kNone);
}

// The process ends at once and cleanly while a loader thread is still converting.
TEST_F(SoundTest, TheProcessEndsCleanlyWhileALoadIsRunning) {
    const std::string slow = WriteSlowFile(dir);
    Start();
    ASSERT_EQ(Play(&session, slow, SND_ASYNC).result, TRUE);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(FinishSession(&session), 0);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - before);
    EXPECT_LT(took.count(), 5000) << "the exit waited for the load";
    EXPECT_EQ(OwnErrors(session), "");
}

TEST_F(SoundTest, WithoutAnAudioDeviceItFailsQuietly) {
    ToneSpec spec;
    std::string path = WriteTone("tone.wav", spec);
    Start("no-such-audio-driver");
    for (int attempt = 0; attempt < 2; ++attempt) {
        PlayReply reply = Play(&session, path, SND_ASYNC);
        ASSERT_TRUE(reply.ok);
        EXPECT_EQ(reply.result, FALSE);
    }
    EXPECT_EQ(Play(&session, dir + "/missing.wav", SND_ASYNC).result, FALSE)
        << "not even the default sound can play";
    EXPECT_EQ(FinishSession(&session), 0);
    std::string errors = ReadErrors(session);
    std::size_t lines = static_cast<std::size_t>(std::count(errors.begin(), errors.end(), '\n'));
    EXPECT_EQ(lines, 1u) << "one message, however often it is tried: " << errors;
    EXPECT_NE(errors.find("audio"), std::string::npos) << errors;
}

}  // namespace

int main(int argc, char** argv) {
    // A child that died must fail a test, not kill the test program with SIGPIPE.
    signal(SIGPIPE, SIG_IGN);
    if (argc > 1 && std::strcmp(argv[1], kPlayChildFlag) == 0) return RunPlayChild();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
