#include "board.h"

#include "move_order.h"

namespace ostrakon {

bool IsValidState(const BoardState& board) {
    if (board.sideToMove != 1 && board.sideToMove != -1) return false;
    for (int bit = 0; bit < 64; ++bit) {
        const int32_t v = board.cells[CellOfBit(bit)];
        if (v < -1 || v > 1) return false;
    }
    return true;
}

Position ToPosition(const BoardState& board) {
    Bitboard black = 0, white = 0;
    for (int bit = 0; bit < 64; ++bit) {
        const int32_t v = board.cells[CellOfBit(bit)];
        black |= Bitboard{v == 1} << bit;
        white |= Bitboard{v == -1} << bit;
    }
    return board.sideToMove == 1 ? Position{black, white} : Position{white, black};
}

void WritePosition(const Position& pos, int32_t side, BoardState& board) {
    for (int bit = 0; bit < 64; ++bit) {
        const Bitboard b = Bitboard{1} << bit;
        board.cells[CellOfBit(bit)] = (pos.own & b) ? side : (pos.opp & b) ? -side : 0;
    }
}

int CountEmpty(const BoardState& board) {
    int count = 0;
    for (int bit = 0; bit < 64; ++bit) count += board.cells[CellOfBit(bit)] == 0;
    return count;
}

}  // namespace ostrakon
