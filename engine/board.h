// Conversion between the mailbox BoardState of the interface and the engine's bitboards.
#ifndef OSTRAKON_BOARD_H
#define OSTRAKON_BOARD_H

#include "bitboard.h"
#include "ostrakon.h"

namespace ostrakon {

struct Position {
    Bitboard own;  // discs of the side to move
    Bitboard opp;
};

// A board the engine can work on: every playable cell 0 or +-1 and the side to move +-1.
// Border cells are never read, so their contents do not matter.
bool IsValidState(const BoardState& board);

// Reads the 64 playable cells from the view of board.sideToMove (which must be +-1).
Position ToPosition(const BoardState& board);
// Writes the discs back: `own` belongs to `side`.
void WritePosition(const Position& pos, int32_t side, BoardState& board);

// The number of playable cells holding 0, centre squares included.
int CountEmpty(const BoardState& board);

inline namespace OSTRAKON_ISA {

// How many empty squares border the discs that playing `move` (a single bit, with its flips
// `flips`) would turn, each empty square counted once per turned neighbour. The move square is
// still empty and counts too.
inline int Openness(Bitboard own, Bitboard opp, Bitboard flips) {
    return EmptyNeighbourCount(flips, ~(own | opp));
}

// The number of empty neighbours of every square at once, as four bit planes (1, 2, 4, 8):
// the eight shifted copies of the empty squares added up bit-sliced. A node that scores the
// openness of many moves builds this once; each move then costs four bit counts.
struct EmptyNeighbours {
    Bitboard plane[4];

    explicit EmptyNeighbours(Bitboard empty) : plane{} {
        const Bitboard shifted[8] = {Shift<kUpLeft>(empty),  Shift<kUp>(empty),
                                     Shift<kUpRight>(empty), Shift<kLeft>(empty),
                                     Shift<kRight>(empty),   Shift<kDownLeft>(empty),
                                     Shift<kDown>(empty),    Shift<kDownRight>(empty)};
        for (Bitboard add : shifted) {
            for (Bitboard& p : plane) {
                const Bitboard carry = p & add;
                p ^= add;
                add = carry;
            }
        }
#if defined(__SSE2__) && !defined(__POPCNT__)
        low_ = _mm_set_epi64x(static_cast<int64_t>(plane[1]), static_cast<int64_t>(plane[0]));
        high_ = _mm_set_epi64x(static_cast<int64_t>(plane[3]), static_cast<int64_t>(plane[2]));
#endif
    }

#if defined(__SSE2__) && !defined(__POPCNT__)
    // The openness of a move that turns `flips`: without a bit-count instruction the four
    // planes are counted two to a register, per byte, and summed by psadbw.
    int Sum(Bitboard flips) const {
        const __m128i f = _mm_set1_epi64x(static_cast<int64_t>(flips));
        const __m128i zero = _mm_setzero_si128();
        const __m128i low = _mm_sad_epu8(ByteCounts(_mm_and_si128(f, low_)), zero);
        const __m128i high = _mm_sad_epu8(ByteCounts(_mm_and_si128(f, high_)), zero);
        // lanes: planes 0 and 1 in `low`, 2 and 3 in `high`, weighted 1, 2, 4, 8
        const __m128i weighted = _mm_add_epi32(low, _mm_slli_epi32(high, 2));
        return _mm_cvtsi128_si32(weighted) + 2 * _mm_cvtsi128_si32(_mm_srli_si128(weighted, 8));
    }

private:
    __m128i low_, high_;
#else
    // The openness of a move that turns `flips`.
    int Sum(Bitboard flips) const {
        return PopCount(flips & plane[0]) + 2 * PopCount(flips & plane[1]) +
               4 * PopCount(flips & plane[2]) + 8 * PopCount(flips & plane[3]);
    }
#endif
};

// The position after the side owning `own` plays the legal square `sq`, seen from the other side.
inline Position Play(Bitboard own, Bitboard opp, int sq) {
    const Bitboard flips = Flips(own, opp, sq);
    return {opp ^ flips, own | flips | (Bitboard{1} << sq)};
}

// Score of a finished game from the view of the side owning `own`: kWin + margin for a win,
// margin - kWin for a loss, kDraw for a draw.
inline int32_t ScoreOfDiff(int32_t d) { return d > 0 ? kWin + d : d < 0 ? d - kWin : kDraw; }
inline int32_t FinalScore(Bitboard own, Bitboard opp) {
    return ScoreOfDiff(PopCount(own) - PopCount(opp));
}

}  // namespace OSTRAKON_ISA
}  // namespace ostrakon

#endif
