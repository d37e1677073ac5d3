// The slow, literal rendering of the engine's rules on the 91-cell mailbox, never shipped: the
// tests compare the bitboard engine against it on many positions and the bench measures the
// engine's speed against it, so it is written to be obviously right rather than fast:
// whole-board copies, full scans of the move order, no caching.
//
// All functions expect a well-formed board: border cells hold 0xFFFF and playable cells hold
// 0, +1 or -1. The node counter is private to this file, so these functions never disturb the
// engine under test, and two reference searches must not run at the same time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ostrakon.h"

namespace reference {

// True if the side to move may play on `cell`. The board is not changed.
bool CanDrop(const BoardState& b, int cell);

// Plays `cell` for the side to move and hands the move to the opponent; false (board unchanged)
// when the move is not legal.
bool ReverseStones(BoardState& b, int cell);

// Static score from the side to move's view. Flips sideToMove while it counts the mobility of
// both colours and puts it back before returning.
int32_t EvalSituation(BoardState& b);

// Empty squares next to the discs that `cell` would turn, once per turned disc; 0 when illegal.
int32_t GetOpenness(const BoardState& b, int cell);

// Cells among 10..80 holding 0.
int CountEmpty(const BoardState& b);

struct ThinkOutput {
    int32_t returned = 0;               // Think's return value (-1)
    bool written = false;               // false only when Think leaves the result alone
    ThinkResult result{};               // meaningful when written
    std::vector<std::string> progress;  // every callback text in order, code page 932 bytes
};

// The whole of Think: root list, shortcut, the three search modes, progress texts and result.
ThinkOutput Think(const BoardState& b, int32_t depth, int32_t forceSearch);

}  // namespace reference
