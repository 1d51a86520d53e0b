// The video file: the frames as H.264 and the soundtrack, encoded and muxed by FFmpeg's
// libraries, written under a temporary name that the caller renames once it is complete.
//
// The soundtrack is encoded as the video goes: when a frame arrives, the audio up to that frame's
// time is already decided (a sound requested later starts later), so it is mixed, resampled to
// 48 kHz and encoded then, and the muxer interleaves the two streams without holding either.
//
// Converting and encoding a frame takes about as long as rendering one, so it runs on a thread
// of its own while the program renders the next frame: the caller passes frames in two buffers
// used in turn, and a frame is taken only once the one before it is done. The muxer is touched
// by one thread at a time: the audio is written only while the video thread is idle.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <strings.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include "capture/capture.h"
#include "platform/desktop/sound_clip.h"

using standin::kSoundChannels;
using standin::kSoundRate;

namespace {

struct Container {
    const char* extension;
    const char* format;
    const char* audioEncoder;
};

// MP4 players expect AAC; Matroska may carry the soundtrack losslessly.
constexpr Container kContainers[] = {{".mp4", "mp4", "aac"}, {".mkv", "matroska", "flac"}};

constexpr const char* kVideoEncoder = "libx264";
// Quality is fixed by the constant rate factor; the preset only trades file size for encoding
// time. Once the box fills the frame, every slower preset takes more than a third of two cores'
// time per demo second ("superfast" a fifth more processor time than "ultrafast"); "ultrafast"
// pays for that with a file about 1.6 times as large.
constexpr const char* kPreset = "ultrafast";
constexpr const char* kCrf = "18";
// x264's output depends on how many threads encode it, and left to itself it takes one and a
// half per processor, so every machine would make a video of its own. A fixed number makes the
// same file everywhere; three is what it took on two cores, where the capture was timed.
constexpr int kVideoThreads = 3;
constexpr int kAudioRate = 48000;
constexpr std::int64_t kAacBitRate = 192000;
constexpr int kMixChunk = 4096;  // soundtrack samples per channel mixed at a time
constexpr int kFallbackAudioFrame = 1024;

// The hand-over between the caller and the video thread.
struct VideoWorker {
    std::thread thread;
    std::mutex lock;
    std::condition_variable changed;
    const std::uint8_t* frame = nullptr;  // waiting to be encoded; null when the thread is idle
    std::int64_t number = 0;              // of that frame, from 0
    bool quit = false;
    int error = 0;  // the first failure of the video thread
};

struct VideoFile {
    const Container* container = nullptr;
    AVFormatContext* format = nullptr;
    AVPacket* packet = nullptr;

    AVCodecContext* video = nullptr;
    AVStream* videoStream = nullptr;
    AVFrame* picture = nullptr;
    SwsContext* scaler = nullptr;
    int width = 0;  // of the frames as read, before scaling
    int height = 0;
    int fps = 60;
    std::int64_t framesWritten = 0;

