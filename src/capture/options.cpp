// The capture's command line: what it reads, what it refuses, and its help text.
#include <algorithm>
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

// What the options have said so far, beyond the options themselves.
struct Reading {
    capture::Options* options;
    bool secondsGiven;
};

using Parser = bool (*)(const char* value, Reading* reading, char* why, std::size_t whySize);

bool ParseOutput(const char* value, Reading* reading, char* why, std::size_t whySize) {
    // A name the video cannot be written under is a mistake on the command line, found now
    // rather than once the run is set up.
    if (!HasExtension(value) || !capture::IsVideoName(value)) {
        return Fail(why, whySize, "-o needs a file name ending in .mp4 or .mkv, not \"%s\"", value);
    }
    reading->options->output = value;
    return true;
}

bool ParseFps(const char* value, Reading* reading, char* why, std::size_t whySize) {
    if (!ReadWhole(value, 1, kMaxFps, &reading->options->fps)) {
        return Fail(why, whySize, "--fps takes a whole number from 1 to 1000, not \"%s\"", value);
    }
    return true;
}

bool ParseSeconds(const char* value, Reading* reading, char* why, std::size_t whySize) {
    char* end = nullptr;
    double seconds = std::strtod(value, &end);
    if (*value == '\0' || *end != '\0' || !std::isfinite(seconds) || seconds <= 0.0 ||
        seconds > kMaxSeconds) {
        return Fail(why, whySize, "--seconds takes a length above 0, not \"%s\"", value);
    }
    reading->options->seconds = seconds;
    reading->secondsGiven = true;
    return true;
}

bool ParseScale(const char* value, Reading* reading, char* why, std::size_t whySize) {
    if (!ReadWhole(value, 1, kMaxScale, &reading->options->scale)) {
        return Fail(why, whySize, "--scale takes a whole number from 1 to 8, not \"%s\"", value);
    }
    return true;
}

bool ParseAnswer(const char* value, Reading* reading, char* why, std::size_t whySize) {
    if (std::strcmp(value, "yes") != 0 && std::strcmp(value, "no") != 0) {
        return Fail(why, whySize, "--answer takes yes or no, not \"%s\"", value);
    }
    reading->options->answerYes = std::strcmp(value, "yes") == 0;
    return true;
}

bool ParseFramesAt(const char* value, Reading* reading, char* why, std::size_t whySize) {
    reading->options->stillCount = 0;
    if (!ReadTimes(value, reading->options)) {
        return Fail(why, whySize,
                    "--frames-at takes up to 64 demo times in seconds, separated by commas, not "
                    "\"%s\"",
                    value);
    }
    return true;
}

bool ParseFramesDir(const char* value, Reading* reading, char* why, std::size_t whySize) {
    if (*value == '\0') return Fail(why, whySize, "--frames-dir needs a folder%s", "");
    reading->options->stillsDir = value;
    return true;
}

bool ParseHelp(const char*, Reading* reading, char*, std::size_t) {
    reading->options->help = true;
    return true;
}

struct Option {
    const char* name;
    const char* value;  // how the help names the value; null for an option that takes none
    Parser parse;
    const char* help;  // lines after the first go under it; null to leave the option out
};

constexpr int kHelpColumn = 21;  // where each line of an option's help starts

constexpr Option kOptions[] = {
    {"-o", "FILE", ParseOutput,
     "the video (default quorvane.mp4); .mp4 holds H.264 and AAC,\n"
     ".mkv H.264 and FLAC"},
    {"--fps", "N", ParseFps, "frames per second (default 60)"},
    {"--seconds", "S", ParseSeconds, "length (default: as long as the music, else 100)"},
    {"--scale", "K", ParseScale, "enlarge each pixel to KxK (default 1)"},
    {"--answer", "yes|no", ParseAnswer,
     "the answer to every Yes/No question the demo asks (default no)"},
    {"--frames-at", "T,...", ParseFramesAt,
     "PNG stills of the frames at these demo times in seconds, instead\n"
     "of a video; needs --frames-dir"},
    {"--frames-dir", "DIR", ParseFramesDir,
     "where the stills go, named by demo milliseconds (005500.png)"},
    {"--help", nullptr, ParseHelp, "this text"},
    {"-h", nullptr, ParseHelp, nullptr},
};

const Option* FindOption(const char* name) {
    for (const Option& option : kOptions) {
        if (std::strcmp(name, option.name) == 0) return &option;
    }
    return nullptr;
}

}  // namespace

namespace capture {

bool ParseOptions(int argc, char** argv, Options* options, char* why, std::size_t whySize) {
    Reading reading{options, false};
    for (int i = 1; i < argc; ++i) {
        const char* name = argv[i];
        const Option* option = FindOption(name);
        if (option == nullptr) return Fail(why, whySize, "unknown option \"%s\"", name);
        const char* value = nullptr;
        if (option->value != nullptr) {
            if (i + 1 == argc) return Fail(why, whySize, "%s needs a value", name);
            value = argv[++i];
        }
        if (!option->parse(value, &reading, why, whySize)) return false;
        // Whatever follows is not read: the help is all that is asked for.
        if (options->help) return true;
    }
    if ((options->stillCount > 0) != (options->stillsDir != nullptr)) {
        return Fail(why, whySize, "--frames-at and --frames-dir go together%s", "");
    }
    if (options->stillCount > 0 && reading.secondsGiven) {
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
        "\n",
        program);
    for (const Option& option : kOptions) {
        if (option.help == nullptr) continue;
        int used = option.value != nullptr ? std::printf("  %s %s", option.name, option.value)
                                           : std::printf("  %s", option.name);
        for (const char* line = option.help;;) {
            const char* end = std::strchr(line, '\n');
            int length =
                end != nullptr ? static_cast<int>(end - line) : static_cast<int>(std::strlen(line));
            std::printf("%*s%.*s\n", std::max(kHelpColumn - used, 1), "", length, line);
            if (end == nullptr) break;
            line = end + 1;
            used = 0;
        }
    }
}

}  // namespace capture
