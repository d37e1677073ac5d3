#include "memo.h"

#include "parallel.h"

namespace ostrakon {

namespace {

// Two tables: one for the game's own thinking and one for a study search beside it. A third
// search at the same time runs without a table.
constexpr int kTables = 2;
MemoTable gTables[kTables];
std::atomic<bool> gTaken[kTables];

}  // namespace

std::atomic<uint32_t> gCancelEpoch{0};
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

void CancelSearches() { gCancelEpoch.fetch_add(1, std::memory_order_relaxed); }

SearchContext::SearchContext()
    : epoch_(gCancelEpoch.load(std::memory_order_relaxed)),
      age_(gAge.fetch_add(1, std::memory_order_relaxed) + 1) {
    for (int i = 0; i < kTables; ++i) {
        if (!gTaken[i].exchange(true, std::memory_order_acquire)) {
            lease_ = i;
            table_ = &gTables[i];
            return;
        }
    }
}

SearchContext::SearchContext(SearchGroup* searchGroup, MemoTable* table, uint32_t epoch,
                             uint32_t age, const SplitPoint* split, uint32_t generation)
    : group(searchGroup), table_(table), epoch_(epoch), age_(age), split_(split),
      generation_(generation) {}

void SearchContext::PollCancel() const { CheckLive(); }

void SearchContext::CheckLive() const {
    if (gCancelEpoch.load(std::memory_order_relaxed) != epoch_) throw SearchCancelled{};
    if (split_ && !TaskLive(split_, generation_)) throw SearchCancelled{};
}

SearchContext::~SearchContext() {
    if (lease_ >= 0) gTaken[lease_].store(false, std::memory_order_release);
}

}  // namespace ostrakon
