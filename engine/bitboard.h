// Bitboards: one bit per square, bit 8*row + column (A1 = bit 0, H1 = bit 7, A8 = 56, H8 = 63).
// A position is held as the discs of the side to move (`own`) and of its opponent (`opp`).
#ifndef OSTRAKON_BITBOARD_H
#define OSTRAKON_BITBOARD_H

#include "types.h"

#if defined(__x86_64__) && defined(__AVX2__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ostrakon {
inline namespace OSTRAKON_ISA {

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

#if defined(__x86_64__) && defined(__AVX2__)
// The four 64-bit lanes of an AVX2 register or-ed together.
inline Bitboard OrOfLanes(__m256i x) {
    __m128i half = _mm_or_si128(_mm256_castsi256_si128(x), _mm256_extracti128_si256(x, 1));
    half = _mm_or_si128(half, _mm_unpackhi_epi64(half, half));
    return static_cast<Bitboard>(_mm_cvtsi128_si64(half));
}

// The same fills, four directions to an AVX2 register: each lane shifts by its own count
// (1, 8, 7, 9), so one fill towards higher bits and one towards lower bits cover all eight,
// and the eight chains of dependent steps above become two.
inline __m256i MovesTowards4(__m256i own, __m256i runs) {
    const __m256i step = _mm256_set_epi64x(9, 7, 8, 1);
    const __m256i step2 = _mm256_add_epi64(step, step);
    __m256i up = _mm256_and_si256(runs, _mm256_sllv_epi64(own, step));
    __m256i down = _mm256_and_si256(runs, _mm256_srlv_epi64(own, step));
    up = _mm256_or_si256(up, _mm256_and_si256(runs, _mm256_sllv_epi64(up, step)));
    down = _mm256_or_si256(down, _mm256_and_si256(runs, _mm256_srlv_epi64(down, step)));
    const __m256i pairsUp = _mm256_and_si256(runs, _mm256_sllv_epi64(runs, step));
    const __m256i pairsDown = _mm256_and_si256(runs, _mm256_srlv_epi64(runs, step));
    up = _mm256_or_si256(up, _mm256_and_si256(pairsUp, _mm256_sllv_epi64(up, step2)));
    down = _mm256_or_si256(down, _mm256_and_si256(pairsDown, _mm256_srlv_epi64(down, step2)));
    up = _mm256_or_si256(up, _mm256_and_si256(pairsUp, _mm256_sllv_epi64(up, step2)));
    down = _mm256_or_si256(down, _mm256_and_si256(pairsDown, _mm256_srlv_epi64(down, step2)));
    return _mm256_or_si256(_mm256_sllv_epi64(up, step), _mm256_srlv_epi64(down, step));
}

inline Bitboard LegalMoves(Bitboard own, Bitboard opp) {
    const Bitboard inner = opp & 0x7E7E7E7E7E7E7E7EULL;
    const __m256i runs = _mm256_set_epi64x(static_cast<int64_t>(inner), static_cast<int64_t>(inner),
                                           static_cast<int64_t>(opp), static_cast<int64_t>(inner));
    const Bitboard moves =
        OrOfLanes(MovesTowards4(_mm256_set1_epi64x(static_cast<int64_t>(own)), runs));
    return moves & ~(own | opp);
}
#else
inline Bitboard LegalMoves(Bitboard own, Bitboard opp) {
    const Bitboard inner = opp & 0x7E7E7E7E7E7E7E7EULL;
    const Bitboard moves = MovesTowards<1>(own, inner) | MovesTowards<-1>(own, inner) |
                           MovesTowards<8>(own, opp) | MovesTowards<-8>(own, opp) |
                           MovesTowards<7>(own, inner) | MovesTowards<-7>(own, inner) |
                           MovesTowards<9>(own, inner) | MovesTowards<-9>(own, inner);
    return moves & ~(own | opp);
}
#endif

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

// Lane 0: the moves of `own`, lane 1: those of `opp`.
inline __m128i LegalMovesPair(Bitboard own, Bitboard opp) {
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
    return _mm_andnot_si128(_mm_or_si128(movers, others), moves);
}

#if defined(__x86_64__) && defined(__AVX2__)
// With four directions to a register each side takes two registers, and the pairing above no
// longer pays: the two sides one after the other were quicker in the bench's normal search.
inline void LegalMovesBoth(Bitboard own, Bitboard opp, Bitboard& ownMoves, Bitboard& oppMoves) {
    ownMoves = LegalMoves(own, opp);
    oppMoves = LegalMoves(opp, own);
}
#else
inline void LegalMovesBoth(Bitboard own, Bitboard opp, Bitboard& ownMoves, Bitboard& oppMoves) {
    alignas(16) Bitboard lanes[2];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), LegalMovesPair(own, opp));
    ownMoves = lanes[0];
    oppMoves = lanes[1];
}
#endif
#else
inline void LegalMovesBoth(Bitboard own, Bitboard opp, Bitboard& ownMoves, Bitboard& oppMoves) {
    ownMoves = LegalMoves(own, opp);
    oppMoves = LegalMoves(opp, own);
}
#endif

// Column `c` gathered into a byte, row 1 in the lowest bit; and squares with at most one per
// column (a diagonal) folded into a byte by column. Each bit lands on its own bit of the top
// byte of the product, and no two products share a bit, so nothing carries.
#if defined(__x86_64__)
inline unsigned ColumnByte(Bitboard b, int c) {
    return static_cast<unsigned>((((b >> c) & kFileA) * 0x0102040810204080ULL) >> 56);
}
inline unsigned ByColumn(Bitboard b) {
    return static_cast<unsigned>((b * 0x0101010101010101ULL) >> 56);
}
#else
// With 32-bit multiplies, one instruction each on a 32-bit processor. A diagonal's two halves
// never share a column, so they can be folded before the multiply.
inline unsigned ColumnByte(Bitboard b, int c) {
    const uint32_t low = (static_cast<uint32_t>(b) >> c) & 0x01010101u;
    const uint32_t high = (static_cast<uint32_t>(b >> 32) >> c) & 0x01010101u;
    return (low * 0x01020408u) >> 24 | ((high * 0x01020408u) >> 24) << 4;
}
inline unsigned ByColumn(Bitboard b) {
    const uint32_t folded = static_cast<uint32_t>(b) | static_cast<uint32_t>(b >> 32);
    return (folded * 0x01010101u) >> 24;
}
#endif

#if defined(__SSE2__)
// Bits counted per byte in parallel (each byte ends up holding its own count, 0..8).
inline __m128i ByteCounts(__m128i x) {
    const __m128i m1 = _mm_set1_epi8(0x55), m2 = _mm_set1_epi8(0x33), m4 = _mm_set1_epi8(0x0F);
    x = _mm_sub_epi8(x, _mm_and_si128(_mm_srli_epi64(x, 1), m1));
    x = _mm_add_epi8(_mm_and_si128(x, m2), _mm_and_si128(_mm_srli_epi64(x, 2), m2));
    return _mm_and_si128(_mm_add_epi8(x, _mm_srli_epi64(x, 4)), m4);
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
#if defined(__x86_64__) && defined(__AVX2__)
// The mirror trick of the SSE2 version below, four rays to an AVX2 register: the four rising
// rays of the square (right, down-left, down, down-right) in one, the same four of the
// mirrored square in the other. The mirrored ray to the right is the real one again and turns
// the same discs, which does no harm; the other three are up-left, up and up-right on the real
// board. A byte swap within each lane (one shuffle) takes the mirrored results back, so both
// registers are or-ed before the one reduction. Only the ray to the left is left to the scalar
// bit scan.
//
// Per lane, as FlipsUp: the nearest square that is not an opponent disc, kept if it holds an
// own disc; then the ray below it. AVX2 has the 64-bit compare that SSE2 lacks.
inline __m256i FlipsUp4(__m256i own, __m256i opp, __m256i ray) {
    const __m256i stop = _mm256_andnot_si256(opp, ray);
    const __m256i nearest = _mm256_and_si256(stop, _mm256_sub_epi64(_mm256_setzero_si256(), stop));
    const __m256i closing = _mm256_and_si256(nearest, own);
    const __m256i open = _mm256_cmpeq_epi64(closing, _mm256_setzero_si256());
    const __m256i below = _mm256_sub_epi64(closing, _mm256_set1_epi64x(1));
    return _mm256_andnot_si256(open, _mm256_and_si256(below, ray));
}

inline Bitboard Flips(Bitboard own, Bitboard opp, int sq) {
    const Bitboard(&ray)[8] = kRays.ray[sq];
    const Bitboard(&mirrored)[8] = kRays.ray[sq ^ 56];
    const auto load = [](const Bitboard* four) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(four));
    };
    const __m256i reverseBytes =
        _mm256_set_epi8(8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7,  //
                        8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i own4 = _mm256_set1_epi64x(static_cast<int64_t>(own));
    const __m256i opp4 = _mm256_set1_epi64x(static_cast<int64_t>(opp));
    const __m256i ownR = _mm256_shuffle_epi8(own4, reverseBytes);
    const __m256i oppR = _mm256_shuffle_epi8(opp4, reverseBytes);
    const __m256i direct = FlipsUp4(own4, opp4, load(ray + kRight));
    const __m256i mirror = FlipsUp4(ownR, oppR, load(mirrored + kRight));
    return OrOfLanes(_mm256_or_si256(direct, _mm256_shuffle_epi8(mirror, reverseBytes))) |
           FlipsDown(own, opp, ray[kLeft]);
}
#elif defined(__x86_64__) && defined(__SSE2__)
// Rays of rising bit numbers, two to an SSE register (every x86-64 processor has SSE2). The
// board with its rows in reverse order (a byte swap) turns the rays up-left, up and up-right
// of a square into rays down-left, down and down-right of the mirrored square, so seven of
// the eight directions take the nearest-square step of FlipsUp, four registers in all; only
// the ray to the left, which the mirror leaves falling, takes the scalar bit scan.
//
// Per lane, as FlipsUp: the nearest square that is not an opponent disc, kept if it holds an
// own disc; then the ray below it. SSE2 has no 64-bit compare, so "no closing disc" is read
// from the sign of closing - 1, which is negative exactly when `closing` is 0.
inline __m128i FlipsUp2(__m128i own, __m128i opp, __m128i ray) {
    const __m128i stop = _mm_andnot_si128(opp, ray);
    const __m128i nearest = _mm_and_si128(stop, _mm_sub_epi64(_mm_setzero_si128(), stop));
    const __m128i below = _mm_sub_epi64(_mm_and_si128(nearest, own), _mm_set1_epi64x(1));
    const __m128i open = _mm_shuffle_epi32(_mm_srai_epi32(below, 31), _MM_SHUFFLE(3, 3, 1, 1));
    return _mm_andnot_si128(open, _mm_and_si128(below, ray));
}

