// The opening book: the stored records and their properties, ThinkBook's answers in all four
// orientations, the draw and its generator, and a malformed book that must not crash the draw.
// That the records are what tools/gen_book makes of tools/book/book.txt is checked byte for byte
// by the test tools_book_is_generated.
#include "board_functions.h"
#include "book.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "random_games.h"
#include "texts.h"

namespace {

using ostrakon::Book;
using ostrakon::BookLookup;
using ostrakon::BookRecord;
using ostrakon::BookStatus;
using ostrakon::Orientation;
using tavik::InitialBoard;
using tavik::SquareName;
using Line = std::vector<int>;
using Moves = std::array<char, 64>;  // a move string as ThinkBook reads it

constexpr int kF5 = 51, kF4 = 42, kE3 = 32, kD6 = 58, kF6 = 60, kC3 = 30, kC5 = 48, kB3 = 29;

Line LineOf(const std::string& transcript) {
    Line cells;
    for (size_t i = 0; i + 1 < transcript.size(); i += 2)
        cells.push_back(tavik_tools::ParseSquare(transcript.substr(i, 2)));
    return cells;
}

Line LineOf(const BookRecord& r) { return {r.line, std::find(r.line, r.line + 64, 0)}; }

Moves MovesOf(const Line& cells) {
    Moves m{};
    std::copy(cells.begin(), cells.end(), m.begin());
    return m;
}

std::string TextOf(const Line& cells) {
    std::string text;
    for (int cell : cells) text += SquareName(cell);
    return text;
}

// Replays a line with the side alternating (the book never passes); false at an illegal move.
bool Replay(const Line& cells, BoardState& board) {
    board = InitialBoard();
    return std::all_of(cells.begin(), cells.end(),
                       [&](int cell) { return ReverseStones(&board, cell) == -1; });
}

ThinkResult Draw(const std::string& line, int32_t side, uint32_t draw,
                 BookStatus expected = BookStatus::kAnswered) {
    ThinkResult r{-7, -7, -7};
    const Moves m = MovesOf(LineOf(line));
    EXPECT_EQ(expected,
              ostrakon::ThinkBookWithDraw(ostrakon::ShippedBook(), m.data(), side, draw, r))
        << line;
    return r;
}

// Every position the book holds (all prefixes of all records, the empty line included) and
// those of them that some longer record continues.
struct BookTree {
    std::set<Line> positions, continued;
};

const BookTree& Tree() {
    static const BookTree tree = [] {
        BookTree t;
        const Book book = ostrakon::ShippedBook();
        for (int i = 0; i < book.count; ++i) {
            const Line cells = LineOf(book.records[i]);
            for (size_t n = 0; n <= cells.size(); ++n) {
                t.positions.insert({cells.begin(), cells.begin() + n});
                if (n < cells.size()) t.continued.insert({cells.begin(), cells.begin() + n});
            }
        }
        return t;
    }();
    return tree;
}

// ---------------------------------------------------------------------------------------------
// The stored records

TEST(BookRecords, HoldEveryPropertyOfTheBook) {
    const Book book = ostrakon::ShippedBook();
    ASSERT_EQ(490, book.count);
    // 68-byte records one after another, the score little-endian at offset 64.
    const auto* bytes = reinterpret_cast<const unsigned char*>(book.records);
    ASSERT_EQ(bytes + 68, reinterpret_cast<const unsigned char*>(&book.records[1]));
    for (int i = 0; i < 4; ++i) {
        const unsigned char* s = bytes + 68 * i + 64;
        EXPECT_EQ(book.records[i].score, static_cast<int32_t>(s[0] | s[1] << 8 | s[2] << 16 |
                                                              static_cast<uint32_t>(s[3]) << 24));
    }
    std::map<int, int> secondMoves;
    std::map<Line, int32_t> scores;
    size_t shortest = 64, longest = 0;
    int prefixes = 0;
    for (int i = 0; i < book.count; ++i) {
        const BookRecord& r = book.records[i];
        const Line cells = LineOf(r);
        SCOPED_TRACE(std::to_string(i) + ": " + TextOf(cells));
        ASSERT_GE(cells.size(), 2u);
        shortest = std::min(shortest, cells.size());
        longest = std::max(longest, cells.size());
        EXPECT_TRUE(std::all_of(r.line + cells.size(), r.line + 64, [](uint8_t b) { return !b; }));
        EXPECT_EQ(kF5, cells[0]);
        ++secondMoves[cells[1]];
        BoardState board;
        EXPECT_TRUE(Replay(cells, board)) << "a move is not legal, or needs a pass first";
        EXPECT_GE(r.score, -25);
        EXPECT_LE(r.score, 5);
        EXPECT_TRUE(scores.emplace(cells, r.score).second) << "line stored twice";
        prefixes += Tree().continued.count(cells) != 0;
    }
    EXPECT_EQ(4u, shortest);
    EXPECT_EQ(36u, longest);
    EXPECT_EQ((std::map<int, int>{{kD6, 434}, {kF6, 55}, {kF4, 1}}), secondMoves);
    EXPECT_EQ(39, prefixes) << "records that longer records continue";

    const std::pair<const char*, int32_t> examples[] = {
        {"f5d6c5f4e3c6d3f6e6d7", -1},
        {"f5f4e3f6d3", 2},
        {"f5f6e6d6c7f4", -10},
        {"f5d6c3d3c4f4c5b3c2b4e3e6b6c6b5a6a5f6d7f2a4e7", -25},
    };
    for (const auto& [line, score] : examples) {
        ASSERT_EQ(1u, scores.count(LineOf(line))) << line;
        EXPECT_EQ(score, scores[LineOf(line)]) << line;
    }
}

// ---------------------------------------------------------------------------------------------
// The book tree and ThinkBook's answers

TEST(BookTree, ValuesOfTheFirstReplies) {
    const struct {
        const char* line;
        int32_t side;
        std::vector<std::pair<int, int32_t>> candidates;  // in MoveOrder order
        int ties;
        int32_t nodes;  // every record below the line, each scored once
    } cases[] = {
        {"f5", -1, {{kF6, 0}, {kF4, -2}, {kD6, 0}}, 2, 490},           // white's view
        {"f5d6", 1, {{kC3, 0}, {57, -4}, {39, 0}, {kC5, 0}}, 3, 434},  // black's: C3 C6 C4 C5
        {"f5f6", 1, {{59, 0}}, 1, 55},
        {"f5f4", 1, {{kE3, 2}}, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const BookLookup lookup =
            ostrakon::LookUpBook(ostrakon::ShippedBook(), MovesOf(LineOf(c.line)).data(), c.side);
        ASSERT_EQ(BookStatus::kAnswered, lookup.status);
        std::vector<std::pair<int, int32_t>> candidates;
        for (int i = 0; i < lookup.count; ++i)
            candidates.emplace_back(lookup.candidates[i].cell, lookup.candidates[i].value);
        EXPECT_EQ(c.candidates, candidates);
        EXPECT_EQ(c.ties, lookup.ties);
        EXPECT_EQ(c.nodes, static_cast<int32_t>(lookup.nodes));
    }
}

TEST(ThinkBook, AnswersByLineOrientationAndDraw) {
    const struct {
        const char* name;
        const char* line;
        int32_t side;
        uint32_t draw;
        BookStatus status;
        int32_t move, value, nodes;
    } cases[] = {
        {"empty line: F5, book not read", "", 1, 5, BookStatus::kEmptyLine, kF5, 0, 0},
        {"F5, draw 0: F6 first in MoveOrder", "f5", -1, 0, BookStatus::kAnswered, kF6, 0, 490},
        {"F5, draw 1: D6", "f5", -1, 1, BookStatus::kAnswered, kD6, 0, 490},
        {"F5, draw 2 wraps round to F6", "f5", -1, 2, BookStatus::kAnswered, kF6, 0, 490},
        {"F5, draw 32767 is odd: D6", "f5", -1, 32767, BookStatus::kAnswered, kD6, 0, 490},
        {"D3: F6 comes back as C3", "d3", -1, 0, BookStatus::kAnswered, kC3, 0, 490},
        {"D3: D6 comes back as C5", "d3", -1, 1, BookStatus::kAnswered, kC5, 0, 490},
        {"C4, half turn: F6 is C3", "c4", -1, 0, BookStatus::kAnswered, kC3, 0, 490},
        {"C4, half turn: D6 is E3", "c4", -1, 1, BookStatus::kAnswered, kE3, 0, 490},
        {"E6, main diagonal: F6 stays", "e6", -1, 0, BookStatus::kAnswered, kF6, 0, 490},
        {"E6, main diagonal: D6 is F4", "e6", -1, 1, BookStatus::kAnswered, kF4, 0, 490},
        {"parallel opening: one line", "f5f4", 1, 9, BookStatus::kAnswered, kE3, 2, 1},
        // The tiger: B3 and F4 tie at 0 for white, B3 first in MoveOrder; B5 is -5.
        {"tiger, draw 0", "f5d6c3d3c4", -1, 0, BookStatus::kAnswered, kB3, 0, 206},
        {"tiger, draw 1", "f5d6c3d3c4", -1, 1, BookStatus::kAnswered, kF4, 0, 206},
        // The same position by the other order, stored with continuations of its own.
        {"tiger by c4 d3 c3", "f5d6c4d3c3", -1, 1, BookStatus::kAnswered, kF4, -3, 8},
        // The sign starts from the side passed in: with black's sign after F5 every level of
        // the negamax turns, and D6 (3) beats F4 (2) and F6 (-7).
        {"side +1 after F5", "f5", 1, 0, BookStatus::kAnswered, kD6, 3, 490},
        {"side neither +1 nor -1", "f5", 0, 0, BookStatus::kOutOfBook, 0, 0, 0},
        {"C7: legal, not in the book", "f5d6c7", -1, 0, BookStatus::kOutOfBook, 0, 0, 0},
        {"a whole book line", "f5f4e3f6d3", -1, 0, BookStatus::kOutOfBook, 0, 0, 0},
        {"longer than the book", "f5f4e3f6d3c5", 1, 0, BookStatus::kOutOfBook, 0, 0, 0},
        {"first move none of the four", "a1", -1, 0, BookStatus::kOutOfBook, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ThinkResult r = Draw(c.line, c.side, c.draw, c.status);
        EXPECT_EQ(c.move, r.move) << SquareName(r.move);
        EXPECT_EQ(c.value, r.value);
        EXPECT_EQ(c.nodes, r.nodes);
    }
}

// One position, two move orders: the book answers under each order it stores and is out of
// book under an order it does not, although the board is the same.
TEST(ThinkBook, TranspositionsAreFoundOnlyUnderStoredOrders) {
    const struct {
        const char* stored;
        const char* other;
        bool otherStored;
    } cases[] = {
        {"f5d6c3d3c4", "f5d6c4d3c3", true},                      // the tiger
        {"f5d6c3d3c4f4f6f3e6e7", "f5d6c4d3c3f4f6f3e6e7", true},  // and deeper in it
        {"f5d6c3d3c4f4c5b3c2", "f5d6c4d3c3f4c5b3c2", false},     // the rose
        {"f5f6e6f4e3", "f5f4e3f6e6", false},                     // parallel into diagonal
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.other);
        const BoardState a = tavik_test::AfterMoves(c.stored);
        const BoardState b = tavik_test::AfterMoves(c.other);
        ASSERT_EQ(0, std::memcmp(&a, &b, sizeof a)) << "not a transposition";
        EXPECT_NE(0, Draw(c.stored, a.sideToMove, 0).move);
        const BookStatus expected = c.otherStored ? BookStatus::kAnswered : BookStatus::kOutOfBook;
        EXPECT_EQ(c.otherStored, Draw(c.other, b.sideToMove, 0, expected).move != 0);
    }
}

TEST(ThinkBook, StrayBytesAndUnterminatedStringsStayOutOfBook) {
    const std::pair<const char*, Line> cases[] = {
        {"border byte after F5", {kF5, 18}},
        {"centre square after F5", {kF5, 40}},
        {"byte beyond the board", {kF5, 200}},
        {"64 moves without a terminator", Line(64, kF5)},
    };
    for (const auto& [name, cells] : cases) {
        SCOPED_TRACE(name);
        ThinkResult r{-7, -7, -7};
        EXPECT_EQ(
            BookStatus::kOutOfBook,
            ostrakon::ThinkBookWithDraw(ostrakon::ShippedBook(), MovesOf(cells).data(), -1, 0, r));
        EXPECT_EQ(0, r.move);
        EXPECT_EQ(0, r.nodes);
    }
}

// The export's move is the one the generator picks when seeded with the current second (either
// side of a second boundary during the call).
TEST(ThinkBook, ExportDrawsFromTheClock) {
    const Moves afterF5 = MovesOf({kF5});
    for (int call = 0; call < 3; ++call) {
        const uint32_t before = static_cast<uint32_t>(std::time(nullptr));
        ThinkResult r{-7, -7, -7};
        const int32_t answer = ThinkBook(afterF5.data(), &r, -1);
        const uint32_t after = static_cast<uint32_t>(std::time(nullptr));
        std::set<int32_t> expected;
        for (uint32_t second : {before, after}) {
            ostrakon::CrtRandom random;
            random.Seed(second);
            expected.insert(Draw("f5", -1, random.Next()).move);
        }
        EXPECT_EQ(answer, r.move);
        EXPECT_EQ(1u, expected.count(r.move)) << SquareName(r.move);
        EXPECT_EQ(490, r.nodes);
    }
    ThinkResult r{-7, -7, -7};
    EXPECT_EQ(kF5, ThinkBook(Moves{}.data(), &r, 1));
    EXPECT_EQ(kF5, r.move);
}

TEST(ThinkBook, ConcurrentCallsCountTheirOwnNodes) {
    const Moves lines[2] = {MovesOf({kF5}), MovesOf({kF5, kD6})};
    std::vector<int32_t> nodes[4];
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20; ++i) {
                ThinkResult r{};
                ThinkBook(lines[t % 2].data(), &r, t % 2 ? 1 : -1);
                nodes[t].push_back(r.nodes);
            }
        });
    }
    for (std::thread& t : threads) t.join();
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(std::vector<int32_t>(20, t % 2 ? 434 : 490), nodes[t]) << "thread " << t;
}

