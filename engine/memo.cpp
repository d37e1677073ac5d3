#include "memo.h"

namespace ostrakon {

namespace {

// Two tables: one for the game's own thinking and one for a study search beside it. A third
// search at the same time runs without a table.
constexpr int kTables = 2;
MemoTable gTables[kTables];
std::atomic<bool> gTaken[kTables];

std::atomic<uint32_t> gAge{0};

}  // namespace

void ClearMemo() {
    for (MemoTable& table : gTables) {
        for (MemoEntry& e : table.entries)
            e.key.store(0, std::memory_order_relaxed);  // no key is 0
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

MemoTable* LeaseMemoTable() {
    for (int i = 0; i < kTables; ++i) {
        if (!gTaken[i].exchange(true, std::memory_order_acquire)) return &gTables[i];
    }
    return nullptr;
}

void ReturnMemoTable(MemoTable* table) {
    gTaken[table - gTables].store(false, std::memory_order_release);
}

uint32_t NewMemoAge() { return gAge.fetch_add(1, std::memory_order_relaxed) + 1; }

}  // namespace ostrakon
