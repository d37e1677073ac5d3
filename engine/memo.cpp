#include "memo.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include "parallel.h"

namespace ostrakon {

namespace {

// Two tables: one for the game's own thinking and one for a study search beside it. A third
// search at the same time runs without a table.
constexpr int kTables = 2;
MemoTable gTables[kTables];
std::atomic<bool> gTaken[kTables];

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

std::atomic<uint32_t> gAge{0};

void ClearMemo() {
    for (MemoTable& table : gTables) {
        for (MemoEntry& e : table.entries) e.key.store(0, std::memory_order_relaxed);  // no key is 0
    }
}

bool MemoIdle() {
    for (int i = 0; i < kTables; ++i) {
        if (gTaken[i].load()) return false;
        for (const MemoEntry& e : gTables[i].entries) {
            if (e.sequence.load() & 1) return false;
        }
    }
    return true;
}

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
    for (SearchContext* c = gRunning; c; c = c->nextRunning_) c->cancelled_.store(true, std::memory_order_relaxed);
}

SearchContext::SearchContext()
    : threadId_(CurrentThreadId()), age_(gAge.fetch_add(1, std::memory_order_relaxed) + 1) {
    {
        const RunningLock hold;
        nextRunning_ = gRunning;
        gRunning = this;
    }
    for (int i = 0; i < kTables; ++i) {
        if (!gTaken[i].exchange(true, std::memory_order_acquire)) {
            lease_ = i;
            table_ = &gTables[i];
            return;
        }
    }
}

SearchContext::SearchContext(SearchGroup* searchGroup, MemoTable* table, const std::atomic<bool>* cancel,
                             uint32_t age, const SplitPoint* split, uint32_t generation)
    : group(searchGroup), table_(table), cancel_(cancel), age_(age), split_(split),
      generation_(generation) {}

void SearchContext::PollCancel() const { CheckLive(); }

void SearchContext::CheckLive() const {
    if (cancel_->load(std::memory_order_relaxed)) throw SearchCancelled{};
    if (split_ && !TaskLive(split_, generation_)) throw SearchCancelled{};
}

SearchContext::~SearchContext() {
    if (lease_ >= 0) gTaken[lease_].store(false, std::memory_order_release);
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
