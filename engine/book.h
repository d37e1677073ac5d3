// The opening book behind ThinkBook: its records, the orientation of a caller's line onto the
// book's, the look-up with its negamax over the book tree, the pick among equal best moves, and
// the run-time library's random generator that makes the draw.
#ifndef OSTRAKON_BOOK_H
#define OSTRAKON_BOOK_H

#include <cstdint>

#include "ostrakon.h"

namespace ostrakon {

constexpr int kBookLineBytes = 64;
constexpr int kFirstBookMove = 51;  // F5: every book line, and the answer to the empty line

// One record exactly as stored: the moves as cells, zero-terminated and zero-filled, and the
// value of the position at the end of the line from black's point of view.
struct BookRecord {
    uint8_t line[kBookLineBytes];
    int32_t score;
};
static_assert(sizeof(BookRecord) == 68, "a book record is 64 line bytes and a 32-bit score");

struct Book {
    const BookRecord* records;
    int count;
};

// The book compiled into the library (book_data.inc).
Book ShippedBook();

// The four legal first moves are symmetric images of F5. Each transformation is its own
// inverse, so the same call maps a caller's line onto the book and the book's answer back.
enum class Orientation { kF5, kD3, kC4, kE6 };
bool OrientationOfFirstMove(int cell, Orientation& orientation);
int OrientCell(int cell, Orientation orientation);  // 0 and non-squares stay as they are

struct BookCandidate {
    int cell;       // in the caller's orientation
    int32_t value;  // book value of playing it, from the side to move's view
};

enum class BookStatus {
    kEmptyLine,  // nothing played yet: F5
    kOutOfBook,  // unknown first move, bad side, or no book line continues the moves
    kAnswered,
    kNoPick,  // no candidate holds the best value: only a malformed book gets here
};

// Everything the book says about a line before the draw. Candidates come in MoveOrder order.
struct BookLookup {
    BookStatus status = BookStatus::kOutOfBook;
    int count = 0;
    BookCandidate candidates[60] = {};
    int32_t best = 0;    // the largest candidate value
    int ties = 0;        // candidates holding `best`
    uint32_t nodes = 0;  // book records scored
};

// `moves`: at least 64 bytes, the game's cells in play order, zero-terminated. `side`: the side
// to move, +1 black or -1 white.
BookLookup LookUpBook(const Book& book, const char* moves, int32_t side);

// The candidate chosen by a draw from the generator: the (draw mod ties)-th best one in
// MoveOrder order; 0 when there is nothing to choose.
int PickBookMove(const BookLookup& lookup, uint32_t draw);

// ThinkBook with the draw given: the status, and the result as the export writes it (left alone
// for kNoPick).
BookStatus ThinkBookWithDraw(const Book& book, const char* moves, int32_t side, uint32_t draw,
                             ThinkResult& result);

// The C run-time library's linear congruential generator, written out so that every build
// draws the same numbers: state = state * 214013 + 2531011 (mod 2^32), output bits 16..30.
class CrtRandom {
public:
    void Seed(uint32_t seed) { state_ = seed; }
    uint32_t Next() {
        state_ = state_ * 214013u + 2531011u;
        return (state_ >> 16) & 0x7FFFu;
    }

private:
    uint32_t state_ = 1;
};

// Seeds this thread's generator with the clock in whole seconds and draws one number.
uint32_t ClockDraw();

}  // namespace ostrakon

#endif
