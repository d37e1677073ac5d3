// The fixed order in which the engine visits squares, and the mapping between the mailbox cells
// of BoardState and bitboard bits. The order decides every tie (the earlier square wins) and so
// also the node counts, so every loop over candidate moves walks it, never bit order.
#ifndef OSTRAKON_MOVE_ORDER_H
#define OSTRAKON_MOVE_ORDER_H

#include "bitboard.h"

namespace ostrakon {
inline namespace OSTRAKON_ISA {

// Cells of the mailbox: the square in row r, column c is cell 10 + 9r + c.
constexpr int CellOfBit(int bit) { return 10 + 9 * (bit / 8) + bit % 8; }
constexpr bool IsPlayableCell(int cell) { return cell >= 10 && cell <= 80 && (cell - 10) % 9 != 8; }
constexpr int BitOfCell(int cell) { return (cell - 10) / 9 * 8 + (cell - 10) % 9; }

constexpr int kMoveOrder[60] = {
    10, 17, 80, 73,                  // corners
    55, 28, 12, 15, 35, 62, 78, 75,  // edge squares two from a corner
    76, 77, 53, 44, 14, 13, 37, 46,  // middle edge squares
    56, 66, 69, 61, 34, 24, 21, 29,  // second ring, off the diagonals
    38, 47, 67, 68, 52, 43, 23, 22,  // second ring, middle
    30, 57, 60, 33,                  // corners of the centre 4x4
    26, 16, 11, 19, 64, 74, 79, 71,  // edge squares next to a corner
    51, 42, 32, 31, 39, 48, 58, 59,  // ring around the centre
    70, 25, 20, 65,                  // diagonal neighbours of the corners
};

struct OrderTables {
    int bitOfIndex[60];            // MoveOrder position -> bit
    int indexOfBit[64];            // bit -> MoveOrder position, -1 for the centre
    uint64_t byteToOrder[8][256];  // bitboard byte k -> the same squares as MoveOrder positions
};

constexpr OrderTables MakeOrderTables() {
    OrderTables t{};
    for (int bit = 0; bit < 64; ++bit) t.indexOfBit[bit] = -1;
    for (int i = 0; i < 60; ++i) {
        t.bitOfIndex[i] = BitOfCell(kMoveOrder[i]);
        t.indexOfBit[t.bitOfIndex[i]] = i;
    }
    for (int k = 0; k < 8; ++k) {
        for (int byte = 0; byte < 256; ++byte) {
            uint64_t mask = 0;
            for (int b = 0; b < 8; ++b) {
                const int index = t.indexOfBit[8 * k + b];
                if ((byte >> b & 1) && index >= 0) mask |= uint64_t{1} << index;
            }
            t.byteToOrder[k][byte] = mask;
        }
    }
    return t;
}

inline constexpr OrderTables kOrder = MakeOrderTables();

constexpr bool IsNonCentrePermutation(const int (&order)[60]) {
    bool seen[91] = {};
    for (int cell : order) {
        if (!IsPlayableCell(cell) || seen[cell]) return false;
        if (cell == 40 || cell == 41 || cell == 49 || cell == 50) return false;
        seen[cell] = true;
    }
    return true;
}
static_assert(IsNonCentrePermutation(kMoveOrder));
static_assert(CellOfBit(0) == 10 && CellOfBit(7) == 17 && CellOfBit(56) == 73 &&
              CellOfBit(63) == 80);
static_assert(BitOfCell(CellOfBit(37)) == 37);
static_assert(kOrder.indexOfBit[27] == -1 && kOrder.indexOfBit[36] == -1);

// The squares of a bitboard as a mask of MoveOrder positions: bit i is set when the i-th square
// of the order is in `b`. Walking this mask lowest bit first visits the squares in order.
inline uint64_t ToOrderMask(Bitboard b) {
    uint64_t m = 0;
    for (int k = 0; k < 8; ++k) m |= kOrder.byteToOrder[k][(b >> (8 * k)) & 0xFF];
    return m;
}

inline int BitOfOrderIndex(int index) { return kOrder.bitOfIndex[index]; }

}  // namespace OSTRAKON_ISA
}  // namespace ostrakon

#endif