    AVCodecContext* audio = nullptr;
    AVStream* audioStream = nullptr;
    AVFrame* sound = nullptr;
    SwrContext* resampler = nullptr;
    AVAudioFifo* fifo = nullptr;
    std::uint8_t** converted = nullptr;  // resampler output, one buffer per plane
    int convertedCapacity = 0;
    int audioFrameSize = 0;
    std::uint64_t mixedIn = 0;   // soundtrack samples handed to the resampler
    std::int64_t audioSent = 0;  // resampled samples handed to the encoder
    std::int16_t mix[kMixChunk * kSoundChannels] = {};
};

VideoFile gFile;
VideoWorker gWorker;

const Container* ContainerFor(const char* path) {
    const char* dot = std::strrchr(path, '.');
    if (dot == nullptr) return nullptr;
    for (const Container& container : kContainers) {
        if (strcasecmp(dot, container.extension) == 0) return &container;
    }
    return nullptr;
}

// Hands every packet the encoder has ready to the muxer.
int Drain(AVCodecContext* codec, AVStream* stream) {
    for (;;) {
        int result = avcodec_receive_packet(codec, gFile.packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return 0;
        if (result < 0) return result;
        av_packet_rescale_ts(gFile.packet, codec->time_base, stream->time_base);
        gFile.packet->stream_index = stream->index;
        result = av_interleaved_write_frame(gFile.format, gFile.packet);
        if (result < 0) return result;
    }
}

int SendAudio(int samples) {
    int result = av_frame_make_writable(gFile.sound);
    if (result < 0) return result;
    gFile.sound->nb_samples = samples;
    if (av_audio_fifo_read(gFile.fifo, reinterpret_cast<void**>(gFile.sound->data), samples) !=
        samples) {
        return AVERROR_BUG;
    }
    gFile.sound->pts = gFile.audioSent;
    gFile.audioSent += samples;
    result = avcodec_send_frame(gFile.audio, gFile.sound);
    if (result < 0) return result;
    return Drain(gFile.audio, gFile.audioStream);
}

int SendWholeAudioFrames() {
    while (av_audio_fifo_size(gFile.fifo) >= gFile.audioFrameSize) {
        int result = SendAudio(gFile.audioFrameSize);
        if (result < 0) return result;
    }
    return 0;
}

// Resamples the soundtrack up to `untilIn` (soundtrack samples from the first frame).
int MixUntil(std::uint64_t untilIn) {
    while (gFile.mixedIn < untilIn) {
        int count = static_cast<int>(std::min<std::uint64_t>(kMixChunk, untilIn - gFile.mixedIn));
        capture::MixSoundtrack(gFile.mixedIn, count, gFile.mix);
        gFile.mixedIn += static_cast<std::uint64_t>(count);
        const std::uint8_t* in[] = {reinterpret_cast<const std::uint8_t*>(gFile.mix)};
        int out = swr_convert(gFile.resampler, gFile.converted, gFile.convertedCapacity, in, count);
        if (out < 0) return out;
        if (av_audio_fifo_write(gFile.fifo, reinterpret_cast<void**>(gFile.converted), out) < out) {
            return AVERROR(ENOMEM);
        }
        int result = SendWholeAudioFrames();
        if (result < 0) return result;
    }
    return 0;
}

std::uint64_t SoundtrackSamplesFor(std::int64_t frames) {
    return static_cast<std::uint64_t>(frames) * kSoundRate / static_cast<std::uint64_t>(gFile.fps);
}

// Ends the soundtrack exactly where the video ends: the resampler's tail, then silence or a cut.
int FinishAudio() {
    int result = MixUntil(SoundtrackSamplesFor(gFile.framesWritten));
    if (result < 0) return result;
    for (;;) {
        int out =
            swr_convert(gFile.resampler, gFile.converted, gFile.convertedCapacity, nullptr, 0);
        if (out < 0) return out;
        if (out == 0) break;
        if (av_audio_fifo_write(gFile.fifo, reinterpret_cast<void**>(gFile.converted), out) < out) {
            return AVERROR(ENOMEM);
        }
    }
    std::int64_t target = gFile.framesWritten * kAudioRate / gFile.fps;
    std::int64_t missing = target - gFile.audioSent - av_audio_fifo_size(gFile.fifo);
    while (missing > 0) {
        int count = static_cast<int>(std::min<std::int64_t>(missing, gFile.convertedCapacity));
        av_samples_set_silence(gFile.converted, 0, count, gFile.audio->ch_layout.nb_channels,
                               gFile.audio->sample_fmt);
        if (av_audio_fifo_write(gFile.fifo, reinterpret_cast<void**>(gFile.converted), count) <
            count) {
            return AVERROR(ENOMEM);
        }
        missing -= count;
    }
    while (gFile.audioSent < target) {
        int count = static_cast<int>(
            std::min<std::int64_t>(gFile.audioFrameSize, target - gFile.audioSent));
        result = SendAudio(count);
        if (result < 0) return result;
    }
    result = avcodec_send_frame(gFile.audio, nullptr);
    if (result < 0) return result;
    return Drain(gFile.audio, gFile.audioStream);
}

int EncodePicture(const std::uint8_t* bgra, std::int64_t number) {
    int result = av_frame_make_writable(gFile.picture);
    if (result < 0) return result;
    // glReadPixels gives the bottom row first: start at the last row and step backwards.
    int stride = gFile.width * 4;
    const std::uint8_t* rows[] = {bgra + static_cast<std::ptrdiff_t>(gFile.height - 1) * stride};
    const int strides[] = {-stride};
    sws_scale(gFile.scaler, rows, strides, 0, gFile.height, gFile.picture->data,
              gFile.picture->linesize);
    gFile.picture->pts = number;
    result = avcodec_send_frame(gFile.video, gFile.picture);
    if (result < 0) return result;
    return Drain(gFile.video, gFile.videoStream);
}

void RunVideoThread() {
    std::unique_lock<std::mutex> hold(gWorker.lock);
    for (;;) {
        gWorker.changed.wait(hold, [] { return gWorker.frame != nullptr || gWorker.quit; });
        if (gWorker.frame == nullptr) return;
        const std::uint8_t* frame = gWorker.frame;
        std::int64_t number = gWorker.number;
        hold.unlock();
        int result = gWorker.error == 0 ? EncodePicture(frame, number) : 0;
        hold.lock();
        if (gWorker.error == 0) gWorker.error = result;
        gWorker.frame = nullptr;
        gWorker.changed.notify_all();
    }
}

// Waits until the video thread has finished its frame; its first failure, if any.
int WaitForVideoThread() {
    std::unique_lock<std::mutex> hold(gWorker.lock);
    gWorker.changed.wait(hold, [] { return gWorker.frame == nullptr; });
    return gWorker.error;
}

void StopVideoThread() {
    if (!gWorker.thread.joinable()) return;
    {
        std::lock_guard<std::mutex> hold(gWorker.lock);
        gWorker.quit = true;
    }
    gWorker.changed.notify_all();
    gWorker.thread.join();
}

// Starts an encoder the caller has set up and adds its stream to the file, with the encoder's
// time base and parameters. `encoderName` and `streamName` name them in a failure.
AVStream* StartStream(AVCodecContext* encoder, const AVCodec* codec, const char* encoderName,
                      const char* streamName, char* why, std::size_t whySize) {
    char what[64];
    if (gFile.format->oformat->flags & AVFMT_GLOBALHEADER) {
        encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    int result = avcodec_open2(encoder, codec, nullptr);
    if (result < 0) {
        std::snprintf(what, sizeof what, "cannot start the %s encoder", encoderName);
        capture::FailWithAvError(why, whySize, what, result);
        return nullptr;
    }
    AVStream* stream = avformat_new_stream(gFile.format, nullptr);
    if (stream == nullptr) {
        std::snprintf(what, sizeof what, "cannot add the %s", streamName);
        capture::FailWithAvError(why, whySize, what, AVERROR(ENOMEM));
        return nullptr;
    }
    stream->time_base = encoder->time_base;
    result = avcodec_parameters_from_context(stream->codecpar, encoder);
    if (result < 0) {
        std::snprintf(what, sizeof what, "cannot describe the %s", streamName);
        capture::FailWithAvError(why, whySize, what, result);
        return nullptr;
    }
    return stream;
}

bool OpenVideoStream(const char* name, int width, int height, int scale, char* why,
                     std::size_t whySize) {
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    gFile.video = avcodec_alloc_context3(codec);
    if (gFile.video == nullptr)
        return capture::FailWithAvError(why, whySize, "cannot set up the H.264 encoder",
                                        AVERROR(ENOMEM));
    AVCodecContext& video = *gFile.video;
    video.width = width * scale;
    video.height = height * scale;
    video.time_base = AVRational{1, gFile.fps};
    video.framerate = AVRational{gFile.fps, 1};
    video.pix_fmt = AV_PIX_FMT_YUV420P;
    video.colorspace = AVCOL_SPC_SMPTE170M;
    video.color_range = AVCOL_RANGE_MPEG;
    video.thread_count = kVideoThreads;
    av_opt_set(video.priv_data, "preset", kPreset, 0);
    av_opt_set(video.priv_data, "crf", kCrf, 0);
    gFile.videoStream = StartStream(gFile.video, codec, "H.264", "video", why, whySize);
    if (gFile.videoStream == nullptr) return false;
    gFile.videoStream->avg_frame_rate = video.framerate;

    gFile.picture = av_frame_alloc();
    if (gFile.picture == nullptr)
        return capture::FailWithAvError(why, whySize, "out of memory", AVERROR(ENOMEM));
    gFile.picture->format = video.pix_fmt;
    gFile.picture->width = video.width;
    gFile.picture->height = video.height;
    int result = av_frame_get_buffer(gFile.picture, 0);
    if (result < 0) return capture::FailWithAvError(why, whySize, "cannot hold a frame", result);

    // Whole-number enlargement copies pixels. The halved chroma takes one pixel of four too:
    // averaging them costs a tenth more time for the whole capture and is hardly seen.
    int filter = SWS_POINT;
    gFile.scaler = sws_getContext(width, height, AV_PIX_FMT_BGRA, video.width, video.height,
                                  AV_PIX_FMT_YUV420P, filter, nullptr, nullptr, nullptr);
    if (gFile.scaler == nullptr)
        return capture::FailWithAvError(why, whySize, "cannot convert frames", AVERROR(EINVAL));
    return true;
}

bool OpenAudioStream(char* why, std::size_t whySize) {
    const AVCodec* codec = avcodec_find_encoder_by_name(gFile.container->audioEncoder);
    gFile.audio = avcodec_alloc_context3(codec);
    if (gFile.audio == nullptr)
        return capture::FailWithAvError(why, whySize, "cannot set up the audio encoder",
                                        AVERROR(ENOMEM));
    AVCodecContext& audio = *gFile.audio;
    audio.sample_fmt = codec->sample_fmts != nullptr ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    audio.sample_rate = kAudioRate;
    audio.time_base = AVRational{1, kAudioRate};
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&audio.ch_layout, &stereo);
    if (std::strcmp(gFile.container->audioEncoder, "aac") == 0) {
        audio.bit_rate = kAacBitRate;
        // The default search for the best quantisers costs as much as a tenth of the whole
        // capture; at this bit rate the quick one is not heard.
        av_opt_set(audio.priv_data, "aac_coder", "fast", 0);
    }
    gFile.audioStream = StartStream(gFile.audio, codec, "audio", "audio", why, whySize);
    if (gFile.audioStream == nullptr) return false;
    gFile.audioFrameSize = audio.frame_size > 0 ? audio.frame_size : kFallbackAudioFrame;

    gFile.sound = av_frame_alloc();
    if (gFile.sound == nullptr)
        return capture::FailWithAvError(why, whySize, "out of memory", AVERROR(ENOMEM));
    gFile.sound->format = audio.sample_fmt;
    gFile.sound->sample_rate = kAudioRate;
    gFile.sound->nb_samples = gFile.audioFrameSize;
    av_channel_layout_copy(&gFile.sound->ch_layout, &audio.ch_layout);
    int result = av_frame_get_buffer(gFile.sound, 0);
    if (result < 0) return capture::FailWithAvError(why, whySize, "cannot hold the audio", result);

    result = swr_alloc_set_opts2(&gFile.resampler, &audio.ch_layout, audio.sample_fmt, kAudioRate,
                                 &stereo, AV_SAMPLE_FMT_S16, kSoundRate, 0, nullptr);
    if (result >= 0) result = swr_init(gFile.resampler);
    if (result < 0)
        return capture::FailWithAvError(why, whySize, "cannot resample the soundtrack", result);

    // Room for one mixed chunk and whatever the resampler still holds back.
    gFile.convertedCapacity = static_cast<int>(
        av_rescale_rnd(kMixChunk, kAudioRate, kSoundRate, AV_ROUND_UP) + 2 * gFile.audioFrameSize);
    result =
        av_samples_alloc_array_and_samples(&gFile.converted, nullptr, audio.ch_layout.nb_channels,
                                           gFile.convertedCapacity, audio.sample_fmt, 0);
    if (result < 0) return capture::FailWithAvError(why, whySize, "cannot hold the audio", result);
    gFile.fifo = av_audio_fifo_alloc(audio.sample_fmt, audio.ch_layout.nb_channels,
                                     gFile.convertedCapacity + gFile.audioFrameSize);
    if (gFile.fifo == nullptr)
        return capture::FailWithAvError(why, whySize, "cannot hold the audio", AVERROR(ENOMEM));
    return true;
}

void FreeAll() {
    StopVideoThread();
    avcodec_free_context(&gFile.video);
    avcodec_free_context(&gFile.audio);
    av_frame_free(&gFile.picture);
    av_frame_free(&gFile.sound);
    sws_freeContext(gFile.scaler);
    gFile.scaler = nullptr;
    swr_free(&gFile.resampler);
    if (gFile.fifo != nullptr) av_audio_fifo_free(gFile.fifo);
    gFile.fifo = nullptr;
    if (gFile.converted != nullptr) av_freep(&gFile.converted[0]);
    av_freep(&gFile.converted);
    av_packet_free(&gFile.packet);
    if (gFile.format != nullptr) {
        avio_closep(&gFile.format->pb);
        avformat_free_context(gFile.format);
        gFile.format = nullptr;
    }
}

}  // namespace

namespace capture {

bool FailWithAvError(char* why, std::size_t whySize, const char* what, int error) {
    char reason[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, reason, sizeof reason);
    std::snprintf(why, whySize, "%s (%s)", what, reason);
    return false;
}

bool IsVideoName(const char* path) { return ContainerFor(path) != nullptr; }

bool CheckVideoOutput(const char* path, char* why, std::size_t whySize) {
    const Container* container = ContainerFor(path);
    if (container == nullptr) {
        std::snprintf(why, whySize, "cannot write \"%s\": the video must be .mp4 or .mkv", path);
        return false;
    }
    if (avcodec_find_encoder_by_name(kVideoEncoder) == nullptr) {
        std::snprintf(why, whySize, "this FFmpeg has no H.264 encoder (%s)", kVideoEncoder);
        return false;
    }
    if (avcodec_find_encoder_by_name(container->audioEncoder) == nullptr) {
        std::snprintf(why, whySize, "this FFmpeg has no %s encoder", container->audioEncoder);
        return false;
    }
    if (av_guess_format(container->format, nullptr, nullptr) == nullptr) {
        std::snprintf(why, whySize, "this FFmpeg cannot write %s files", container->extension);
        return false;
    }
    return true;
}

bool OpenVideoFile(const char* finalPath, const char* tempPath, int width, int height, int scale,
                   int fps, char* why, std::size_t whySize) {
    gFile.container = ContainerFor(finalPath);
    gFile.width = width;
    gFile.height = height;
    gFile.fps = fps;
    // The temporary name's own extension says nothing: the container is the final name's.
    const AVOutputFormat* format = av_guess_format(gFile.container->format, nullptr, nullptr);
    int result = avformat_alloc_output_context2(&gFile.format, format, nullptr, tempPath);
    if (result < 0)
        return capture::FailWithAvError(why, whySize, "cannot set up the video file", result);
    gFile.packet = av_packet_alloc();
    if (gFile.packet == nullptr)
        return capture::FailWithAvError(why, whySize, "out of memory", AVERROR(ENOMEM));
    if (!OpenVideoStream(kVideoEncoder, width, height, scale, why, whySize)) return false;
    if (!OpenAudioStream(why, whySize)) return false;

    result = avio_open(&gFile.format->pb, tempPath, AVIO_FLAG_WRITE);
    if (result < 0)
        return capture::FailWithAvError(why, whySize, "cannot write the video file", result);
    AVDictionary* muxerOptions = nullptr;
    // The index at the front, so the file plays while it is still arriving.
    if (std::strcmp(gFile.container->format, "mp4") == 0) {
        av_dict_set(&muxerOptions, "movflags", "+faststart", 0);
    }
    result = avformat_write_header(gFile.format, &muxerOptions);
    av_dict_free(&muxerOptions);
    if (result < 0)
        return capture::FailWithAvError(why, whySize, "cannot start the video file", result);
    gWorker.quit = false;
    gWorker.error = 0;
    gWorker.thread = std::thread(RunVideoThread);
    return true;
}

bool WriteVideoFrame(const std::uint8_t* bgra, char* why, std::size_t whySize) {
    int result = WaitForVideoThread();
    // The audio before this frame is decided now; the video thread is idle, so the muxer is free.
    if (result >= 0) result = MixUntil(SoundtrackSamplesFor(gFile.framesWritten));
    if (result < 0) return capture::FailWithAvError(why, whySize, "cannot write the video", result);
    {
        std::lock_guard<std::mutex> hold(gWorker.lock);
        gWorker.frame = bgra;
        gWorker.number = gFile.framesWritten;
    }
    gWorker.changed.notify_all();
    ++gFile.framesWritten;
    return true;
}

bool CloseVideoFile(char* why, std::size_t whySize) {
    int result = WaitForVideoThread();
    StopVideoThread();
    if (result >= 0) result = avcodec_send_frame(gFile.video, nullptr);
    if (result >= 0) result = Drain(gFile.video, gFile.videoStream);
    if (result >= 0) result = FinishAudio();
    if (result >= 0) result = av_write_trailer(gFile.format);
    if (result >= 0) result = avio_closep(&gFile.format->pb);
    FreeAll();
    if (result < 0)
        return capture::FailWithAvError(why, whySize, "cannot finish the video file", result);
    return true;
}

void AbandonVideoFile() { FreeAll(); }

}  // namespace capture
