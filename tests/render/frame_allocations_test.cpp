// Heap allocations of the frame: none, across every part of the sequence. operator new and
// malloc are replaced in this program so that every allocation anywhere is counted.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <new>

#include "common/demo_state.h"
#include "gl_recorder.h"
#include "render/render.h"
#include "render/timeline.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {
volatile long allocations = 0;
}

extern "C" {
void* malloc(std::size_t size) {
    allocations = allocations + 1;
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    allocations = allocations + 1;
    return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size) {
    allocations = allocations + 1;
    return __libc_realloc(block, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
    allocations = allocations + 1;
    return __libc_memalign(alignment, size);
}
void free(void* block) { __libc_free(block); }
}

void* operator new(std::size_t size) {
    void* block = malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        std::abort();
    }
    return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return malloc(size == 0 ? 1 : size);
}
void operator delete(void* block) noexcept { free(block); }
void operator delete[](void* block) noexcept { free(block); }
void operator delete(void* block, std::size_t) noexcept { free(block); }
void operator delete[](void* block, std::size_t) noexcept { free(block); }

namespace {

TEST(FrameAllocations, TheCounterSeesNewAndMalloc) {
    const long before = allocations;
    int* volatile number = new int(7);
    delete number;
    void* volatile block = std::malloc(16);
    std::free(block);
    EXPECT_EQ(allocations - before, 2);
}

// 1,000 frames after the first, 100 ms of clock apart: boot text, cursor, tumble, loading
// line, the 33 s edge, the box with its jumps and every credits line.
TEST(FrameAllocations, AThousandFramesAllocateNothing) {
    timelineState = TimelineState{};
    demoState.deviceContext = nullptr;
    ResizeViewport(640, 480);
    ASSERT_TRUE(InitRenderState());
    constexpr DWORD kStart = 4000000000u;
    SetTestClock(kStart);
    RenderFrame();

    const long before = allocations;
    for (DWORD frame = 1; frame <= 1000; ++frame) {
        recorder::Reset();
        SetTestClock(kStart + frame * 100u);
        RenderFrame();
    }
    EXPECT_EQ(allocations - before, 0);
    EXPECT_GT(timelineState.now - timelineState.startTime, 90000u)
        << "the frames reached the last part";
}

}  // namespace
