// The capture's command line: what it reads, what it refuses, and its help text.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "capture/capture.h"

namespace {

constexpr int kMaxFps = 1000;  // the clock counts whole milliseconds: more would repeat times
constexpr int kMaxScale = 8;
constexpr double kMaxSeconds = 24.0 * 3600.0;

bool Fail(char* why, std::size_t size, const char* format, const char* detail) {
    std::snprintf(why, size, format, detail);
    return false;
}

bool ReadWhole(const char* text, int low, int high, int* value) {
    if (text == nullptr || *text == '\0') return false;
    errno = 0;
    char* end = nullptr;
    long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
    *value = static_cast<int>(parsed);
    return true;
}

bool ReadSeconds(const char* text, double* value) {
    if (text == nullptr || *text == '\0') return false;
    errno = 0;
    char* end = nullptr;
    double parsed = std::strtod(text, &end);
    if (errno != 0 || end == text || !std::isfinite(parsed) || parsed < 0.0 ||
        parsed > kMaxSeconds) {
        return false;
    }
    *value = parsed;
    return *end == '\0' || *end == ',';
}

// "5.5,31,40": each time in seconds, kept in demo milliseconds.
bool ReadTimes(const char* text, capture::Options* options) {
    if (text == nullptr || *text == '\0') return false;
    const char* at = text;
    for (;;) {
        if (options->stillCount == capture::kMaxStills) return false;
        double seconds = 0.0;
        if (!ReadSeconds(at, &seconds)) return false;
        options->stillsAt[options->stillCount++] =
            static_cast<std::uint32_t>(std::llround(seconds * 1000.0));
        at = std::strchr(at, ',');
        if (at == nullptr) return true;
        ++at;
    }
}

bool HasExtension(const char* path) {
    const char* slash = std::strrchr(path, '/');
    const char* dot = std::strrchr(path, '.');
    return dot != nullptr && (slash == nullptr || dot > slash + 1);
}

}  // namespace

namespace capture {

bool ParseOptions(int argc, char** argv, Options* options, char* why, std::size_t whySize) {
    bool secondsGiven = false;
    for (int i = 1; i < argc; ++i) {
        const char* name = argv[i];
        if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0) {
            options->help = true;
            return true;
        }
        bool takesValue = std::strcmp(name, "--fps") == 0 || std::strcmp(name, "--seconds") == 0 ||
                          std::strcmp(name, "--scale") == 0 || std::strcmp(name, "--answer") == 0 ||
                          std::strcmp(name, "-o") == 0 || std::strcmp(name, "--frames-at") == 0 ||
                          std::strcmp(name, "--frames-dir") == 0;
        if (!takesValue) return Fail(why, whySize, "unknown option \"%s\"", name);
        if (i + 1 == argc) return Fail(why, whySize, "%s needs a value", name);
        const char* value = argv[++i];
        if (std::strcmp(name, "--fps") == 0) {
            if (!ReadWhole(value, 1, kMaxFps, &options->fps)) {
                return Fail(why, whySize, "--fps takes a whole number from 1 to 1000, not \"%s\"",
                            value);
            }
        } else if (std::strcmp(name, "--seconds") == 0) {
            char* end = nullptr;
            double seconds = std::strtod(value, &end);
            if (*value == '\0' || *end != '\0' || !std::isfinite(seconds) || seconds <= 0.0 ||
                seconds > kMaxSeconds) {
                return Fail(why, whySize, "--seconds takes a length above 0, not \"%s\"", value);
            }
            options->seconds = seconds;
            secondsGiven = true;
        } else if (std::strcmp(name, "--scale") == 0) {
            if (!ReadWhole(value, 1, kMaxScale, &options->scale)) {
                return Fail(why, whySize, "--scale takes a whole number from 1 to 8, not \"%s\"",
                            value);
            }
        } else if (std::strcmp(name, "--answer") == 0) {
            if (std::strcmp(value, "yes") != 0 && std::strcmp(value, "no") != 0) {
                return Fail(why, whySize, "--answer takes yes or no, not \"%s\"", value);
            }
            options->answerYes = std::strcmp(value, "yes") == 0;
        } else if (std::strcmp(name, "-o") == 0) {
            if (*value == '\0' || !HasExtension(value)) {
                return Fail(why, whySize, "-o needs a file name ending in .mp4 or .mkv, not \"%s\"",
                            value);
            }
            options->output = value;
        } else if (std::strcmp(name, "--frames-at") == 0) {
            options->stillCount = 0;
            if (!ReadTimes(value, options)) {
                return Fail(why, whySize,
                            "--frames-at takes up to 64 demo times in seconds, separated by "
                            "commas, not \"%s\"",
                            value);
            }
        } else {
            if (*value == '\0') return Fail(why, whySize, "--frames-dir needs a folder%s", "");
            options->stillsDir = value;
        }
    }
    if ((options->stillCount > 0) != (options->stillsDir != nullptr)) {
        return Fail(why, whySize, "--frames-at and --frames-dir go together%s", "");
    }
    if (options->stillCount > 0 && secondsGiven) {
        return Fail(why, whySize,
                    "--seconds has no use with --frames-at: the run ends at the last still%s", "");
    }
    return true;
}

void PrintHelp(const char* program) {
    std::printf(
        "Usage: %s [options]\n"
        "Runs the demo on a virtual clock, with no display, and records it as a video.\n"
        "Frames come at an exact rate however long each takes to draw; the music is the file\n"
        "the demo plays, from the moment it starts it.\n"
        "\n"
        "  -o FILE            the video (default quorvane.mp4); .mp4 holds H.264 and AAC,\n"
        "                     .mkv H.264 and FLAC\n"
        "  --fps N            frames per second (default 60)\n"
        "  --seconds S        length (default: as long as the music, else 100)\n"
        "  --scale K          enlarge each pixel to KxK (default 1)\n"
        "  --answer yes|no    the answer to every Yes/No question the demo asks (default no)\n"
        "  --frames-at T,...  PNG stills of the frames at these demo times in seconds, instead\n"
        "                     of a video; needs --frames-dir\n"
        "  --frames-dir DIR   where the stills go, named by demo milliseconds (005500.png)\n"
        "  --help             this text\n",
        program);
}

}  // namespace capture
