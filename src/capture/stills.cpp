// Stills: chosen frames as PNG files, lossless, for pictures of exact demo moments.
//
// The frame is turned upright and enlarged here by copying pixels, so a still holds exactly the
// colours that were rendered; libavcodec's PNG encoder writes it. Each file is written under a
// temporary name and renamed, so a still that exists is complete.
extern "C" {
#include <libavcodec/avcodec.h>
}

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "capture/capture.h"

namespace {

struct Stills {
    AVCodecContext* png = nullptr;
    AVFrame* picture = nullptr;
    AVPacket* packet = nullptr;
    int width = 0;  // of the frames as read
    int height = 0;
    int scale = 1;
    std::int64_t written = 0;
};

Stills gStills;

// Bottom-up BGRA in, top-down RGB out, each pixel repeated scale x scale times.
void Upright(const std::uint8_t* bgra) {
    const int scale = gStills.scale;
    for (int row = 0; row < gStills.height * scale; ++row) {
        const std::uint8_t* in =
            bgra +
            static_cast<std::ptrdiff_t>(gStills.height - 1 - row / scale) * gStills.width * 4;
        std::uint8_t* out = gStills.picture->data[0] +
                            static_cast<std::ptrdiff_t>(row) * gStills.picture->linesize[0];
        for (int col = 0; col < gStills.width * scale; ++col) {
            const std::uint8_t* pixel = in + (col / scale) * 4;
            out[3 * col] = pixel[2];
            out[3 * col + 1] = pixel[1];
            out[3 * col + 2] = pixel[0];
        }
    }
}

}  // namespace

namespace capture {

bool CheckStillsDir(const char* dir, char* why, std::size_t whySize) {
    if (mkdir(dir, 0777) != 0 && errno != EEXIST) {
        std::snprintf(why, whySize, "cannot make the folder \"%s\": %s", dir, std::strerror(errno));
        return false;
    }
    struct stat info {};
    if (stat(dir, &info) != 0 || !S_ISDIR(info.st_mode) || access(dir, W_OK | X_OK) != 0) {
        std::snprintf(why, whySize, "cannot write stills into \"%s\": %s", dir,
                      std::strerror(errno != 0 ? errno : ENOTDIR));
        return false;
    }
    if (avcodec_find_encoder(AV_CODEC_ID_PNG) == nullptr) {
        std::snprintf(why, whySize, "%s", "this FFmpeg has no PNG encoder");
        return false;
    }
    return true;
}

bool OpenStills(int width, int height, int scale, char* why, std::size_t whySize) {
    gStills.width = width;
    gStills.height = height;
    gStills.scale = scale;
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PNG);
    gStills.png = avcodec_alloc_context3(codec);
    gStills.picture = av_frame_alloc();
    gStills.packet = av_packet_alloc();
    if (gStills.png == nullptr || gStills.picture == nullptr || gStills.packet == nullptr) {
        return capture::FailWithAvError(why, whySize, "cannot set up the PNG encoder",
                                        AVERROR(ENOMEM));
    }
    gStills.png->width = width * scale;
    gStills.png->height = height * scale;
    gStills.png->pix_fmt = AV_PIX_FMT_RGB24;
    gStills.png->time_base = AVRational{1, 1};
    int result = avcodec_open2(gStills.png, codec, nullptr);
    if (result < 0)
        return capture::FailWithAvError(why, whySize, "cannot start the PNG encoder", result);
    gStills.picture->format = AV_PIX_FMT_RGB24;
    gStills.picture->width = gStills.png->width;
    gStills.picture->height = gStills.png->height;
    result = av_frame_get_buffer(gStills.picture, 0);
    if (result < 0) return capture::FailWithAvError(why, whySize, "cannot hold a still", result);
    return true;
}

bool WriteStill(const char* dir, std::uint32_t ms, const std::uint8_t* bgra, char* why,
                std::size_t whySize) {
    int result = av_frame_make_writable(gStills.picture);
    if (result < 0) return capture::FailWithAvError(why, whySize, "cannot hold a still", result);
    Upright(bgra);
    gStills.picture->pts = gStills.written++;
    result = avcodec_send_frame(gStills.png, gStills.picture);
    if (result >= 0) result = avcodec_receive_packet(gStills.png, gStills.packet);
    if (result < 0) return capture::FailWithAvError(why, whySize, "cannot encode a still", result);

    char path[4096];
    char temp[4096];
    std::snprintf(path, sizeof path, "%s/%06u.png", dir, static_cast<unsigned>(ms));
    std::snprintf(temp, sizeof temp, "%s/.%06u.png.part", dir, static_cast<unsigned>(ms));
    std::FILE* file = std::fopen(temp, "wb");
    bool ok = file != nullptr;
    if (ok) {
        std::size_t size = static_cast<std::size_t>(gStills.packet->size);
        ok = std::fwrite(gStills.packet->data, 1, size, file) == size;
        ok = std::fclose(file) == 0 && ok;
        ok = ok && std::rename(temp, path) == 0;
        if (!ok) std::remove(temp);
    }
    av_packet_unref(gStills.packet);
    if (!ok) {
        std::snprintf(why, whySize, "cannot write \"%s\": %s", path, std::strerror(errno));
        return false;
    }
    return true;
}

void CloseStills() {
    avcodec_free_context(&gStills.png);
    av_frame_free(&gStills.picture);
    av_packet_free(&gStills.packet);
}

}  // namespace capture
