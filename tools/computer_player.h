// The game's computer player outside the game: the opening book while it knows the line, then
// the search its three depths choose by the number of empty squares.
#ifndef TAVIK_TOOLS_COMPUTER_PLAYER_H
#define TAVIK_TOOLS_COMPUTER_PLAYER_H

#include <cstdint>
#include <string>
#include <vector>

#include "ostrakon.h"

namespace tavik_tools {

struct ComputerDepths {
    int32_t normal = 7;    // plies of the normal search
    int32_t win = 18;      // empty squares from which the win/loss search is used; 0 never
    int32_t perfect = 16;  // empty squares from which the perfect search is used; 0 never
    bool book = true;
};

// "weak", "normal" or "strong" (the game's presets), or "N/W/P" with the three depths. Answers
// "" or what is wrong.
std::string ParseComputerDepths(const std::string& text, ComputerDepths& depths);

// The move the computer player makes on `board` (whose side to move has a legal move). `line`
// holds the moves from the initial position, or is null when the game started elsewhere (then
// the book is not asked). `result` (may be null) receives the move, its value and its nodes.
int32_t ComputerMove(const BoardState& board, const std::vector<char>* line,
                     const ComputerDepths& depths, ThinkResult* result = nullptr);

}  // namespace tavik_tools

#endif
