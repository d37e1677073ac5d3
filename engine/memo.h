// Memoised subtrees. A search below a given position, with a given window (and depth, for the
// normal search), always visits the same positions: its value and node count are a function of
// that key. A hit may therefore return the stored value and add the stored count without
// changing any result the caller can see. Nothing else is ever taken from the table: no
// bounds, no move ordering.
//
// That is also what keeps the parallel search exact: whichever thread stored an entry, and
// whether the search that stored it was later needed or thrown away, the entry holds the
// value and count of a finished search of its key, and a hit is worth exactly the subtree the
// sequential search would have walked. A search that is cancelled or abandoned throws before
// it reaches Store, so an unfinished search never stores.
//
// The tables live in static storage (no allocation in a search) and are shared out one per
// running Think; the helper threads of that Think use its table too. A Think that finds none
// free runs without one, with the same results. A search reaches its table through its
// SearchContext (search_context.h), which probes and stores.
#ifndef OSTRAKON_MEMO_H
#define OSTRAKON_MEMO_H

#include <atomic>

#include "types.h"

namespace ostrakon {

// Threads of one Think read and write the same entries, so every field is an atomic word and
// an entry is guarded by a sequence number (odd while it is being written). A reader that sees
// the number change, or odd, takes it for a miss: it can never return the value of one search
// with the count of another. A writer that finds the entry being written skips its store.
struct MemoEntry {
    std::atomic<uint32_t> sequence;
    std::atomic<uint32_t> age;  // the Think that stored it (for replacement only)
    std::atomic<uint64_t> own;
    std::atomic<uint64_t> opp;
    std::atomic<uint64_t> key;   // search kind, depth and window; never 0 in a used entry
    std::atomic<uint64_t> data;  // value in the low half, nodes (modulo 2^32) in the high half
};

struct MemoTable {
    static constexpr int kBits = 17;
    MemoEntry entries[1 << kBits];
};

enum class SearchKind : uint64_t { kNormal = 1, kWinLoss = 2, kPerfect = 3 };

inline namespace OSTRAKON_ISA {
inline uint64_t MemoKey(SearchKind kind, int depth, int32_t alpha, int32_t beta) {
    // Windows lie within +-kInfinity (25 bits with the sign); depths within 0..63 matter here.
    return static_cast<uint64_t>(kind) << 62 | static_cast<uint64_t>(depth & 63) << 56 |
           static_cast<uint64_t>(alpha + kInfinity) << 28 | static_cast<uint64_t>(beta + kInfinity);
}
}  // namespace OSTRAKON_ISA

// Forgets every entry, so that the next search is timed from an empty table (benchmarks); only
// between searches.
void ClearMemo();

// Whether no table is leased and no entry is half written (for tests, between searches).
bool MemoIdle();

// A free table for the root context of a Think (search_context.h), or null when every table is
// taken; ReturnMemoTable frees it again when that Think ends.
MemoTable* LeaseMemoTable();
void ReturnMemoTable(MemoTable* table);

// A number no earlier Think was given: the age of a Think's entries (SearchContext::Store).
uint32_t NewMemoAge();

}  // namespace ostrakon

#endif
