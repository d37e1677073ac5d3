// The opening book.
//
// The book is a flat list of lines, each a string of move cells that begins with F5, with the
// value of its final position from black's view. A caller's line is first turned onto the
// book's orientation by the symmetry that takes its first move to F5. Every record that extends
// the line proposes its next byte as a candidate; a candidate's value is the negamax of the book
// below it: where records continue a position, the best continuation for the side to move
// decides, and only where none does is the stored score used. So the score of a record that is
// a prefix of other records is never read, although the record is still counted as a node.
//
// The search walks the flat list again at every position of the tree instead of building the
// tree once. The book is small (a few thousand positions), the list scan is what fixes the node
// count, and nothing has to be allocated.
//
// Among candidates with the best value the choice is random: the C run-time generator, seeded
// from the clock in whole seconds, draws n, and the (n mod ties)-th best candidate in MoveOrder
// order is played. The generator state is one per thread, like the run-time library's, and the
// node count belongs to the call, so concurrent calls neither share draws nor counts.
//
// Values are negated in 64 bits, so no stored score can overflow. A malformed book (never the
// shipped one, as the tests show) could still leave no candidate at the best value: scores
// beyond the search bound, or a continuation byte that is no square. The look-up then reports
// kNoPick instead of dividing the draw by zero ties.
#include "book.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <type_traits>

#include "move_order.h"
#include "types.h"

