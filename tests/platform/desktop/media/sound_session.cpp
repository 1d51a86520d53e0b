// Both ends of the PlaySoundA child: the command loop and the test's handle on it.
#include "sound_session.h"

#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/win32.h"

extern char** environ;

namespace {

// Several times what the slowest expected wait needs, for a loaded machine.
constexpr auto kOutputLimit = std::chrono::seconds(90);
constexpr auto kPollStep = std::chrono::milliseconds(20);

void Answer(BOOL result, Uint64 start) {
    std::printf("%d %llu\n", result, static_cast<unsigned long long>(SDL_GetTicks64() - start));
    std::fflush(stdout);
}

PlayReply ReadReply(SoundSession* session) {
    PlayReply reply;
    char line[128];
    if (!std::fgets(line, sizeof line, session->replies)) return reply;
    reply.ok = std::sscanf(line, "%d %ld", &reply.result, &reply.elapsedMs) == 2;
    return reply;
}

PlayReply Send(SoundSession* session, const std::string& line) {
    if (!session->commands) return {};
    std::fprintf(session->commands, "%s\n", line.c_str());
    std::fflush(session->commands);
    return ReadReply(session);
}

}  // namespace

int RunPlayChild() {
    char line[4096];
    while (std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\n")] = '\0';
        unsigned flags = 0;
        int pathAt = 0;
        Uint64 start = SDL_GetTicks64();
        if (std::strcmp(line, "stop") == 0) {
            Answer(PlaySoundA(nullptr, nullptr, SND_ASYNC), start);
        } else if (std::sscanf(line, "play %u %n", &flags, &pathAt) == 1 && pathAt > 0) {
            Answer(PlaySoundA(line + pathAt, nullptr, flags), start);
        } else {
            std::fprintf(stderr, "play child: unknown command \"%s\"\n", line);
            return 2;
        }
    }
    return 0;
}

bool StartSession(SoundSession* session, const std::string& dir, const char* audioDriver) {
    session->outputPath = dir + "/output.raw";
    session->errorPath = dir + "/stderr.txt";
    setenv("SDL_AUDIODRIVER", audioDriver, 1);
    setenv("SDL_DISKAUDIOFILE", session->outputPath.c_str(), 1);

    int toChild[2], fromChild[2];
    if (pipe(toChild) != 0) return false;
    if (pipe(fromChild) != 0) {
        close(toChild[0]);
        close(toChild[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, session->errorPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addclose(&actions, toChild[1]);
    posix_spawn_file_actions_addclose(&actions, fromChild[0]);
    char self[] = "/proc/self/exe";
    char flag[sizeof kPlayChildFlag];
    std::memcpy(flag, kPlayChildFlag, sizeof flag);
    char* argv[] = {self, flag, nullptr};
    int spawned = posix_spawn(&session->pid, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    if (spawned != 0) {
        session->pid = -1;
        close(toChild[1]);
        close(fromChild[0]);
        return false;
    }
    session->commands = fdopen(toChild[1], "w");
    session->replies = fdopen(fromChild[0], "r");
    return session->commands && session->replies;
}

PlayReply Play(SoundSession* session, const std::string& path, unsigned flags) {
    return Send(session, "play " + std::to_string(flags) + " " + path);
}

PlayReply Stop(SoundSession* session) { return Send(session, "stop"); }

int FinishSession(SoundSession* session) {
    if (session->commands) std::fclose(session->commands);
    if (session->replies) std::fclose(session->replies);
    session->commands = session->replies = nullptr;
    if (session->pid < 0) return -1;
    int status = 0;
    pid_t waited = -1;
    auto deadline = std::chrono::steady_clock::now() + kOutputLimit;
    while ((waited = waitpid(session->pid, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kPollStep);
    }
    if (waited == 0) {
        kill(session->pid, SIGKILL);
        waitpid(session->pid, &status, 0);
    }
    session->pid = -1;
    if (WIFSIGNALED(status)) return -WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::size_t OutputBytes(const SoundSession& session) {
    struct stat info {};
    if (stat(session.outputPath.c_str(), &info) != 0) return 0;
    return static_cast<std::size_t>(info.st_size);
}

bool WaitForOutput(const SoundSession& session, std::size_t bytes) {
    auto deadline = std::chrono::steady_clock::now() + kOutputLimit;
    while (OutputBytes(session) < bytes) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPollStep);
    }
    return true;
}

std::vector<std::int16_t> ReadOutput(const SoundSession& session) {
    std::vector<std::int16_t> samples;
    std::FILE* file = std::fopen(session.outputPath.c_str(), "rb");
    if (!file) return samples;
    std::int16_t block[4096];
    std::size_t got;
    while ((got = std::fread(block, sizeof block[0], 4096, file)) > 0) {
        samples.insert(samples.end(), block, block + got);
    }
    std::fclose(file);
    return samples;
}

std::string ReadErrors(const SoundSession& session) {
    std::string text;
    std::FILE* file = std::fopen(session.errorPath.c_str(), "rb");
    if (!file) return text;
    char block[1024];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, got);
    std::fclose(file);
    return text;
}
