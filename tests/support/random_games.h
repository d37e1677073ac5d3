// Positions for the tests: random legal games, and diagrams as text.
#ifndef TAVIK_TESTS_RANDOM_GAMES_H
#define TAVIK_TESTS_RANDOM_GAMES_H

#include <cstdint>
#include <string>

#include "ostrakon.h"
#include "position_text.h"

namespace tavik_test {

// A position from a random legal game (moves chosen by a generator seeded with `seed`), taken
// once at most `maxEmpty` squares are empty and at least `minEmpty`, or earlier if the game
// ends. Where the side to move has no legal move the position is kept as it is, before the
// pass, with probability 1/4, so positions that must pass are among them; finished games
// occur naturally.
BoardState RandomPosition(uint32_t seed, int minEmpty, int maxEmpty);

// The board from a 64-character diagram and 'X' or 'O'; fails the test on bad text.
BoardState Board(const std::string& diagram, char side);
// The board after a transcript from the initial position.
BoardState AfterMoves(const std::string& transcript);

// Cells 10..80 that are playable squares.
bool IsPlayable(int cell);

// The reference engine's row for the move `cell` of `board`, as the study functions make one:
// the position after it searched with Think's `depth` (0 win/loss, -1 perfect), the opponent
// passing when it has no move. When nobody can move the game is over and its disc margin is
// the value, beyond the interface's win mark; a drawn end is 0.
ThinkResult ReferenceMoveRow(const BoardState& board, int cell, int32_t depth);

}  // namespace tavik_test

#endif
