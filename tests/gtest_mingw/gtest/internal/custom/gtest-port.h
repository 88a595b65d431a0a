// GoogleTest's customisation point, for the Windows trees: mingw's win32
// thread model has no std::mutex or std::condition_variable, which
// GoogleTest uses for one class only, Notification (a helper for its own
// thread tests). This one waits on a flag instead.
#ifndef SETUP_TESTS_GTEST_MINGW_CUSTOM_GTEST_PORT_H_
#define SETUP_TESTS_GTEST_MINGW_CUSTOM_GTEST_PORT_H_

#include <atomic>

extern "C" __declspec(dllimport) void __stdcall Sleep(unsigned long milliseconds);

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_ = true; }
    void WaitForNotification() {
        while (!notified_) Sleep(1);
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing

#endif
