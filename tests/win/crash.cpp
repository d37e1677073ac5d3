// Reads through a pointer that is never valid, with a second thread running, as a crashed test
// would (win/crash_test.cmake checks how it ends).
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <thread>

int main() {
    std::atomic<bool> stop{false};
    std::thread busy([&stop] {
        while (!stop.load()) std::this_thread::yield();
    });
    std::puts("crashing now");
    std::fflush(stdout);
    const int value = *reinterpret_cast<volatile int*>(static_cast<uintptr_t>(-1) & ~uintptr_t{3});
    stop = true;
    busy.join();
    static_cast<void>(value);
    return 0;  // only the crash may fail this program
}
