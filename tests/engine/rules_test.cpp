// Move rules through the exported interface: legality, flips, openness, evaluation basics,
// perft, and boards that are not positions.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "board_functions.h"
#include "random_games.h"
#include "reference.h"
#include "texts.h"

namespace {

using tavik_test::AfterMoves;
using tavik_test::Board;
using tavik::InitialBoard;
using tavik_tools::ParseSquare;

std::string LegalSquares(const BoardState& b) {
    std::string text;
    for (int cell = 0; cell <= 90; ++cell) {
        if (CanDrop(&b, cell) == -1) text += tavik::SquareName(cell) + " ";
    }
    return text;
}

TEST(Rules, LegalMovesOfKnownPositions) {
    struct Case {
        const char* transcript;
        const char* legal;
    } cases[] = {
        {"", "D3 C4 F5 E6 "},
        {"f5", "D6 F6 F4 "},
        {"f5d6", "C3 C4 C5 C6 C7 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.transcript);
        // listed in cell order: row by row
        std::string expected;
        for (int cell = 10; cell <= 80; ++cell) {
            for (const char* p = c.legal; *p; p += 3) {
                if (ParseSquare(std::string(p, 2)) == cell) expected += std::string(p, 3);
            }
        }
        EXPECT_EQ(expected, LegalSquares(AfterMoves(c.transcript)));
    }
}

TEST(Rules, ReverseStonesPlaysAndPasses) {
    BoardState b = InitialBoard();
    ASSERT_EQ(-1, ReverseStones(&b, 51));  // F5
    EXPECT_EQ(1, b.cells[50]);              // E5 turned
    EXPECT_EQ(1, b.cells[51]);
    EXPECT_EQ(-1, b.sideToMove);

    BoardState before = b;
    EXPECT_EQ(0, ReverseStones(&b, 10));  // A1 brackets nothing
    EXPECT_EQ(0, ReverseStones(&b, 51));  // occupied
    EXPECT_EQ(0, std::memcmp(&before, &b, sizeof b));
}

TEST(Rules, MoveFlipsEveryBracketingDirectionAndNothingElse) {
    // Black plays C3: the runs to F3 (right), C6 (down) and F6 (diagonal) are closed by black
    // discs and turn; the run to the left ends at the border and the one upwards at an empty
    // square, so they stay.
    BoardState b = Board("--------"
                         "--O-----"
                         "OO-OOX--"
                         "--OO----"
                         "--O-O---"
                         "--X--X--"
                         "--------"
                         "--------",
                         'X');
    ASSERT_EQ(-1, ReverseStones(&b, ParseSquare("C3")));
    const char* expected = "--------"
                           "--O-----"
                           "OOXXXX--"
                           "--XX----"
                           "--X-X---"
                           "--X--X--"
                           "--------"
                           "--------";
    EXPECT_EQ(std::string(expected) + " O", tavik_tools::Diagram(b));
}

TEST(Rules, OpennessOfKnownMoves) {
    struct Case {
        const char* transcript;
        const char* square;
        int openness;
    } cases[] = {
        {"", "D3", 5}, {"", "C4", 5}, {"", "F5", 5}, {"", "E6", 5}, {"", "A1", 0}, {"", "D4", 0},
        {"f5", "F4", 4}, {"f5", "F6", 4}, {"f5", "D6", 5},
        {"f5d6", "C3", 5}, {"f5d6", "C4", 5}, {"f5d6", "C5", 4}, {"f5d6", "C6", 4},
        {"f5d6", "C7", 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.transcript) + " " + c.square);
        const BoardState b = AfterMoves(c.transcript);
        EXPECT_EQ(c.openness, GetOpenness(&b, ParseSquare(c.square)));
    }
}

TEST(Rules, OpennessCountsTheMoveSquareOncePerDirection) {
    // White to move at A1 turns B1 (right) and B2 (diagonal): A1 counts for both.
    const BoardState b = Board("-XO-----"
                               "-XX-----"
                               "--O-----"
                               "--------"
                               "--------"
                               "--------"
                               "--------"
                               "--------",
                               'O');
    // B1 has the empty neighbours A1 and A2, B2 has A1, A2, A3 and B3: 2 + 4.
    EXPECT_EQ(6, GetOpenness(&b, 10));
}

// Plays `cell` for the side to move; false (board unchanged) when the move is not legal.
using PlayMove = bool (*)(BoardState& b, int cell);

// Leaf count of the game tree. No pass and no game end can happen in the first eight plies from
// the initial position, so every node below has a move and no pass needs counting.
uint64_t Perft(const BoardState& b, int plies, PlayMove play) {
    if (plies == 0) return 1;
    uint64_t total = 0;
    for (int cell = 10; cell <= 80; ++cell) {
        BoardState next = b;
        if (play(next, cell)) total += Perft(next, plies - 1, play);
    }
    return total;
}

// The published counts, for the engine's rules and for the reference's: the reference is the
// oracle of every other comparison, so it has to earn that against figures from outside.
TEST(Rules, PerftFromTheInitialPosition) {
    const struct {
        const char* rules;
        PlayMove play;
    } engines[] = {
        {"engine", [](BoardState& b, int cell) { return ReverseStones(&b, cell) == -1; }},
        {"reference", [](BoardState& b, int cell) { return reference::ReverseStones(b, cell); }},
    };
    const uint64_t expected[] = {4, 12, 56, 244, 1396, 8200, 55092, 390216};
    for (const auto& e : engines) {
        for (int plies = 1; plies <= 8; ++plies) {
            EXPECT_EQ(expected[plies - 1], Perft(InitialBoard(), plies, e.play))
                << e.rules << ", " << plies << " plies";
        }
    }
}

TEST(Rules, EvaluationBasics) {
    BoardState b = InitialBoard();
    EXPECT_EQ(0, EvalSituation(&b));
    b.sideToMove = -1;
    EXPECT_EQ(0, EvalSituation(&b));

    // Swapping the side to move negates; swapping every disc and the side keeps the score.
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        BoardState p = tavik_test::RandomPosition(seed, 0, 56);
        SCOPED_TRACE(tavik_tools::Diagram(p));
        const int32_t score = EvalSituation(&p);
        BoardState other = p;
        other.sideToMove = -p.sideToMove;
        EXPECT_EQ(-score, EvalSituation(&other));
        BoardState inverted = p;
        for (int cell = 10; cell <= 80; ++cell) {
            if (tavik_test::IsPlayable(cell)) inverted.cells[cell] = -p.cells[cell];
        }
        inverted.sideToMove = -p.sideToMove;
        EXPECT_EQ(score, EvalSituation(&inverted));
    }
}

