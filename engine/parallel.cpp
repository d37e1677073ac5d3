#include "parallel.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "win32.h"

namespace ostrakon {

namespace {

// How many more thread starts may succeed (tests; -1: all).
std::atomic<int> gThreadStartsLeft{-1};

bool StartRefused() {
    int left = gThreadStartsLeft.load();
    while (left > 0 && !gThreadStartsLeft.compare_exchange_weak(left, left - 1)) {
    }
    return left == 0;
}

// The pool's lock, its wake-up signal and its threads. On Windows they are the system's own
// (SRW lock, condition variable, CreateThread): the library and each program that links the
// engine carry a threads runtime of their own, and the pool must not tie a caller's threads
// to the library's copy of it.
#ifdef _WIN32
class PoolLock {
public:
    void lock() { AcquireSRWLockExclusive(&lock_); }
    void unlock() { ReleaseSRWLockExclusive(&lock_); }
    SRWLOCK* Native() { return &lock_; }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};
class PoolSignal {
public:
    void Wait(PoolLock& lock) { SleepConditionVariableSRW(&signal_, lock.Native(), INFINITE, 0); }
    void WakeAll() { WakeAllConditionVariable(&signal_); }

private:
    CONDITION_VARIABLE signal_ = CONDITION_VARIABLE_INIT;
};
void GiveWay() { SwitchToThread(); }
DWORD WINAPI RunThread(void* entry) {
    reinterpret_cast<void (*)()>(entry)();
    return 0;
}
bool StartThread(void (*run)()) {
    const HANDLE thread = StartRefused() ? nullptr
                                         : CreateThread(nullptr, 0, RunThread,
                                                        reinterpret_cast<void*>(run), 0, nullptr);
    if (!thread) return false;
    CloseHandle(thread);
    return true;
}
#else
using PoolLock = std::mutex;
class PoolSignal {
public:
    void Wait(PoolLock& lock) {
        std::unique_lock<PoolLock> hold(lock, std::adopt_lock);
        signal_.wait(hold);
        hold.release();
    }
    void WakeAll() { signal_.notify_all(); }

private:
    std::condition_variable signal_;
};
void GiveWay() { std::this_thread::yield(); }
// std::thread reports a thread the system cannot make by throwing.
bool StartThread(void (*run)()) {
    try {
        if (StartRefused())
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        std::thread(run).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}
#endif

// The lock and the pool are made on first use and never destroyed: the helpers live until the
// process ends, and must not find their lock destroyed under them at exit.
struct Pool {
    PoolLock lock;                  // every split point and task state below
    PoolSignal wake;                // helpers sleep here while no open Think may take them
    SearchGroup* groups = nullptr;  // the open groups (under the lock)
    int openGroups = 0;             // under the lock
    int threads = 0;                // helpers made so far
    int busy = 0;                   // helpers inside a task (under the lock)
    int busyPeak = 0;               // the most helpers ever inside tasks at once (under the lock)
    int sleeping = 0;               // helpers waiting on `wake` and not yet woken (under the lock)
    unsigned wakeUps = 0;           // how often `wake` was signalled (under the lock)
    long long helperRounds = 0;     // times a helper looked at the pool under the lock (tests)
    std::atomic<int> freeTasks{0};  // free tasks in all split points: a hint read without the lock
    std::atomic<int> helperPriority{0};  // the priority a helper last began a task at (tests)
    SplitPoint* splits[SplitLimits::kMaxSplits];
    int splitCount = 0;
};

Pool& ThePool() {
    static Pool* pool = new Pool;
    return *pool;
}

// A spinning wait that leaves the processor to others now and then.
inline void Pause(int& spins) {
    if (++spins < 64) {
#if defined(__i386__) || defined(__x86_64__)
        __builtin_ia32_pause();
#endif
    } else {
        spins = 0;
        GiveWay();
    }
}

// The window and generation a task was claimed with: its search is valid for that window
// exactly as long as the generation stands.
struct Claim {
    SplitPoint* split = nullptr;
    int index = -1;
    uint32_t generation = 0;
    int32_t alpha = 0, beta = 0;
};

// Under the lock: the first free task of `split`, claimed.
bool ClaimIn(Pool& pool, SplitPoint& split, Claim& claim) {
    if (split.closed || split.freeTasks == 0) return false;
    for (int i = 0; i < split.count; ++i) {
        if (split.task[i].state != TaskState::kFree) continue;
        split.task[i].state = TaskState::kRunning;
        --split.freeTasks;
        pool.freeTasks.fetch_sub(1, std::memory_order_relaxed);
        claim = {&split, i, split.generation.load(std::memory_order_relaxed), split.alpha,
                 split.beta};
        return true;
    }
    return false;
}

bool IsBelow(const SplitLink* split, const SplitLink* ancestor) {
    for (; split; split = split->parent) {
        if (split == ancestor) return true;
    }
    return false;
}

// Under the lock: whether a helper may join a task of `group` now.
bool MayJoin(const Pool& pool, const SearchGroup& group) {
    return ostrakon::HelperMayJoin(pool.openGroups, pool.busy, group.helpersIn,
                                   group.helpersAllowed);
}

// Under the lock: whether some open Think would take one more helper now.
bool AnyMayJoin(const Pool& pool) {
    for (const SearchGroup* group = pool.groups; group; group = group->nextOpen) {
        if (MayJoin(pool, *group)) return true;
    }
    return false;
}

// Under the lock, after a group opened or closed: wakes the sleeping helpers if one of them
// may now join.
void WakeIfJoinable(Pool& pool) {
    if (pool.sleeping == 0 || !AnyMayJoin(pool)) return;
    pool.sleeping = 0;
    ++pool.wakeUps;
    pool.wake.WakeAll();
}

// Under the lock: a free task in a split point below `ancestor` (any split point when null)
// whose Think still takes a helper (`helper`), claimed.
bool ClaimAny(Pool& pool, const SplitPoint* ancestor, bool helper, Claim& claim) {
    for (int k = 0; k < pool.splitCount; ++k) {
        SplitPoint& split = *pool.splits[k];
        if (helper && !MayJoin(pool, *split.group)) continue;
        if (ancestor && !IsBelow(&split, ancestor)) continue;
        if (ClaimIn(pool, split, claim)) return true;
    }
    return false;
}

// Searches a claimed task and files its result; a result whose generation has passed, or a
// search that ended early, frees the task again.
void RunTask(Pool& pool, const Claim& claim) {
    SplitPoint& split = *claim.split;
    SplitTask& task = split.task[claim.index];
    SearchGroup& group = *split.group;
    SearchContext context(&group, group.table, group.cancel, group.age, &split, claim.generation);
    int32_t value = 0;
    bool finished = false;
    try {
        const Position child = task.child;
        value = group.searchChild(split.kind, child, split.depth, claim.alpha, claim.beta, context);
        finished = true;
    } catch (const SearchCancelled&) {
    }
    std::lock_guard<PoolLock> hold(pool.lock);
    if (finished && split.generation.load(std::memory_order_relaxed) == claim.generation) {
        task.value = value;
        task.nodes = context.nodes;
        task.state = TaskState::kDone;
    } else {
        task.state = TaskState::kFree;
        // a closed split point hands out nothing more (and no longer counts its free tasks)
        if (!split.closed) {
            ++split.freeTasks;
            pool.freeTasks.fetch_add(1, std::memory_order_relaxed);
        }
    }
}

#ifdef _WIN32
int CallerPriority() { return GetThreadPriority(GetCurrentThread()); }
void TakePriority(int priority) {
    if (GetThreadPriority(GetCurrentThread()) != priority)
        SetThreadPriority(GetCurrentThread(), priority);
}
#else
// Elsewhere the helpers keep the scheduler's default: raising a thread needs privileges there.
int CallerPriority() { return 0; }
void TakePriority(int) {}
#endif

void HelperLoop() {
    Pool& pool = ThePool();
    int spins = 0;
    for (;;) {
        Claim claim;
        {
            std::unique_lock<PoolLock> hold(pool.lock);
            for (;;) {
                ++pool.helperRounds;
                if (pool.freeTasks.load(std::memory_order_relaxed) > 0 &&
                    ClaimAny(pool, nullptr, true, claim))
                    break;
                if (AnyMayJoin(pool)) break;
                // No open Think may take this helper: it would only take processor time from
                // the searches that fill the budget. Only a group opening or closing can let
                // it in (a helper leaving a task takes its own place again).
                ++pool.sleeping;
                const unsigned wakeUps = pool.wakeUps;
                do pool.wake.Wait(pool.lock);
                while (pool.wakeUps == wakeUps);  // a wake-up nobody signalled
            }
            if (claim.split) {
                ++claim.split->helpers;
                ++claim.split->group->helpersIn;
                if (++pool.busy > pool.busyPeak) pool.busyPeak = pool.busy;
            }
        }
        if (!claim.split && pool.freeTasks.load(std::memory_order_relaxed) > 0) {
            // There is work, but none this helper may take now, while another Think would take
            // it: leave the processor to the searches for a while rather than take the lock
            // again at once.
            do Pause(spins);
            while (spins != 0);
            continue;
        }
        if (!claim.split) {
            // A Think would take this helper but has no free task (or another was quicker):
            // wait for work without the lock, the hint being enough to know when to look
            // again, and now and then see whether the budget still lets it in.
            do {
                Pause(spins);
                if (spins == 0) {
                    std::lock_guard<PoolLock> hold(pool.lock);
                    ++pool.helperRounds;
                    if (!AnyMayJoin(pool)) break;
                }
            } while (pool.freeTasks.load(std::memory_order_relaxed) == 0);
            continue;
        }
        TakePriority(claim.split->group->priority);
        pool.helperPriority.store(CallerPriority(), std::memory_order_relaxed);
        RunTask(pool, claim);
        std::lock_guard<PoolLock> hold(pool.lock);
        --pool.busy;
        --claim.split->group->helpersIn;
        --claim.split->helpers;
    }
}

// Registers a split point for its lifetime and, on every way out (a cut-off, a cancel, an
// exception from a stale task above), makes all its tasks stale, takes it out of the pool and
// waits until no helper is inside it, since it lives on this thread's stack.
class Registration {
public:
    Registration(Pool& pool, SplitPoint& split) : pool_(pool), split_(split) {
        std::lock_guard<PoolLock> hold(pool.lock);
        const int limit = split.group->limits.splits;
        if (pool.splitCount >= (limit < SplitLimits::kMaxSplits ? limit : SplitLimits::kMaxSplits))
            return;
        pool.splits[pool.splitCount++] = &split;
        split.freeTasks = split.count;
        pool.freeTasks.fetch_add(split.count, std::memory_order_relaxed);
        registered_ = true;
    }
    ~Registration() {
        if (!registered_) return;
        {
            std::lock_guard<PoolLock> hold(pool_.lock);
            split_.generation.fetch_add(1, std::memory_order_release);
            split_.closed = true;
            pool_.freeTasks.fetch_sub(split_.freeTasks, std::memory_order_relaxed);
            split_.freeTasks = 0;
            for (int k = 0; k < pool_.splitCount; ++k) {
                if (pool_.splits[k] == &split_) {
                    pool_.splits[k] = pool_.splits[--pool_.splitCount];
                    break;
                }
            }
        }
        int spins = 0;
        for (;;) {
            {
                std::lock_guard<PoolLock> hold(pool_.lock);
                if (split_.helpers == 0) return;
            }
            Pause(spins);
        }
    }
    bool Registered() const { return registered_; }

private:
    Pool& pool_;
    SplitPoint& split_;
    bool registered_ = false;
};

}  // namespace

void SiblingJudge::Before(int) {}

bool SearchSiblings(SplitPoint& split, SiblingJudge& judge, SearchContext& context) {
    Pool& pool = ThePool();
    split.group = context.group;
    split.parent = context.Split();
    split.parentGeneration = split.parent ? context.Generation() : 0;
    for (int i = 0; i < split.count; ++i) split.task[i].state = TaskState::kFree;
    Registration registration(pool, split);
    if (!registration.Registered()) return false;

    int spins = 0;
    int announced = -1;
    for (int next = 0; next < split.count;) {
        if (announced < next) {
            judge.Before(next);
            announced = next;
        }
        // also after Before: a progress callback may have asked the search to end
        context.CheckLive();
        Claim claim;
        {
            std::unique_lock<PoolLock> hold(pool.lock);
            SplitTask& task = split.task[next];
            if (task.state == TaskState::kDone) {
                task.state = TaskState::kTaken;
                const int32_t value = task.value;
                const uint32_t nodes = task.nodes;
                hold.unlock();
                context.nodes += nodes;
                int32_t alpha = split.alpha;
                const SiblingJudge::Verdict verdict = judge.Take(next, value, alpha);
                if (verdict == SiblingJudge::kStop) return true;
                if (verdict == SiblingJudge::kNewAlpha) {
                    // Every later result was searched with the old window: stale.
                    hold.lock();
                    split.alpha = alpha;
                    split.generation.fetch_add(1, std::memory_order_release);
                    for (int j = next + 1; j < split.count; ++j) {
                        if (split.task[j].state != TaskState::kDone) continue;
                        split.task[j].state = TaskState::kFree;
                        ++split.freeTasks;
                        pool.freeTasks.fetch_add(1, std::memory_order_relaxed);
                    }
                }
                ++next;
                spins = 0;
                continue;
            }
            // Free: the next result is searched here. Running on a helper: meanwhile search a
            // later child, or help below.
            if (!ClaimIn(pool, split, claim) && ClaimAny(pool, &split, false, claim))
                ++claim.split->helpers;  // another thread's split point: it must wait for us
        }
        if (claim.split) {
            RunTask(pool, claim);
            if (claim.split != &split) {
                std::lock_guard<PoolLock> hold(pool.lock);
                --claim.split->helpers;
            }
            spins = 0;
        } else {
            Pause(spins);
        }
    }
    return true;
}

int DefaultThreads() {
    const unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? static_cast<int>(n) : 1;
}

bool OpenGroup(SearchGroup& group, int threads, const SearchContext& root) {
    Pool& pool = ThePool();
    group.table = root.Table();
    group.cancel = root.CancelFlag();
    group.age = root.Age();
    group.helpersAllowed = threads - 1;
    group.helpersIn = 0;
    group.priority = CallerPriority();
    std::lock_guard<PoolLock> hold(pool.lock);
    // a refused thread is not counted, so a later Think asks the system again
    while (pool.threads < group.helpersAllowed && StartThread(HelperLoop)) ++pool.threads;
    if (pool.threads == 0) return false;
    group.nextOpen = pool.groups;
    pool.groups = &group;
    ++pool.openGroups;
    WakeIfJoinable(pool);
    return true;
}

void CloseGroup(SearchGroup& group) {
    Pool& pool = ThePool();
    std::lock_guard<PoolLock> hold(pool.lock);
    for (SearchGroup** link = &pool.groups; *link; link = &(*link)->nextOpen) {
        if (*link == &group) {
            *link = group.nextOpen;
            break;
        }
    }
    --pool.openGroups;
    WakeIfJoinable(pool);
}

bool HelperMayJoin(int openGroups, int busyHelpers, int helpersIn, int helpersAllowed) {
    return helpersIn < helpersAllowed && openGroups + busyHelpers <= helpersAllowed;
}

int PoolBusyPeak(bool reset) {
    Pool& pool = ThePool();
    std::lock_guard<PoolLock> hold(pool.lock);
    const int peak = pool.busyPeak;
    if (reset) pool.busyPeak = pool.busy;
    return peak;
}

int PoolHelperPriority() { return ThePool().helperPriority.load(std::memory_order_relaxed); }

int PoolThreads() {
    Pool& pool = ThePool();
    std::lock_guard<PoolLock> hold(pool.lock);
    return pool.threads;
}

long long PoolHelperRounds() {
    Pool& pool = ThePool();
    std::lock_guard<PoolLock> hold(pool.lock);
    return pool.helperRounds;
}

int PoolSleepingHelpers() {
    Pool& pool = ThePool();
    std::lock_guard<PoolLock> hold(pool.lock);
    return pool.sleeping;
}

void RefuseThreadStartsAfter(int allowed) { gThreadStartsLeft.store(allowed); }

bool PoolIdle() {
    Pool& pool = ThePool();
    std::lock_guard<PoolLock> hold(pool.lock);
    return pool.openGroups == 0 && pool.splitCount == 0 && pool.busy == 0 &&
           pool.freeTasks.load() == 0;
}

}  // namespace ostrakon
