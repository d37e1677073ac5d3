// Checks the literal reference engine against facts about the rules that can be worked out by
// hand, before it is trusted as the oracle for the bitboard engine. Its move counts from the
// initial position are checked beside the engine's, in rules_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "random_games.h"
#include "reference.h"

namespace {

using tavik_tools::Diagram;
using tavik_tools::ParseSquare;

constexpr int32_t kBorder = 0xFFFF;
constexpr int32_t kInfinity = 16777215;

// Status text prefixes in code page 932.
// "通常探索中(深さ"
const std::string kNormalPrefix = "\x92\xca\x8f\xed\x92\x54\x8d\xf5\x92\x86(\x90\x5b\x82\xb3";
// "必勝探索中(深さ"
const std::string kWinLossPrefix = "\x95\x4b\x8f\x9f\x92\x54\x8d\xf5\x92\x86(\x90\x5b\x82\xb3";
// "完全探索中(深さ"
const std::string kPerfectPrefix = "\x8a\xae\x91\x53\x92\x54\x8d\xf5\x92\x86(\x90\x5b\x82\xb3";

// Board diagrams list the rows 1..8, each from A to H: 'X' black, 'O' white, '-' empty.
const std::string kInitial =
    "--------"
    "--------"
    "--------"
    "---OX---"
    "---XO---"
    "--------"
    "--------"
    "--------";

const std::string kFullBoard =
    "XXXXXXXX"
    "OOOOOOOO"
    "XXXXXXXX"
    "OOOOOOOO"
    "XXXXXXXX"
    "OOOOOOOO"
    "XXXXXXXX"
    "OOOOOOOO";

// Black's only move is C1; afterwards white has no disc left, so the game is over.
const std::string kSingleMove =
    "XO------"
    "--------"
    "--------"
    "--------"
    "--------"
    "--------"
    "--------"
    "--------";

// One empty square: black's H8 turns G8 and leaves black 37 to 27.
const std::string kLastMove =
    "XXXXXXXX"
    "XXXXXXXX"
    "XXXXXXXX"
    "XXXXXXXX"
    "OOOOOOOO"
    "OOOOOOOO"
    "OOOOOOXX"
    "OOOOOXO-";

// Black to move on A1 or H8; white can never move; every line ends 64 to 0.
const std::string kAllWin =
    "-OXXXXXX"
    "XXXXXXXX"
    "XXXXXXXX"
    "XXXXXXXX"
    "XXXXXXXX"
    "XXXXXXXX"
    "XXXXXXXX"
    "XXXXXXO-";

// Black to move on A1 or H8; white can never move; every line ends 12 to 52.
const std::string kAllLoss =
    "-OXOOOOO"
    "OOOOOOOO"
    "OOOOOOOO"
    "OOOOOOOO"
    "OOOOOOOO"
    "OOOOOOOO"
    "OOOOOOOO"
    "OOOOOXO-";

// Black to move on A1 or H8, each turning one disc; white has to pass in between; every line
// ends 32 to 32.
const std::string kAllDraw =
    "-OXXXOOX"
    "XXOOOOOX"
    "XOXOOOOX"
    "XOOXOOOX"
    "XOOOXOOX"
    "XOOOOXOX"
    "XOOOOOXX"
    "XXXXXXO-";

// Black to move on A1 or H8, white answers on the other square and the game ends 33 to 31.
// Inside the normal search the second root move reaches that end under a finite alpha.
const std::string kReplyEnds =
    "-OXXXXXX"
    "XXXXXXXX"
    "OXXXXXXX"
    "XXXXXXOO"
    "OOOOXOOO"
    "OOOOOXOO"
    "OOOOOOXX"
    "OOOOOXO-";

// Black's only move is F6. White then has A1 and H8, each turning one disc next to its own
// square (openness 1 both), and black fills the last square: after A1 the game ends 42 to 22,
// after H8 45 to 19.
const std::string kOpennessTie =
    "-XOXXXXO"
    "OOXXXXXO"
    "OXOXXXXO"
    "OXXOXXXO"
    "OXXXOXXO"
    "OXXXO-XO"
    "OXXXXXOO"
    "OXXXXOX-";

// As above with A2 black, so that white's A1 also turns A2 and scores openness 2 against H8's 1.
// After A1 the game ends 42 to 22, after H8 46 to 18.
const std::string kOpennessLow =
    "-XOXXXXO"
    "XOXXXXXO"
    "OXOXXXXO"
    "OXXOXXXO"
    "OXXXOXXO"
    "OXXXO-XO"
    "OXXXXXOO"
    "OXXXXOX-";

// The board of a diagram with any value as the side to move, the corrupt ones included.
BoardState Position(const std::string& diagram, int32_t side) {
    BoardState b = tavik_test::Board(diagram, 'X');
    b.sideToMove = side;
    return b;
}

// The board as a diagram with its side to move, or the first cell that makes it no board at all:
// a border cell not holding 0xFFFF, or a playable one holding anything but -1, 0 or +1, which
// the diagram alone would show as an empty square.
std::string Text(const BoardState& b) {
    for (int cell = 0; cell <= 90; ++cell) {
        const int32_t v = b.cells[cell];
        const bool fits = tavik_test::IsPlayable(cell) ? v >= -1 && v <= 1 : v == kBorder;
        if (!fits) return "cell " + std::to_string(cell) + " holds " + std::to_string(v);
    }
    return Diagram(b);
}

std::string SwapColours(std::string diagram) {
    for (char& ch : diagram) {
        ch = ch == 'X' ? 'O' : ch == 'O' ? 'X' : ch;
    }
    return diagram;
}

BoardState AfterMoves(const std::vector<std::string>& moves) {
    BoardState b = Position(kInitial, 1);
    for (const std::string& move : moves) {
        EXPECT_TRUE(reference::ReverseStones(b, ParseSquare(move))) << move;
    }
    return b;
}

bool HasMove(const BoardState& b) {
    for (int cell = 10; cell <= 80; ++cell) {
        if (reference::CanDrop(b, cell)) {
            return true;
        }
    }
    return false;
}

// Positions from seeded random games, every position of every game, passes included.
const std::vector<BoardState>& SamplePositions() {
    static const std::vector<BoardState> positions = [] {
        std::vector<BoardState> result;
        std::mt19937 random(12345);
        for (int game = 0; game < 40; ++game) {
            BoardState b = Position(kInitial, 1);
            for (;;) {
                result.push_back(b);
                std::vector<int> moves;
                for (int cell = 10; cell <= 80; ++cell) {
                    if (reference::CanDrop(b, cell)) {
                        moves.push_back(cell);
                    }
                }
                if (moves.empty()) {
                    b.sideToMove = -b.sideToMove;
                    if (!HasMove(b)) {
                        break;
                    }
                    continue;
                }
                reference::ReverseStones(b, moves[random() % moves.size()]);
            }
        }
        return result;
    }();
    return positions;
}

// ---------------------------------------------------------------------------------------------
// Move rules

TEST(ReferenceRules, InitialPositionHasExactlyTheFourOpeningMoves) {
    const BoardState b = Position(kInitial, 1);
    for (int cell = 10; cell <= 80; ++cell) {
        const bool expected = cell == ParseSquare("D3") || cell == ParseSquare("C4") ||
                              cell == ParseSquare("F5") || cell == ParseSquare("E6");
        EXPECT_EQ(reference::CanDrop(b, cell), expected) << "cell " << cell;
    }
}

struct ReverseCase {
    const char* name;
    std::string before;
    int32_t side;
    const char* move;
    bool legal;
    std::string after;  // equals `before` for an illegal move
};

TEST(ReferenceRules, ReverseStones) {
    const ReverseCase cases[] = {
        {"F5 from the start", kInitial, 1, "F5", true,
         "--------"
         "--------"
         "--------"
         "---OX---"
         "---XXX--"
         "--------"
         "--------"
         "--------"},
        {"white E3 from the start", kInitial, -1, "E3", true,
         "--------"
         "--------"
         "----O---"
         "---OO---"
         "---XO---"
         "--------"
         "--------"
         "--------"},
        {"all eight directions at once",
         "--------"
         "--------"
         "--X-X-X-"
         "---OOO--"
         "--XO-OX-"
         "---OOO--"
         "--X-X-X-"
         "--------",
         1, "E5", true,
         "--------"
         "--------"
         "--X-X-X-"
         "---XXX--"
         "--XXXXX-"
         "---XXX--"
         "--X-X-X-"
         "--------"},
        {"only the bracketing direction turns",
         "-OOOOOOO"
         "O-------"
         "X-------"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------",
         1, "A1", true,
         "XOOOOOOO"
         "X-------"
         "X-------"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------"},
        {"run ending at an empty square",
         "-OO-X---"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------",
         1, "A1", false, ""},
        {"run ending at the border",
         "-OOOOOOO"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------",
         1, "A1", false, ""},
        {"own disc next to the square", kInitial, 1, "F4", false, ""},
        {"occupied square", kInitial, 1, "D4", false, ""},
        {"white may not play black's move", kInitial, -1, "F5", false, ""},
    };
    for (const ReverseCase& c : cases) {
        SCOPED_TRACE(c.name);
        BoardState b = Position(c.before, c.side);
        EXPECT_EQ(reference::CanDrop(b, ParseSquare(c.move)), c.legal);
        EXPECT_EQ(reference::ReverseStones(b, ParseSquare(c.move)), c.legal);
        const BoardState expected =
            c.legal ? Position(c.after, -c.side) : Position(c.before, c.side);
        EXPECT_EQ(Text(b), Text(expected));
    }
}

TEST(ReferenceRules, BorderCellsAreNeverMoves) {
    // Every edge square white and the inside black: a border cell taken for an empty square
    // would bracket white discs from outside.
    const std::string ring =
        "OOOOOOOO"
        "OXXXXXXO"
        "OXXXXXXO"
        "OXXXXXXO"
        "OXXXXXXO"
        "OXXXXXXO"
        "OXXXXXXO"
        "OOOOOOOO";
    for (int32_t side : {1, -1}) {
        for (int cell = 0; cell <= 90; ++cell) {
            if (tavik_test::IsPlayable(cell)) {
                continue;
            }
            const BoardState before = Position(ring, side);
            BoardState b = before;
            EXPECT_FALSE(reference::CanDrop(b, cell)) << cell;
            EXPECT_EQ(reference::GetOpenness(b, cell), 0) << cell;
            EXPECT_FALSE(reference::ReverseStones(b, cell)) << cell;
            EXPECT_EQ(Text(b), Text(before));
        }
    }
}

TEST(ReferenceRules, LegalityAgreesAcrossTheRuleFunctions) {
    for (const BoardState& position : SamplePositions()) {
        for (int cell = 10; cell <= 80; ++cell) {
            BoardState b = position;
            const bool legal = reference::CanDrop(b, cell);
            ASSERT_EQ(reference::GetOpenness(b, cell) > 0, legal) << Diagram(b) << " " << cell;
            ASSERT_EQ(reference::ReverseStones(b, cell), legal) << Diagram(b) << " " << cell;
            if (!legal) {
                ASSERT_EQ(Text(b), Text(position));
            }
        }
    }
}

TEST(ReferenceRules, CountEmpty) {
    EXPECT_EQ(reference::CountEmpty(Position(kInitial, 1)), 60);
    EXPECT_EQ(reference::CountEmpty(Position(kSingleMove, 1)), 62);
    EXPECT_EQ(reference::CountEmpty(Position(kLastMove, 1)), 1);
    EXPECT_EQ(reference::CountEmpty(Position(kFullBoard, 1)), 0);
}

// ---------------------------------------------------------------------------------------------
// Openness

struct OpennessCase {
    std::vector<std::string> moves;                        // played from the initial position
    std::vector<std::pair<std::string, int32_t>> figures;  // every square not listed scores 0
};

TEST(ReferenceOpenness, OpeningPositions) {
    const OpennessCase cases[] = {
        {{}, {{"D3", 5}, {"C4", 5}, {"F5", 5}, {"E6", 5}}},
        {{"F5"}, {{"F4", 4}, {"F6", 4}, {"D6", 5}}},
        {{"F5", "D6"}, {{"C3", 5}, {"C4", 5}, {"C5", 4}, {"C6", 4}, {"C7", 6}}},
    };
    for (const OpennessCase& c : cases) {
        const BoardState b = AfterMoves(c.moves);
        for (int cell = 10; cell <= 80; ++cell) {
            int32_t expected = 0;
            for (const auto& figure : c.figures) {
                if (ParseSquare(figure.first) == cell) {
                    expected = figure.second;
                }
            }
            EXPECT_EQ(reference::GetOpenness(b, cell), expected)
                << "after " << c.moves.size() << " moves, cell " << cell;
        }
    }
}

TEST(ReferenceOpenness, MoveSquareCountsOncePerDirection) {
    // E5 turns all eight neighbours; each has three empty neighbours, one of them E5 itself.
    const BoardState b = Position(
        "--------"
        "--------"
        "--X-X-X-"
        "---OOO--"
        "--XO-OX-"
        "---OOO--"
        "--X-X-X-"
        "--------",
        1);
    EXPECT_EQ(reference::GetOpenness(b, ParseSquare("E5")), 24);
}

// ---------------------------------------------------------------------------------------------
// Evaluation

struct EvalCase {
    const char* name;
    std::string diagram;
    int32_t blackView;  // score with black to move; white to move scores the negation
};

TEST(ReferenceEval, HandWorkedPositions) {
    const EvalCase cases[] = {
        {"initial position", kInitial, 0},
        {"after F5 D6: black 5 moves, white 4, edges empty",
         "--------"
         "--------"
         "--------"
         "---OX---"
         "---OXX--"
         "---O----"
         "--------"
         "--------",
         10},
        // Mobility is counted over the 60 squares outside the centre only.
        {"corner move weighs 20 against white's F6",
         "--------"
         "-O------"
         "--X-----"
         "---O----"
         "----X---"
         "--------"
         "--------"
         "--------",
         10},
        {"white's only move is on a centre square, which is not counted",
         "--------"
         "-O------"
         "--X-----"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------",
         20},
        {"edge square next to a corner weighs 3, plus black's F5",
         "--------"
         "--O-----"
         "---X----"
         "----O---"
         "--------"
         "--------"
         "--------"
         "--------",
         13},
        {"diagonal neighbour of a corner weighs 0, plus black's F6",
         "--------"
         "--------"
         "--O-----"
         "---X----"
         "----O---"
         "--------"
         "--------"
         "--------",
         10},
        {"lone black corner counts for both its edges",
         "X-------"
         "--------"
         "--------"
         "---OX---"
         "--------"
         "--------"
         "--------"
         "--------",
         100},
        {"full black top edge plus its two corners",
         "XXXXXXXX"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------",
         260},
        {"row 1 read from A1", "-OOOXXX-" + std::string(56, '-'), 70},
        {"row 8 read from A8", std::string(56, '-') + "-OOOXXX-", 70},
        {"column A read from A1",
         "--------"
         "O-------"
         "O-------"
         "O-------"
         "X-------"
         "X-------"
         "X-------"
         "--------",
         70},
        {"column H read from H1",
         "--------"
         "-------O"
         "-------O"
         "-------O"
         "-------X"
         "-------X"
         "-------X"
         "--------",
         70},
    };
    for (const EvalCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (int32_t side : {1, -1}) {
            const BoardState before = Position(c.diagram, side);
            BoardState b = before;
            EXPECT_EQ(reference::EvalSituation(b), side * c.blackView);
            EXPECT_EQ(Text(b), Text(before));
        }
    }
}

TEST(ReferenceEval, ColourAndSideSymmetry) {
    for (const BoardState& position : SamplePositions()) {
        BoardState b = position;
        const int32_t score = reference::EvalSituation(b);
        ASSERT_EQ(Text(b), Text(position));

        BoardState otherSide = position;
        otherSide.sideToMove = -otherSide.sideToMove;
        ASSERT_EQ(reference::EvalSituation(otherSide), -score) << Diagram(position);

        BoardState swapped =
            Position(SwapColours(Diagram(position).substr(0, 64)), -position.sideToMove);
        ASSERT_EQ(reference::EvalSituation(swapped), score) << Diagram(position);
    }
}

// ---------------------------------------------------------------------------------------------
// Think

struct ThinkCase {
    const char* name;
    std::string diagram;
    int32_t depth;
    int32_t forceSearch;
    const char* move;  // nullptr: no move
    int32_t value;     // for black to move; the colour-swapped board with white to move gives
                       // the same move, nodes and texts and the negated value
    int32_t nodes;
    std::vector<std::string> progress;
};

void CheckThink(const ThinkCase& c) {
    for (bool swapped : {false, true}) {
        SCOPED_TRACE(std::string(c.name) + (swapped ? " (colours swapped)" : ""));
        const int32_t side = swapped ? -1 : 1;
        const BoardState b = Position(swapped ? SwapColours(c.diagram) : c.diagram, side);
        const reference::ThinkOutput out = reference::Think(b, c.depth, c.forceSearch);
        EXPECT_EQ(out.returned, -1);
        ASSERT_TRUE(out.written);
        EXPECT_EQ(out.result.move, c.move ? ParseSquare(c.move) : 0);
        EXPECT_EQ(out.result.value, side * c.value);
        EXPECT_EQ(out.result.nodes, c.nodes);
        EXPECT_EQ(out.progress, c.progress);
    }
}

TEST(ReferenceThink, DepthOneFromTheInitialPosition) {
    // The root list is F5, D3, C4, E6; all four replies are mirror images with empty edges and
    // equal mobility, so the first one stays.
    CheckThink({"depth 1",
                kInitial,
                1,
                0,
                "F5",
                0,
                4,
                {kNormalPrefix + "1) 0%", kNormalPrefix + "1) 25%", kNormalPrefix + "1) 50%",
                 kNormalPrefix + "1) 75%"}});
}

TEST(ReferenceThink, ProgressPercentagesRoundDown) {
    // White has three answers to F5; after F5 F6 E6 F4 black has nine (C3 D3 E3 F3 G3 G4 G5 G6
    // G7).
    const BoardState afterF5 = AfterMoves({"F5"});
    EXPECT_EQ(reference::Think(afterF5, 6, 0).progress,
              (std::vector<std::string>{kNormalPrefix + "6) 0%", kNormalPrefix + "6) 33%",
                                        kNormalPrefix + "6) 66%"}));
    const BoardState nineMoves = AfterMoves({"F5", "F6", "E6", "F4"});
    std::vector<std::string> expected;
    for (const char* percent : {"0", "11", "22", "33", "44", "55", "66", "77", "88"}) {
        expected.push_back(kNormalPrefix + "2) " + percent + "%");
    }
    EXPECT_EQ(reference::Think(nineMoves, 2, 0).progress, expected);
}

TEST(ReferenceThink, DepthOneScoresEveryMoveByTheNegatedEvaluation) {
    for (const BoardState& position : SamplePositions()) {
        int legalCount = 0;
        int32_t bestScore = -kInfinity;
        for (int cell = 10; cell <= 80; ++cell) {
            BoardState next = position;
            if (reference::ReverseStones(next, cell)) {
                ++legalCount;
                bestScore = std::max(bestScore, -reference::EvalSituation(next));
            }
        }
        if (legalCount == 0) {
            continue;
        }
        const reference::ThinkOutput out = reference::Think(position, 1, 1);
        ASSERT_TRUE(out.written);
        ASSERT_EQ(out.result.nodes, legalCount) << Diagram(position);
        ASSERT_EQ(out.result.value, bestScore * position.sideToMove) << Diagram(position);
        ASSERT_EQ(out.progress.size(), static_cast<size_t>(legalCount));
        BoardState chosen = position;
        ASSERT_TRUE(reference::ReverseStones(chosen, out.result.move));
        ASSERT_EQ(-reference::EvalSituation(chosen), bestScore) << Diagram(position);
    }
}

TEST(ReferenceThink, ShortcutsAndForcedSearches) {
    const std::vector<ThinkCase> cases = {
        // One legal move answers at once in every mode unless the search is forced.
        {"one move, depth 1", kSingleMove, 1, 0, "C1", 0, 0, {}},
        {"one move, depth 5", kSingleMove, 5, 0, "C1", 0, 0, {}},
        {"one move, win/loss", kSingleMove, 0, 0, "C1", 0, 0, {}},
        {"one move, perfect", kSingleMove, -4, 0, "C1", 0, 0, {}},
        // Forced: row 1 becomes XXX..... (57) and column A X....... (50), no mobility.
        {"one move forced, depth 1", kSingleMove, 1, 1, "C1", 107, 1, {kNormalPrefix + "1) 0%"}},
        // After C1 nobody can move: scored from the view of white, who was to move there.
        {"one move forced, depth 2", kSingleMove, 2, 1, "C1", 65539, 1, {kNormalPrefix + "2) 0%"}},
        {"one move forced, depth 4", kSingleMove, 4, 1, "C1", 65539, 2, {kNormalPrefix + "4) 0%"}},
        {"one move forced, win/loss",
         kSingleMove,
         0,
         1,
         "C1",
         65536,
         2,
         {kWinLossPrefix + "62) 0%"}},
        {"one move forced, perfect",
         kSingleMove,
         -1,
         1,
         "C1",
         65539,
         2,
         {kPerfectPrefix + "62) 0%"}},
    };
    for (const ThinkCase& c : cases) {
        CheckThink(c);
    }
}

TEST(ReferenceThink, NoMoveForTheSideToMove) {
    struct Case {
        std::string diagram;
        int32_t side;
    };
    const Case positions[] = {
        {kSingleMove, -1},  // white has no move, black has
        {SwapColours(kSingleMove), 1},
        {kFullBoard, 1},
        {kFullBoard, -1},
    };
    for (const Case& p : positions) {
        for (int32_t depth : {1, 3, 6, 0, -1}) {
            for (int32_t forceSearch : {0, 1}) {
                SCOPED_TRACE(p.diagram + " side " + std::to_string(p.side) + " depth " +
                             std::to_string(depth) + " force " + std::to_string(forceSearch));
                const reference::ThinkOutput out =
                    reference::Think(Position(p.diagram, p.side), depth, forceSearch);
                EXPECT_EQ(out.returned, -1);
                ASSERT_TRUE(out.written);
                EXPECT_EQ(out.result.move, 0);
                EXPECT_EQ(out.result.value, -kInfinity * p.side);
                EXPECT_EQ(out.result.nodes, 0);
                EXPECT_TRUE(out.progress.empty());
            }
        }
    }
}

TEST(ReferenceThink, CentreSquaresAreNeverCandidates) {
    // Only D4 is empty and white could play it, but the searches only visit the move order.
    const std::string centreHole =
        "XXXXXXXX"
        "OOOOOOOO"
        "XXXXXXXX"
        "OOO-OOOO"
        "XXXXXXXX"
        "OOOOOOOO"
        "XXXXXXXX"
        "OOOOOOOO";
    const BoardState b = Position(centreHole, -1);
    ASSERT_TRUE(reference::CanDrop(b, ParseSquare("D4")));
    EXPECT_EQ(reference::CountEmpty(b), 1);
    for (int32_t depth : {2, 5, 0, -1}) {
        for (int32_t forceSearch : {0, 1}) {
            const reference::ThinkOutput out = reference::Think(b, depth, forceSearch);
            ASSERT_TRUE(out.written);
            EXPECT_EQ(out.result.move, 0);
            EXPECT_EQ(out.result.value, kInfinity);
            EXPECT_EQ(out.result.nodes, 0);
            EXPECT_TRUE(out.progress.empty());
        }
    }
}

TEST(ReferenceThink, CorruptSideToMoveLeavesTheResultAlone) {
    for (int32_t side : {0, 2, -2, 0xFFFF, -0xFFFF}) {
        for (int32_t depth : {1, 4, 0, -1}) {
            const reference::ThinkOutput out = reference::Think(Position(kInitial, side), depth, 0);
            EXPECT_EQ(out.returned, -1);
            EXPECT_FALSE(out.written) << "side " << side << " depth " << depth;
            EXPECT_TRUE(out.progress.empty());
        }
    }
}

TEST(ReferenceThink, FinishedGameUnderAFiniteAlphaIsNotScored) {
    // A1 first: the game ends 33 to 31 and scores 65538. H8 second: white's reply ends the game
    // inside a window whose alpha is already 65538, which comes back unscored.
    const std::vector<ThinkCase> cases = {
        {"depth 3",
         kReplyEnds,
         3,
         0,
         "A1",
         65538,
         1,
         {kNormalPrefix + "3) 0%", kNormalPrefix + "3) 50%"}},
        // The root ordering scores only the first of its two looks as well.
        {"depth 4",
         kReplyEnds,
         4,
         0,
         "A1",
         65538,
         2,
         {kNormalPrefix + "4) 0%", kNormalPrefix + "4) 50%"}},
        // The perfect search scores every full board, whatever the window.
        {"perfect",
         kReplyEnds,
         -1,
         0,
         "A1",
         65538,
         3,
         {kPerfectPrefix + "2) 0%", kPerfectPrefix + "2) 50%"}},
        {"win/loss", kReplyEnds, 0, 0, "A1", 65536, 2, {kWinLossPrefix + "2) 0%"}},
    };
    for (const ThinkCase& c : cases) {
        CheckThink(c);
    }
}

TEST(ReferenceThink, RepliesAreTriedByAscendingOpenness) {
    const std::vector<ThinkCase> cases = {
        // In both positions white's first reply ends the game with an open window and is
        // scored; the second reaches the end under the finite alpha the first one set, and
        // returns that alpha unscored. Which reply comes first decides the result.
        // Equal openness: A1 goes first, being earlier in the move order. Trying H8 first would
        // give 65562.
        {"tie, normal", kOpennessTie, 4, 1, "F6", 65556, 3, {kNormalPrefix + "4) 0%"}},
        // Openness 1 before 2: H8 goes first although A1 is earlier in the move order.
        {"H8 lower, normal", kOpennessLow, 4, 1, "F6", 65564, 3, {kNormalPrefix + "4) 0%"}},
        // The perfect search tries plain move order, sees both ends and finds white's better
        // choice, A1, in both.
        {"tie, perfect", kOpennessTie, -1, 1, "F6", 65556, 4, {kPerfectPrefix + "3) 0%"}},
        {"H8 lower, perfect", kOpennessLow, -1, 1, "F6", 65556, 4, {kPerfectPrefix + "3) 0%"}},
    };
    for (const ThinkCase& c : cases) {
        CheckThink(c);
    }
}

TEST(ReferenceThink, PassDoesNotUseUpDepth) {
    // After either black move white passes and black fills the board, still at depth 1, so the
    // leaf is the full black board: four full edges of 160 and no mobility.
    CheckThink({"all moves win, depth 2",
                kAllWin,
                2,
                0,
                "A1",
                640,
                2,
                {kNormalPrefix + "2) 0%", kNormalPrefix + "2) 50%"}});
}

TEST(ReferenceThink, EndgameSearches) {
    const std::vector<ThinkCase> cases = {
        // A win stops the root at once, after one report.
        {"all moves win, win/loss", kAllWin, 0, 0, "A1", 65536, 3, {kWinLossPrefix + "2) 0%"}},
        {"all moves win, perfect",
         kAllWin,
         -1,
         0,
         "A1",
         65600,
         4,
         {kPerfectPrefix + "2) 0%", kPerfectPrefix + "2) 50%"}},
        // Only losses: the first root move stands.
        {"all moves lose, win/loss",
         kAllLoss,
         0,
         0,
         "A1",
         -65536,
         4,
         {kWinLossPrefix + "2) 0%", kWinLossPrefix + "2) 50%"}},
        {"all moves lose, perfect",
         kAllLoss,
         -1,
         0,
         "A1",
         -65576,
         4,
         {kPerfectPrefix + "2) 0%", kPerfectPrefix + "2) 50%"}},
        // Two draws reached after white passes: the later one is the answer of the win/loss
        // search; the perfect search keeps the first and its negative draw value.
        {"all moves draw, win/loss",
         kAllDraw,
         0,
         0,
         "H8",
         65535,
         4,
         {kWinLossPrefix + "2) 0%", kWinLossPrefix + "2) 50%"}},
        {"all moves draw, perfect",
         kAllDraw,
         -1,
         0,
         "A1",
         -65535,
         4,
         {kPerfectPrefix + "2) 0%", kPerfectPrefix + "2) 50%"}},
        // One move from the end, black ends 10 discs ahead.
        {"last move, perfect", kLastMove, -1, 1, "H8", 65546, 2, {kPerfectPrefix + "1) 0%"}},
        {"last move, win/loss", kLastMove, 0, 1, "H8", 65536, 2, {kWinLossPrefix + "1) 0%"}},
        {"last move, not forced", kLastMove, -1, 0, "H8", 0, 0, {}},
    };
    for (const ThinkCase& c : cases) {
        CheckThink(c);
    }
}

}  // namespace
