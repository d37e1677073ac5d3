// A request to end the engine searches made for one task: a study window's analysis, or the
// computer player's move. The engine's cancel reaches only the searches of the threads it
// names, so each task lists the threads that search for it and ends exactly those: closing a
// study window never stops the computer player's search, and the end of a game never stops a
// study window's.
//
// A request can come just before one of the task's threads begins a search, when the engine
// does not know that search yet. The threads check the flag before each search, and the
// progress callback they give the engine passes the request on (PassOn), which the engine calls
// before it searches its first root move. The list is changed and read under a lock, so either
// the request finds the thread listed or the thread sees the flag.
#ifndef TAVIK_GAME_CORE_SEARCH_CANCEL_H
#define TAVIK_GAME_CORE_SEARCH_CANCEL_H

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace tavik {

// The system's identifier of the calling thread, as CancelThink takes it.
int32_t CurrentThreadId();

class SearchCancel {
public:
    SearchCancel() = default;
    SearchCancel(const SearchCancel&) = delete;
    SearchCancel& operator=(const SearchCancel&) = delete;

    // Any thread: no further search of the task starts, and those under way are asked to end.
    void Cancel();
    // Before the task runs again, while none of its threads searches.
    void Reset() { cancelled_ = false; }
    bool Cancelled() const { return cancelled_.load(); }
    explicit operator bool() const { return Cancelled(); }

    // Lists the calling thread as one of the task's from construction to destruction, and makes
    // PassOn on this thread answer for the task.
    class Scope {
    public:
        explicit Scope(SearchCancel& cancel);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        SearchCancel& cancel_;
        const SearchCancel* outer_;
        int32_t thread_;
    };

    // From an engine progress callback: whether the task of the calling thread was cancelled;
    // if so, the search now running on this thread is asked to end as well.
    static bool PassOn();

private:
    std::atomic<bool> cancelled_{false};
    std::mutex lock_;
    std::vector<int32_t> threads_;  // one entry per Scope alive, so a thread may appear twice
};

}  // namespace tavik

#endif
