// What every running search carries: its node counter, its share of the memo (memo.h), the
// cancel request it answers to, and, for a search that a helper runs for a split point
// (parallel.h), the link to that split point that says whether its result is still wanted.
//
// A Think's root context is listed as a search of the calling thread while it exists, so that
// CancelSearches can reach it; the contexts of its helpers' searches share its table and
// cancel flag.
#ifndef OSTRAKON_SEARCH_CONTEXT_H
#define OSTRAKON_SEARCH_CONTEXT_H

#include <atomic>

#include "memo.h"
#include "types.h"

namespace ostrakon {

// Thrown out of a search that was asked to end (CancelThink), or out of a speculative search
// whose result can no longer be used; caught where that search began, so every SearchContext
// and split point on the way is destroyed properly.
struct SearchCancelled {};

// The system's identifier of the calling thread: GetCurrentThreadId on Windows, gettid
// elsewhere. It names the thread whose searches a cancel request ends.
int32_t CurrentThreadId();

// Asks the searches that thread `threadId` is running now (each Think it runs, with the
// helpers of that Think) to end; searches of other threads, and those the thread starts later,
// go on. Answers whether a search was running on that thread (what CancelThink does).
bool CancelSearches(int32_t threadId);
// Asks every search running now to end (tests).
void CancelAllSearches();

// The part of a split point (parallel.h) that the searches below it read: its window
// generation, and the split point and generation of the task it was itself reached in (null at
// the root). A task's search is wanted while the generation it was claimed in stands, at its
// split point and at every one above.
struct SplitLink {
    const SplitLink* parent;
    uint32_t parentGeneration;
    std::atomic<uint32_t> generation{0};
};

// True while the task claimed in `generation` of `split`, and every task above it, is still
// wanted.
inline bool TaskLive(const SplitLink* split, uint32_t generation) {
    for (; split; generation = split->parentGeneration, split = split->parent) {
        if (split->generation.load(std::memory_order_acquire) != generation) return false;
    }
    return true;
}

struct SearchGroup;

// A running search's share of the memo, its node counter and, for a search that a helper
// thread runs for a split point, the task it belongs to.
class SearchContext {
public:
    // The root context of a Think: leases a memo table, and is listed as a search of the
    // calling thread until it is destroyed, so that CancelSearches can reach it.
    SearchContext();
    // The context of one sibling search for split point `split`, claimed in window generation
    // `generation`: no lease of its own, it uses the Think's table and cancel flag.
    SearchContext(SearchGroup* group, MemoTable* table, const std::atomic<bool>* cancel,
                  uint32_t age, const SplitLink* split, uint32_t generation);
    ~SearchContext();
    SearchContext(const SearchContext&) = delete;
    SearchContext& operator=(const SearchContext&) = delete;

    uint32_t nodes = 0;
    // The members below, which the search calls at its nodes, are always inlined: a build of
    // the search that emitted one out of line would define a function outside its namespace,
    // and the linker would keep a single copy of it for both builds (types.h).

    // Every 1024 positions the search looks whether it was asked to end: a few microseconds
    // between looks, and one predictable branch per node.
    [[gnu::always_inline]] void Count() {
        if (__builtin_expect((++nodes & 1023) == 0, 0)) PollCancel();
    }