inline Bitboard Flips(Bitboard own, Bitboard opp, int sq) {
    const Bitboard(&ray)[8] = kRays.ray[sq];
    const Bitboard(&mirrored)[8] = kRays.ray[sq ^ 56];
    const auto load = [](const Bitboard* pair) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(pair));
    };
    const __m128i own2 = _mm_set1_epi64x(static_cast<int64_t>(own));
    const __m128i opp2 = _mm_set1_epi64x(static_cast<int64_t>(opp));
    const __m128i ownR = _mm_set1_epi64x(static_cast<int64_t>(__builtin_bswap64(own)));
    const __m128i oppR = _mm_set1_epi64x(static_cast<int64_t>(__builtin_bswap64(opp)));
    // right and down-left, down and down-right; then, mirrored, down-left and down (up-left
    // and up) and down-right alone (up-right)
    const __m128i direct = _mm_or_si128(FlipsUp2(own2, opp2, load(ray + kRight)),
                                        FlipsUp2(own2, opp2, load(ray + kDown)));
    const __m128i mirror = _mm_or_si128(
        FlipsUp2(ownR, oppR, load(mirrored + kDownLeft)),
        FlipsUp2(ownR, oppR,
                 _mm_loadl_epi64(reinterpret_cast<const __m128i*>(mirrored + kDownRight))));
    const __m128i directBoth = _mm_or_si128(direct, _mm_unpackhi_epi64(direct, direct));
    const __m128i mirrorBoth = _mm_or_si128(mirror, _mm_unpackhi_epi64(mirror, mirror));
    return static_cast<Bitboard>(_mm_cvtsi128_si64(directBoth)) |
           __builtin_bswap64(static_cast<Bitboard>(_mm_cvtsi128_si64(mirrorBoth))) |
           FlipsDown(own, opp, ray[kLeft]);
}
#elif !defined(__SSE2__)
inline Bitboard Flips(Bitboard own, Bitboard opp, int sq) {
    const Bitboard(&ray)[8] = kRays.ray[sq];
    return FlipsDown(own, opp, ray[kUpLeft]) | FlipsDown(own, opp, ray[kUp]) |
           FlipsDown(own, opp, ray[kUpRight]) | FlipsDown(own, opp, ray[kLeft]) |
           FlipsUp(own, opp, ray[kRight]) | FlipsUp(own, opp, ray[kDownLeft]) |
           FlipsUp(own, opp, ray[kDown]) | FlipsUp(own, opp, ray[kDownRight]);
}
#else
// On a 32-bit processor every 64-bit step above costs two or three instructions, so the runs
// are followed in SSE registers instead, two directions to a register: lane 0 holds the board,
// lane 1 the board with its rows in reverse order, where a shift towards higher bits runs
// upwards on the real board. Downwards by 9, 7 and 8 in lane 0 are thus upwards by 7, 9 and 8
// in lane 1; left and right share a register with a shift of each sign.
template <int S, bool LeftRight = false>
inline __m128i ClosedRuns(__m128i start, __m128i runs, __m128i own) {
    const auto step = [](__m128i x, int n) {
        if constexpr (LeftRight) {
            // lane 0 towards higher bits (right), lane 1 towards lower bits (left)
            return _mm_castpd_si128(_mm_move_sd(_mm_castsi128_pd(_mm_srli_epi64(x, n * S)),
                                                _mm_castsi128_pd(_mm_slli_epi64(x, n * S))));
        } else {
            return _mm_slli_epi64(x, n * S);
        }
    };
    // the opponent discs next to the move and beyond, up to six (doubling after two steps)
    __m128i run = _mm_and_si128(runs, step(start, 1));
    run = _mm_or_si128(run, _mm_and_si128(runs, step(run, 1)));
    const __m128i pairs = _mm_and_si128(runs, step(runs, 1));
    run = _mm_or_si128(run, _mm_and_si128(pairs, step(run, 2)));
    run = _mm_or_si128(run, _mm_and_si128(pairs, step(run, 2)));
    // a run turns only where the square after it holds an own disc; the lane is cleared when
    // both of its 32-bit halves of that test are zero
    const __m128i closedBy = _mm_and_si128(own, step(run, 1));
    const __m128i halvesZero = _mm_cmpeq_epi32(closedBy, _mm_setzero_si128());
    const __m128i laneZero =
        _mm_and_si128(halvesZero, _mm_shuffle_epi32(halvesZero, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_andnot_si128(laneZero, run);
}

inline Bitboard ReverseRows(Bitboard b) { return __builtin_bswap64(b); }

inline Bitboard Flips(Bitboard own, Bitboard opp, int sq) {
    const Bitboard move = Bitboard{1} << sq;
    const auto pair = [](Bitboard lane0, Bitboard lane1) {
        return _mm_set_epi64x(static_cast<int64_t>(lane1), static_cast<int64_t>(lane0));
    };
    const __m128i own2 = pair(own, ReverseRows(own));
    const __m128i opp2 = pair(opp, ReverseRows(opp));
    const __m128i move2 = pair(move, ReverseRows(move));
    // no disc on file A or H is ever turned sideways or diagonally, which also stops the wraps
    const __m128i inner = _mm_and_si128(opp2, _mm_set1_epi64x(0x7E7E7E7E7E7E7E7ELL));
    const __m128i vertical = _mm_or_si128(
        _mm_or_si128(ClosedRuns<9>(move2, inner, own2), ClosedRuns<7>(move2, inner, own2)),
        ClosedRuns<8>(move2, opp2, own2));
    const __m128i sideways =
        ClosedRuns<1, true>(_mm_set1_epi64x(static_cast<int64_t>(move)),
                            _mm_set1_epi64x(static_cast<int64_t>(opp & 0x7E7E7E7E7E7E7E7EULL)),
                            _mm_set1_epi64x(static_cast<int64_t>(own)));
    alignas(16) Bitboard lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), vertical);
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes + 2), sideways);
    return lanes[0] | ReverseRows(lanes[1]) | lanes[2] | lanes[3];
}
#endif

// Sum over the squares of `discs` of their empty neighbours: a disc with k empty neighbours adds
// k, and an empty square next to several such discs counts once for each of them.
inline int EmptyNeighbourCount(Bitboard discs, Bitboard empty) {
    return PopCount(Shift<kUpLeft>(discs) & empty) + PopCount(Shift<kUp>(discs) & empty) +
           PopCount(Shift<kUpRight>(discs) & empty) + PopCount(Shift<kLeft>(discs) & empty) +
           PopCount(Shift<kRight>(discs) & empty) + PopCount(Shift<kDownLeft>(discs) & empty) +
           PopCount(Shift<kDown>(discs) & empty) + PopCount(Shift<kDownRight>(discs) & empty);
}

}  // namespace OSTRAKON_ISA
}  // namespace ostrakon

#endif
