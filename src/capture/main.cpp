// quorvane-capture's start-up code: main() installs the capture's backend (the desktop's on
// SDL's offscreen video driver, with the capture's clock, boxes, sound and presenting of frames)
// and hands over to the program's WinMain, then finishes the video once the program has ended.
//
// The video is written under a hidden temporary name beside the output and renamed only when
// it is complete, so whatever fails (an error, a signal, a full disk) leaves no partial file
// under the name that was asked for.
#include <SDL.h>
extern "C" {
#include <libavutil/log.h>
}
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "capture/capture.h"
#include "platform/desktop/desktop.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

char gTempPath[4096] = {};

void RemoveTemp() {
    if (gTempPath[0] != '\0') unlink(gTempPath);
}

void OnSignal(int number) {
    RemoveTemp();
    std::signal(number, SIG_DFL);
    std::raise(number);
}

// ".NAME.XXXXXX" in the output's folder: the same file system, so the final rename is atomic.
bool MakeTempFile(const char* output, char* why, std::size_t whySize) {
    // Found out now rather than by the rename after the whole run.
    struct stat existing {};
    if (stat(output, &existing) == 0 && S_ISDIR(existing.st_mode)) {
        std::snprintf(why, whySize, "cannot write \"%s\": it is a folder", output);
        return false;
    }
    const char* slash = std::strrchr(output, '/');
    int folderLength = slash != nullptr ? static_cast<int>(slash - output + 1) : 0;
    const char* name = slash != nullptr ? slash + 1 : output;
    int length =
        std::snprintf(gTempPath, sizeof gTempPath, "%.*s.%s.XXXXXX", folderLength, output, name);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof gTempPath) {
        std::snprintf(why, whySize, "cannot write \"%s\": the name is too long", output);
        gTempPath[0] = '\0';
        return false;
    }
    int file = mkstemp(gTempPath);
    if (file < 0) {
        std::snprintf(why, whySize, "cannot write \"%s\": %s", output, std::strerror(errno));
        gTempPath[0] = '\0';
        return false;
    }
    // mkstemp makes the file private; the video gets the permissions any new file would.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(file, 0666 & ~mask);
    close(file);
    return true;
}

// The demo's data folder, not the capture's own: the demo installed beside the capture, in
// the games folder of the same prefix, keeps the music it plays there.
const char* DemoDataFolder() {
    static const std::string folder = [] {
        const std::filesystem::path self = standin::desktop::RunningProgram();
        if (self.empty()) return std::string();
        return standin::desktop::InstalledDataFolder(self.parent_path().parent_path() / "games" /
                                                     "quorvane");
    }();
    return folder.empty() ? nullptr : folder.c_str();
}

// The desktop's backend with the capture's policy in place of what it records.
const standin::Backend& CaptureBackend() {
    static const standin::Backend table = [] {
        standin::Backend captured = standin::desktop::Table();
        captured.clockMs = capture::ClockMs;
        captured.showBox = capture::ShowBox;
        captured.dataFolder = DemoDataFolder;
        captured.playSound = capture::RecordSound;
        captured.stopSound = capture::StopSound;
        captured.present = capture::PresentFrame;
        return captured;
    }();
    return table;
}

int Failed() {
    capture::AbandonVideoFile();
    RemoveTemp();
    return kExitFailed;
}

// Checks where the run's output goes before anything runs: the stills' folder, or the video's
// name and a temporary file beside it. False, having said why.
bool PrepareOutput(const char* program, const capture::Options& options) {
    char why[1024] = {};
    bool ready = options.stillCount > 0
                     ? capture::CheckStillsDir(options.stillsDir, why, sizeof why)
                     : capture::CheckVideoOutput(options.output, why, sizeof why) &&
                           MakeTempFile(options.output, why, sizeof why);
    if (!ready) std::fprintf(stderr, "%s: %s\n", program, why);
    return ready;
}