// ---------------------------------------------------------------------------------------------
// Every position of the book

// In every orientation, every position the book continues gets an answer for every draw, and
// it is a legal move on that position's board; a position it does not continue is out of book.
// r = draw mod ties, so draws 0..ties-1 stand for all draws. This is also the proof that the
// ERROR message box cannot show for the shipped book: the look-up never reports kNoPick and the
// walk over the best candidates finds a square for every r.
TEST(BookTree, EveryPositionAnswersALegalMoveForEveryDrawInEveryOrientation) {
    int answered = 0;
    for (const Line& line : Tree().positions) {
        for (Orientation o :
             {Orientation::kF5, Orientation::kD3, Orientation::kC4, Orientation::kE6}) {
            Line cells;
            for (int cell : line) cells.push_back(ostrakon::OrientCell(cell, o));
            SCOPED_TRACE(TextOf(cells));
            BoardState board;
            ASSERT_TRUE(Replay(cells, board));
            const BookLookup lookup = ostrakon::LookUpBook(ostrakon::ShippedBook(),
                                                           MovesOf(cells).data(), board.sideToMove);
            if (line.empty() || !Tree().continued.count(line)) {
                EXPECT_EQ(line.empty() ? BookStatus::kEmptyLine : BookStatus::kOutOfBook,
                          lookup.status);
                continue;
            }
            ASSERT_EQ(BookStatus::kAnswered, lookup.status);
            ASSERT_GE(lookup.ties, 1);
            for (int r = 0; r < lookup.ties; ++r) {
                const int move = ostrakon::PickBookMove(lookup, static_cast<uint32_t>(r));
                EXPECT_EQ(-1, CanDrop(&board, move)) << SquareName(move) << " for r " << r;
            }
            ++answered;
        }
    }
    EXPECT_EQ(4 * static_cast<int>(Tree().continued.size() - 1), answered);
}

