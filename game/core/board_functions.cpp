#include "board_functions.h"

namespace tavik {

namespace {

// Border cells hold 0xFFFF, so asking the engine about every cell of 10..80 is safe.
int LegalMoveCount(const BoardState& board, int* only) {
    int count = 0;
    for (int cell = 10; cell <= 80; ++cell) {
        if (CanDrop(&board, cell)) {
            ++count;
            *only = cell;
        }
    }
    return count;
}

}  // namespace

int CellAt(int x, int y) {
    const int squares = 8 * kSquarePixels;
    if (x < 0 || y < 0 || x >= squares || y >= squares) return 0;
    return CellOf(x / kSquarePixels, y / kSquarePixels);
}

BoardState InitialBoard() {
    BoardState board;
    for (int32_t& cell : board.cells) cell = kBorderCell;
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) board.cells[CellOf(column, row)] = 0;
    }
    board.cells[40] = -1;  // D4
    board.cells[41] = 1;   // E4
    board.cells[49] = 1;   // D5
    board.cells[50] = -1;  // E5
    board.sideToMove = 1;
    return board;
}

int CountCells(const BoardState& board, int value) {
    int count = 0;
    for (int cell = 10; cell <= 80; ++cell) count += board.cells[cell] == value;
    return count;
}

bool HasNoMove(const BoardState& board) {
    int only = 0;
    return LegalMoveCount(board, &only) == 0;
}

bool HasMoveFor(const BoardState& board, int colour) {
    BoardState as = board;
    as.sideToMove = colour;
    return !HasNoMove(as);
}

bool IsForcedPass(const BoardState& board) { return HasNoMove(board) && !IsGameOver(board); }

bool IsGameOver(const BoardState& board) {
    if (!HasNoMove(board)) return false;
    BoardState other = board;
    other.sideToMove = -board.sideToMove;
    return HasNoMove(other);
}

int ForcedMove(const BoardState& board) {
    int only = 0;
    return LegalMoveCount(board, &only) == 1 ? only : 0;
}

std::string PositionDiagram(const BoardState& board) {
    std::string text;
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column) {
            const int32_t v = board.cells[CellOf(column, row)];
            text += v == 1 ? 'X' : v == -1 ? 'O' : '-';
        }
    return text + (board.sideToMove == 1 ? " X" : " O");
}

}  // namespace tavik
