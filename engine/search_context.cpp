#include "search_context.h"

#ifndef _WIN32
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include "win32.h"

namespace ostrakon {

namespace {

// The root contexts of the Thinks running now, linked through nextRunning_. A spin lock, held
// for a few instructions when a Think begins or ends and when a cancel request looks for its
// searches; it needs no threads runtime, whichever copy of one the caller has.
std::atomic_flag gRunningLock = ATOMIC_FLAG_INIT;
SearchContext* gRunning = nullptr;

class RunningLock {
public:
    RunningLock() {
        while (gRunningLock.test_and_set(std::memory_order_acquire)) {
        }
    }
    ~RunningLock() { gRunningLock.clear(std::memory_order_release); }
    RunningLock(const RunningLock&) = delete;
    RunningLock& operator=(const RunningLock&) = delete;
};

}  // namespace

int32_t CurrentThreadId() {
#ifdef _WIN32
    return static_cast<int32_t>(GetCurrentThreadId());
#else
    return static_cast<int32_t>(syscall(SYS_gettid));
#endif
}

bool CancelSearches(int32_t threadId) {
    const RunningLock hold;
    bool reached = false;
    for (SearchContext* c = gRunning; c; c = c->nextRunning_) {
        if (c->threadId_ != threadId) continue;
        c->cancelled_.store(true, std::memory_order_relaxed);
        reached = true;
    }
    return reached;
}

void CancelAllSearches() {
    const RunningLock hold;
    for (SearchContext* c = gRunning; c; c = c->nextRunning_)
        c->cancelled_.store(true, std::memory_order_relaxed);
}

SearchContext::SearchContext() : threadId_(CurrentThreadId()), age_(NewMemoAge()) {
    {
        const RunningLock hold;
        nextRunning_ = gRunning;
        gRunning = this;
    }
    table_ = LeaseMemoTable();
    leased_ = table_ != nullptr;
}

SearchContext::SearchContext(SearchGroup* searchGroup, MemoTable* table,
                             const std::atomic<bool>* cancel, uint32_t age, const SplitLink* split,
                             uint32_t generation)
    : group(searchGroup),
      table_(table),
      cancel_(cancel),
      age_(age),
      split_(split),
      generation_(generation) {}

void SearchContext::PollCancel() const { CheckLive(); }

void SearchContext::CheckLive() const {
    if (cancel_->load(std::memory_order_relaxed)) throw SearchCancelled{};
    if (split_ && !TaskLive(split_, generation_)) throw SearchCancelled{};
}

SearchContext::~SearchContext() {
    if (leased_) ReturnMemoTable(table_);
    if (cancel_ != &cancelled_) return;  // a helper's context was never listed
    const RunningLock hold;
    for (SearchContext** link = &gRunning; *link; link = &(*link)->nextRunning_) {
        if (*link == this) {
            *link = nextRunning_;
            break;
        }
    }
}

}  // namespace ostrakon
