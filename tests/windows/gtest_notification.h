// Forced into every GoogleTest compile of a Windows tree. GoogleTest's own Notification
// (thread start-up handshake) is written with std::mutex, which the win32 thread model of
// MinGW does not provide; this one spins on an atomic flag instead. Our tests run on one
// thread, so it is never waited on in earnest.
#pragma once

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    void Notify() { notified_.store(true); }
    void WaitForNotification() {
        while (!notified_.load()) {
        }
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing
