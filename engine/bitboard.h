// Bitboards: one bit per square, bit 8*row + column (A1 = bit 0, H1 = bit 7, A8 = 56, H8 = 63).
// A position is held as the discs of the side to move (`own`) and of its opponent (`opp`).
#ifndef OSTRAKON_BITBOARD_H
#define OSTRAKON_BITBOARD_H

#include "types.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ostrakon {

constexpr Bitboard kFileA = 0x0101010101010101ULL;
constexpr Bitboard kFileH = 0x8080808080808080ULL;
constexpr Bitboard kNotFileA = ~kFileA;
constexpr Bitboard kNotFileH = ~kFileH;
// D4, E4, D5, E5: never visited as moves by the searches or the evaluation, so every move mask
// the engine iterates is cut down to the other 60 squares.
constexpr Bitboard kCentre = 0x0000001818000000ULL;
constexpr Bitboard kNonCentre = ~kCentre;

#if defined(__POPCNT__)
inline int PopCount(Bitboard b) { return __builtin_popcountll(b); }
#else
// Without the instruction (the 32-bit Windows build makes no assumption about the processor)
// the compiler would call a library routine; counting each half by parallel sums is quicker.
inline int PopCount32(uint32_t x) {
    x = x - ((x >> 1) & 0x55555555u);
    x = (x & 0x33333333u) + ((x >> 2) & 0x33333333u);
    x = (x + (x >> 4)) & 0x0F0F0F0Fu;
    return static_cast<int>((x * 0x01010101u) >> 24);
}
inline int PopCount(Bitboard b) {
    return PopCount32(static_cast<uint32_t>(b)) + PopCount32(static_cast<uint32_t>(b >> 32));
}
#endif
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

#if defined(__SSE2__)
// Both sides' moves at once: the two fills run in the two halves of one SSE register, since
// they use the same shifts. The evaluation needs both, and on a 32-bit processor this is what
// keeps the 64-bit shifts from costing three instructions each.
template <int Step>
inline __m128i MovesTowards2(__m128i own, __m128i runs) {
    const auto shift = [](__m128i b, int n) {
        return Step > 0 ? _mm_slli_epi64(b, n * Step) : _mm_srli_epi64(b, -n * Step);
    };
    __m128i flood = _mm_and_si128(runs, shift(own, 1));
    flood = _mm_or_si128(flood, _mm_and_si128(runs, shift(flood, 1)));
    const __m128i pairs = _mm_and_si128(runs, shift(runs, 1));
    flood = _mm_or_si128(flood, _mm_and_si128(pairs, shift(flood, 2)));
    flood = _mm_or_si128(flood, _mm_and_si128(pairs, shift(flood, 2)));
    return shift(flood, 1);
}

inline void LegalMovesBoth(Bitboard own, Bitboard opp, Bitboard& ownMoves, Bitboard& oppMoves) {
    const __m128i movers = _mm_set_epi64x(static_cast<int64_t>(opp), static_cast<int64_t>(own));
    const __m128i others = _mm_set_epi64x(static_cast<int64_t>(own), static_cast<int64_t>(opp));
    const __m128i inner = _mm_and_si128(others, _mm_set1_epi64x(0x7E7E7E7E7E7E7E7ELL));
    __m128i moves = _mm_or_si128(MovesTowards2<1>(movers, inner), MovesTowards2<-1>(movers, inner));
    moves = _mm_or_si128(moves, MovesTowards2<8>(movers, others));
    moves = _mm_or_si128(moves, MovesTowards2<-8>(movers, others));
    moves = _mm_or_si128(moves, MovesTowards2<7>(movers, inner));
    moves = _mm_or_si128(moves, MovesTowards2<-7>(movers, inner));
    moves = _mm_or_si128(moves, MovesTowards2<9>(movers, inner));
    moves = _mm_or_si128(moves, MovesTowards2<-9>(movers, inner));
    moves = _mm_andnot_si128(_mm_or_si128(movers, others), moves);
    alignas(16) Bitboard lanes[2];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), moves);
    ownMoves = lanes[0];
    oppMoves = lanes[1];
}
#else
inline void LegalMovesBoth(Bitboard own, Bitboard opp, Bitboard& ownMoves, Bitboard& oppMoves) {
    ownMoves = LegalMoves(own, opp);
    oppMoves = LegalMoves(opp, own);
}
#endif

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
#if defined(__POPCNT__) || !defined(__SSE2__)
inline int EmptyNeighbourCount(Bitboard discs, Bitboard empty) {
    return PopCount(Shift<kUpLeft>(discs) & empty) + PopCount(Shift<kUp>(discs) & empty) +
           PopCount(Shift<kUpRight>(discs) & empty) + PopCount(Shift<kLeft>(discs) & empty) +
           PopCount(Shift<kRight>(discs) & empty) + PopCount(Shift<kDownLeft>(discs) & empty) +
           PopCount(Shift<kDown>(discs) & empty) + PopCount(Shift<kDownRight>(discs) & empty);
}
#else
// Without a bit-count instruction: the eight shifted boards are built two to a register (a
// direction and its opposite), their bits counted per byte in parallel, and the byte counts
// summed by one psadbw.
template <int N>
inline __m128i OppositeShifts(__m128i both) {
    // lane 0 shifted down by N bits, lane 1 up by N
    return _mm_unpackhi_epi64(_mm_srli_epi64(both, N), _mm_slli_epi64(both, N));
}
inline __m128i ByteCounts(__m128i x) {
    const __m128i m1 = _mm_set1_epi8(0x55), m2 = _mm_set1_epi8(0x33), m4 = _mm_set1_epi8(0x0F);
    x = _mm_sub_epi8(x, _mm_and_si128(_mm_srli_epi64(x, 1), m1));
    x = _mm_add_epi8(_mm_and_si128(x, m2), _mm_and_si128(_mm_srli_epi64(x, 2), m2));
    return _mm_and_si128(_mm_add_epi8(x, _mm_srli_epi64(x, 4)), m4);
}
inline int EmptyNeighbourCount(Bitboard discs, Bitboard empty) {
    const __m128i both = _mm_set1_epi64x(static_cast<int64_t>(discs));
    const __m128i e = _mm_set1_epi64x(static_cast<int64_t>(empty));
    // (up-left, down-right), (up-right, down-left), (left, right): the wraps off files A and H
    // are masked; (up, down) cannot wrap.
    const __m128i notHnotA = _mm_set_epi64x(static_cast<int64_t>(kNotFileA), static_cast<int64_t>(kNotFileH));
    const __m128i notAnotH = _mm_set_epi64x(static_cast<int64_t>(kNotFileH), static_cast<int64_t>(kNotFileA));
    const __m128i diagonal = _mm_and_si128(OppositeShifts<9>(both), notHnotA);
    const __m128i anti = _mm_and_si128(OppositeShifts<7>(both), notAnotH);
    const __m128i row = _mm_and_si128(OppositeShifts<1>(both), notHnotA);
    const __m128i column = OppositeShifts<8>(both);
    const __m128i sum = _mm_add_epi8(
        _mm_add_epi8(ByteCounts(_mm_and_si128(diagonal, e)), ByteCounts(_mm_and_si128(anti, e))),
        _mm_add_epi8(ByteCounts(_mm_and_si128(row, e)), ByteCounts(_mm_and_si128(column, e))));
    const __m128i total = _mm_sad_epu8(sum, _mm_setzero_si128());
    return _mm_cvtsi128_si32(total) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(total, total));
}
#endif

}  // namespace ostrakon

#endif
