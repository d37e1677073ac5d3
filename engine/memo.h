// Memoised subtrees. A search below a given position, with a given window (and depth, for the
// normal search), always visits the same positions: its value and node count are a function of
// that key. A hit may therefore return the stored value and add the stored count without
// changing any result the caller can see. Nothing else is ever taken from the table: no
// bounds, no move ordering.
//
// The tables live in static storage (no allocation in a search) and are shared out one per
// running search; a search that finds none free runs without one, with the same results.
#ifndef OSTRAKON_MEMO_H
#define OSTRAKON_MEMO_H

#include <atomic>

#include "types.h"

namespace ostrakon {

struct MemoEntry {
    Bitboard own;
    Bitboard opp;
    uint64_t key;  // search kind, depth and window; never 0 in a used entry
    int32_t value;
    uint32_t nodes;  // positions scored in the subtree, modulo 2^32 like the counter
};

struct MemoTable {
    static constexpr int kBits = 17;
    MemoEntry entries[1 << kBits];
};

enum class SearchKind : uint64_t { kNormal = 1, kWinLoss = 2, kPerfect = 3 };

inline uint64_t MemoKey(SearchKind kind, int depth, int32_t alpha, int32_t beta) {
    // Windows lie within +-kInfinity (25 bits with the sign); depths within 0..63 matter here.
    return static_cast<uint64_t>(kind) << 62 | static_cast<uint64_t>(depth & 63) << 56 |
           static_cast<uint64_t>(alpha + kInfinity) << 28 | static_cast<uint64_t>(beta + kInfinity);
}

// Thrown out of a search that was asked to end (CancelThink); caught where the search began,
// so every SearchContext on the way is destroyed and its memo table handed back.
struct SearchCancelled {};

// Bumped by every cancel request; a search ends when it differs from the value it started with,
// so a request reaches the searches running at that moment and none started later.
extern std::atomic<uint32_t> gCancelEpoch;

// A running search's share of the memo: the table it holds (or none) and its node counter.
class SearchContext {
public:
    SearchContext();
    ~SearchContext();
    SearchContext(const SearchContext&) = delete;
    SearchContext& operator=(const SearchContext&) = delete;

    uint32_t nodes = 0;
    // Every 1024 positions the search looks whether it was asked to end: a few microseconds
    // between looks, and one predictable branch per node.
    void Count() {
        if (__builtin_expect((++nodes & 1023) == 0, 0)) PollCancel();
    }

    // On a hit adds the subtree's nodes and answers true with its value.
    bool Probe(Bitboard own, Bitboard opp, uint64_t key, int32_t& value) {
        if (!table_) return false;
        const MemoEntry& e = table_->entries[Slot(own, opp, key)];
        if (e.key != key || e.own != own || e.opp != opp) return false;
        nodes += e.nodes;
        value = e.value;
        return true;
    }
    void Store(Bitboard own, Bitboard opp, uint64_t key, int32_t value, uint32_t nodesBefore) {
        if (table_) table_->entries[Slot(own, opp, key)] = {own, opp, key, value, nodes - nodesBefore};
    }
    bool HasMemo() const { return table_ != nullptr; }

private:
    // Out of line and cold, so the counting stays a few instructions in the hot loops.
    [[gnu::noinline, gnu::cold]] void PollCancel() const;

    static uint32_t Slot(Bitboard own, Bitboard opp, uint64_t key) {
        const uint64_t h = (own * 0x9E3779B97F4A7C15ULL) ^ (opp * 0xC2B2AE3D27D4EB4FULL) ^
                           (key * 0x165667B19E3779F9ULL);
        return static_cast<uint32_t>((h ^ (h >> 29)) >> (64 - MemoTable::kBits));
    }

    MemoTable* table_ = nullptr;
    int lease_ = -1;
    uint32_t epoch_;
};

}  // namespace ostrakon

#endif