// A book with a fault of its own: scores beyond the search bound, or continuations that are no
// squares. The draw reports kNoPick and leaves the result alone instead of dividing by zero.
TEST(ThinkBook, MalformedBookLeavesNoPickInsteadOfFailing) {
    const auto record = [](const Line& cells, int32_t score) {
        BookRecord r{};
        std::copy(cells.begin(), cells.end(), r.line);
        r.score = score;
        return r;
    };
    const struct {
        const char* name;
        BookRecord records[2];
    } cases[] = {
        {"scores below the bound",
         {record({kF5, kD6, kC3}, -20000000), record({kF5, kD6, 39}, INT_MIN)}},
        {"continuations on the centre and the border",
         {record({kF5, kD6, 40}, 0), record({kF5, kD6, 18}, 0)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ThinkResult r{-7, -7, -7};
        EXPECT_EQ(
            BookStatus::kNoPick,
            ostrakon::ThinkBookWithDraw(Book{c.records, 2}, MovesOf({kF5, kD6}).data(), 1, 0, r));
        EXPECT_EQ(-7, r.move);
        EXPECT_EQ(-7, r.nodes);
    }
}

// ---------------------------------------------------------------------------------------------
// Orientation and the generator

TEST(BookOrientation, EachMapIsItsOwnInverseAndTakesItsFirstMoveToF5) {
    const std::pair<int, Orientation> cases[] = {{kF5, Orientation::kF5},
                                                 {31, Orientation::kD3},
                                                 {39, Orientation::kC4},
                                                 {59, Orientation::kE6}};
    for (const auto& [first, orientation] : cases) {
        SCOPED_TRACE(SquareName(first));
        Orientation found;
        ASSERT_TRUE(ostrakon::OrientationOfFirstMove(first, found));
        EXPECT_EQ(orientation, found);
        EXPECT_EQ(kF5, ostrakon::OrientCell(first, orientation));
        for (int cell = 0; cell <= 255; ++cell) {
            const int mapped = ostrakon::OrientCell(cell, orientation);
            EXPECT_EQ(cell, ostrakon::OrientCell(mapped, orientation)) << cell;
            EXPECT_EQ(tavik_test::IsPlayable(cell), tavik_test::IsPlayable(mapped)) << cell;
            if (tavik_test::IsPlayable(cell)) {  // the initial position maps onto itself
                EXPECT_EQ(InitialBoard().cells[cell], InitialBoard().cells[mapped]) << cell;
            }
        }
    }
    Orientation o;
    for (int cell : {0, 10, kC3, kF6, kF4, kD6})
        EXPECT_FALSE(ostrakon::OrientationOfFirstMove(cell, o)) << cell;
}

// The well-known first numbers after seeding with 1; the Windows build also draws beside the
// run-time library's own generator.
TEST(CrtRandom, DrawsTheRunTimeLibrarySequence) {
    ostrakon::CrtRandom random;
    random.Seed(1);
    std::vector<uint32_t> drawn;
    for (int i = 0; i < 10; ++i) drawn.push_back(random.Next());
    EXPECT_EQ(
        (std::vector<uint32_t>{41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}),
        drawn);
#ifdef _WIN32
    const uint32_t now = static_cast<uint32_t>(std::time(nullptr));
    for (uint32_t seed : {0u, 1u, 12345u, 0x80000000u, 0xFFFFFFFFu, now}) {
        SCOPED_TRACE(seed);
        random.Seed(seed);
        std::srand(seed);
        for (int i = 0; i < 100; ++i)
            ASSERT_EQ(static_cast<uint32_t>(std::rand()), random.Next()) << i;
    }
#endif
}

}  // namespace
