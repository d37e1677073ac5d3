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
// disc, in some direction. Per direction a fill walks the runs out of the own discs; horizontal
// and diagonal runs use the opponent discs off files A and H only, so no fill wraps a row.
// The fill doubles its stride after the first two steps (a run is at most six discs long).
template <int Step>
constexpr Bitboard ShiftBy(Bitboard b) {
    if constexpr (Step > 0) {
        return b << Step;
    } else {
        return b >> -Step;
    }
}

template <int Step>
inline Bitboard MovesTowards(Bitboard own, Bitboard runs) {
    Bitboard flood = runs & ShiftBy<Step>(own);
    flood |= runs & ShiftBy<Step>(flood);
    const Bitboard pairs = runs & ShiftBy<Step>(runs);
    flood |= pairs & ShiftBy<2 * Step>(flood);
    flood |= pairs & ShiftBy<2 * Step>(flood);
    return ShiftBy<Step>(flood);
}

inline Bitboard LegalMoves(Bitboard own, Bitboard opp) {
    const Bitboard inner = opp & 0x7E7E7E7E7E7E7E7EULL;
    const Bitboard moves = MovesTowards<1>(own, inner) | MovesTowards<-1>(own, inner) |
                           MovesTowards<8>(own, opp) | MovesTowards<-8>(own, opp) |
                           MovesTowards<7>(own, inner) | MovesTowards<-7>(own, inner) |
                           MovesTowards<9>(own, inner) | MovesTowards<-9>(own, inner);
    return moves & ~(own | opp);
}

// Rays: for each square and direction, the squares from the next one out to the board's edge.
struct RayTable {
    Bitboard ray[64][8];
};
constexpr RayTable MakeRays() {
    RayTable t{};
    constexpr int dr[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
    constexpr int dc[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
    for (int sq = 0; sq < 64; ++sq) {
        for (int d = 0; d < 8; ++d) {
            Bitboard ray = 0;
            for (int r = sq / 8 + dr[d], c = sq % 8 + dc[d]; r >= 0 && r < 8 && c >= 0 && c < 8;
                 r += dr[d], c += dc[d])
                ray |= Bitboard{1} << (8 * r + c);
            t.ray[sq][d] = ray;
        }
    }
    return t;
}
inline constexpr RayTable kRays = MakeRays();

// Along a ray of rising bit numbers the nearest square is the lowest bit; along a falling one,
// the highest. The discs turned are the opponent discs between the move and the nearest square
// that is not an opponent disc, if that square holds an own disc. Both are branch-free: the
// choice is a mask, since whether a ray turns anything is as good as random to a predictor.
inline Bitboard FlipsUp(Bitboard own, Bitboard opp, Bitboard ray) {
    const Bitboard stop = ~opp & ray;
    const Bitboard nearest = stop & (0 - stop);
    return (nearest - 1) & ray & (0 - static_cast<Bitboard>((nearest & own) != 0));
}
inline Bitboard FlipsDown(Bitboard own, Bitboard opp, Bitboard ray) {
    // With no stop at all, bit 0 stands in; it is in the ray only as an opponent disc, and out
    // of it the test against `ray` rejects it.
    const Bitboard stop = (~opp & ray) | 1;
    const Bitboard nearest = Bitboard{1} << (63 - __builtin_clzll(stop));
    return ray & ~((nearest << 1) - 1) & (0 - static_cast<Bitboard>((nearest & own & ray) != 0));
}

// Discs turned by `own` playing square `sq`; 0 when the move brackets nothing. The square
// itself is not checked for emptiness.
inline Bitboard Flips(Bitboard own, Bitboard opp, int sq) {
    const Bitboard(&ray)[8] = kRays.ray[sq];
    return FlipsDown(own, opp, ray[kUpLeft]) | FlipsDown(own, opp, ray[kUp]) |
           FlipsDown(own, opp, ray[kUpRight]) | FlipsDown(own, opp, ray[kLeft]) |
           FlipsUp(own, opp, ray[kRight]) | FlipsUp(own, opp, ray[kDownLeft]) |
           FlipsUp(own, opp, ray[kDown]) | FlipsUp(own, opp, ray[kDownRight]);
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