TEST(Rules, EvaluationOfEmptyEdgesIsWeightedMobility) {
    // After f5d6 all edges are empty: black has C3 C4 C5 C6 C7, white would have F3 F4 F6 G5,
    // all of weight 10.
    BoardState b = AfterMoves("f5d6");
    EXPECT_EQ(5 * 10 - 4 * 10, EvalSituation(&b));
    b.sideToMove = -1;
    EXPECT_EQ(4 * 10 - 5 * 10, EvalSituation(&b));
}

// Boards that are not reachable in a game (any mix of discs, empty centre squares) still get
// the reference's answers from every rule export.
TEST(Rules, ArbitraryBoardsMatchTheReference) {
    std::mt19937 rng(7);
    for (int i = 0; i < 3000; ++i) {
        BoardState b = InitialBoard();
        const int emptyPercent = 10 + static_cast<int>(rng() % 80);
        for (int cell = 10; cell <= 80; ++cell) {
            if (!tavik_test::IsPlayable(cell)) continue;
            const int roll = static_cast<int>(rng() % 100);
            b.cells[cell] = roll < emptyPercent ? 0 : (roll % 2 ? 1 : -1);
        }
        b.sideToMove = rng() % 2 ? 1 : -1;
        SCOPED_TRACE(tavik_tools::Diagram(b));
        for (int cell = 10; cell <= 80; ++cell) {
            ASSERT_EQ(reference::CanDrop(b, cell) ? -1 : 0, CanDrop(&b, cell));
            ASSERT_EQ(reference::GetOpenness(b, cell), GetOpenness(&b, cell));
            BoardState expected = b, actual = b;
            reference::ReverseStones(expected, cell);
            ReverseStones(&actual, cell);
            ASSERT_EQ(0, std::memcmp(&expected, &actual, sizeof b));
        }
        BoardState expected = b, actual = b;
        ASSERT_EQ(reference::EvalSituation(expected), EvalSituation(&actual));
    }
}

// Boards that are no position at all are refused rather than read.
TEST(Rules, BoardsThatAreNoPositionAreRefused) {
    BoardState noSide = InitialBoard();
    noSide.sideToMove = 0;
    BoardState badCell = InitialBoard();
    badCell.cells[20] = 5;
    for (BoardState b : {noSide, badCell}) {
        const BoardState before = b;
        EXPECT_EQ(0, CanDrop(&b, 51));
        EXPECT_EQ(0, GetOpenness(&b, 51));
        EXPECT_EQ(0, ReverseStones(&b, 51));
        EXPECT_EQ(0, EvalSituation(&b));
        ThinkResult result{1, 2, 3};
        EXPECT_EQ(-1, Think(&b, 3, &result, 1, nullptr));
        EXPECT_EQ(1, result.move);
        EXPECT_EQ(0, std::memcmp(&before, &b, sizeof b));
    }
    // Cells outside the board are never legal, whatever the index.
    const BoardState b = InitialBoard();
    for (int cell : {-1000, -1, 0, 9, 18, 81, 90, 91, 1 << 30}) EXPECT_EQ(0, CanDrop(&b, cell)) << cell;
}

}  // namespace
