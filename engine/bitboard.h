// Bitboards: one bit per square, bit 8*row + column (A1 = bit 0, H1 = bit 7, A8 = 56, H8 = 63).
// A position is held as the discs of the side to move (`own`) and of its opponent (`opp`).
#ifndef OSTRAKON_BITBOARD_H
#define OSTRAKON_BITBOARD_H

#include "types.h"

namespace ostrakon {

constexpr Bitboard kFileA = 0x0101010101010101ULL;
constexpr Bitboard kFileH = 0x8080808080808080ULL;
constexpr Bitboard kNotFileA = ~kFileA;
constexpr Bitboard kNotFileH = ~kFileH;
// D4, E4, D5, E5: never visited as moves by the searches or the evaluation, so every move mask
// the engine iterates is cut down to the other 60 squares.
constexpr Bitboard kCentre = 0x0000001818000000ULL;
constexpr Bitboard kNonCentre = ~kCentre;

inline int PopCount(Bitboard b) { return __builtin_popcountll(b); }
inline int LowestBit(Bitboard b) { return __builtin_ctzll(b); }

// The eight neighbour directions, in the engine's fixed order: up-left, up, up-right, left,
// right, down-left, down, down-right. Shifts that cross a side of the board drop the bits that
// would wrap to the other side.
enum Direction { kUpLeft, kUp, kUpRight, kLeft, kRight, kDownLeft, kDown, kDownRight };

template <int D>
constexpr Bitboard Shift(Bitboard b) {
    if constexpr (D == kUpLeft) return (b >> 9) & kNotFileH;
    if constexpr (D == kUp) return b >> 8;
    if constexpr (D == kUpRight) return (b >> 7) & kNotFileA;
    if constexpr (D == kLeft) return (b >> 1) & kNotFileH;
    if constexpr (D == kRight) return (b << 1) & kNotFileA;
    if constexpr (D == kDownLeft) return (b << 7) & kNotFileH;
    if constexpr (D == kDown) return b << 8;
    if constexpr (D == kDownRight) return (b << 9) & kNotFileA;
    return 0;
}

// Squares where `own` could play: empty squares from which a run of `opp` discs ends in an own
// disc, in any direction (Kogge-Stone fill, six steps cover the longest run).
template <int D>
inline Bitboard MovesInDirection(Bitboard own, Bitboard oppInner) {
    Bitboard t = oppInner & Shift<D>(own);
    t |= oppInner & Shift<D>(t);
    t |= oppInner & Shift<D>(t);
    t |= oppInner & Shift<D>(t);
    t |= oppInner & Shift<D>(t);
    t |= oppInner & Shift<D>(t);
    return Shift<D>(t);
}

inline Bitboard LegalMoves(Bitboard own, Bitboard opp) {
    const Bitboard empty = ~(own | opp);
    Bitboard moves = MovesInDirection<kUpLeft>(own, opp) | MovesInDirection<kUp>(own, opp) |
                     MovesInDirection<kUpRight>(own, opp) | MovesInDirection<kLeft>(own, opp) |
                     MovesInDirection<kRight>(own, opp) | MovesInDirection<kDownLeft>(own, opp) |
                     MovesInDirection<kDown>(own, opp) | MovesInDirection<kDownRight>(own, opp);
    return moves & empty;
}

template <int D>
inline Bitboard FlipsInDirection(Bitboard own, Bitboard opp, Bitboard move) {
    Bitboard line = 0;
    Bitboard x = Shift<D>(move);
    while (x & opp) {
        line |= x;
        x = Shift<D>(x);
    }
    return (x & own) ? line : 0;
}

// Discs turned by `own` playing the square `move` (a single bit); 0 when the move brackets
// nothing. The square itself is not checked for emptiness.
inline Bitboard Flips(Bitboard own, Bitboard opp, Bitboard move) {
    return FlipsInDirection<kUpLeft>(own, opp, move) | FlipsInDirection<kUp>(own, opp, move) |
           FlipsInDirection<kUpRight>(own, opp, move) | FlipsInDirection<kLeft>(own, opp, move) |
           FlipsInDirection<kRight>(own, opp, move) | FlipsInDirection<kDownLeft>(own, opp, move) |
           FlipsInDirection<kDown>(own, opp, move) | FlipsInDirection<kDownRight>(own, opp, move);
}

// Sum over the squares of `discs` of their empty neighbours: a disc with k empty neighbours adds
// k, and an empty square next to several such discs counts once for each of them.
inline int EmptyNeighbourCount(Bitboard discs, Bitboard empty) {
    return PopCount(Shift<kUpLeft>(discs) & empty) + PopCount(Shift<kUp>(discs) & empty) +
           PopCount(Shift<kUpRight>(discs) & empty) + PopCount(Shift<kLeft>(discs) & empty) +
           PopCount(Shift<kRight>(discs) & empty) + PopCount(Shift<kDownLeft>(discs) & empty) +
           PopCount(Shift<kDown>(discs) & empty) + PopCount(Shift<kDownRight>(discs) & empty);
}

}  // namespace ostrakon

#endif
