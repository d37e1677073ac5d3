// The game's view of the board: the initial position and the questions the game asks of a
// position, all answered through the engine's rule functions.
#ifndef TAVIK_GAME_CORE_BOARD_FUNCTIONS_H
#define TAVIK_GAME_CORE_BOARD_FUNCTIONS_H

#include <string>

#include "ostrakon.h"

namespace tavik {

constexpr int32_t kBorderCell = 0xFFFF;

// The cell of the square in `column` (0..7, shown A..H) and `row` (0..7, shown 1..8).
constexpr int CellOf(int column, int row) { return 10 + 9 * row + column; }

// The board picture: eight squares of 50 pixels each way, and the closing grid line at 400.
constexpr int kSquarePixels = 50;
constexpr int kBoardPixels = 401;

// The cell of the square under pixel (x, y) of the board picture, or 0 where there is none
// (outside the picture, or on the closing grid line at x or y = 400).
int CellAt(int x, int y);

// The initial position: borders 0xFFFF, D4 and E5 white, E4 and D5 black, black to move.
BoardState InitialBoard();

// Cells among 10..80 equal to `value` (0 empty, +1 black, -1 white).
int CountCells(const BoardState& board, int value);

// The side to move has no legal move: it must pass, or the game is over.
bool HasNoMove(const BoardState& board);

// The side to move has no legal move but the opponent has one: a pass, and the game goes on.
bool IsForcedPass(const BoardState& board);

// `colour` (+1 black, -1 white) has a legal move, whoever is to move.
bool HasMoveFor(const BoardState& board, int colour);

// Neither side has a legal move.
bool IsGameOver(const BoardState& board);

// The position as one line of text that tools and scripts read back: 64 characters for A1..H1,
// A2..H2, ..., A8..H8 (X black, O white, - empty), a space, and X or O for the side to move.
std::string PositionDiagram(const BoardState& board);

// The cell of the only legal move, or 0 when there is none or more than one.
int ForcedMove(const BoardState& board);

}  // namespace tavik

#endif