namespace ostrakon {

namespace {

const BookRecord kBookRecords[] = {
#include "book_data.inc"
};
static_assert(sizeof kBookRecords / sizeof kBookRecords[0] == 490, "the book holds 490 lines");

// A line being searched: room for 64 move bytes and the terminator. Bytes past the current
// length stay zero; only the first `length` bytes are ever compared.
using LineBuffer = uint8_t[kBookLineBytes + 1];

int LineLength(const char* moves) {
    int length = 0;
    while (length < kBookLineBytes && moves[length] != 0) ++length;
    return length;
}

// Position of a cell in MoveOrder, or -1 for anything else (centre, border, stray bytes).
int OrderIndexOfCell(int cell) {
    return cell >= 10 && cell <= 80 && IsPlayableCell(cell) ? kOrder.indexOfBit[BitOfCell(cell)]
                                                            : -1;
}

bool StartsWith(const BookRecord& record, const LineBuffer& line, int length) {
    return std::memcmp(record.line, line, static_cast<size_t>(length)) == 0;
}

// The record's move after the first `length`, 0 when the record ends there.
int NextMove(const BookRecord& record, int length) {
    return length < kBookLineBytes ? record.line[length] : 0;
}

// The candidates that the records extending `line` propose, as a mask of MoveOrder positions.
// `stray` reports a proposed byte that is no MoveOrder square (a malformed book).
struct Continuations {
    uint64_t order = 0;
    bool stray = false;
    bool Any() const { return order != 0 || stray; }
    void Mark(int cell) {
        const int index = OrderIndexOfCell(cell);
        if (index < 0) {
            stray = true;
        } else {
            order |= uint64_t{1} << index;
        }
    }
};

// The book value of the position after `line` from the view of its side to move (`sign` +1 for
// black, -1 for white). `line` is extended in place while the tree below is searched and put
// back before returning.
int64_t BookValue(const Book& book, LineBuffer& line, int length, int64_t sign, uint32_t& nodes) {
    Continuations next;
    int64_t result = -kInfinity;
    for (int i = 0; i < book.count; ++i) {
        const BookRecord& record = book.records[i];
        if (!StartsWith(record, line, length)) continue;
        const int move = NextMove(record, length);
        if (move != 0) {
            next.Mark(move);
        } else {
            // The record is this very line; a later duplicate would win, the book holds none.
            result = record.score * sign;
            ++nodes;
        }
    }
    if (!next.Any()) return result;

    // A position the book continues is worth its best continuation; its own score is not used.
    int64_t best = -kInfinity;
    for (uint64_t m = next.order; m; m &= m - 1) {
        line[length] = static_cast<uint8_t>(kMoveOrder[LowestBit(m)]);
        const int64_t value = -BookValue(book, line, length + 1, -sign, nodes);
        if (value > best) best = value;
    }
    line[length] = 0;
    return best;
}

int32_t Saturate(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

thread_local CrtRandom tRandom;
// A thread_local with a destructor has crashed MinGW's clean-up at a thread's exit (see
// tests/support/progress_texts.h); this one must stay without one.
static_assert(std::is_trivially_destructible_v<CrtRandom>);

}  // namespace

Book ShippedBook() {
    return {kBookRecords, static_cast<int>(sizeof kBookRecords / sizeof kBookRecords[0])};
}

bool OrientationOfFirstMove(int cell, Orientation& orientation) {
    switch (cell) {
        case 51:
            orientation = Orientation::kF5;
            return true;
        case 31:
            orientation = Orientation::kD3;
            return true;
        case 39:
            orientation = Orientation::kC4;
            return true;
        case 59:
            orientation = Orientation::kE6;
            return true;
        default:
            return false;
    }
}

int OrientCell(int cell, Orientation orientation) {
    // Only squares move; the terminator and stray bytes keep their value, and since no book line
    // holds a stray byte, a line containing one stays out of book in every orientation.
    if (cell < 10 || cell > 80 || !IsPlayableCell(cell)) return cell;
    const int row = (cell - 10) / 9;
    const int col = (cell - 10) % 9;
    switch (orientation) {
        case Orientation::kF5:
            return cell;
        case Orientation::kD3:
            return 10 + 9 * (7 - col) + (7 - row);  // anti-diagonal A8-H1
        case Orientation::kC4:
            return 10 + 9 * (7 - row) + (7 - col);  // half turn
        case Orientation::kE6:
            return 10 + 9 * col + row;  // main diagonal A1-H8
    }
    return cell;
}

BookLookup LookUpBook(const Book& book, const char* moves, int32_t side) {
    BookLookup lookup;
    const int length = LineLength(moves);
    if (length == 0) {
        lookup.status = BookStatus::kEmptyLine;
        return lookup;
    }
    Orientation orientation;
    if (!OrientationOfFirstMove(static_cast<uint8_t>(moves[0]), orientation)) return lookup;
    // The side only signs the values; anything but +-1 would scale or erase them.
    if (side != 1 && side != -1) return lookup;

    LineBuffer line = {};
    for (int i = 0; i < length; ++i)
        line[i] = static_cast<uint8_t>(OrientCell(static_cast<uint8_t>(moves[i]), orientation));

    // Candidates: the next byte of every record that extends the line. A record equal to the
    // line itself proposes nothing and, at this level, is not counted.
    Continuations next;
    for (int i = 0; i < book.count; ++i) {
        const BookRecord& record = book.records[i];
        if (!StartsWith(record, line, length)) continue;
        if (const int move = NextMove(record, length); move != 0) next.Mark(move);
    }
    if (!next.Any()) return lookup;

    // Best starts at the search bound, so a candidate scored below it (or a stray byte, which
    // gets no value at all) can leave no square holding the best value.
    int32_t best = -kInfinity;
    for (uint64_t m = next.order; m; m &= m - 1) {
        const int index = LowestBit(m);
        line[length] = static_cast<uint8_t>(kMoveOrder[index]);
        const int32_t value =
            Saturate(-BookValue(book, line, length + 1, -int64_t{side}, lookup.nodes));
        if (value > best) best = value;
        lookup.candidates[lookup.count++] = {OrientCell(kMoveOrder[index], orientation), value};
    }
    for (int i = 0; i < lookup.count; ++i) lookup.ties += lookup.candidates[i].value == best;
    lookup.best = best;
    lookup.status = lookup.ties > 0 ? BookStatus::kAnswered : BookStatus::kNoPick;
    return lookup;
}

int PickBookMove(const BookLookup& lookup, uint32_t draw) {
    if (lookup.status != BookStatus::kAnswered || lookup.ties <= 0) return 0;
    uint32_t skip = draw % static_cast<uint32_t>(lookup.ties);
    for (int i = 0; i < lookup.count; ++i) {
        if (lookup.candidates[i].value != lookup.best) continue;
        if (skip-- == 0) return lookup.candidates[i].cell;
    }
    return 0;
}

BookStatus ThinkBookWithDraw(const Book& book, const char* moves, int32_t side, uint32_t draw,
                             ThinkResult& result) {
    const BookLookup lookup = LookUpBook(book, moves, side);
    switch (lookup.status) {
        case BookStatus::kEmptyLine:
            result = {kFirstBookMove, 0, 0};
            return lookup.status;
        case BookStatus::kOutOfBook:
            result = {0, 0, 0};
            return lookup.status;
        case BookStatus::kNoPick:
            return lookup.status;
        case BookStatus::kAnswered:
            break;
    }
    const int move = PickBookMove(lookup, draw);
    if (move == 0) return BookStatus::kNoPick;
    result = {move, lookup.best, static_cast<int32_t>(lookup.nodes)};
    return BookStatus::kAnswered;
}

uint32_t ClockDraw() {
    tRandom.Seed(static_cast<uint32_t>(std::time(nullptr)));
    return tRandom.Next();
}

}  // namespace ostrakon
