/* A measuring probe preloaded into the demo and into its bare SDL2 baseline alike, so both
 * are timed at the same place: the return of SDL_GL_SwapWindow, where a frame is presented.
 *
 * It writes "name value" lines to $QV_PROBE_OUT:
 *   first_frame_ms   from the probe's start (the process's start) to the first presented frame
 *   fps              frames presented per second over $QV_PROBE_SECONDS, after $QV_PROBE_WARMUP
 *   allocs_per_frame heap allocations (every thread, every library) per presented frame there
 *   switch_ms        from a window's destruction to the next presented frame, once per switch
 * With $QV_PROBE_ANSWER set, message boxes are answered at once with their Escape button (with
 * their Return button when it is "yes"), so that a start-up question costs no human reaction
 * time. */
#define _GNU_SOURCE
#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

extern void* __libc_malloc(size_t size);
extern void* __libc_calloc(size_t count, size_t size);
extern void* __libc_realloc(void* block, size_t size);
extern void* __libc_memalign(size_t alignment, size_t size);

static atomic_ulong allocations;
static double startSeconds;
static double warmupSeconds = 2.0;
static double measureSeconds = 5.0;
static double destroyedAt = -1.0;
static unsigned long frames;
static unsigned long framesAtStart, allocationsAtStart;
static double measureStart = -1.0;
static int measured;
static int outFd = -1;

static double Now(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec + (double)ts.tv_nsec / 1e9;
}

static void Report(const char* name, double value) {
    char line[96];
    int length = snprintf(line, sizeof line, "%s %.3f\n", name, value);
    if (outFd >= 0 && length > 0) {
        ssize_t written = write(outFd, line, (size_t)length);
        (void)written;
    }
}

__attribute__((constructor)) static void ProbeStart(void) {
    startSeconds = Now();
    const char* out = getenv("QV_PROBE_OUT");
    if (out != NULL) {
        outFd = open(out, O_WRONLY | O_CREAT | O_APPEND, 0644);
    }
    if (getenv("QV_PROBE_WARMUP") != NULL) warmupSeconds = atof(getenv("QV_PROBE_WARMUP"));
    if (getenv("QV_PROBE_SECONDS") != NULL) measureSeconds = atof(getenv("QV_PROBE_SECONDS"));
}

void* malloc(size_t size) {
    atomic_fetch_add_explicit(&allocations, 1, memory_order_relaxed);
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    atomic_fetch_add_explicit(&allocations, 1, memory_order_relaxed);
    return __libc_calloc(count, size);
}

void* realloc(void* block, size_t size) {
    atomic_fetch_add_explicit(&allocations, 1, memory_order_relaxed);
    return __libc_realloc(block, size);
}

void* memalign(size_t alignment, size_t size) {
    atomic_fetch_add_explicit(&allocations, 1, memory_order_relaxed);
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) { return memalign(alignment, size); }

int posix_memalign(void** result, size_t alignment, size_t size) {
    *result = memalign(alignment, size);
    return *result == NULL ? 12 : 0;
}

void SDL_GL_SwapWindow(SDL_Window* window) {
    static void (*real)(SDL_Window*);
    if (real == NULL) real = (void (*)(SDL_Window*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    real(window);

    const double now = Now();
    ++frames;
    if (frames == 1) {
        Report("first_frame_ms", (now - startSeconds) * 1000.0);
    }
    if (destroyedAt >= 0.0) {
        Report("switch_ms", (now - destroyedAt) * 1000.0);
        destroyedAt = -1.0;
    }
    if (measureStart < 0.0 && now - startSeconds >= warmupSeconds) {
        measureStart = now;
        framesAtStart = frames;
        allocationsAtStart = atomic_load(&allocations);
    } else if (measureStart >= 0.0 && !measured && now - measureStart >= measureSeconds) {
        measured = 1;
        const double counted = (double)(frames - framesAtStart);
        Report("fps", counted / (now - measureStart));
        Report("allocs_per_frame",
               (double)(atomic_load(&allocations) - allocationsAtStart) / counted);
    }
}

void SDL_DestroyWindow(SDL_Window* window) {
    static void (*real)(SDL_Window*);
    if (real == NULL) real = (void (*)(SDL_Window*))dlsym(RTLD_NEXT, "SDL_DestroyWindow");
    /* Timed from the first destruction after a presented frame: any helper window the
     * platform makes and drops before the first frame or during a switch is part of the
     * start-up or of that switch, not a switch of its own. */
    if (frames > 0 && destroyedAt < 0.0) {
        destroyedAt = Now();
    }
    real(window);
}

int SDL_ShowMessageBox(const SDL_MessageBoxData* box, int* buttonId) {
    const char* answer = getenv("QV_PROBE_ANSWER");
    if (answer != NULL) {
        const Uint32 key = strcmp(answer, "yes") == 0 ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT
                                                      : SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        for (int i = 0; i < box->numbuttons; ++i) {
            if (box->buttons[i].flags & key) {
                *buttonId = box->buttons[i].buttonid;
                return 0;
            }
        }
    }
    static int (*real)(const SDL_MessageBoxData*, int*);
    if (real == NULL) {
        real = (int (*)(const SDL_MessageBoxData*, int*))dlsym(RTLD_NEXT, "SDL_ShowMessageBox");
    }
    return real(box, buttonId);
}