// Runs the program's WinMain on the capture's backend, rendering offscreen; false, having said
// why, where nothing can be rendered.
bool RunProgram(const char* program, capture::Options& options, int* status) {
    // The encoders' own chatter is not for the user; their errors reach us as results.
    av_log_set_level(AV_LOG_ERROR);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGHUP, OnSignal);

    capture::StartClock(options.fps);
    capture::SetAnswer(options.answerYes);
    capture::Run& run = capture::CurrentRun();
    run.options = &options;
    run.tempPath = gTempPath;
    standin::UseBackend(&CaptureBackend());
    // Frames are read back, never shown: SDL's offscreen driver renders with no display at all.
    standin::desktop::UseVideoDriver("offscreen");
    if (!standin::desktop::EnsureVideo()) {
        std::fprintf(stderr, "%s: cannot render offscreen (%s)\n", program, SDL_GetError());
        return false;
    }
    char commandLine[] = "";
    *status = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    SDL_Quit();
    return true;
}

// How much of the demo a run recorded, and how fast.
struct Recorded {
    std::uint64_t frames;
    double demoSeconds;
    double wallSeconds;
    double speed;  // demo seconds a wall second
};

int FinishStills(const char* program, const capture::Options& options, const Recorded& recorded) {
    capture::CloseStills();
    if (recorded.frames < capture::CurrentRun().totalFrames) {
        std::fprintf(stderr, "%s: the program ended at %.3f s, before the last still\n", program,
                     recorded.demoSeconds);
        return kExitFailed;
    }
    std::fprintf(stderr,
                 "%s: wrote %d stills into %s (%.1f s of demo in %.1f s, %.1fx real time)\n",
                 program, options.stillCount, options.stillsDir, recorded.demoSeconds,
                 recorded.wallSeconds, recorded.speed);
    return 0;
}

// The video appears under its name only once it is complete.
int FinishVideo(const char* program, const capture::Options& options, const Recorded& recorded) {
    char why[1024] = {};
    if (!capture::CloseVideoFile(why, sizeof why)) {
        std::fprintf(stderr, "%s: %s\n", program, why);
        RemoveTemp();
        return kExitFailed;
    }
    if (std::rename(gTempPath, options.output) != 0) {
        std::fprintf(stderr, "%s: cannot write \"%s\": %s\n", program, options.output,
                     std::strerror(errno));
        RemoveTemp();
        return kExitFailed;
    }
    gTempPath[0] = '\0';
    const char* early =
        recorded.frames < capture::CurrentRun().totalFrames ? " (the program ended early)" : "";
    std::fprintf(stderr,
                 "%s: wrote %s: %llu frames, %.3f s at %d fps%s, in %.1f s (%.1fx real time)\n",
                 program, options.output, static_cast<unsigned long long>(recorded.frames),
                 recorded.demoSeconds, options.fps, early, recorded.wallSeconds, recorded.speed);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* program =
        standin::desktop::ProgramName(argc > 0 ? argv[0] : nullptr, "quorvane-capture");
    capture::Options options;
    char why[1024] = {};
    if (!capture::ParseOptions(argc, argv, &options, why, sizeof why)) {
        std::fprintf(stderr, "%s: %s (see --help)\n", program, why);
        return kExitUsage;
    }
    if (options.help) {
        capture::PrintHelp(program);
        return 0;
    }
    if (!capture::LoadScriptedKeys(why, sizeof why)) {
        std::fprintf(stderr, "%s: %s\n", program, why);
        return kExitUsage;
    }
    if (!PrepareOutput(program, options)) return kExitFailed;
    int status = 0;
    if (!RunProgram(program, options, &status)) return Failed();

    const bool stills = options.stillCount > 0;
    const capture::Run& run = capture::CurrentRun();
    std::uint64_t frames = capture::FramesPresented();
    if (run.failed) return Failed();
    if (capture::ProgramReportedError() || status != 0) {
        std::fprintf(stderr, "%s: the program failed (exit status %d); no %s written\n", program,
                     status, stills ? "stills" : "video");
        return Failed();
    }
    if (frames == 0) {
        std::fprintf(stderr, "%s: the program ended before its first frame\n", program);
        return Failed();
    }
    Recorded recorded{};
    recorded.frames = frames < run.totalFrames ? frames : run.totalFrames;
    recorded.wallSeconds = capture::SecondsSinceStart();
    recorded.demoSeconds = static_cast<double>(recorded.frames) / options.fps;
    recorded.speed = recorded.wallSeconds > 0.0 ? recorded.demoSeconds / recorded.wallSeconds : 0.0;
    return stills ? FinishStills(program, options, recorded)
                  : FinishVideo(program, options, recorded);
}
