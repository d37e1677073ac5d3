// Counting the discs turned by a move onto the last empty square without making it.
//
// When every other square is occupied, the opponent's discs are exactly the squares that are
// not ours, so what a move turns along a line depends only on where our discs lie on that
// line. Each of the four lines through the square is gathered into one byte (bit i = the
// line's square in column i, or row i for a column), and one table of 8 x 256 counts answers
// "how many discs does a move at position p turn along a line whose own discs are b?". A
// diagonal shorter than eight squares leaves its off-board bits 0, i.e. "opponent": a run that
// reaches them has reached the edge, and turns nothing, as it should.
#ifndef OSTRAKON_LAST_FLIP_H
#define OSTRAKON_LAST_FLIP_H

#include "bitboard.h"

namespace ostrakon {
inline namespace OSTRAKON_ISA {

struct LastFlipTables {
    uint8_t count[8][256];  // [position on the line][own discs on the line]
    Bitboard diagonal[64];  // the A1-H8-direction diagonal through each square
    Bitboard antiDiagonal[64];
    uint8_t diagonalSpan[64];  // on-board columns of each diagonal, as a byte
    uint8_t antiDiagonalSpan[64];
};

constexpr LastFlipTables MakeLastFlipTables() {
    LastFlipTables t{};
    for (int p = 0; p < 8; ++p) {
        for (int own = 0; own < 256; ++own) {
            int total = 0;
            for (int step = -1; step <= 1; step += 2) {
                int run = 0;
                int i = p + step;
                while (i >= 0 && i < 8 && !(own >> i & 1)) {
                    ++run;
                    i += step;
                }
                if (i >= 0 && i < 8 && run > 0) total += run;  // closed by an own disc
            }
            t.count[p][own] = static_cast<uint8_t>(total);
        }
    }
    for (int sq = 0; sq < 64; ++sq) {
        const int r = sq / 8, c = sq % 8;
        for (int k = -7; k <= 7; ++k) {
            if (r + k >= 0 && r + k < 8 && c + k >= 0 && c + k < 8) {
                t.diagonal[sq] |= Bitboard{1} << (8 * (r + k) + c + k);
                t.diagonalSpan[sq] |= static_cast<uint8_t>(1 << (c + k));
            }
            if (r + k >= 0 && r + k < 8 && c - k >= 0 && c - k < 8) {
                t.antiDiagonal[sq] |= Bitboard{1} << (8 * (r + k) + c - k);
                t.antiDiagonalSpan[sq] |= static_cast<uint8_t>(1 << (c - k));
            }
        }
    }
    return t;
}

inline constexpr LastFlipTables kLastFlip = MakeLastFlipTables();

// Discs turned by the side owning `own` playing square `sq`, on a board whose only empty
// square is `sq` (so the opponent holds every other square). `own` must not contain `sq`.
inline int LastFlipCount(Bitboard own, int sq) {
    const int r = sq / 8, c = sq % 8;
    const LastFlipTables& t = kLastFlip;
    return t.count[c][(own >> (8 * r)) & 0xFF] + t.count[r][ColumnByte(own, c)] +
           t.count[c][ByColumn(own & t.diagonal[sq])] +
           t.count[c][ByColumn(own & t.antiDiagonal[sq])];
}

// The same for the opponent, who owns every square but `sq` that `own` does not.
inline int LastFlipCountOpponent(Bitboard own, int sq) {
    const int r = sq / 8, c = sq % 8;
    const LastFlipTables& t = kLastFlip;
    const unsigned self = 1u << c;
    return t.count[c][~(own >> (8 * r)) & 0xFF & ~self] +
           t.count[r][~ColumnByte(own, c) & 0xFF & ~(1u << r)] +
           t.count[c][~ByColumn(own & t.diagonal[sq]) & t.diagonalSpan[sq] & ~self] +
           t.count[c][~ByColumn(own & t.antiDiagonal[sq]) & t.antiDiagonalSpan[sq] & ~self];
}

}  // namespace OSTRAKON_ISA
}  // namespace ostrakon

#endif
