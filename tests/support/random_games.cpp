#include "random_games.h"

#include <gtest/gtest.h>

#include <random>

#include "board_functions.h"
#include "reference.h"

namespace tavik_test {

namespace {

int Empty(const BoardState& b) { return reference::CountEmpty(b); }

}  // namespace

bool IsPlayable(int cell) { return cell >= 10 && cell <= 80 && (cell - 10) % 9 != 8; }

BoardState RandomPosition(uint32_t seed, int minEmpty, int maxEmpty) {
    std::mt19937 rng(seed);
    const int target = std::uniform_int_distribution<int>(minEmpty, maxEmpty)(rng);
    BoardState b = tavik::InitialBoard();
    while (Empty(b) > target) {
        int moves[64];
        int n = 0;
        for (int cell = 10; cell <= 80; ++cell) {
            if (IsPlayable(cell) && reference::CanDrop(b, cell)) moves[n++] = cell;
        }
        if (n == 0) {
            BoardState other = b;
            other.sideToMove = -b.sideToMove;
            bool opponentMoves = false;
            for (int cell = 10; cell <= 80 && !opponentMoves; ++cell)
                opponentMoves = IsPlayable(cell) && reference::CanDrop(other, cell);
            if (!opponentMoves) return b;  // game over
            if (rng() % 4 == 0) return b;  // keep the must-pass position
            b = other;
            continue;
        }
        reference::ReverseStones(b, moves[rng() % n]);
    }
    return b;
}

BoardState Board(const std::string& diagram, char side) {
    BoardState b = tavik::InitialBoard();
    const std::string error = tavik_tools::ParseDiagram(diagram, std::string(1, side), b);
    EXPECT_EQ("", error) << diagram;
    return b;
}

BoardState AfterMoves(const std::string& transcript) {
    BoardState b = tavik::InitialBoard();
    const std::string error = tavik_tools::ParseTranscript(transcript, b);
    EXPECT_EQ("", error) << transcript;
    return b;
}

namespace {

bool ReferenceHasMove(const BoardState& b) {
    for (int cell = 10; cell <= 80; ++cell)
        if (IsPlayable(cell) && reference::CanDrop(b, cell)) return true;
    return false;
}

}  // namespace

ThinkResult ReferenceMoveRow(const BoardState& board, int cell, int32_t depth) {
    BoardState after = board;
    reference::ReverseStones(after, cell);
    if (!ReferenceHasMove(after)) after.sideToMove = -after.sideToMove;
    ThinkResult row = reference::Think(after, depth, -1).result;
    row.move = cell;
    if (!ReferenceHasMove(after)) {
        int margin = 0;
        for (int c = 10; c <= 80; ++c)
            if (IsPlayable(c)) margin += after.cells[c];
        row.value = margin == 0  ? 0
                    : margin > 0 ? OSTRAKON_VALUE_WIN + margin
                                 : margin - OSTRAKON_VALUE_WIN;
    }
    return row;
}

}  // namespace tavik_test