    // On a hit adds the subtree's nodes and answers true with its value.
    [[gnu::always_inline]] bool Probe(Bitboard own, Bitboard opp, uint64_t key, int32_t& value) {
        if (!table_) return false;
        const uint32_t bucket = Bucket(own, opp, key);
        return ProbeEntry(table_->entries[bucket], own, opp, key, value) ||
               ProbeEntry(table_->entries[bucket + 1], own, opp, key, value);
    }
    // Each key has a bucket of two entries. The first keeps the bigger subtree (the one whose
    // hit saves more work) among those of this Think; the second takes whatever the first
    // does not, so recent small subtrees are found too.
    [[gnu::always_inline]] void Store(Bitboard own, Bitboard opp, uint64_t key, int32_t value,
                                      uint32_t nodesBefore) {
        if (!table_) return;
        const uint32_t count = nodes - nodesBefore;
        MemoEntry* e = &table_->entries[Bucket(own, opp, key)];
        if (e->age.load(std::memory_order_relaxed) == age_ &&
            static_cast<uint32_t>(e->data.load(std::memory_order_relaxed) >> 32) > count)
            ++e;
        uint32_t sequence = e->sequence.load(std::memory_order_relaxed);
        if ((sequence & 1) ||
            !e->sequence.compare_exchange_strong(sequence, sequence + 1, std::memory_order_acquire))
            return;
        std::atomic_thread_fence(std::memory_order_release);
        e->age.store(age_, std::memory_order_relaxed);
        e->key.store(key, std::memory_order_relaxed);
        e->own.store(own, std::memory_order_relaxed);
        e->opp.store(opp, std::memory_order_relaxed);
        e->data.store(static_cast<uint64_t>(count) << 32 | static_cast<uint32_t>(value),
                      std::memory_order_relaxed);
        e->sequence.store(sequence + 2, std::memory_order_release);
    }
    bool HasMemo() const { return table_ != nullptr; }

    // Set by a Think with helper threads; null keeps the search on this thread alone.
    SearchGroup* group = nullptr;
    MemoTable* Table() const { return table_; }
    // Set once the Think this search belongs to was asked to end.
    const std::atomic<bool>* CancelFlag() const { return cancel_; }
    uint32_t Age() const { return age_; }
    // The split point whose sibling search this is (null for the root context).
    const SplitLink* Split() const { return split_; }
    uint32_t Generation() const { return generation_; }

    // Throws SearchCancelled when the search was asked to end or its result became useless.
    void CheckLive() const;

    // The first entry of the key's bucket.
    [[gnu::always_inline]] static uint32_t Bucket(Bitboard own, Bitboard opp, uint64_t key) {
        const uint64_t h = (own * 0x9E3779B97F4A7C15ULL) ^ (opp * 0xC2B2AE3D27D4EB4FULL) ^
                           (key * 0x165667B19E3779F9ULL);
        return static_cast<uint32_t>((h ^ (h >> 29)) >> (64 - MemoTable::kBits)) & ~1u;
    }

private:
    friend bool CancelSearches(int32_t threadId);
    friend void CancelAllSearches();

    // Out of line and cold, so the counting stays a few instructions in the hot loops.
    [[gnu::noinline, gnu::cold]] void PollCancel() const;

    [[gnu::always_inline]] bool ProbeEntry(const MemoEntry& e, Bitboard own, Bitboard opp,
                                           uint64_t key, int32_t& value) {
        const uint32_t before = e.sequence.load(std::memory_order_acquire);
        if (before & 1) return false;
        const uint64_t eKey = e.key.load(std::memory_order_relaxed);
        const uint64_t eOwn = e.own.load(std::memory_order_relaxed);
        const uint64_t eOpp = e.opp.load(std::memory_order_relaxed);
        const uint64_t data = e.data.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (e.sequence.load(std::memory_order_relaxed) != before) return false;
        if (eKey != key || eOwn != own || eOpp != opp) return false;
        nodes += static_cast<uint32_t>(data >> 32);
        value = static_cast<int32_t>(static_cast<uint32_t>(data));
        return true;
    }

    MemoTable* table_ = nullptr;
    bool leased_ = false;  // a root context's table, returned when it ends
    // A root context's own request flag, and its place in the list of running Thinks.
    std::atomic<bool> cancelled_{false};
    int32_t threadId_ = 0;
    SearchContext* nextRunning_ = nullptr;
    const std::atomic<bool>* cancel_ = &cancelled_;
    uint32_t age_ = 0;
    const SplitLink* split_ = nullptr;
    uint32_t generation_ = 0;
};

}  // namespace ostrakon

#endif
