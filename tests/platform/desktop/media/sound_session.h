// Drives PlaySoundA in a child process that writes its audio through SDL's disk driver.
//
// The child is this test program again, started with --play-child: it reads one command
// per line ("play FLAGS PATH", "stop") and answers each with "RESULT ELAPSED_MS". Running
// it apart gives every case a fresh audio device and output file, and lets the test see
// whether the process survived whatever file it was handed.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

inline constexpr char kPlayChildFlag[] = "--play-child";
inline constexpr int kDeviceRate = 44100;  // the format the stand-in's device is opened in
inline constexpr int kDeviceChannels = 2;
inline constexpr std::size_t kFrameBytes = kDeviceChannels * sizeof(std::int16_t);

// The child's side: runs the command loop on stdin/stdout; the process exit status.
int RunPlayChild();

struct SoundSession {
    pid_t pid = -1;
    std::FILE* commands = nullptr;
    std::FILE* replies = nullptr;
    std::string outputPath;  // the disk driver's raw output
    std::string errorPath;   // the child's stderr
};

struct PlayReply {
    bool ok = false;  // false when the child gave no answer
    int result = 0;
    long elapsedMs = 0;
};

// Starts a child using the given SDL audio driver, its files in dir.
bool StartSession(SoundSession* session, const std::string& dir, const char* audioDriver);
PlayReply Play(SoundSession* session, const std::string& path, unsigned flags);
PlayReply Stop(SoundSession* session);
// Ends the child (closing its input) and returns its exit status, or -signal if it died.
int FinishSession(SoundSession* session);

std::size_t OutputBytes(const SoundSession& session);
// Polls until the output holds at least `bytes`; false after a generous time limit.
bool WaitForOutput(const SoundSession& session, std::size_t bytes);
std::vector<std::int16_t> ReadOutput(const SoundSession& session);
std::string ReadErrors(const SoundSession& session);
