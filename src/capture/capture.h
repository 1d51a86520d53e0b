// The capture policy's pieces and what they share. The program runs unchanged on the desktop
// backend, whose clock, message boxes, sound and presenting of frames are replaced by the ones
// declared here, which record instead of showing, and move time only when a frame is presented.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/core/backend.h"

namespace capture {

constexpr int kMaxStills = 64;

struct Options {
    int fps = 60;
    double seconds = 0.0;  // 0: as long as the music that was played, else kDefaultSeconds
    int scale = 1;
    bool answerYes = false;
    const char* output = "quorvane.mp4";
    std::uint32_t stillsAt[kMaxStills] = {};  // demo milliseconds, in the order given
    int stillCount = 0;
    const char* stillsDir = nullptr;
    bool help = false;
};

constexpr double kDefaultSeconds = 100.0;

// options.cpp. False with a one-sentence reason in `why` for anything it cannot use.
bool ParseOptions(int argc, char** argv, Options* options, char* why, std::size_t whySize);
void PrintHelp(const char* program);

// virtual_clock.cpp. Frame n is rendered with the clock at floor(n * 1000 / fps) ms.
void StartClock(int fps);
// The backend's clock: the demo time of the frame being rendered.
DWORD ClockMs();
std::uint64_t FramesPresented();
void AdvanceClock();
std::uint32_t DemoMsOfFrame(std::uint64_t frame);
// The first frame whose demo time is at or after `ms`.
std::uint64_t FrameAtOrAfter(std::uint32_t ms);

// answers.cpp
void SetAnswer(bool yes);
// The backend's boxes: questions answered, anything else reported on stderr.
int ShowBox(const char* caption, const char* text, standin::BoxButtons buttons,
            standin::BoxIcon icon);
// True once the program showed a box that was not a question: it met an error.
bool ProgramReportedError();

// soundtrack.cpp. The clips PlaySoundA was asked for, each from the moment it was asked.
// Samples are at the clip rate of sound_clip.h, counted from the first frame.
bool RecordSound(const standin::SoundRequest& request);
void StopSound();
// The end of the music started from a file, in milliseconds from the first frame; 0 for none.
std::uint32_t MusicEndMs();
// Interleaved stereo samples [first, first + count) of the soundtrack; silence where none plays.
void MixSoundtrack(std::uint64_t first, int count, std::int16_t* out);

// scripted_keys.cpp. A test seam: keys pressed at demo times, read from the environment.
bool LoadScriptedKeys(char* why, std::size_t whySize);
// Presses and releases the keys due before the frame at `nextFrameMs` is rendered.
void PressDueKeys(standin::Surface* surface, std::uint32_t nextFrameMs);

// presenter.cpp
struct Run {
    const Options* options;
    const char* tempPath;       // where the video is written until it is complete
    std::uint64_t totalFrames;  // decided at the first frame
    bool closeRequested;
    bool failed;  // the reason is already on stderr
};
Run& CurrentRun();
// The backend's present.
void PresentFrame(standin::Surface* surface);

// video_file.cpp. One video file per process: H.264 with the soundtrack.
// Puts "what (FFmpeg's reason for error)" in `why`; false, for returning at once.
bool FailWithAvError(char* why, std::size_t whySize, const char* what, int error);
// True when the name's extension is that of a container the video can be written in.
bool IsVideoName(const char* path);
// Checks before the run that the output's type is known and its encoders exist.
bool CheckVideoOutput(const char* path, char* why, std::size_t whySize);
bool OpenVideoFile(const char* finalPath, const char* tempPath, int width, int height, int scale,
                   int fps, char* why, std::size_t whySize);
// A frame as the presenter reads it: BGRA rows, the bottom row first.
bool WriteVideoFrame(const std::uint8_t* bgra, char* why, std::size_t whySize);
bool CloseVideoFile(char* why, std::size_t whySize);
void AbandonVideoFile();

// stills.cpp. PNG files, lossless, named by the demo milliseconds asked for.
bool CheckStillsDir(const char* dir, char* why, std::size_t whySize);
bool OpenStills(int width, int height, int scale, char* why, std::size_t whySize);
bool WriteStill(const char* dir, std::uint32_t ms, const std::uint8_t* bgra, char* why,
                std::size_t whySize);
void CloseStills();

// progress.cpp. One updating line on a terminal, and a summary line at the end.
void StartProgress(std::uint64_t totalFrames, int fps);
void ReportProgress(std::uint64_t framesDone);
double SecondsSinceStart();

}  // namespace capture
